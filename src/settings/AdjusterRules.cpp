#include "AdjusterRules.h"

#include "core/Errors.h"
#include "core/Value.h"

namespace adjust {

std::optional<VSize> vSizeOfCode(const QString& code)
{
    if (code == QLatin1String("471") || code == QLatin1String("472") || code == QLatin1String("473") ||
        code == QLatin1String("474"))
        return VSize::Normal;
    if (code == QLatin1String("475"))
        return VSize::Small1s;
    if (code == QLatin1String("476"))
        return VSize::Small2s;
    return std::nullopt;
}

Range vPosRangeFor(bool oldFirmware, VSize size)
{
    if (oldFirmware)
        return {1, 64};
    switch (size) {
    case VSize::Normal:
        return {1, 64};
    case VSize::Small1s:
        return {0, 80};
    case VSize::Small2s:
        return {0, 40};
    default:
        return {0, 0};
    }
}

int movedCell(int v, const QString& direction)
{
    if (direction == QLatin1String("left"))
        return StepParameter(QString::number(v), kCells, 1, 3, kSubtract).toInt();
    if (direction == QLatin1String("right"))
        return StepParameter(QString::number(v), kCells, 1, 3, kAdd).toInt();
    if (direction == QLatin1String("up"))
        return v > kRowCells ? v - kRowCells : v + kCells - kRowCells;
    if (direction == QLatin1String("down"))
        return v <= kCells - kRowCells ? v + kRowCells : v - (kCells - kRowCells);
    return v;
}

} // namespace adjust

QString StepParameter(const QString& value, int max, int min, int digits, const QString& direction)
{
    int n = value.isEmpty() ? 0 : toInteger16(value, QStringLiteral("StepParameter"));
    if (direction == adjust::kAdd)
        ++n;
    else if (direction == adjust::kSubtract)
        --n;
    if (n > max)
        n = min;
    else if (n < min)
        n = max;
    return zeroPadded(n, digits);
}
