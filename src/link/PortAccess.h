#pragma once
// What the operator is told about a port that exists but that this user may not open: the device's group (usually
// "dialout") is missing from the user's groups.

#include <QList>
#include <QString>

namespace portaccess {

struct RefusedPort
{
    int number;     // 1..4
    QString device; // the device "CommPort n" opens
};

// Short enough for a status panel.
QString statusNote();
// One sentence naming every refused port with its device and what to do; empty when none was refused.
QString tableHint(const QList<RefusedPort>& refused);

} // namespace portaccess
