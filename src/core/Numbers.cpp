#include "Numbers.h"

#include <cmath>

std::optional<double> parseDecimal(const QString& s)
{
    const QString t = s.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // Only plain decimal notation: no hex, no exponent, no thousands separators.
    int i = 0;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+'))
        ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128)
            digits = true;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (!digits)
        return std::nullopt;
    bool ok = false;
    const double d = t.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

qint64 roundHalfEven(double v)
{
    return qint64(std::nearbyint(v)); // default rounding mode is to nearest, ties to even
}

QString zeroPadded(qint64 n, int digits)
{
    const QString magnitude = QString::number(n < 0 ? -n : n).rightJustified(digits, QLatin1Char('0'));
    return n < 0 ? QLatin1Char('-') + magnitude : magnitude;
}

int widthDigits(const QString& width)
{
    if (width == QLatin1String("1"))
        return 1;
    if (width == QLatin1String("2"))
        return 2;
    if (width == QLatin1String("3"))
        return 3;
    return int(width.size());
}

QString twoDigits(int n)
{
    return zeroPadded(n, 2);
}

bool isTitlerAddress(const QString& address)
{
    return address.size() == 2 && address.at(0).isDigit() && address.at(1).isDigit() && address.at(0).unicode() < 128 &&
           address.at(1).unicode() < 128;
}
