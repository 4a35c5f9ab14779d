#pragma once
// Where the program keeps its settings and where it finds its manual. A build or a portable copy keeps "ZELK.ini"
// beside itself; an installed copy (in "<prefix>/bin" with "<prefix>/share/zelk" beside it) keeps it in the user's
// configuration folder, since the program's folder is shared by every user (and writable for root).

#include <QString>
#include <QStringList>

namespace folders {

// The installed layout's data folder, relative to the program's folder.
inline constexpr char kInstalledData[] = "../share/zelk";

struct Facts
{
    QString zelkHome;   // ZELK_HOME, empty when unset
    QString programDir; // the program's own folder
    bool programDirWritable = false;
    bool installed = false; // the program lies in an installed layout
    QString configDir;      // the user's configuration folder
};

// The settings folder, without a trailing separator.
QString settingsFolder(const Facts& facts);

// Whether a program in this folder was installed: "<prefix>/bin" with "<prefix>/share/zelk".
bool isInstalledLayout(const QString& programDir);

// Where "Manual.PDF" is looked for, in order: the settings folder, the program's folder, the installed data folder.
QStringList manualFolders(const QString& settingsDir, const QString& programDir);

} // namespace folders
