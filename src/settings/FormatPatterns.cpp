#include "FormatPatterns.h"

#include "core/Value.h"

namespace formats {

namespace {

// The format number a label shows; nullopt for a text that is not a whole number.
std::optional<int> numberOf(const QString& text)
{
    const auto v = parseDecimal(text);
    if (!v)
        return std::nullopt;
    return int(roundHalfEven(*v));
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

QString readableTimePattern(int n)
{
    const auto t = timeLayout(n);
    if (!t)
        return {};
    const QString& s = t->separator;
    switch (t->layout) {
    case 1:
        return QStringLiteral("hh") + s + QStringLiteral("mm");
    case 2:
        return QStringLiteral("hh") + s + QStringLiteral("mm") + s + QStringLiteral("ss");
    case 3:
        return QStringLiteral("hh") + s + QStringLiteral("mm") + s + QStringLiteral("ss.t");
    case 4:
        return QStringLiteral("hh") + s + QStringLiteral("mm AM");
    case 5:
        return QStringLiteral("hh") + s + QStringLiteral("mm") + s + QStringLiteral("ss AM");
    case 6:
        return QStringLiteral("hh") + s + QStringLiteral("mm") + s + QStringLiteral("ss.t AM");
    case 7:
        return QStringLiteral("mm") + s + QStringLiteral("ss.t");
    default: // the down counters
        return QStringLiteral("mm") + s + QStringLiteral("ss");
    }
}

QString liveTimePattern(int n, int tenthsDigit)
{
    const auto t = timeLayout(n);
    if (!t || t->downCounterMinutes)
        return {};
    const QString& s = t->separator;
    const QString tenths = QStringLiteral("ss.") + QString::number(qBound(0, tenthsDigit, 9));
    switch (t->layout) {
    case 1:
        return QStringLiteral("hh") + s + QStringLiteral("nn");
    case 2:
        return QStringLiteral("hh") + s + QStringLiteral("nn") + s + QStringLiteral("ss");
    case 3:
        return QStringLiteral("hh") + s + QStringLiteral("nn") + s + tenths;
    case 4:
        return QStringLiteral("hh") + s + QStringLiteral("nn AM/PM");
    case 5:
        return QStringLiteral("hh") + s + QStringLiteral("nn") + s + QStringLiteral("ss AM/PM");
    case 6:
        return QStringLiteral("hh") + s + QStringLiteral("nn") + s + tenths + QStringLiteral(" AM/PM");
    default: // 7
        return QStringLiteral("nn") + s + tenths;
    }
}

QString datePattern(int n)
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

QString timeFormatExample(const QString& formatNumber)
{
    if (formatNumber == QLatin1String("08"))
        return QStringLiteral("mm:ss-30 min dwn cnt");
    if (formatNumber == QLatin1String("09"))
        return QStringLiteral("mm:ss-60 min dwn cnt");
    const auto n = numberOf(formatNumber);
    return n ? readableTimePattern(*n) : QString();
}

QString dateFormatExample(const QString& formatNumber)
{
    const auto n = numberOf(formatNumber);
    return n ? datePattern(*n).toLower() : QString();
}

} // namespace formats
