#pragma once
// The bytes of one screen line as the page line sender writes them: ESC, address, "28", the three-digit cell where
// the line starts, then the line's text as the titler takes it.

#include <QByteArray>
#include <QString>

namespace lines {

constexpr int kFirstCell = 1;
constexpr int kLastCell = 180;
constexpr char16_t kBlockSpace = 30; // how the editor stores a solid block
constexpr char kTitlerBlock = 1;      // how the titler is told to draw it

// Cell of the first character of screen line n (1..9): 1, 21, 41 .. 161.
constexpr int firstCellOfLine(int n) { return 1 + 20 * (n - 1); }

// A line's text as it goes out: upper case, at most 20 characters, the block space as the titler's block.
QByteArray titlerText(const QString& line);

// The whole "28" frame for one line.
QByteArray lineFrame(const QString& prefix, const QString& address, int line, const QString& text);

} // namespace lines
