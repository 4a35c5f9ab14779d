#pragma once
// The serial link as the operator handles it on the "System Setup" tab: choosing the port and speed, working
// offline, the titler presence check, and the switch of every control that transmits.

#include <QString>

class QWidget;
class SerialPort;
class Zelk;

class SerialLink
{
public:
    SerialLink(Zelk& z, SerialPort& port);

    // The port and speed controls of the "System Setup" tab, built into parent.
    QWidget* buildPanel(QWidget* parent);

    void optCommPort_Click(int index);
    void optWorkOffline_Click();
    void opt4800Baud_Click();
    void opt9600Baud_Click();
    void opt38400Baud_Click();

    void OpenConfiguredPort();
    void FillTitlerLists();
    void CheckTitlerOnline();
    void EnableSendControls(bool enabled);

    // Asks the titler on screen for its time: "hh:mm:ss", or empty when no valid answer came.
    QString ReadTitlerTime();

private:
    void chooseSpeed(const QString& baud);
    void onPortLost(const QString& reason);
    void updatePortTooltips();

    Zelk& z_;
    SerialPort& port_;
};
