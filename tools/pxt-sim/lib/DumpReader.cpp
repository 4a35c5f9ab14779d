#include "pxtsim/DumpReader.h"

#include "pxtsim/Protocol.h"

namespace pxtsim {

QMap<QString, DumpedTitler> readDump(const QString& text)
{
    QMap<QString, DumpedTitler> titlers;
    DumpedTitler* current = nullptr;
    const QString titlerPrefix = QStringLiteral("titler ");
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(titlerPrefix)) {
            current = &titlers[line.mid(titlerPrefix.size()).trimmed()];
            continue;
        }
        if (!current || !line.startsWith(QLatin1String("  ")))
            continue;
        const QString body = line.mid(2);
        if (body.startsWith(QLatin1Char('|')) && body.endsWith(QLatin1Char('|')) && body.size() == kColumns + 2) {
            current->rows << body.mid(1, kColumns);
        } else if (!body.startsWith(QLatin1Char('+'))) {
            const QStringList words = body.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (qsizetype i = 0; i + 1 < words.size(); i += 2)
                current->settings.insert(words[i], words[i + 1]);
        }
    }
    return titlers;
}

} // namespace pxtsim
