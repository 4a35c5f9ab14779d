#include "PtyLink.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyLink::~PtyLink()
{
    removeLink();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PtyLink::open(const QString& linkPath, QString* error)
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        *error = systemError("cannot create a pseudo-terminal");
        return false;
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    const char* name = ::ptsname(master_);
    if (!name) {
        *error = systemError("ptsname");
        return false;
    }
    slaveName_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        *error = systemError("cannot open the slave");
        return false;
    }
    termios tio{};
    if (::tcgetattr(slave_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B9600);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }

    const QByteArray path = linkPath.toLocal8Bit();
    struct stat st
    {
    };
    if (::lstat(path.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = QStringLiteral("%1 exists and is not a symlink").arg(linkPath);
            return false;
        }
        ::unlink(path.constData()); // a stale link from an earlier run
    }
    if (::symlink(slaveName_.constData(), path.constData()) != 0) {
        *error = systemError("cannot create the link");
        return false;
    }
    link_ = path;
    return true;
}

void PtyLink::removeLink()
{
    if (link_.isEmpty())
        return;
    char target[512];
    const ssize_t n = ::readlink(link_.constData(), target, sizeof target - 1);
    if (n > 0 && QByteArray(target, n) == slaveName_)
        ::unlink(link_.constData());
    link_.clear();
}

int PtyLink::baud() const
{
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0)
        return 0;
    switch (::cfgetospeed(&tio)) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}
