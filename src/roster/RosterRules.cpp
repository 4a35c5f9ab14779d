#include "RosterRules.h"

#include "pages/CharFilter.h"
#include "core/Numbers.h"

namespace roster {

QString addressText(int address)
{
    return twoDigits(address);
}

QString rowText(int address, const QString& name)
{
    return addressText(address) + QStringLiteral("   ") + name;
}

QString namePart(const QString& row)
{
    return row.mid(kNameStart, kNameWidth);
}

int filterNameChar(int code)
{
    // A name is only shown in the program, never sent as screen text: a space is never a block space in it.
    return editor::FilterChar(code, false);
}

QString filterName(const QString& typed)
{
    QString out;
    out.reserve(typed.size());
    for (const QChar c : typed) {
        const int code = filterNameChar(c.unicode());
        if (code >= ' ')
            out += QChar(code);
    }
    return out;
}

} // namespace roster
