#pragma once
// The six number labels of the "Setup" tab (text position, time and date position, time and date format) with their
// spinners and the Alt keys that move the positions: every change is brought into range, stored in the page and sent.

#include "settings/AdjusterRules.h"

#include <QObject>
#include <QString>

class QLabel;
class NumberLabel;
class QWidget;
class UpDown;
class Zelk;

class Adjusters : public QObject
{
    Q_OBJECT
public:
    enum Field { VPos, HPos, TimePos, DatePos, TimeFormat, DateFormat };

    explicit Adjusters(Zelk& z);
    ~Adjusters() override;

    // A field's number label and spinner side by side, registered in z.ui.
    QWidget* buildField(Field f, QWidget* parent);
    // The example texts beside the format numbers.
    QLabel* buildTimeFormatExample(QWidget* parent);
    QLabel* buildDateFormatExample(QWidget* parent);
    // Takes the Alt keys of every control of the window (the window's key-down and key-up handling).
    void watchWindowKeys();

    // Change handling of the labels: clamp and pad, store, send.
    void lblVPos_Change();
    void lblHPos_Change();
    void lblTimePos_Change();
    void lblDatePos_Change();
    void lblTimeFormat_Change();
    void lblDateFormat_Change();

    // A spinner pressed at height y steps its label at once and then every 150 ms until it is let go.
    void spinner_MouseDown(Field f, int y);
    void spinner_MouseUp();

    // The vertical position's range for the size selected now.
    adjust::Range VPosRange() const;
    void MoveTimePos(const QString& direction);
    void MoveDatePos(const QString& direction);
    void SendPositionCommand(const QString& code, const QString& vertical, const QString& horizontal);

    // The Alt keys; true when the key was one of them.
    bool Form_KeyDown(int key, Qt::KeyboardModifiers shift);
    bool Form_KeyUp(int key, Qt::KeyboardModifiers shift, bool autoRepeat = false);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void labelChanged(Field f);
    adjust::Range changeRange(Field f) const;
    adjust::Range stepRange(Field f) const;
    bool formatsRestricted() const;
    NumberLabel* label(Field f) const;
    UpDown* spinner(Field f) const;
    void storeOnly(int k, const QString& value);
    void waitWhileHeld(int ms);
    void movePosition(Field f, const QString& direction);

    Zelk& z_;
};
