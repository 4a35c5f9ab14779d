#pragma once
// The one serial port that reaches the titlers, as the rest of the program sees it. The real port is QtSerialPort;
// tests put a recording port in its place to see pacing and draining.

#include "link/PortAccess.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class SerialPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens port 1..4; on failure returns false and errorText() says why.
    virtual bool open(int portNumber) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // "4800,n,8,1", "9600,n,8,1" or "38400,n,8,1"; applies at once when open, else at the next open.
    virtual void setSettings(const QString& settings) = 0;
    virtual int baud() const = 0;
    // Hands the bytes on as one write; false when the port is not open or fails.
    virtual bool write(const QByteArray& bytes) = 0;
    // Bytes not yet on the wire: the program's buffer and the driver's queue.
    virtual qint64 bytesWaiting() = 0;
    // Everything received so far, without needing an event-loop turn.
    virtual QByteArray readAll() = 0;
    virtual QString errorText() const = 0;
    // Why the last open was refused when the device exists: this user may not use it, or another program holds it.
    virtual portaccess::Refusal refusal() const { return portaccess::Refusal::None; }
    // The device that "CommPort n" opens.
    virtual QString deviceName(int portNumber) const;

signals:
    // The device went away under an open port (unplugged adapter, vanished pty); the port is already closed.
    void lost(const QString& reason);
};

// Baud rate of a settings string ("9600,n,8,1" gives 9600), 0 when it names none of the three speeds.
int baudOfSettings(const QString& settings);
