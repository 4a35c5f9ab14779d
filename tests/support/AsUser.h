#pragma once

#include <QtGlobal>

#include <functional>

#include <unistd.h>

// Runs fn as an ordinary user when the test runs as root, whom a file's or a device's mode does not stop. False when
// the switch is refused.
inline bool asUser(const std::function<void()>& fn)
{
    const bool root = ::geteuid() == 0;
    if (root && ::seteuid(65534) != 0)
        return false;
    fn();
    if (root && ::seteuid(0) != 0)
        qFatal("cannot return to root");
    return true;
}
