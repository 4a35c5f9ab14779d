#include "SettingsFile.h"

#include "app/FileWarnings.h"
#include "app/Shell.h"
#include "app/TableFile.h"
#include "app/Zelk.h"
#include "core/Errors.h"
#include "link/SerialLink.h"
#include "pages/Defaults.h"
#include "pages/PageClearing.h"
#include "pages/PageView.h"
#include "transmit/Transmission.h"

#include <QFile>
#include <QFrame>
#include <QRadioButton>
#include <cstdio>

SettingsFile::SettingsFile(Zelk& z) : z_(z)
{
    z_.settingsFile = this;
}

QString SettingsFile::settingsPath() const
{
    return Shell::GetAppPath() + QStringLiteral("ZELK.ini");
}

void SettingsFile::LoadSettingsAtStart()
{
    z_.SettingsLoading = true;
    z_.FilePath = settingsPath();
    QFile probe(z_.FilePath);
    const bool readable = probe.open(QIODevice::ReadOnly);
    probe.close();
    bool useDefaults = !readable;
    if (readable) {
        TableReadReport report;
        ReadTableFile(z_.FilePath, &report);
        // Skipped records are told now, and the file kept aside before the shutdown's save makes it the backup.
        useDefaults = filewarnings::settingsRead(z_, z_.FilePath, report);
        holdBackup_ = report.records == 0 || !report.errors.isEmpty();
    } else {
        z_.dialogs.message(z_.ui.frmZELK, QMessageBox::Warning, QStringLiteral("No Initialization File"),
                           QStringLiteral("No initialization file was found, all settings will return to default "
                                          "values!"));
    }
    if (useDefaults) {
        InitialisePageTable();
        if (QFrame* f = z_.ui.framain[1]) {
            f->setEnabled(true);
            f->setVisible(true);
        }
        QRadioButton* port1 = z_.ui.optCommPort[1];
        if (port1 && !port1->isChecked() && z_.link) {
            port1->setChecked(true);
            z_.link->optCommPort_Click(1);
        }
    }
    z_.SettingsLoading = false;
}

bool SettingsFile::ReadTableFile(const QString& path, TableReadReport* readReport)
{
    if (z_.EventsSuppressed)
        return false;
    z_.EditorLoading = true;
    const TableReadReport report = readTableFile(z_.table, path);
    if (readReport)
        *readReport = report;
    if (!report.opened) {
        z_.RecordError(err::kFileNotFound, QStringLiteral("ReadTableFile: cannot open ") + path);
        z_.EditorLoading = false;
        return false;
    }
    for (const TableFileError& e : report.errors)
        z_.RecordError(e.number, e.source);
    RefreshFromTable();
    z_.EditorLoading = false;
    return true;
}

void SettingsFile::RefreshFromTable()
{
    if (z_.link)
        z_.link->FillTitlerLists();
    if (z_.pageView)
        z_.pageView->ShowPage();
    if (z_.transmission)
        z_.transmission->SetRangeMode(QStringLiteral("Clone"));
    CopySettingsToCopySlots();
    if (z_.link)
        z_.link->OpenConfiguredPort();
    if (z_.transmission)
        z_.transmission->RestoreEditorPreferences();
    if (z_.clearing)
        z_.clearing->clickClonePage();
}

bool SettingsFile::WriteTableFile(const QString& path, QString* errorText)
{
    QString why;
    int number = err::kFileAccess;
    // A page file saved over keeps its previous version too: it is the operator's work.
    const bool settings = path == settingsPath();
    const bool keepBackup = !(settings && holdBackup_);
    if (writeTableFile(z_.table, path, &why, keepBackup, &number)) {
        if (settings)
            holdBackup_ = false; // the file in place is now a good one
        return true;
    }
    z_.RecordError(number, QStringLiteral("WriteTableFile: ") + why);
    if (errorText)
        *errorText = why;
    return false;
}

void SettingsFile::InitialisePageTable()
{
    if (z_.EventsSuppressed)
        return;
    fillDefaults(z_.table);
    if (z_.link) {
        z_.link->OpenConfiguredPort();
        z_.link->FillTitlerLists();
    }
    if (z_.pageView)
        z_.pageView->ShowPage();
}

void SettingsFile::CopySettingsToCopySlots()
{
    copySettingsToCopySlots(z_.table);
}
