#pragma once
// Setting a titler's clock and calendar from the "Setup" tab: to the computer's time and date or to a typed one,
// with the checks of what was typed and the result in the status line.

#include <QObject>
#include <QString>

class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;
class Zelk;

class ClockSetting : public QObject
{
    Q_OBJECT
public:
    explicit ClockSetting(Zelk& z);

    // The rows under the time (or date) settings: the two sources, the typed entry and "Apply".
    QWidget* buildRows(QWidget* parent, bool time);

    void cmdSetTimePC_Click();
    void cmdSetDatePC_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Rows
    {
        QRadioButton* fromPc = nullptr;
        QRadioButton* fromKeyboard = nullptr;
        QLineEdit* entry = nullptr;
        QLabel* caption = nullptr;
    };

    void chooseSource(const Rows& rows, bool keyboard);
    void apply(bool time);
    void showResult(const QString& text);

    Zelk& z_;
    Rows time_;
    Rows date_;
};
