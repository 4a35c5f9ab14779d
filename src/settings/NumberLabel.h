#pragma once
// A number label of the "Setup" tab that reports every change of its caption, however the caption was written (a
// page load, a spinner step, a key), so that the label's change handling always runs, at once.

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>

class NumberLabel : public QLabel
{
    Q_OBJECT
public:
    explicit NumberLabel(const QString& text, QWidget* parent = nullptr);

    // Emits changed() when the caption differs from the one last seen.
    void checkText();

signals:
    void changed();

private:
    QString seen_;
};

// The row that holds a number label (and whatever sits beside it). QLabel announces no text change, but every
// change of its text makes it ask its parent's layout, synchronously, to recompute; this layout turns that request
// into the label's change event. It must therefore be the top layout of the label's parent widget.
class NumberLabelRow : public QHBoxLayout
{
public:
    NumberLabelRow(QWidget* parent, NumberLabel* label);
    void invalidate() override;

private:
    QPointer<NumberLabel> label_;
};
