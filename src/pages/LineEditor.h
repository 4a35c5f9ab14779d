#pragma once
// The nine-line, twenty-column editor of the page on view: typing with the titler's character set, overtype and
// insert, block spaces, moves between lines, whole-line highlight, line on/off labels, and the keys the window
// takes before the focused control.

#include <QObject>
#include <QString>

class QLabel;
class QVBoxLayout;
class QWidget;
class EditorLine;
class Zelk;

class LineEditor : public QObject
{
    Q_OBJECT
public:
    explicit LineEditor(Zelk& z);

    // The editor grid of the "Text Editor" tab; registers txtMain(1..9), lblLineNum(1..9) and lblTypeMode.
    QWidget* buildPanel(QWidget* parent);

    // Handlers (index is the line 1..9).
    void txtMain_Change(int index);
    // Returns what the box should still type: 0 when the key is dropped or already applied.
    int txtMain_KeyPress(int index, int keyAscii);
    // Returns true when the key is used up and the box must not handle it itself.
    bool txtMain_KeyDown(int index, int keyCode, Qt::KeyboardModifiers shift);
    void txtMain_MouseDown(int index, int y);
    void txtMain_MouseMove(int index, Qt::MouseButtons button, int y);
    void txtMain_GotFocus(int index);
    void txtMain_LostFocus(int index);
    void lblLineNum_Click(int index);
    // The window's keys, seen before the focused control.
    void Form_KeyDown(int keyCode, Qt::KeyboardModifiers shift);

    // The Insert key's action: flips OvertypeMode, shows it in lblTypeMode and stores TypeMode.
    void toggleTypeMode();

    void FocusLine(int line, int position);
    void ClearLineHighlight();
    bool isHighlighted(int line) const;
    void setHighlighted(int line, bool on);

    // The single route of the clipboard keys and menus ("Copy", "Cut", "Paste"), and of alignment ("Left",
    // "Right", "Center").
    void clipboardAction(const QString& action);
    void alignAction(const QString& mode);
    // Replaces a line's whole text through its change handling, as typing does, and stores it even when the box
    // already showed it (see txtMain_Change for a text longer than the line).
    void setLineText(int index, const QString& text);
    // Fills a line with its page's stored text: a text longer than the line stays whole in the table.
    void showLine(int index, const QString& text);
    // Puts a panel into the column beside the lines, under the heading.
    void addSidePanel(QWidget* panel);

    bool BlockSpaceMode = false;
    qint16 DragStartY = 0; // pixels from the top of the pressed line

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditorLine* line(int index) const;
    void setLineState(int index, qint32 colour);

    Zelk& z_;
    QWidget* panel_ = nullptr;
    QVBoxLayout* side_ = nullptr;
    int longLine_ = 0; // the line being filled with a text that may be longer than the box
    bool f4Paste_ = false;
    bool f5Paste_ = false;
};

// Line labels carry their state as a back colour in the system's colour numbers (65280 green, 255 red).
qint32 lineLabelState(const QLabel* label);
void setLineLabelState(QLabel* label, qint32 colour);
