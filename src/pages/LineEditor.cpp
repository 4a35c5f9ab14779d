#include "LineEditor.h"

#include "CharFilter.h"
#include "EditorLine.h"

#include "core/Errors.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "link/StatusLine.h"
#include "pages/EditorClipboard.h"
#include "transmit/Transmission.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

QColor colourOfNumber(qint32 c)
{
    // The system's colour numbers hold red in the low byte, then green, then blue.
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

const char* const kStateProperty = "BackColor";

} // namespace

qint32 lineLabelState(const QLabel* label)
{
    return label ? label->property(kStateProperty).toInt() : 0;
}

void setLineLabelState(QLabel* label, qint32 colour)
{
    if (!label)
        return;
    label->setProperty(kStateProperty, colour);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, colourOfNumber(colour));
    pal.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(pal);
}

LineEditor::LineEditor(Zelk& z) : z_(z)
{
    z_.editor = this;
}

QWidget* LineEditor::buildPanel(QWidget* parent)
{
    panel_ = new QWidget(parent);
    auto* row = new QHBoxLayout(panel_);
    row->setContentsMargins(0, 0, 0, 0);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    for (int n = 1; n <= slot::kLines; ++n) {
        auto* box = new EditorLine(*this, n, panel_);
        z_.ui.txtMain[std::size_t(n)] = box;
        connect(box, &QLineEdit::textChanged, this, [this, n] { txtMain_Change(n); });

        auto* label = new LineLabel(QString::number(n), panel_);
        label->setObjectName(QStringLiteral("lblLineNum(%1)").arg(n));
        label->setFixedSize(box->sizeHint().height(), box->sizeHint().height());
        setLineLabelState(label, slot::kLineOn);
        z_.ui.lblLineNum[std::size_t(n)] = label;
        connect(label, &LineLabel::clicked, this, [this, n] { lblLineNum_Click(n); });

        grid->addWidget(label, n, 0);
        grid->addWidget(box, n, 1);
    }
    grid->addWidget(new CharRuler(*line(1), panel_), 0, 1);
    row->addLayout(grid);

    auto* side = new QVBoxLayout;
    side_ = side;
    auto* heading = new QLabel(QStringLiteral("ZELK TEXT EDITOR"), panel_);
    heading->setObjectName(QStringLiteral("lblZELKTextEditor"));
    QFont hf = heading->font();
    hf.setBold(true);
    heading->setFont(hf);
    heading->setAlignment(Qt::AlignCenter);
    side->addWidget(heading);
    side->addStretch(1);
    auto* modeCaption = new QLabel(QStringLiteral("Typing Mode:"), panel_);
    modeCaption->setObjectName(QStringLiteral("Label1"));
    modeCaption->setAlignment(Qt::AlignCenter);
    side->addWidget(modeCaption);
    auto* mode = new QLabel(z_.OvertypeMode ? QStringLiteral("OVERTYPE") : QStringLiteral("INSERT"), panel_);
    mode->setObjectName(QStringLiteral("lblTypeMode"));
    mode->setAlignment(Qt::AlignCenter);
    mode->setFont(hf);
    z_.ui.lblTypeMode = mode;
    side->addWidget(mode);
    side->addStretch(1);
    row->addLayout(side, 1);

    // The window sees every key before the focused control.
    qApp->installEventFilter(this);
    return panel_;
}

EditorLine* LineEditor::line(int index) const
{
    if (index < 1 || index > slot::kLines)
        return nullptr;
    return static_cast<EditorLine*>(z_.ui.txtMain[std::size_t(index)]);
}

