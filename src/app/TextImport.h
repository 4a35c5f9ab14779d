#pragma once
// The text import file: one record per line, a page number, a line number and the line's text, separated by
// commas ("5,3,"HELLO""). Reading it needs no window, so a damaged file can be fed to it byte by byte.

#include <QByteArrayView>
#include <QList>
#include <QString>

struct TextImportRecord
{
    int page = 1; // clamped into 1..99
    int line = 1; // clamped into 1..9
    QString text; // as read: neither padded nor cut nor filtered
};

struct TextImportResult
{
    QList<TextImportRecord> records; // the good records, in file order
    int skipped = 0;                 // records that could not be read
    QStringList problems;            // one per skipped record: "line 7: ..."
};

// Latin-1 text, or UTF-8 after a byte-order mark; lines end in LF or CR LF. Blank lines are not records.
TextImportResult decodeTextImport(QByteArrayView data);
