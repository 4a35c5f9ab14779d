#include "SerialPort.h"

QString SerialPort::deviceName(int portNumber) const
{
    const QByteArray env = qgetenv(QByteArray("ZELK_COMM") + QByteArray::number(portNumber));
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

int baudOfSettings(const QString& settings)
{
    const QString b = settings.section(QLatin1Char(','), 0, 0).trimmed();
    if (b == QLatin1String("4800") || b == QLatin1String("9600") || b == QLatin1String("38400"))
        return b.toInt();
    return 0;
}
