#pragma once
// One editor line (txtMain(n)): a twenty-column box in a fixed-pitch font that hands its keys and mouse moves to
// the LineEditor, draws block spaces as solid blocks, and shows the whole-line highlight. Also the column ruler
// (lblCharPos) and the line labels (lblLineNum(n)) that go beside the lines.

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

class LineEditor;

class EditorLine : public QLineEdit
{
    Q_OBJECT
public:
    EditorLine(LineEditor& editor, int index, QWidget* parent);

    int index() const { return index_; }

    bool highlighted() const { return highlighted_; }
    void setHighlighted(bool on);

    // Left edge of column c (0-based) in this box's coordinates; the ruler and the block drawing use it.
    int columnX(int c) const;
    int columnWidth() const;
    // The caret position the way the line's routines see it: the start of a selection, else the caret.
    int caretPosition() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    // Whoever sets the back colour decides the highlight, as the back colour is what marks a line.
    void changeEvent(QEvent* e) override;

private:
    void paintHighlight(bool on);

    QPointer<LineEditor> editor_; // the window may drop the editor before its controls
    int index_;
    bool highlighted_ = false;
    bool painting_ = false;
};

// lblCharPos: the column numbers, each drawn over its column of the editor lines.
class CharRuler : public QLabel
{
    Q_OBJECT
public:
    CharRuler(const EditorLine& line, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPointer<const EditorLine> line_;
};

// lblLineNum(n): a label that reports a click.
class LineLabel : public QLabel
{
    Q_OBJECT
public:
    LineLabel(const QString& caption, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool pressed_ = false;
};
