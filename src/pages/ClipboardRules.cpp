#include "ClipboardRules.h"

#include "CharFilter.h"
#include "core/Numbers.h"

namespace editor {

namespace {

constexpr char16_t kLineFeed = 10;
constexpr char16_t kCarriageReturn = 13;

bool isBreak(char32_t c)
{
    return c == kLineFeed || c == kCarriageReturn;
}

} // namespace

QString clipboardText(const QStringList& lines)
{
    QString out;
    for (const QString& line : lines)
        out += line + QChar(kLineFeed) + QChar(kCarriageReturn);
    return out;
}

std::optional<QString> cleanPastedText(const QString& text, const std::function<bool(const QString&)>& askReplace)
{
    QString out;
    out.reserve(text.size());
    // By whole characters, so one outside the basic plane is asked about once.
    for (const char32_t c : text.toUcs4()) {
        // A backspace is a key, not something a line can hold; a block space is the editor's own character.
        const bool shown = c < 0x10000 && c != 8 && (isBreak(c) || c == kBlockSpace || FilterChar(int(c), false) != 0);
        if (shown) {
            out += QChar(char16_t(c));
            continue;
        }
        if (!askReplace(QString::fromUcs4(&c, 1)))
            return std::nullopt;
        out += QLatin1Char(' ');
    }
    return out;
}

QList<LineText> pastedLines(const QString& text, int currentLine)
{
    QList<LineText> out;
    if (text.contains(QChar(kLineFeed)) || text.contains(QChar(kCarriageReturn))) {
        QString segment;
        int offset = 0;
        for (const QChar c : text) {
            if (!isBreak(c.unicode())) {
                segment += c;
                continue;
            }
            // An empty segment (between CR and LF, or a blank line) takes no line.
            if (!segment.isEmpty() && currentLine + offset <= 9) {
                out.append({currentLine + offset, segment});
                segment.clear();
                ++offset;
            }
        }
        return out; // text after the last break is not pasted
    }
    for (int k = 0; k * kWidth < text.size() && currentLine + k <= 9; ++k)
        out.append({currentLine + k, text.mid(k * kWidth, kWidth)});
    return out;
}

QString AlignText(const QString& mode, const QString& text)
{
    const QString line = padLine(text);
    qsizetype lead = 0;
    while (lead < line.size() && line.at(lead) == QLatin1Char(' '))
        ++lead;
    if (lead == line.size())
        return QString();
    qsizetype trail = 0;
    while (line.at(line.size() - 1 - trail) == QLatin1Char(' '))
        ++trail;
    const qsizetype total = lead + trail;
    const QString content = line.mid(lead, line.size() - total);
    if (mode == QLatin1String("Left"))
        return content;
    if (mode == QLatin1String("Right"))
        return QString(total, QLatin1Char(' ')) + content;
    if (mode == QLatin1String("Center"))
        return QString(roundHalfEven(double(total) / 2), QLatin1Char(' ')) + content;
    return text;
}

} // namespace editor
