#include "PortAccess.h"

#include <QStringList>

namespace portaccess {

namespace {

QString remedy()
{
#ifdef Q_OS_LINUX
    return QStringLiteral("The user must be in the device's group (usually 'dialout'): add the user to it and log in "
                          "again.");
#else
    return QStringLiteral("Another program may hold it, or the user lacks the right to use it.");
#endif
}

} // namespace

QString statusNote()
{
#ifdef Q_OS_LINUX
    return QStringLiteral("No Permission (dialout group)");
#else
    return QStringLiteral("No Permission or Port In Use");
#endif
}

QString tableHint(const QList<RefusedPort>& refused)
{
    if (refused.isEmpty())
        return {};
    QStringList ports;
    for (const RefusedPort& p : refused)
        ports << QStringLiteral("Comm %1 (%2)").arg(p.number).arg(p.device);
    return QStringLiteral("No permission to open %1. %2").arg(ports.join(QStringLiteral(", ")), remedy());
}

} // namespace portaccess
