#pragma once
// Reads a state dump back, so that tests can check what a titler shows without parsing text themselves.

#include <QMap>
#include <QString>
#include <QStringList>

namespace pxtsim {

struct DumpedTitler
{
    QMap<QString, QString> settings; // "display" -> "on", "clock" -> "12:34:56", never set -> "-"
    QStringList rows;                // the nine screen rows, 20 characters each, without the bars
};

// Keyed by the two-digit address. Empty when the text is no dump.
QMap<QString, DumpedTitler> readDump(const QString& text);

} // namespace pxtsim
