#pragma once
// "Auto-Detect Ports" on the "System Setup" tab: tries ports 1 to 4, shows in the port table whether each opens and
// whether a titler answers a time question there, and ends on the last port where one answered.

#include "link/PortAccess.h"

#include <QObject>
#include <QString>
#include <array>

class QLabel;
class SerialPort;
class Zelk;

class PortScan : public QObject
{
public:
    // The "System Setup" panel with its port table and cmdAutoDetect must exist.
    PortScan(Zelk& z, SerialPort& port);

    void cmdAutoDetect_Click();
    // Opens the port and asks for a titler: available when it opened, connected when anything came back.
    void ProbePort(int port, bool& available, bool& connected);

    qint16 DetectedPort = 0;      // the last port of the scan where a titler answered, 0 for none
    QString LastAnsweringAddress; // asked first on every port; kept from scan to scan

private:
    struct Row
    {
        QLabel* commPort = nullptr;
        QLabel* available = nullptr;
        QLabel* connected = nullptr;
    };

    void startTable();
    void showRow(int port, bool available, bool connected);
    void finish();
    void noteRefusal(int port);
    // The port still carries questions: open, online and not stalled. A vanished or hung port ends its probe.
    bool portServes();
    bool askTime(QString& address);

    Zelk& z_;
    SerialPort& port_;
    std::array<Row, 5> rows_{}; // ports 1..4
    QLabel* notify_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* portAvailable_ = nullptr;
    QLabel* pxtDetected_ = nullptr;
    QList<portaccess::RefusedPort> refused_;
};
