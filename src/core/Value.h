#pragma once
// One dynamically typed slot value of the page table: empty, text, 16- or 32-bit integer, or Boolean (true is -1).

#include "core/Numbers.h"

#include <QString>
#include <cstdint>
#include <optional>

class Value
{
public:
    enum class Type : std::uint8_t { Empty, Text, Int16, Int32, Boolean };

    Value() = default;
    static Value text(const QString& s);
    static Value int16(qint16 n);
    static Value int32(qint32 n);
    static Value boolean(bool b);

    Type type() const { return type_; }
    bool isEmpty() const { return type_ == Type::Empty; }
    bool isNumeric() const { return type_ == Type::Int16 || type_ == Type::Int32 || type_ == Type::Boolean; }

    // "" when empty, the text itself, or the decimal form of a number (a Boolean reads as -1 or 0).
    QString toText() const;
    // A text is parsed as a decimal number; empty reads as 0. No value for a text that is not a number.
    std::optional<double> toNumber() const;
    // toNumber() rounded half to even, 0 when the value is not a number.
    qint32 toInt() const;
    bool toBool() const;

    bool operator==(const Value& other) const;

private:
    Type type_ = Type::Empty;
    qint32 number_ = 0;
    QString text_;
};