void LineEditor::txtMain_Change(int index)
{
    if (z_.EventsSuppressed)
        return;
    try {
        EditorLine* box = line(index);
        if (!box)
            return;
        const QString text = box->text();
        if (text.size() < editor::kWidth) {
            // The padded text comes back through this handler, which stores and sends it once.
            const int caret = box->cursorPosition();
            box->setText(editor::padLine(text));
            box->setCursorPosition(caret);
            return;
        }
        const int stored = z_.pageSlot(slot::kLine1 + index - 1);
        // A longer text that a paste or a file put into the line stays whole until the line is changed: the box
        // shows, and the titler gets, only its first twenty characters. Only filling the line with that text keeps
        // it; every other change (a clear included) stores what the box shows.
        const QString kept = z_.table.text(stored);
        if (longLine_ != index || kept.size() <= editor::kWidth || !kept.startsWith(text))
            z_.table.setText(stored, text);
        if (z_.ui.optSendContinuous && z_.ui.optSendContinuous->isChecked() && !z_.EditorLoading &&
            z_.transmission && z_.ui.txtAddress)
            z_.transmission->SendPageLines(z_.ui.txtAddress->text(), index);
        if (z_.status)
            z_.status->ShowStatus(20);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

int LineEditor::txtMain_KeyPress(int index, int keyAscii)
{
    if (z_.EventsSuppressed)
        return 0;
    EditorLine* box = line(index);
    if (!box)
        return 0;
    const int pos = box->caretPosition();
    const int k = editor::FilterChar(keyAscii, BlockSpaceMode);
    if (k == editor::kBlockSpace || (!z_.OvertypeMode && k != 0 && k != 8 && k != 13)) {
        const editor::Edit e = editor::typeInto(box->text(), pos, QChar(char16_t(k)), z_.OvertypeMode);
        if (e.text != box->text())
            box->setText(e.text);
        box->setCursorPosition(e.caret);
        return 0;
    }
    if (z_.OvertypeMode && k != 0 && k != 8 && pos < box->text().size())
        box->setSelection(pos, 1); // the typed character replaces the one under the caret
    return k;
}

bool LineEditor::txtMain_KeyDown(int index, int keyCode, Qt::KeyboardModifiers shift)
{
    if (z_.EventsSuppressed)
        return true;
    EditorLine* box = line(index);
    if (!box)
        return false;
    bool usedUp = false;
    if (shift == Qt::NoModifier) {
        const int caret = box->caretPosition();
        switch (keyCode) {
        case Qt::Key_Up:
            if (index > 1)
                FocusLine(index - 1, caret);
            z_.CurrentLine = qint16(std::max(index - 1, 1));
            usedUp = true;
            break;
        case Qt::Key_Down:
            if (index < slot::kLines)
                FocusLine(index + 1, caret);
            z_.CurrentLine = qint16(std::min(index + 1, slot::kLines));
            usedUp = true;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (index < slot::kLines) {
                FocusLine(index + 1, 0);
                z_.CurrentLine = qint16(index + 1);
            }
            if (z_.ui.optSendEOL && z_.ui.optSendEOL->isChecked() && z_.transmission)
                z_.transmission->SendPages(QStringLiteral("Line"), QString::number(index));
            usedUp = true;
            break;
        default:
            break;
        }
        ClearLineHighlight();
        return usedUp;
    }
    if (shift == Qt::ShiftModifier) {
        if (keyCode == Qt::Key_Down && index < slot::kLines) {
            if (isHighlighted(index + 1)) {
                setHighlighted(index + 1, false);
            } else {
                setHighlighted(index, true);
                line(index + 1)->setCursorPosition(0);
            }
            return true;
        }
        if (keyCode == Qt::Key_Up && index > 1) {
            if (isHighlighted(index - 1)) {
                setHighlighted(index - 1, false);
            } else {
                setHighlighted(index, true);
                line(index - 1)->setCursorPosition(0);
            }
            return true;
        }
        return keyCode == Qt::Key_Up || keyCode == Qt::Key_Down;
    }
    if (shift == Qt::ControlModifier) {
        switch (keyCode) {
        case Qt::Key_C:
            clipboardAction(QStringLiteral("Copy"));
            ClearLineHighlight();
            break;
        case Qt::Key_X:
            clipboardAction(QStringLiteral("Cut"));
            ClearLineHighlight();
            break;
        case Qt::Key_V:
            clipboardAction(QStringLiteral("Paste"));
            ClearLineHighlight();
            break;
        case Qt::Key_Space:
            BlockSpaceMode = !BlockSpaceMode;
            break;
        default:
            // Every other Ctrl key does nothing: the box's own word deletes, select-all and the like would edit a
            // line behind the filter (and, in continuous mode, on the titler).
            break;
        }
        return true;
    }
    ClearLineHighlight();
    return false;
}

void LineEditor::txtMain_MouseDown(int index, int y)
{
    if (z_.EventsSuppressed)
        return;
    DragStartY = qint16(y);
    z_.CurrentLine = qint16(index);
    ClearLineHighlight();
}

void LineEditor::txtMain_MouseMove(int index, Qt::MouseButtons button, int y)
{
    if (z_.EventsSuppressed || button == Qt::NoButton || !panel_)
        return;
    EditorLine* pressed = line(index);
    if (!pressed)
        return;
    // The lines' real geometry decides which lines the pointer has moved over.
    std::array<editor::Span, 10> spans{};
    for (int n = 1; n <= slot::kLines; ++n) {
        const QWidget* b = line(n);
        const int top = b->mapTo(panel_, QPoint(0, 0)).y();
        spans[std::size_t(n)] = {top, top + b->height()};
    }
    const int origin = spans[std::size_t(index)].top;
    const editor::LineRange r = editor::dragLines(spans, index, origin + DragStartY, origin + y);
    if (r.first < 0)
        return;
    ClearLineHighlight();
    for (int n = std::max(r.first, 1); n <= r.last; ++n)
        setHighlighted(n, true);
}

void LineEditor::txtMain_GotFocus(int index)
{
    if (!z_.EventsSuppressed)
        z_.CurrentLine = qint16(index);
}

void LineEditor::txtMain_LostFocus(int index)
{
    if (!z_.EventsSuppressed)
        z_.LastEditLine = index;
}

void LineEditor::lblLineNum_Click(int index)
{
    if (z_.EventsSuppressed)
        return;
    try {
        QLabel* label = z_.ui.lblLineNum[std::size_t(index)];
        const bool wasOn = lineLabelState(label) == slot::kLineOn;
        // Stored before it is sent, so a failed send cannot leave the slot out of step with the label.
        setLineState(index, wasOn ? slot::kLineOff : slot::kLineOn);
        if (wasOn) {
            if (z_.protocol)
                z_.protocol->SendCommand(QString(), code::kLineOff, QString::number(index));
        } else if (z_.transmission) {
            z_.transmission->SendPages(QStringLiteral("Line"), QString::number(index));
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void LineEditor::setLineState(int index, qint32 colour)
{
    setLineLabelState(z_.ui.lblLineNum[std::size_t(index)], colour);
    z_.table.setInt32(z_.pageSlot(slot::kLineState1 + index - 1), colour);
}

void LineEditor::Form_KeyDown(int keyCode, Qt::KeyboardModifiers shift)
{
    if (z_.EventsSuppressed)
        return;
    try {
        const bool plain = !(shift & (Qt::ControlModifier | Qt::AltModifier));
        if (plain) {
            switch (keyCode) {
            case Qt::Key_F2:
                // Not while the tab strip is locked (an effect runs).
                if (z_.ui.tabMain && z_.ui.tabMain->isEnabled())
                    z_.ui.tabMain->setCurrentIndex(1);
                break;
            case Qt::Key_F3:
                alignAction(QStringLiteral("Center"));
                break;
            case Qt::Key_F4:
                clipboardAction(f4Paste_ ? QStringLiteral("Paste") : QStringLiteral("Cut"));
                f4Paste_ = !f4Paste_;
                break;
            case Qt::Key_F5:
                clipboardAction(f5Paste_ ? QStringLiteral("Paste") : QStringLiteral("Copy"));
                f5Paste_ = !f5Paste_;
                break;
            case Qt::Key_F7:
                setLineText(z_.CurrentLine, QString());
                break;
            case Qt::Key_Insert:
                toggleTypeMode();
                break;
            default:
                break;
            }
        } else if (shift == Qt::ControlModifier && (keyCode == Qt::Key_O || keyCode == Qt::Key_S)) {
            const QString name = keyCode == Qt::Key_O ? QStringLiteral("mnuFileOpen") : QStringLiteral("mnuFileSave");
            if (z_.ui.frmZELK)
                if (auto* a = z_.ui.frmZELK->findChild<QAction*>(name))
                    a->trigger();
        }
        if (keyCode == Qt::Key_Delete || keyCode == Qt::Key_F6)
            for (int n = 1; n <= slot::kLines; ++n)
                if (isHighlighted(n))
                    setLineText(n, editor::padLine(QString()));
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void LineEditor::toggleTypeMode()
{
    if (z_.EventsSuppressed)
        return;
    z_.OvertypeMode = !z_.OvertypeMode;
    if (z_.ui.lblTypeMode)
        z_.ui.lblTypeMode->setText(z_.OvertypeMode ? QStringLiteral("OVERTYPE") : QStringLiteral("INSERT"));
    z_.table.setInt16(slot::kTypeMode, z_.OvertypeMode ? 1 : 2);
}

void LineEditor::FocusLine(int index, int position)
{
    if (EditorLine* box = line(index)) {
        box->setFocus(Qt::OtherFocusReason);
        box->setCursorPosition(position);
        z_.CurrentLine = qint16(index);
    }
}

void LineEditor::ClearLineHighlight()
{
    for (int n = 1; n <= slot::kLines; ++n)
        setHighlighted(n, false);
}

bool LineEditor::isHighlighted(int index) const
{
    const EditorLine* box = line(index);
    return box && box->highlighted();
}

void LineEditor::setHighlighted(int index, bool on)
{
    if (EditorLine* box = line(index); box && box->highlighted() != on)
        box->setHighlighted(on);
}

void LineEditor::clipboardAction(const QString& action)
{
    if (z_.clipboard)
        z_.clipboard->ClipboardAction(action);
}

void LineEditor::alignAction(const QString& mode)
{
    if (z_.clipboard)
        z_.clipboard->Align(mode);
}

void LineEditor::setLineText(int index, const QString& text)
{
    EditorLine* box = line(index);
    if (!box || z_.EventsSuppressed)
        return;
    const int stored = z_.pageSlot(slot::kLine1 + index - 1);
    // The box keeps at most twenty characters; the table keeps the whole text (see txtMain_Change).
    if (text.size() > editor::kWidth) {
        z_.table.setText(stored, text);
        showLine(index, text);
        return;
    }
    box->setText(text);
    // A box that already showed this text fires no change, yet a longer text behind it must go.
    if (z_.table.text(stored) != box->text())
        z_.table.setText(stored, box->text());
}

void LineEditor::showLine(int index, const QString& text)
{
    EditorLine* box = line(index);
    if (!box)
        return;
    longLine_ = index;
    box->setText(text);
    longLine_ = 0;
}

void LineEditor::addSidePanel(QWidget* panel)
{
    if (side_)
        side_->insertWidget(1, panel);
}

bool LineEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !z_.ui.frmZELK || z_.EventsSuppressed)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != z_.ui.frmZELK)
        return false;
    // A key travels from the focused control up its parents; the window sees it once, at the first.
    QWidget* focus = QApplication::focusWidget();
    if (w != (focus ? focus : z_.ui.frmZELK))
        return false;
    auto* k = static_cast<QKeyEvent*>(event);
    Form_KeyDown(k->key(), k->modifiers());
    return false;
}
