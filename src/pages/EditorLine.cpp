#include "EditorLine.h"

#include "CharFilter.h"
#include "LineEditor.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// QLineEdit keeps this many pixels between its contents rectangle and the text.
constexpr int kInnerMargin = 2;

// The character code a key types, -1 for a key that types nothing.
int asciiOf(const QKeyEvent* e)
{
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return -1;
    if (e->key() == Qt::Key_Backspace)
        return 8;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return 13;
    const QString t = e->text();
    if (t.isEmpty() || t.at(0).unicode() < 32 || t.at(0).unicode() == 127)
        return -1;
    return t.size() == 1 ? t.at(0).unicode() : 0; // a character outside the basic plane is never a titler's
}

// The system's fixed-pitch font, or a known one when the system's is not truly fixed (the columns must line up).
QFont editorFont()
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(11);
    if (!QFontInfo(f).fixedPitch()) {
        f.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                       QStringLiteral("Courier New"), f.family()});
        f.setStyleHint(QFont::TypeWriter);
    }
    return f;
}

} // namespace

EditorLine::EditorLine(LineEditor& editor, int index, QWidget* parent)
    : QLineEdit(parent), editor_(&editor), index_(index)
{
    setObjectName(QStringLiteral("txtMain(%1)").arg(index));
    setFont(editorFont());
    setMaxLength(editor::kWidth);
    // Every character must pass the titler's filter: no paste, drop or composed input around it.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);

    QStyleOptionFrame opt;
    initStyleOption(&opt);
    const int textWidth = columnWidth() * editor::kWidth;
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, this);
    // Room for twenty columns and the caret after the last, so the box never scrolls.
    setFixedWidth(textWidth + 2 * (frame + kInnerMargin) + 4);
}

int EditorLine::columnWidth() const
{
    return fontMetrics().horizontalAdvance(QLatin1Char('M'));
}

int EditorLine::columnX(int c) const
{
    QStyleOptionFrame opt;
    initStyleOption(&opt);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this);
    return r.x() + textMargins().left() + kInnerMargin + c * columnWidth();
}

int EditorLine::caretPosition() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void EditorLine::setHighlighted(bool on)
{
    highlighted_ = on;
    paintHighlight(on);
}

void EditorLine::paintHighlight(bool on)
{
    painting_ = true;
    QPalette pal = palette();
    const QPalette normal = QApplication::palette(this);
    pal.setColor(QPalette::Base, on ? normal.color(QPalette::Highlight) : normal.color(QPalette::Base));
    pal.setColor(QPalette::Text, on ? normal.color(QPalette::HighlightedText) : normal.color(QPalette::Text));
    setPalette(pal);
    painting_ = false;
}

void EditorLine::changeEvent(QEvent* e)
{
    QLineEdit::changeEvent(e);
    if (e->type() != QEvent::PaletteChange || painting_)
        return;
    const bool on = palette().color(QPalette::Base) == QApplication::palette(this).color(QPalette::Highlight);
    if (on != highlighted_) {
        highlighted_ = on;
        paintHighlight(on); // the text colour follows the new back colour
    }
}

void EditorLine::keyPressEvent(QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods =
        e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!editor_ || editor_->txtMain_KeyDown(index_, e->key(), mods)) {
        e->accept();
        return;
    }
    const int ascii = asciiOf(e);
    if (ascii >= 0) {
        const int typed = ascii == 0 ? 0 : editor_->txtMain_KeyPress(index_, ascii);
        e->accept();
        if (typed == 0 || typed == 13) // a single-line box has no use for Enter
            return;
        if (typed == 8) {
            QLineEdit::keyPressEvent(e);
            return;
        }
        QKeyEvent upper(e->type(), e->key(), e->modifiers(), QString(QChar(char16_t(typed))), e->isAutoRepeat(),
                        ushort(e->count()));
        QLineEdit::keyPressEvent(&upper);
        return;
    }
    // The box's own clipboard, undo and word-delete keys, whatever modifiers a platform gives them, would edit
    // the line behind the filter and the single clipboard route.
    static const QKeySequence::StandardKey kBoxEdits[] = {
        QKeySequence::Paste,           QKeySequence::Cut,             QKeySequence::Copy,
        QKeySequence::Undo,            QKeySequence::Redo,            QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord, QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine,
        QKeySequence::SelectAll};
    for (QKeySequence::StandardKey k : kBoxEdits)
        if (e->matches(k)) {
            e->accept();
            return;
        }
    QLineEdit::keyPressEvent(e);
}

void EditorLine::mousePressEvent(QMouseEvent* e)
{
    if (editor_)
        editor_->txtMain_MouseDown(index_, qRound(e->position().y()));
    QLineEdit::mousePressEvent(e);
}

void EditorLine::mouseMoveEvent(QMouseEvent* e)
{
    if (editor_)
        editor_->txtMain_MouseMove(index_, e->buttons(), qRound(e->position().y()));
    QLineEdit::mouseMoveEvent(e);
}

void EditorLine::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::MiddleButton) { // the selection paste would bypass the filter
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void EditorLine::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (editor_)
        editor_->txtMain_GotFocus(index_);
}

void EditorLine::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (editor_)
        editor_->txtMain_LostFocus(index_);
}

void EditorLine::inputMethodEvent(QInputMethodEvent* e)
{
    // Composed text would bypass the filter; the line takes keys only. (Input methods are off for the line, but an
    // event that arrives all the same must not write into it.)
    e->ignore();
}

void EditorLine::paintEvent(QPaintEvent* e)
{
    QLineEdit::paintEvent(e);
    const QString t = text();
    if (!t.contains(QChar(editor::kBlockSpace)))
        return;
    // The box shows control characters as spaces; a block space is drawn as a solid cell over it.
    QStyleOptionFrame opt;
    initStyleOption(&opt);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this);
    const int h = fontMetrics().height();
    const int top = r.y() + (r.height() - h + 1) / 2;
    QPainter p(this);
    const QColor ink = palette().color(QPalette::Text);
    for (int i = 0; i < t.size(); ++i)
        if (t.at(i) == QChar(editor::kBlockSpace))
            p.fillRect(QRect(columnX(i), top, columnWidth(), h), ink);
}

CharRuler::CharRuler(const EditorLine& line, QWidget* parent)
    : QLabel(QStringLiteral("12345678901234567890"), parent), line_(&line)
{
    setObjectName(QStringLiteral("lblCharPos"));
    setFont(line.font());
}

void CharRuler::paintEvent(QPaintEvent*)
{
    // Each digit stands over its own column of the lines, whatever the style's margins.
    if (!line_)
        return;
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    const QString t = text();
    const int w = line_->columnWidth();
    for (int i = 0; i < t.size(); ++i) {
        const int x = mapFrom(window(), line_->mapTo(window(), QPoint(line_->columnX(i), 0))).x();
        p.drawText(QRect(x, 0, w, height()), Qt::AlignCenter, QString(t.at(i)));
    }
}

LineLabel::LineLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
}

void LineLabel::mousePressEvent(QMouseEvent* e)
{
    pressed_ = e->button() == Qt::LeftButton;
    e->accept();
}

void LineLabel::mouseReleaseEvent(QMouseEvent* e)
{
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    e->accept();
    if (click)
        emit clicked();
}
