#include "pxtsim/ClockText.h"

namespace pxtsim {

namespace {

constexpr int kFallbackTimeFormat = 2;
constexpr int kFallbackDateFormat = 3;

QString two(qint64 v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
const char* const kDays[] = {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"};

} // namespace

QString timeText(int n, qint64 msOfDay)
{
    if (n < 1 || n > kTimeFormats)
        n = kFallbackTimeFormat;
    static const char* const separators[] = {":", ".", " ", ""};
    const QString s = QLatin1String(separators[(n - 1) / 9]);
    const qint64 secs = msOfDay / 1000;
    const qint64 h = secs / 3600, m = secs / 60 % 60, sec = secs % 60;
    const QString tenth = QString::number(msOfDay / 100 % 10);
    const QString h12 = two(h % 12 == 0 ? 12 : h % 12);
    const QString suffix = h < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM");
    switch (n % 9) {
    case 1:
        return two(h) + s + two(m);
    case 2:
        return two(h) + s + two(m) + s + two(sec);
    case 3:
        return two(h) + s + two(m) + s + two(sec) + QLatin1Char('.') + tenth;
    case 4:
        return h12 + s + two(m) + suffix;
    case 5:
        return h12 + s + two(m) + s + two(sec) + suffix;
    case 6:
        return h12 + s + two(m) + s + two(sec) + QLatin1Char('.') + tenth + suffix;
    case 7:
        return two(m) + s + two(sec) + QLatin1Char('.') + tenth;
    default: {
        // Time left to the next half hour (8) or hour (0); on the boundary itself the full period.
        const qint64 period = n % 9 == 8 ? 1800 : 3600;
        const qint64 left = period - secs % 3600 % period;
        return two(left / 60) + s + two(left % 60);
    }
    }
}

QString dateText(int n, QDate date)
{
    if (n < 1 || n > kDateFormats)
        n = kFallbackDateFormat;
    static const char* const separators[] = {"/", "-", ".", " ", ""};
    const QString s = QLatin1String(separators[(n - 1) / 12]);
    const QString mm = two(date.month()), dd = two(date.day()), yy = two(date.year() % 100);
    const QString yyyy = QString::number(date.year());
    const QString mmmDd = QLatin1String(kMonths[date.month() - 1]) + QLatin1Char(' ') + dd;
    const QString ddd = QLatin1String(kDays[date.dayOfWeek() - 1]);
    switch (n % 12) {
    case 1:
        return mm + s + dd;
    case 2:
        return mm + s + yy;
    case 3:
        return mm + s + dd + s + yy;
    case 4:
        return mmmDd + s + yy;
    case 5:
        return mmmDd + s + yyyy;
    case 6:
        return ddd + s + mmmDd;
    case 7:
        return ddd + s + mmmDd + s + yy;
    case 8:
        return ddd + s + mmmDd + s + yyyy;
    case 9:
        return dd + s + QLatin1String(kMonths[date.month() - 1]);
    case 10:
        return dd + s + mm + s + yy;
    case 11:
        return dd + s + QLatin1String(kMonths[date.month() - 1]) + s + yy;
    default:
        return yy + s + mm + s + dd;
    }
}

} // namespace pxtsim
