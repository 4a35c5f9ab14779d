#include "pxtsim/Addresses.h"

#include <QStringList>

namespace pxtsim {

namespace {

std::optional<int> address(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1 || value > 99)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<AddressSet> parseAddresses(const QString& text)
{
    AddressSet set;
    for (const QString& item : text.split(QLatin1Char(','))) {
        const QStringList ends = item.split(QLatin1Char('-'));
        if (ends.size() > 2)
            return std::nullopt;
        const std::optional<int> first = address(ends.front());
        const std::optional<int> last = address(ends.back());
        if (!first || !last || *first > *last)
            return std::nullopt;
        for (int a = *first; a <= *last; ++a)
            set.set(a);
    }
    return set;
}

} // namespace pxtsim
