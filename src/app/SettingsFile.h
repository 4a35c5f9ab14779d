#pragma once
// "ZELK.ini": the whole page table read once at start-up and written once at shutdown, and the refresh of the window
// after any table file has been read.

#include <QString>

class Zelk;
struct TableReadReport;

class SettingsFile
{
public:
    explicit SettingsFile(Zelk& z);

    void LoadSettingsAtStart();
    // Reads a table file into the page table and refreshes the window from it. False when the file can't be read.
    // readReport, when given, receives what was read and skipped.
    bool ReadTableFile(const QString& path, TableReadReport* readReport = nullptr);
    // The window after the table has been read: lists, page, ranges, port, editor modes (EditorLoading is set).
    void RefreshFromTable();
    // Writes the whole table safely; false (and the error recorded) when it could not be written.
    bool WriteTableFile(const QString& path, QString* errorText = nullptr);
    void InitialisePageTable();
    void CopySettingsToCopySlots();

    QString settingsPath() const;

private:
    Zelk& z_;
    // "ZELK.ini" was read damaged or empty at start-up: its backup is the last good copy, and the next save must not
    // replace it with the file now in place.
    bool holdBackup_ = false;
};
