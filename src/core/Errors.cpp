#include "Errors.h"

#include "core/Numbers.h"

qint16 toInteger16(const QString& text, const QString& source)
{
    const auto n = parseDecimal(text);
    if (!n)
        throw RunTimeError{err::kTypeMismatch, source + QStringLiteral(": \"") + text + QStringLiteral("\" is not a number")};
    const qint64 r = roundHalfEven(*n);
    if (r < -32768 || r > 32767)
        throw RunTimeError{err::kOverflow, source + QStringLiteral(": ") + text + QStringLiteral(" is out of range")};
    return qint16(r);
}
