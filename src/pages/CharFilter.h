#pragma once
// The editor's rules that need no widget: which keys a titler can show, how a typed character changes a
// twenty-column line, and how many lines a mouse drag covers.

#include <QString>
#include <array>

namespace editor {

constexpr int kWidth = 20;
// Stands in the line for a block space; the titler gets it as code 1.
constexpr char16_t kBlockSpace = 30;

// The code a key becomes in a line (upper case), or 0 when the titler cannot show it. Backspace and Enter pass.
int FilterChar(int keyAscii, bool blockSpaceMode);

// A line padded with spaces to twenty characters (a longer one is left as it is).
QString padLine(const QString& text);

struct Edit
{
    QString text;
    int caret;
};

// The line after typing character c at caret pos: in overtype mode c replaces the character under the caret,
// in insert mode it pushes the rest right and the last character drops off. Nothing changes at the end of a full
// line in overtype mode.
Edit typeInto(const QString& line, int pos, QChar c, bool overtype);

// Vertical extent of an editor line, in one coordinate system shared by all lines.
struct Span
{
    int top = 0;
    int bottom = 0; // exclusive
    int middle() const { return (top + bottom) / 2; }
};

// Lines to highlight while the mouse, pressed on line `pressed` at height startY, is held at height y (same
// coordinates as spans; spans[1..9]). A line counts once the pointer has passed its middle. Result: first..last,
// {0, 0} to clear every highlight (the pointer is back over the pressed line), {-1, -1} for no change.
struct LineRange
{
    int first;
    int last;
};
LineRange dragLines(const std::array<Span, 10>& spans, int pressed, int startY, int y);

} // namespace editor
