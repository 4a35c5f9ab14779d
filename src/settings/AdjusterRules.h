#pragma once
// The arithmetic of the position and format adjusters: stepping a number with wrap-around, the vertical position's
// range by character size and firmware, and moving a screen cell left, right, up or down.

#include <QString>
#include <optional>

namespace adjust {

inline const QString kAdd = QStringLiteral("Add");
inline const QString kSubtract = QStringLiteral("Subtract");

struct Range
{
    int min = 0;
    int max = 0;
};

// The vertical character size chosen on the page: none yet, one of 1x..4x, or the small sizes 1s and 2s.
enum class VSize { None, Normal, Small1s, Small2s };

// The size a VSizeCode ("471".."476") stands for; nullopt for any other text.
std::optional<VSize> vSizeOfCode(const QString& code);

// 1..64 for old firmware and the 1x..4x sizes, 0..80 for 1s, 0..40 for 2s, 0..0 with no size.
Range vPosRangeFor(bool oldFirmware, VSize size);

// Screen cells of a titler: 9 rows of 20, numbered 1..180 from the top left.
constexpr int kCells = 180;
constexpr int kRowCells = 20;

} // namespace adjust

// One step of a spinner: an empty value counts as 0; "Add" adds one, "Subtract" takes one away, any other direction
// leaves the value; past max it wraps to min, below min to max; zero-padded to digits. Throws RunTimeError for a
// value that is not a number.
QString StepParameter(const QString& value, int max, int min, int digits, const QString& direction);

namespace adjust {

// A cell position moved by the keyboard: "left"/"right" step within 1..180 with wrap-around; "up"/"down" move a row,
// the top row going to the bottom and the bottom row to the top. Any other direction leaves it.
int movedCell(int position, const QString& direction);

} // namespace adjust
