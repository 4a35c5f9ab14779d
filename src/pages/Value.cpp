#include "Value.h"

#include <algorithm>
#include <cmath>

Value Value::text(const QString& s)
{
    Value v;
    v.type_ = Type::Text;
    v.text_ = s;
    return v;
}

Value Value::int16(qint16 n)
{
    Value v;
    v.type_ = Type::Int16;
    v.number_ = n;
    return v;
}

Value Value::int32(qint32 n)
{
    Value v;
    v.type_ = Type::Int32;
    v.number_ = n;
    return v;
}

Value Value::boolean(bool b)
{
    Value v;
    v.type_ = Type::Boolean;
    v.number_ = b ? -1 : 0;
    return v;
}

QString Value::toText() const
{
    switch (type_) {
    case Type::Empty:
        return {};
    case Type::Text:
        return text_;
    default:
        return QString::number(number_);
    }
}

std::optional<double> Value::toNumber() const
{
    switch (type_) {
    case Type::Empty:
        return 0.0;
    case Type::Text:
        return parseDecimal(text_);
    default:
        return double(number_);
    }
}

qint32 Value::toInt() const
{
    if (type_ != Type::Text)
        return number_;
    const auto n = parseDecimal(text_);
    if (!n)
        return 0;
    const qint64 r = roundHalfEven(*n);
    return qint32(std::clamp<qint64>(r, INT32_MIN, INT32_MAX));
}

bool Value::toBool() const
{
    if (type_ == Type::Text) {
        const QString t = text_.trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toInt() != 0;
}

bool Value::operator==(const Value& other) const
{
    return type_ == other.type_ && number_ == other.number_ && text_ == other.text_;
}

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
