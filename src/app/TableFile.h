#pragma once
// The table file: the whole page table as text, one "slot,value" record per line (CR LF, Latin-1). It is the format
// of the settings file "ZELK.ini" and of the page files.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class PageTable;

struct TableFileError
{
    int number = 0; // an err:: number, for RecordError
    QString source; // where and what, e.g. "ReadTableFile ZELK.ini line 17: slot 20000 out of range"
};

struct TableReadReport
{
    bool opened = false;          // false: the file could not be opened and nothing was read
    int records = 0;              // records stored in the table
    QList<TableFileError> errors; // one per skipped record, in file order
};

// Records for slots 1..10500 in ascending order.
QByteArray encodeTable(const PageTable& table);

// Replaces the file at path only once the whole table is on disk; on failure the old file is left as it was.
// keepBackup: the previous file, if any, is kept as path + ".bak"; when it cannot be kept, nothing is saved and the
// call fails.
bool writeTableFile(const PageTable& table, const QString& path, QString* errorText, bool keepBackup,
                    int* errorNumber = nullptr);

// Stores every good record; a bad record is skipped and reported, and reading goes on. sourceName (a file name)
// goes into the error texts. opened is always true here.
TableReadReport decodeTable(PageTable& table, QByteArrayView data, const QString& sourceName = QString());
TableReadReport readTableFile(PageTable& table, const QString& path);
