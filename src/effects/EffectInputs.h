#pragma once
// The small input rules the Effects tab repeats: number boxes typed over digit by digit, and spinners that step
// once when pressed and then every 150 ms while held.

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;
class QTimer;
class UpDown;

// Watches number boxes: a digit overwrites the character at the caret, Backspace and "." pass, any other typed key
// is dropped. Leaving a box (not for a message box or a menu) runs its lost-focus handling.
class DigitBoxes : public QObject
{
public:
    using QObject::QObject;
    void watch(QLineEdit* box, std::function<void()> lostFocus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<QObject*, std::function<void()>> lostFocus_;
};

// Steps the owner's value for a spinner: "Add" for the upper arrow, "Subtract" for the lower one.
class SpinRepeat : public QObject
{
public:
    SpinRepeat(UpDown* spinner, std::function<void(const QString&)> step);

private:
    void press(int y);
    void release();

    UpDown* spinner_;
    std::function<void(const QString&)> step_;
    QTimer* repeat_;
    QString direction_;
};
