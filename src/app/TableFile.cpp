#include "TableFile.h"

#include "app/FileSafety.h"
#include "core/Errors.h"
#include "pages/PageTable.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>
#include <optional>

namespace {

constexpr QByteArrayView kTrue = "#TRUE#";
constexpr QByteArrayView kFalse = "#FALSE#";
constexpr QByteArrayView kUtf8Bom = "\xEF\xBB\xBF";
constexpr qsizetype kExpectedBytes = 256 * 1024; // a default table encodes to about 200 KB
constexpr qsizetype kExcerptLength = 40;

// Decimal digits without a QByteArray per number: the writer runs once per slot.
void appendNumber(QByteArray& out, qint64 n)
{
    char buf[24];
    char* const end = buf + sizeof buf;
    char* p = end;
    const bool negative = n < 0;
    quint64 u = negative ? quint64(0) - quint64(n) : quint64(n);
    do {
        *--p = char('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (negative)
        *--p = '-';
    out.append(p, end - p);
}

// Quotes inside stay as they are (the reader takes the last quote on the line as the closing one). A line break
// would split the record, so it becomes a space; a character Latin-1 cannot hold becomes '?'.
void appendText(QByteArray& out, const QString& text)
{
    out.append('"');
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char* d = out.data() + at;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        *d++ = (u == '\r' || u == '\n') ? ' ' : u < 256 ? char(u) : '?';
    }
    out.append('"');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// An optionally signed whole number; nullopt when the field is anything else. Capped far beyond any slot number.
std::optional<qint64> parseWhole(QByteArrayView f)
{
    qsizetype i = 0;
    bool negative = false;
    if (!f.isEmpty() && (f[0] == '-' || f[0] == '+')) {
        negative = f[0] == '-';
        ++i;
    }
    if (i == f.size())
        return std::nullopt;
    qint64 n = 0;
    for (; i < f.size(); ++i) {
        if (!isDigit(f[i]))
            return std::nullopt;
        if (n < qint64(1) << 40)
            n = n * 10 + (f[i] - '0');
    }
    return negative ? -n : n;
}

enum class NumberFault { None, NotANumber, TooLarge };

// A bare number: Int16 when it fits, else Int32. A fraction (never written, but typed by hand) is rounded half to
// even into an Int32.
Value parseNumber(QByteArrayView f, NumberFault* fault)
{
    *fault = NumberFault::None;
    qsizetype i = (!f.isEmpty() && (f[0] == '-' || f[0] == '+')) ? 1 : 0;
    bool digits = false, point = false;
    for (; i < f.size(); ++i) {
        if (isDigit(f[i]))
            digits = true;
        else if (f[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits || i != f.size()) {
        *fault = NumberFault::NotANumber;
        return {};
    }
    if (!point) {
        const qint64 n = *parseWhole(f);
        if (n >= INT16_MIN && n <= INT16_MAX)
            return Value::int16(qint16(n));
        if (n >= INT32_MIN && n <= INT32_MAX)
            return Value::int32(qint32(n));
        *fault = NumberFault::TooLarge;
        return {};
    }
    bool ok = false;
    const double d = f.toDouble(&ok);
    if (!ok) {
        *fault = NumberFault::NotANumber;
        return {};
    }
    if (!(std::fabs(d) < 4.0e9)) {
        *fault = NumberFault::TooLarge;
        return {};
    }
    const qint64 r = roundHalfEven(d);
    if (r < INT32_MIN || r > INT32_MAX) {
        *fault = NumberFault::TooLarge;
        return {};
    }
    return Value::int32(qint32(r));
}

QString excerpt(QByteArrayView f)
{
    const QString s = QString::fromLatin1(f.first(qMin(f.size(), kExcerptLength)));
    return QLatin1Char('"') + s + (f.size() > kExcerptLength ? QStringLiteral("...\"") : QStringLiteral("\""));
}

int openErrorNumber(const QString& path, QFileDevice::FileError e)
{
    if (e == QFileDevice::PermissionsError)
        return err::kFileAccess;
    return QFileInfo::exists(QFileInfo(path).absolutePath()) ? err::kFileAccess : err::kFileNotFound;
}

} // namespace

QByteArray encodeTable(const PageTable& table)
{
    QByteArray out;
    out.reserve(kExpectedBytes);
    for (int s = 1; s <= slot::kLast; ++s) {
        appendNumber(out, s);
        out.append(',');
        const Value& v = table.at(s);
        switch (v.type()) {
        case Value::Type::Empty:
            break;
        case Value::Type::Text:
            appendText(out, v.toText());
            break;
        case Value::Type::Int16:
        case Value::Type::Int32:
            appendNumber(out, v.toInt());
            break;
        case Value::Type::Boolean:
            out.append(v.toBool() ? kTrue : kFalse);
            break;
        }
        out.append("\r\n", 2);
    }
    return out;
}

bool writeTableFile(const PageTable& table, const QString& path, QString* errorText, bool keepBackup, int* errorNumber)
{
    if (errorText)
        errorText->clear();
    if (errorNumber)
        *errorNumber = 0;
    auto fail = [&](int number, const QString& why) {
        if (errorText)
            *errorText = QStringLiteral("WriteTableFile %1: %2").arg(path, why);
        if (errorNumber)
            *errorNumber = number;
        return false;
    };

    const QByteArray data = encodeTable(table);
    QSaveFile file(path); // writes a temporary file and renames it over path only on commit
    if (!file.open(QIODevice::WriteOnly))
        return fail(openErrorNumber(path, file.error()), file.errorString());
    const qint64 written = file.write(data);
    if (written != data.size()) {
        const QString why = QStringLiteral("only %1 of %2 bytes written, disk full? (%3)")
                                .arg(qMax<qint64>(written, 0))
                                .arg(data.size())
                                .arg(file.errorString());
        file.cancelWriting();
        return fail(err::kDiskFull, why);
    }

    if (keepBackup && QFileInfo::exists(path)) {
        // Replaced whole, never removed first: a crash at any moment leaves the last backup or the new one. Without
        // a backup the save does not go on: the previous file would be lost unseen.
        const QString backup = path + QStringLiteral(".bak");
        QString why;
        if (!filesafety::copyWhole(path, backup, &why)) {
            file.cancelWriting();
            return fail(err::kDiskFull,
                        QStringLiteral("the previous file could not be kept as %1 (%2)").arg(backup, why));
        }
    }
    if (!file.commit())
        return fail(file.error() == QFileDevice::RenameError ? err::kFileAccess : err::kDiskFull, file.errorString());
    return true;
}

TableReadReport decodeTable(PageTable& table, QByteArrayView data, const QString& sourceName)
{
    TableReadReport report;
    report.opened = true;
    const QString where =
        sourceName.isEmpty() ? QStringLiteral("ReadTableFile") : QStringLiteral("ReadTableFile ") + sourceName;

    // A byte-order mark means an editor saved the file as UTF-8: read its texts that way.
    const bool utf8 = data.startsWith(kUtf8Bom);
    if (utf8)
        data = data.sliced(kUtf8Bom.size());

    int lineNumber = 0;
    qsizetype pos = 0;
    while (pos < data.size()) {
        ++lineNumber;
        const qsizetype newline = data.indexOf('\n', pos);
        const bool lastLineCut = newline < 0; // no line end: the file may have been cut short here
        const qsizetype end = lastLineCut ? data.size() : newline;
        const QByteArrayView line = data.sliced(pos, end - pos).trimmed(); // also drops the CR of CR LF
        pos = end + 1;
        if (line.isEmpty())
            continue;

        auto bad = [&](int number, const QString& what) {
            report.errors.append(
                {number, QStringLiteral("%1 line %2: %3").arg(where, QString::number(lineNumber), what)});
        };

        const qsizetype comma = line.indexOf(',');
        if (comma < 0) {
            if (lastLineCut)
                bad(err::kInputPastEnd, QStringLiteral("record cut short: ") + excerpt(line));
            else
                bad(err::kTypeMismatch, QStringLiteral("no comma in ") + excerpt(line));
            continue;
        }
        const QByteArrayView slotField = line.first(comma).trimmed();
        const std::optional<qint64> slotNumber = parseWhole(slotField);
        if (!slotNumber) {
            bad(err::kTypeMismatch, QStringLiteral("unreadable slot number ") + excerpt(slotField));
            continue;
        }
        if (*slotNumber < 0 || *slotNumber > slot::kLast) {
            bad(err::kSubscriptOutOfRange, QStringLiteral("slot %1 out of range").arg(*slotNumber));
            continue;
        }
        const int s = int(*slotNumber);

        const QByteArrayView field = line.sliced(comma + 1).trimmed();
        Value value;
        if (field.isEmpty()) {
            // an empty slot
        } else if (field.front() == '"') {
            if (field.size() >= 2 && field.back() == '"') {
                const QByteArrayView inner = field.sliced(1, field.size() - 2);
                value = Value::text(utf8 ? QString::fromUtf8(inner) : QString::fromLatin1(inner));
            } else if (field.lastIndexOf('"') > 0) {
                bad(err::kTypeMismatch, QStringLiteral("slot %1: text followed by ").arg(s) +
                                            excerpt(field.sliced(field.lastIndexOf('"') + 1)));
                continue;
            } else if (lastLineCut) {
                bad(err::kInputPastEnd, QStringLiteral("slot %1: record cut short in its text").arg(s));
                continue;
            } else {
                bad(err::kTypeMismatch, QStringLiteral("slot %1: text without closing quote").arg(s));
                continue;
            }
        } else if (field.front() == '#') {
            if (field.compare(kTrue, Qt::CaseInsensitive) == 0)
                value = Value::boolean(true);
            else if (field.compare(kFalse, Qt::CaseInsensitive) == 0)
                value = Value::boolean(false);
            else {
                bad(err::kTypeMismatch, QStringLiteral("slot %1: unreadable value ").arg(s) + excerpt(field));
                continue;
            }
        } else {
            NumberFault fault;
            value = parseNumber(field, &fault);
            if (fault == NumberFault::NotANumber) {
                bad(err::kTypeMismatch, QStringLiteral("slot %1: unreadable value ").arg(s) + excerpt(field));
                continue;
            }
            if (fault == NumberFault::TooLarge) {
                bad(err::kOverflow, QStringLiteral("slot %1: number too large ").arg(s) + excerpt(field));
                continue;
            }
        }
        table.set(s, value);
        ++report.records;
    }
    return report;
}

TableReadReport readTableFile(PageTable& table, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        TableReadReport report;
        report.errors.append({QFileInfo::exists(path) ? err::kFileAccess : err::kFileNotFound,
                              QStringLiteral("ReadTableFile %1: %2").arg(path, file.errorString())});
        return report;
    }
    const QByteArray data = file.readAll();
    const bool readFailed = file.error() != QFileDevice::NoError;
    const QString readError = file.errorString();
    file.close();

    TableReadReport report = decodeTable(table, data, QFileInfo(path).fileName());
    if (readFailed)
        report.errors.append({err::kFileAccess, QStringLiteral("ReadTableFile %1: %2").arg(path, readError)});
    return report;
}
