#pragma once
// A number label of the "Setup" tab that announces every change of its caption (a page load, a spinner step, a key),
// so that the label's change handling always runs, at once. Callers reach it as NumberLabel, never as a plain
// QLabel, so that setText below is the one they call.

#include <QLabel>

class NumberLabel : public QLabel
{
    Q_OBJECT
public:
    explicit NumberLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent) {}

    // Sets the caption and emits changed() when it differs from the one before.
    void setText(const QString& text);

signals:
    void changed();
};
