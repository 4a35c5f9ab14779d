#pragma once
// Keeping the operator's files whole: a copy that is never half written, a damaged file kept aside before anything
// overwrites it, and the check that the settings folder can be written at all.

#include <QDateTime>
#include <QString>

namespace filesafety {

// "ZELK.ini" -> "ZELK.ini.damaged-20260612-093015" (now as the computer's local time).
QString damagedCopyName(const QString& path, const QDateTime& now);

// Copies the file at path to its damaged copy name (with "-2", "-3" ... when that name is taken). Returns the copy's
// path, or an empty string with the reason in why.
QString keepDamagedCopy(const QString& path, const QDateTime& now, QString* why);

// Copies from over to through a temporary file and a rename, so that to is at every moment either its old whole
// content or the new one.
bool copyWhole(const QString& from, const QString& to, QString* why);

// Empty when a file can be made in folder and file (when it exists) can be replaced; otherwise why not.
QString writeProblem(const QString& folder, const QString& file);

} // namespace filesafety
