#include "FileWarnings.h"

#include "app/FileSafety.h"
#include "app/TableFile.h"
#include "app/Zelk.h"

#include <QDir>

namespace filewarnings {

namespace {

const QString kTitle = QStringLiteral("PXT-12 ZELK");
constexpr int kProblemsShown = 3;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString problemsOf(const TableReadReport& report)
{
    QStringList lines;
    for (const TableFileError& e : report.errors.mid(0, kProblemsShown))
        lines << e.source;
    if (report.errors.size() > kProblemsShown)
        lines << QStringLiteral("...");
    return lines.join(QLatin1Char('\n'));
}

void tell(Zelk& z, const QString& text)
{
    z.dialogs.message(z.ui.frmZELK, QMessageBox::Warning, kTitle, text);
}

QString keptAside(Zelk& z, const QString& path, const QString& what)
{
    QString why;
    const QString copy = filesafety::keepDamagedCopy(path, z.clock.now(), &why);
    if (copy.isEmpty())
        return QStringLiteral("%1 could not be kept aside: %2").arg(what, why);
    return QStringLiteral("%1 was kept as %2.").arg(what, shown(copy));
}

} // namespace

bool settingsRead(Zelk& z, const QString& path, const TableReadReport& report)
{
    if (report.records == 0) {
        QString text = QStringLiteral("The settings file %1 holds no record ZELK can read: all settings return to "
                                      "default values.")
                           .arg(shown(path));
        if (!report.errors.isEmpty())
            text += QLatin1Char('\n') + problemsOf(report) + QStringLiteral("\n\n") +
                    keptAside(z, path, QStringLiteral("The damaged file"));
        tell(z, text);
        return true;
    }
    if (report.errors.isEmpty())
        return false;
    tell(z, QStringLiteral("The settings file %1 is damaged: %2 of its records could not be read and were skipped; "
                           "the other %3 were read.\n%4\n\n%5")
                .arg(shown(path))
                .arg(report.errors.size())
                .arg(report.records)
                .arg(problemsOf(report), keptAside(z, path, QStringLiteral("The damaged file"))));
    return false;
}

QString keepPageFileAside(Zelk& z, const QString& path)
{
    return keptAside(z, path, QStringLiteral("The damaged file"));
}

void checkSettingsFolder(Zelk& z, const QString& folder, const QString& settingsPath)
{
    const QString problem = filesafety::writeProblem(folder, settingsPath);
    if (problem.isEmpty())
        return;
    tell(z, QStringLiteral("The settings folder %1 cannot be written (%2).\n\nZELK runs, but what you change now "
                           "cannot be saved to \"ZELK.ini\" when it closes. Make the folder writable, or start ZELK "
                           "with ZELK_HOME naming a folder that is; meanwhile File Save keeps your pages in a page "
                           "file elsewhere.")
                .arg(shown(folder), problem));
}

} // namespace filewarnings
