#pragma once
// What the operator is told about a port that exists but cannot be opened: either this user may not use the device
// (its group, usually "dialout", is missing from the user's groups) or another program holds it.

#include <QList>
#include <QString>

namespace portaccess {

enum class Refusal {
    None,
    Permission, // the device refuses this user read and write access
    InUse,      // another program holds the device (its lock, or an exclusive open)
};

struct RefusedPort
{
    int number;     // 1..4
    QString device; // the device "CommPort n" opens
    Refusal why;
};

// A port the serial layer refused with a permission error: the device's own access rights decide which it was.
Refusal classifyRefusal(const QString& device);

// A port option's tooltip: the device it opens, and why it last failed to open when it did.
QString optionTip(const QString& device, const QString& why = {});

// Short enough for a status panel; empty for Refusal::None.
QString statusNote(Refusal why);
// The worst refusal among the ports: a missing permission outranks a port in use.
Refusal worst(const QList<RefusedPort>& refused);
// One sentence per kind of refusal naming its ports with their devices and what to do; empty when none.
QString tableHint(const QList<RefusedPort>& refused);

} // namespace portaccess
