#include "RandomRules.h"

#include <algorithm>
#include <cmath>

namespace effects {

namespace {

// A generator that keeps drawing rejected lines must not hang the window: after this many draws the first
// acceptable line is taken without chance.
constexpr int kMaxDraws = 10000;

} // namespace

qint16 randomInt(int count, int base, double r)
{
    return qint16(std::floor(count * r + base));
}

int chooseLine(const std::array<bool, kScreenLines + 1>& usable, int last, int previous,
               const std::function<int()>& drawLine)
{
    int count = 0;
    int highest = 0;
    for (int n = 1; n <= kScreenLines; ++n)
        if (usable[std::size_t(n)]) {
            ++count;
            highest = n;
        }
    int line = drawLine();
    if (count < 2)
        return highest > 0 ? highest : line;

    auto acceptable = [&](int n) {
        if (n < 1 || n > kScreenLines || !usable[std::size_t(n)] || n == last)
            return false;
        return count < 4 || n != previous;
    };
    for (int draws = 1; !acceptable(line); ++draws) {
        if (draws >= kMaxDraws) {
            for (int n = 1; n <= kScreenLines; ++n)
                if (acceptable(n))
                    return n;
            return highest;
        }
        line = drawLine();
    }
    return line;
}

QString horizontalText(const QString& text, Shifts& shifts, const std::function<int(int)>& drawShift)
{
    const QString line = text.left(kScreenWidth);
    int leading = 0;
    while (leading < line.size() && line.at(leading) == QLatin1Char(' '))
        ++leading;
    int trailing = 0;
    // Counted back from the twentieth character, never past the text itself (a blank line has no trailing part).
    for (int i = kScreenWidth - 1; i >= leading && (i >= line.size() || line.at(i) == QLatin1Char(' ')); --i)
        ++trailing;
    const int free = leading + trailing;

    qint16 shift = 0;
    for (int draws = 0; (shift == shifts.last1 || shift == shifts.last2) && draws < 5; ++draws)
        shift = qint16(drawShift(free));
    shifts.last2 = shifts.last1;
    shifts.last1 = shift;
    return QString(shift, QLatin1Char(' ')) + line.mid(leading, kScreenWidth - free);
}

QString cellNumber(int line)
{
    const int cell = std::clamp(20 * line - 19, 1, 180);
    return QString::number(cell).rightJustified(3, QLatin1Char('0'));
}

} // namespace effects
