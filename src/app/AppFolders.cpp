#include "AppFolders.h"

#include <QDir>
#include <QFileInfo>

namespace folders {

QString settingsFolder(const Facts& facts)
{
    if (!facts.zelkHome.isEmpty())
        return facts.zelkHome;
    if (!facts.installed && facts.programDirWritable)
        return facts.programDir;
    return facts.configDir;
}

bool isInstalledLayout(const QString& programDir)
{
    return QDir(programDir).dirName() == QLatin1String("bin") &&
           QFileInfo(QDir(programDir).filePath(QLatin1String(kInstalledData))).isDir();
}

QStringList manualFolders(const QString& settingsDir, const QString& programDir)
{
    return {QDir::cleanPath(settingsDir), QDir::cleanPath(programDir),
            QDir::cleanPath(QDir(programDir).filePath(QLatin1String(kInstalledData)))};
}

} // namespace folders
