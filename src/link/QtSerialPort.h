#pragma once
// The real serial port: QSerialPort at 8N1 without flow control, with the driver's output queue counted as waiting.

#include "link/SerialPort.h"

#include <QSerialPort>

class QtSerialPort : public SerialPort
{
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool open(int portNumber) override;
    void close() override;
    bool isOpen() const override;
    void setSettings(const QString& settings) override;
    int baud() const override { return baud_; }
    bool write(const QByteArray& bytes) override;
    qint64 bytesWaiting() override;
    QByteArray readAll() override;
    QString errorText() const override { return error_; }
    portaccess::Refusal refusal() const override { return refusal_; }

private:
    void onError(QSerialPort::SerialPortError e);
    QString describe(QSerialPort::SerialPortError e) const;

    QSerialPort port_;
    QString device_;
    int baud_ = 9600;
    QString error_;
    portaccess::Refusal refusal_ = portaccess::Refusal::None;
};
