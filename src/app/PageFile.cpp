#include "PageFile.h"

#include "app/FileWarnings.h"
#include "app/SettingsFile.h"
#include "app/TableFile.h"
#include "app/TextImport.h"
#include "app/Zelk.h"
#include "core/Errors.h"
#include "core/FlagGuard.h"
#include "pages/PageView.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <memory>

namespace {

const QString kFilters = QStringLiteral("ZELK Files (*.zlk);;Text Files(*.txt)");
const QString kTitle = QStringLiteral("PXT-12 ZELK");
constexpr int kProblemsShown = 3;

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The first few problems of a file, one a line, for a message box.
QString firstProblems(const QStringList& problems)
{
    QStringList shown = problems.mid(0, kProblemsShown);
    if (problems.size() > kProblemsShown)
        shown << QStringLiteral("...");
    return shown.join(QLatin1Char('\n'));
}

// Whole file or nothing: a read that fails half way gives no data.
bool readWhole(const QString& path, QByteArray* data, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return false;
    }
    *data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *why = file.errorString();
        return false;
    }
    return true;
}

// What File Open goes by: the last three characters in lower case.
QString ending(const QString& name)
{
    return name.right(3).toLower();
}

int openErrorNumber(const QString& path)
{
    return QFileInfo::exists(path) ? err::kFileAccess : err::kFileNotFound;
}

} // namespace

PageFile::PageFile(Zelk& z) : z_(z)
{
    z_.pageFile = this;
}

void PageFile::connectMenus(QWidget* window)
{
    if (auto* open = window->findChild<QAction*>(QStringLiteral("mnuFileOpen")))
        connect(open, &QAction::triggered, this, [this] { mnuFileOpen_Click(); });
    if (auto* save = window->findChild<QAction*>(QStringLiteral("mnuFileSave")))
        connect(save, &QAction::triggered, this, [this] { mnuFileSave_Click(); });
}

QString PageFile::dialogFolder() const
{
    return z_.FilePath.isEmpty() ? QString() : QFileInfo(z_.FilePath).absolutePath();
}

void PageFile::tell(const QString& text)
{
    z_.dialogs.message(z_.ui.frmZELK, QMessageBox::Warning, kTitle, text);
}

