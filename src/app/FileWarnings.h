#pragma once
// What the operator is told about the files ZELK keeps, when it is still time to act: a settings file or a page
// file read with records skipped (the file is kept aside first, so that no later save replaces the last good copy
// with it), and a settings folder that cannot be written.

#include <QString>

class Zelk;
struct TableReadReport;

namespace filewarnings {

// After "ZELK.ini" was read at start-up. Records skipped: the file is kept aside and the operator told how many were
// skipped and that the rest was read. Returns true when no record at all could be read, so that the caller uses the
// defaults (the operator has been told so).
bool settingsRead(Zelk& z, const QString& path, const TableReadReport& report);

// A page file read with records skipped: keeps it aside and returns the sentence that says where (or why not).
QString keepPageFileAside(Zelk& z, const QString& path);

// At start-up: tells the operator when the settings folder or "ZELK.ini" in it cannot be written.
void checkSettingsFolder(Zelk& z, const QString& folder, const QString& settingsPath);

} // namespace filewarnings
