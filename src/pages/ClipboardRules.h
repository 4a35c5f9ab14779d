#pragma once
// The clipboard's and the alignment's rules that need no widget: what Cut and Copy put on the clipboard, which
// pasted characters the titler cannot show, which lines pasted text fills, and how a line is aligned.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace editor {

// Each line followed by a line feed and then a carriage return.
QString clipboardText(const QStringList& lines);

// The pasted text with every character the titler cannot show replaced by a space, after askReplace(character)
// agreed; nullopt as soon as it does not (the paste is cancelled). Line breaks, lower-case letters and block spaces
// pass as they are.
std::optional<QString> cleanPastedText(const QString& text, const std::function<bool(const QString&)>& askReplace);

struct LineText
{
    int line; // 1..9
    QString text;
};

// The lines that cleaned pasted text replaces, from line currentLine on. Text with line breaks puts each non-empty
// segment into the next line (whole, however long); text without them is cut into pieces of twenty characters.
// Nothing goes past line 9.
QList<LineText> pastedLines(const QString& text, int currentLine);

// mode "Left", "Right" or "Center": the line's text between its leading and trailing spaces, moved; the result is
// not padded back to twenty characters. A blank line gives an empty text, another mode the text unchanged.
QString AlignText(const QString& mode, const QString& text);

} // namespace editor