void PageFile::mnuFileOpen_Click()
{
    if (z_.EventsSuppressed)
        return;
    try {
        const QString name = z_.dialogs.openFileName(z_.ui.frmZELK, QStringLiteral("Open"), dialogFolder(), kFilters);
        if (name.isEmpty())
            throw RunTimeError{err::kDialogCancelled, QStringLiteral("mnuFileOpen: cancelled")};
        z_.FilePath = name;
        if (ending(name) == QLatin1String("txt"))
            ImportTextFile(name);
        else if (ending(name) == QLatin1String("zlk"))
            OpenPageFile(name);
        else
            throw RunTimeError{err::kUnknownFileType, QStringLiteral("mnuFileOpen: not a page file: ") + name};
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void PageFile::mnuFileSave_Click()
{
    if (z_.EventsSuppressed)
        return;
    try {
        while (true) {
            QString name = z_.dialogs.saveFileName(z_.ui.frmZELK, QStringLiteral("Save"), dialogFolder(), kFilters);
            if (name.isEmpty())
                throw RunTimeError{err::kDialogCancelled, QStringLiteral("mnuFileSave: cancelled")};
            // A page file opens again only under a name ending in "zlk": any other ending would be ignored, and
            // "txt" would be imported as text. The operator chose "txt", so it is offered, not overruled.
            if (ending(name) == QLatin1String("txt")) {
                const QString zlk = name.chopped(3) + QStringLiteral("zlk");
                const auto answer = z_.dialogs.message(
                    z_.ui.frmZELK, QMessageBox::Question, kTitle,
                    QStringLiteral("A page file opens again only under a .zlk name: %1 would be read as a text file, "
                                   "not as pages.\n\nSave as %2 instead?")
                        .arg(QFileInfo(name).fileName(), QFileInfo(zlk).fileName()),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
                if (answer == QMessageBox::Cancel)
                    return;
                if (answer == QMessageBox::Yes)
                    name = zlk;
            } else if (ending(name) != QLatin1String("zlk")) {
                name += QStringLiteral(".zlk");
            }
            z_.FilePath = name;
            if (QFileInfo::exists(name)) {
                const auto answer =
                    z_.dialogs.message(z_.ui.frmZELK, QMessageBox::Warning, QStringLiteral("File Exists"),
                                       QStringLiteral("File exists, overwrite?"),
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
                if (answer == QMessageBox::No)
                    continue;
                if (answer != QMessageBox::Yes)
                    return;
            }
            QString why;
            if (z_.settingsFile && !z_.settingsFile->WriteTableFile(name, &why))
                tell(QStringLiteral("The page file %1 could not be saved:\n%2\n\nThe pages are unchanged in ZELK; "
                                    "save them under another name or in another folder.")
                         .arg(shownPath(name), why));
            return;
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

bool PageFile::OpenPageFile(const QString& path, const QString& alsoNotDone)
{
    const QString unchanged = QStringLiteral("Nothing was changed.") + alsoNotDone;
    if (z_.EventsSuppressed)
        return false;
    QByteArray data;
    QString why;
    if (!readWhole(path, &data, &why)) {
        z_.RecordError(openErrorNumber(path), QStringLiteral("ReadTableFile %1: %2").arg(path, why));
        tell(QStringLiteral("The page file %1 could not be opened:\n%2\n\n%3").arg(shownPath(path), why, unchanged));
        return false;
    }
    // Read into a copy: the pages on view stay as they are unless the file holds a table.
    auto read = std::make_unique<PageTable>(z_.table);
    const TableReadReport report = decodeTable(*read, data, QFileInfo(path).fileName());
    QStringList problems;
    for (const TableFileError& e : report.errors)
        problems << e.source;
    // Recorded once the table is the one that stays: the file's own error slots would overwrite them.
    auto recordProblems = [&] {
        for (const TableFileError& e : report.errors)
            z_.RecordError(e.number, e.source);
    };
    if (report.records == 0) {
        recordProblems();
        if (problems.isEmpty())
            z_.RecordError(err::kInputPastEnd, QStringLiteral("ReadTableFile %1: no records").arg(path));
        tell(QStringLiteral("The file %1 is not a page file: it holds no record ZELK can read.%2\n\n%3")
                 .arg(shownPath(path), problems.isEmpty() ? QString() : QLatin1Char('\n') + firstProblems(problems),
                      unchanged));
        return false;
    }
    z_.table = *read;
    recordProblems();
    {
        FlagGuard loading(z_.EditorLoading);
        if (z_.settingsFile)
            z_.settingsFile->RefreshFromTable();
    }
    if (report.errors.size() > 0)
        tell(QStringLiteral("The page file %1 was opened, but %2 of its records could not be read and were "
                            "skipped; those slots keep their previous values.\n%3\n\n%4")
                 .arg(shownPath(path))
                 .arg(report.errors.size())
                 .arg(firstProblems(problems), filewarnings::keepPageFileAside(z_, path)));
    return true;
}

bool PageFile::ImportTextFile(const QString& path)
{
    if (z_.EventsSuppressed)
        return false;
    QFrame* editorFrame = z_.ui.framain[1];
    const bool wasEnabled = editorFrame && editorFrame->isEnabled();
    if (editorFrame)
        editorFrame->setEnabled(false);
    QByteArray data;
    QString why;
    const bool readable = readWhole(path, &data, &why);
    if (editorFrame)
        editorFrame->setEnabled(wasEnabled);
    if (!readable) {
        z_.RecordError(openErrorNumber(path), QStringLiteral("ImportTextFile %1: %2").arg(path, why));
        tell(QStringLiteral("The text file %1 could not be read:\n%2\n\nNothing was imported.")
                 .arg(shownPath(path), why));
        return false;
    }

    const TextImportResult result = decodeTextImport(data);
    for (const TextImportRecord& r : result.records) {
        z_.table.setText(slot::page(r.page, slot::kLine1 + r.line - 1), r.text);
        z_.table.setText(slot::page(r.page, slot::kAddress), twoDigits(r.page));
    }
    if (z_.pageView)
        z_.pageView->ShowPage();

    if (result.skipped > 0) {
        z_.RecordError(err::kTypeMismatch, QStringLiteral("ImportTextFile %1: %2 records skipped, first at %3")
                                               .arg(path)
                                               .arg(result.skipped)
                                               .arg(result.problems.value(0)));
        tell(QStringLiteral("%1 records of the text file %2 were imported; %3 could not be read and were skipped:\n%4")
                 .arg(result.records.size())
                 .arg(shownPath(path))
                 .arg(result.skipped)
                 .arg(firstProblems(result.problems)));
    } else if (result.records.isEmpty()) {
        tell(QStringLiteral("The text file %1 holds no page lines; nothing was imported.").arg(shownPath(path)));
    }
    return true;
}
