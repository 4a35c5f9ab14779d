#include "QtSerialPort.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

QtSerialPort::QtSerialPort(QObject* parent) : SerialPort(parent)
{
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QtSerialPort::~QtSerialPort()
{
    port_.close();
}

bool QtSerialPort::open(int portNumber)
{
    if (port_.isOpen())
        port_.close();
    error_.clear();
    refusal_ = portaccess::Refusal::None;
    device_ = deviceName(portNumber);
    port_.setPortName(device_);
    port_.setBaudRate(baud_);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        // The error handler may have taken and cleared the error already.
        if (port_.error() != QSerialPort::NoError || error_.isEmpty())
            error_ = describe(port_.error());
        if (port_.error() == QSerialPort::PermissionError)
            refusal_ = portaccess::classifyRefusal(device_);
        port_.clearError();
        return false;
    }
    return true;
}

void QtSerialPort::close()
{
    // Bytes still queued are dropped: a stalled line would otherwise hold the close for the driver's closing wait.
    if (port_.isOpen()) {
        port_.clear(QSerialPort::Output);
        port_.close();
    }
}

bool QtSerialPort::isOpen() const
{
    return port_.isOpen();
}

void QtSerialPort::setSettings(const QString& settings)
{
    const int b = baudOfSettings(settings);
    if (b == 0)
        return;
    baud_ = b;
    if (port_.isOpen())
        port_.setBaudRate(baud_);
}

bool QtSerialPort::write(const QByteArray& bytes)
{
    if (!port_.isOpen()) {
        error_ = QStringLiteral("port is not open");
        return false;
    }
    if (port_.write(bytes) != bytes.size()) {
        error_ = port_.errorString();
        return false;
    }
    // Hand the bytes to the driver now: there is no event-loop turn before the drain.
    port_.flush();
    return port_.isOpen();
}

qint64 QtSerialPort::bytesWaiting()
{
    if (!port_.isOpen())
        return 0;
    if (port_.bytesToWrite() > 0)
        port_.flush();
    qint64 waiting = port_.bytesToWrite();
#ifdef Q_OS_UNIX
    int queued = 0;
    if (::ioctl(int(port_.handle()), TIOCOUTQ, &queued) == 0 && queued > 0)
        waiting += queued;
#endif
    return waiting;
}

QByteArray QtSerialPort::readAll()
{
    if (!port_.isOpen())
        return {};
    // Take what the driver holds without waiting for the event loop to notice it.
    for (int i = 0; i < 8 && port_.waitForReadyRead(0); ++i) {
    }
    return port_.readAll();
}

void QtSerialPort::onError(QSerialPort::SerialPortError e)
{
    if (e == QSerialPort::NoError)
        return;
    if (e == QSerialPort::ResourceError) {
        // The device went away; closing here stops Qt repeating the error in a busy loop.
        const QString reason = describe(e);
        error_ = reason;
        port_.clearError();
        port_.close();
        emit lost(reason);
        return;
    }
    if (e == QSerialPort::TimeoutError)
        return; // waitForReadyRead(0) with nothing to read
    if (e == QSerialPort::PermissionError)
        refusal_ = portaccess::classifyRefusal(device_);
    error_ = describe(e);
    port_.clearError();
}

QString QtSerialPort::describe(QSerialPort::SerialPortError e) const
{
    const QString& device = device_;
    switch (e) {
    case QSerialPort::PermissionError:
        switch (portaccess::classifyRefusal(device)) {
        case portaccess::Refusal::InUse:
            return QStringLiteral("%1: in use by another program").arg(device);
        case portaccess::Refusal::None:
            return QStringLiteral("%1: no such device").arg(device);
        default:
            break;
        }
#ifdef Q_OS_LINUX
        return QStringLiteral("%1: permission denied; add the user to the device's group (usually dialout) and log in "
                              "again")
            .arg(device);
#else
        return QStringLiteral("%1: permission denied or in use").arg(device);
#endif
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("%1: no such device").arg(device);
    case QSerialPort::OpenError:
        return QStringLiteral("%1: already open").arg(device);
    case QSerialPort::ResourceError:
        return QStringLiteral("%1: device went away").arg(device);
    default:
        return QStringLiteral("%1: %2").arg(device, port_.errorString());
    }
}
