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
