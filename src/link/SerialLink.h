#pragma once
// The serial link as the operator handles it on the "System Setup" tab: choosing the port and speed, working
// offline, the titler presence check, and the switch of every control that transmits.

#include <QObject>
#include <QString>

class QWidget;
class SerialPort;
class Zelk;

class SerialLink : public QObject
{
    Q_OBJECT
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

    // The port went away or its line stalled: closes it, records the failure once and shows the link as a port
    // that failed to open, until the operator chooses a port again.
    void linkFailed(int errorNumber, const QString& reason);

signals:
    // The port went away or its line stalled: it is closed, the error recorded and the link shown offline. A running
    // sequence (a send, a clear, an effect) ends on it.
    void linkLost();

private:
    void chooseSpeed(const QString& baud);
    void updatePortTooltips();

    Zelk& z_;
    SerialPort& port_;
};
