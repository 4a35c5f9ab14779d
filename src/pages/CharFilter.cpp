#include "CharFilter.h"

namespace editor {

int FilterChar(int keyAscii, bool blockSpaceMode)
{
    const int c = QChar(char16_t(keyAscii)).toUpper().unicode();
    if (c == 8 || c == 13)
        return c;
    if (c == 32)
        return blockSpaceMode ? kBlockSpace : 32;
    if (c == 33 || (c >= 38 && c <= 58) || c == 61 || c == 63 || (c >= 65 && c <= 90) || c == 95 || c == 126)
        return c;
    return 0;
}

QString padLine(const QString& text)
{
    if (text.size() >= kWidth)
        return text;
    return text + QString(kWidth - text.size(), QLatin1Char(' '));
}

Edit typeInto(const QString& line, int pos, QChar c, bool overtype)
{
    pos = std::clamp(pos, 0, int(line.size()));
    if (overtype && pos >= kWidth)
        return {line, pos};
    const QString rest = overtype ? line.mid(pos + 1) : line.mid(pos);
    return {(line.left(pos) + c + rest).left(kWidth), std::min(pos + 1, kWidth)};
}

LineRange dragLines(const std::array<Span, 10>& spans, int pressed, int startY, int y)
{
    const Span& own = spans[std::size_t(pressed)];
    if (y >= own.top && y < own.bottom)
        return {0, 0};
    if (y > startY) {
        int last = pressed;
        for (int k = pressed + 1; k <= 9 && y >= spans[std::size_t(k)].middle(); ++k)
            last = k;
        return {pressed, last};
    }
    if (y < startY) {
        int first = pressed;
        for (int k = pressed - 1; k >= 1 && y <= spans[std::size_t(k)].middle(); --k)
            first = k;
        return {first, pressed};
    }
    return {-1, -1};
}

} // namespace editor
