#include "FormatPatterns.h"

#include "core/Numbers.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace formats {

namespace {

// Two digits of text starting at from, as a number; nullopt unless both are digits.
std::optional<int> twoDigitsAt(const QString& text, int from)
{
    if (from + 2 > text.size() || !text.at(from).isDigit() || !text.at(from + 1).isDigit())
        return std::nullopt;
    return text.at(from).digitValue() * 10 + text.at(from + 1).digitValue();
}

// A pattern in the usual notation turned into Qt's: each token by its Qt name, everything else quoted, so that no
// letter of a separator or a suffix is read as a field.
struct Token
{
    const char* ours;
    const char* qt;
};

QString toQtFormat(const QString& pattern, std::initializer_list<Token> tokens)
{
    QString out;
    QString literal;
    auto flushLiteral = [&] {
        if (literal.isEmpty())
            return;
        out += QLatin1Char('\'') + QString(literal).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
        literal.clear();
    };
    for (int i = 0; i < pattern.size();) {
        const Token* hit = nullptr;
        for (const Token& t : tokens)
            if (pattern.mid(i).startsWith(QLatin1String(t.ours))) {
                hit = &t;
                break;
            }
        if (!hit) {
            literal += pattern.at(i++);
            continue;
        }
        flushLiteral();
        out += QLatin1String(hit->qt);
        i += int(qstrlen(hit->ours));
    }
    flushLiteral();
    return out;
}

} // namespace

std::optional<TimeLayout> timeLayout(int n)
{
    if (n < 1 || n > kTimeFormatCount)
        return std::nullopt;
    static const char* const separators[] = {":", ".", " ", ""};
    TimeLayout t;
    t.separator = QLatin1String(separators[(n - 1) / 9]);
    t.layout = n % 9;
    t.tenths = t.layout == 3 || t.layout == 6 || t.layout == 7 || t.layout == 8 || t.layout == 0;
    t.downCounterMinutes = t.layout == 8 ? 30 : t.layout == 0 ? 60 : 0;
    return t;
}

namespace {

// Layouts 1..7 of the time table; minutes read "mm" in the readable form and "nn" in the live one, and the tenths
// are "t" or the digit.
QString timeLayoutPattern(const TimeLayout& t, const QString& minutes, const QString& tenths, bool readable)
{
    const QString& s = t.separator;
    const QString hh = QStringLiteral("hh") + s;
    const QString mm = minutes + s;
    const QString ampm = readable ? QStringLiteral("AM") : QStringLiteral("AM/PM");
    switch (t.layout) {
    case 1:
        return hh + minutes;
    case 2:
        return hh + mm + QStringLiteral("ss");
    case 3:
        return hh + mm + QStringLiteral("ss.") + tenths;
    case 4:
        return hh + minutes + QLatin1Char(' ') + ampm;
    case 5:
        return hh + mm + QStringLiteral("ss ") + ampm;
    case 6:
        return hh + mm + QStringLiteral("ss.") + tenths + QLatin1Char(' ') + ampm;
    default: // 7
        return mm + QStringLiteral("ss.") + tenths;
    }
}

} // namespace

QString readableTimePattern(int n)
{
    const auto t = timeLayout(n);
    if (!t)
        return {};
    if (t->downCounterMinutes)
        return QStringLiteral("mm") + t->separator + QStringLiteral("ss");
    return timeLayoutPattern(*t, QStringLiteral("mm"), QStringLiteral("t"), true);
}

TimePatternResult TimePattern(int n, bool readFailed, const QString& timeText, TenthsDigit& tenths)
{
    const auto t = timeLayout(n);
    if (!t)
        return {};
    if (t->downCounterMinutes) {
        const QString count = readFailed ? QStringLiteral("mm") + t->separator + QStringLiteral("ss")
                                         : DownCounterText(t->downCounterMinutes, t->separator, timeText);
        return {kDownCounterMark + count, true};
    }
    if (readFailed)
        return {readableTimePattern(n), t->tenths};
    // The digit shown is the one before this tick's step.
    const int shown = tenths.digit;
    const QString asRead = formatTime(timeText, QStringLiteral("hh:nn:ss"));
    const QChar secondsDigit = asRead.isEmpty() ? QChar() : asRead.back();
    if (t->tenths && secondsDigit != tenths.lastSecondsDigit)
        tenths.digit = 0;
    else
        tenths.digit = (tenths.digit + 1) % 10;
    tenths.lastSecondsDigit = secondsDigit;
    return {timeLayoutPattern(*t, QStringLiteral("nn"), QString::number(shown), false), t->tenths};
}

QString DownCounterText(int period, const QString& separator, const QString& timeText, bool readFailed)
{
    const auto m = twoDigitsAt(timeText, 3);
    const auto s = twoDigitsAt(timeText, 6);
    if (readFailed || !m || !s)
        return {};
    // The first half hour counts down to minute 30, the second (and a whole hour) to the full hour.
    const int end = period == 30 && *m < 30 ? 30 : 60;
    const int secondsLeft = *s == 0 ? 0 : 60 - *s;
    const int minutesLeft = *s == 0 ? end - *m : end - 1 - *m;
    return zeroPadded(minutesLeft, 2) + separator + zeroPadded(secondsLeft, 2);
}

