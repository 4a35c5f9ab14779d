#pragma once
// The choices of the Random effect that need no window: which screen line comes next, where in the line the text
// goes, and the cell a line starts at.

#include <QString>

#include <array>
#include <functional>

namespace effects {

constexpr int kScreenLines = 9;
constexpr int kScreenWidth = 20;

// Int(count * r + base) for r in [0, 1): with count 9 and base 1 a line 1..9, with base 0 a number 0..count-1.
qint16 randomInt(int count, int base, double r);

// usable[n] for lines 1..9 (index 0 unused). drawLine gives a line 1..9 at random. With fewer than two usable lines
// the highest usable one is taken (the drawn one when none is); with two or three the line differs from last; with
// four or more from last and previous.
int chooseLine(const std::array<bool, kScreenLines + 1>& usable, int last, int previous,
               const std::function<int()>& drawLine);

// The last and second-last indent of the text.
struct Shifts
{
    qint16 last1 = 0;
    qint16 last2 = 0;
};

// The twenty-character text without its surrounding spaces, indented by a number of spaces that differs from the
// last two indents where a few draws find one. drawShift(count) gives 0..count-1 at random. Updates shifts.
QString horizontalText(const QString& text, Shifts& shifts, const std::function<int(int)>& drawShift);

// "001", "021", ... "161": the first cell of screen line n.
QString cellNumber(int line);

} // namespace effects
