#include "PortAccess.h"

#include <QFile>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace portaccess {

namespace {

QString portList(const QList<RefusedPort>& refused, Refusal why)
{
    QStringList ports;
    for (const RefusedPort& p : refused)
        if (p.why == why)
            ports << QStringLiteral("Comm %1 (%2)").arg(p.number).arg(p.device);
    return ports.join(QStringLiteral(", "));
}

} // namespace

Refusal classifyRefusal(const QString& device)
{
#ifdef Q_OS_UNIX
    // A held lock or an exclusive open comes back as a permission error too: only the device's own rights for the
    // effective user (whom the open ran as) tell them apart. A device that is not there is neither (its lock may be
    // another program's try).
    const QByteArray path = QFile::encodeName(device);
    if (::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) == 0)
        return Refusal::InUse;
    return errno == EACCES ? Refusal::Permission : Refusal::None;
#else
    Q_UNUSED(device);
    return Refusal::Permission; // the system does not tell the two apart
#endif
}

QString optionTip(const QString& device, const QString& why)
{
    return why.isEmpty() ? QStringLiteral("Opens %1").arg(device) : QStringLiteral("Opens %1\n%2").arg(device, why);
}

QString statusNote(Refusal why)
{
    switch (why) {
    case Refusal::Permission:
#ifdef Q_OS_LINUX
        return QStringLiteral("No Permission (dialout group)");
#else
        return QStringLiteral("No Permission or Port In Use");
#endif
    case Refusal::InUse:
        return QStringLiteral("Port In Use");
    default:
        return {};
    }
}

Refusal worst(const QList<RefusedPort>& refused)
{
    Refusal w = Refusal::None;
    for (const RefusedPort& p : refused) {
        if (p.why == Refusal::Permission)
            return p.why;
        if (p.why == Refusal::InUse)
            w = p.why;
    }
    return w;
}

QString tableHint(const QList<RefusedPort>& refused)
{
    QStringList sentences;
    if (const QString ports = portList(refused, Refusal::Permission); !ports.isEmpty()) {
#ifdef Q_OS_LINUX
        sentences << QStringLiteral("No permission to open %1. The user must be in the device's group (usually "
                                    "'dialout'): add the user to it and log in again.")
                         .arg(ports);
#else
        sentences << QStringLiteral("Cannot open %1. Another program may hold it, or the user lacks the right to use "
                                    "it.")
                         .arg(ports);
#endif
    }
    if (const QString ports = portList(refused, Refusal::InUse); !ports.isEmpty())
        sentences << QStringLiteral("In use by another program: %1. Close it there or choose another port.").arg(ports);
    return sentences.join(QLatin1Char(' '));
}

} // namespace portaccess