QString DatePattern(int n)
{
    if (n < 1 || n > kDateFormatCount)
        return {};
    static const char* const separators[] = {"/", "-", ".", " ", ""};
    const QString s = QLatin1String(separators[(n - 1) / 12]);
    const QString monthDay = QStringLiteral("MMM DD"); // the blank inside is always a blank
    switch (n % 12) {
    case 1:
        return QStringLiteral("MM") + s + QStringLiteral("DD");
    case 2:
        return QStringLiteral("MM") + s + QStringLiteral("YY");
    case 3:
        return QStringLiteral("MM") + s + QStringLiteral("DD") + s + QStringLiteral("YY");
    case 4:
        return monthDay + s + QStringLiteral("YY");
    case 5:
        return monthDay + s + QStringLiteral("YYYY");
    case 6:
        return QStringLiteral("DDD") + s + monthDay;
    case 7:
        return QStringLiteral("DDD") + s + monthDay + s + QStringLiteral("YY");
    case 8:
        return QStringLiteral("DDD") + s + monthDay + s + QStringLiteral("YYYY");
    case 9:
        return QStringLiteral("DD") + s + QStringLiteral("MMM");
    case 10:
        return QStringLiteral("DD") + s + QStringLiteral("MM") + s + QStringLiteral("YY");
    case 11:
        return QStringLiteral("DD") + s + QStringLiteral("MMM") + s + QStringLiteral("YY");
    default: // 0 counts as 12
        return QStringLiteral("YY") + s + QStringLiteral("MM") + s + QStringLiteral("DD");
    }
}

QString formatTime(const QString& timeText, const QString& pattern)
{
    const auto h = twoDigitsAt(timeText, 0), m = twoDigitsAt(timeText, 3), s = twoDigitsAt(timeText, 6);
    const QTime time = h && m && s ? QTime(*h, *m, *s) : QTime();
    if (pattern.isEmpty() || timeText.size() != 8 || !time.isValid())
        return timeText;
    // With a 12-hour suffix Qt's "hh" is the 12-hour clock, as the usual notation has it.
    return QLocale::c().toString(time,
                                 toQtFormat(pattern, {{"hh", "hh"}, {"nn", "mm"}, {"ss", "ss"}, {"AM/PM", "AP"}}));
}

QString formatDate(const QString& dateText, const QString& pattern, int referenceYear)
{
    const auto mo = twoDigitsAt(dateText, 0), d = twoDigitsAt(dateText, 3), yy = twoDigitsAt(dateText, 6);
    if (pattern.isEmpty() || dateText.size() != 8 || !mo || !d || !yy)
        return dateText;
    int year = referenceYear - referenceYear % 100 + *yy;
    if (year > referenceYear + 50)
        year -= 100;
    else if (year <= referenceYear - 50)
        year += 100;
    const QDate date(year, *mo, *d);
    if (!date.isValid())
        return dateText;
    return QLocale::c().toString(
        date, toQtFormat(pattern,
                         {{"YYYY", "yyyy"}, {"YY", "yy"}, {"MMM", "MMM"}, {"MM", "MM"}, {"DDD", "ddd"}, {"DD", "dd"}}));
}

QString RowColumn::text() const
{
    return QString::number(row) + zeroPadded(column, 2);
}

RowColumn PositionToRowColumn(int position)
{
    const int p = qBound(1, position, kRows * kColumns);
    RowColumn rc;
    rc.row = (p - 1) / kColumns + 1;
    rc.column = p - kColumns * (rc.row - 1);
    return rc;
}

PreviewPlace previewPlace(int position, int length)
{
    const RowColumn rc = PositionToRowColumn(position);
    PreviewPlace place;
    place.row = rc.row;
    place.column = rc.column;
    const int over = rc.column + length - kColumns;
    if (over <= 0) {
        place.firstLength = length;
        return place;
    }
    place.firstLength = length - over;
    place.nextRow = rc.row % kRows + 1;
    place.nextLength = over;
    return place;
}

std::optional<int> formatNumber(const QString& text)
{
    const auto v = parseDecimal(text);
    if (!v)
        return std::nullopt;
    return int(roundHalfEven(*v));
}

QString timeFormatExample(const QString& number)
{
    if (number == QLatin1String("08"))
        return QStringLiteral("mm:ss-30 min dwn cnt");
    if (number == QLatin1String("09"))
        return QStringLiteral("mm:ss-60 min dwn cnt");
    const auto n = formatNumber(number);
    return n ? readableTimePattern(*n) : QString();
}

QString dateFormatExample(const QString& number)
{
    const auto n = formatNumber(number);
    return n ? DatePattern(*n).toLower() : QString();
}

} // namespace formats
