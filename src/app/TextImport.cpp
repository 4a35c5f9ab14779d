#include "TextImport.h"

#include "core/Errors.h"
#include "core/Numbers.h"
#include "link/CommandProtocol.h"

#include <cmath>
#include <optional>

namespace {

constexpr QByteArrayView kUtf8Bom = "\xEF\xBB\xBF";
constexpr qsizetype kExcerptLength = 40;

struct Field
{
    QByteArrayView value;
    bool quoted = false;
};

// Splits a record into its fields. A quoted field runs to its closing quote (the last field to the last quote on
// the line, as texts there may hold quotes), so commas inside quotes stay in the text. nullopt: a quote not closed
// or something after a closing quote.
std::optional<QList<Field>> splitFields(QByteArrayView line, QString* why)
{
    QList<Field> fields;
    qsizetype pos = 0;
    while (true) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos < line.size() && line[pos] == '"') {
            const bool last = fields.size() >= 2;
            const qsizetype close = last ? line.lastIndexOf('"') : line.indexOf('"', pos + 1);
            if (close <= pos) {
                *why = QStringLiteral("a text without its closing quote");
                return std::nullopt;
            }
            fields.append({line.sliced(pos + 1, close - pos - 1), true});
            pos = close + 1;
            while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
                ++pos;
            if (pos == line.size())
                return fields;
            if (line[pos] != ',') {
                *why = QStringLiteral("something after a closing quote");
                return std::nullopt;
            }
            ++pos;
            continue;
        }
        const qsizetype comma = line.indexOf(',', pos);
        const qsizetype end = comma < 0 ? line.size() : comma;
        fields.append({line.sliced(pos, end - pos).trimmed(), false});
        if (comma < 0)
            return fields;
        pos = comma + 1;
    }
}

// A page or line number clamped the way typed numbers are; nullopt for a field that is not a number or does not
// fit a 16-bit number (checked here first, so no conversion overflows on a wild field).
std::optional<int> clampedNumber(const Field& f, qint16 max, QString* why)
{
    QString value = QString::fromLatin1(f.value);
    const auto n = parseDecimal(value);
    if (!value.trimmed().isEmpty() && !n) {
        *why = QStringLiteral("\"%1\" is not a number").arg(value.left(kExcerptLength));
        return std::nullopt;
    }
    if (n && !(std::fabs(*n) < 32767.5)) {
        *why = QStringLiteral("%1 is out of range").arg(value.left(kExcerptLength));
        return std::nullopt;
    }
    try {
        FormatParameter(value, max, 1, QStringLiteral("2"));
    } catch (const RunTimeError& e) {
        *why = e.source;
        return std::nullopt;
    }
    return value.toInt();
}

} // namespace

TextImportResult decodeTextImport(QByteArrayView data)
{
    TextImportResult result;
    const bool utf8 = data.startsWith(kUtf8Bom);
    if (utf8)
        data = data.sliced(kUtf8Bom.size());

    int lineNumber = 0;
    qsizetype pos = 0;
    while (pos < data.size()) {
        ++lineNumber;
        const qsizetype newline = data.indexOf('\n', pos);
        const qsizetype end = newline < 0 ? data.size() : newline;
        QByteArrayView line = data.sliced(pos, end - pos);
        pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;

        auto skip = [&](const QString& why) {
            ++result.skipped;
            result.problems.append(QStringLiteral("line %1: %2").arg(lineNumber).arg(why));
        };
        QString why;
        const auto fields = splitFields(line, &why);
        if (!fields) {
            skip(why);
            continue;
        }
        if (fields->size() != 3) {
            skip(QStringLiteral("%1 fields instead of page, line and text").arg(fields->size()));
            continue;
        }
        const auto page = clampedNumber(fields->at(0), 99, &why);
        const auto lineNo = page ? clampedNumber(fields->at(1), 9, &why) : std::nullopt;
        if (!page || !lineNo) {
            skip(why);
            continue;
        }
        const QByteArrayView text = fields->at(2).value;
        result.records.append({*page, *lineNo, utf8 ? QString::fromUtf8(text) : QString::fromLatin1(text)});
    }
    return result;
}
