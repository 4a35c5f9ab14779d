// pxt-sim: plays a line of titlers on a pseudo-terminal.

#include "Options.h"
#include "SimLoop.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// The monitor is a program of its own beside this one, so the command-line simulator never loads the window system.
int startMonitor(char* argv[])
{
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = n > 0 ? std::string(self, std::size_t(n)) : std::string(argv[0]);
    path = path.substr(0, path.rfind('/') + 1) + "pxt-sim-monitor";
    ::execv(path.c_str(), argv);
    std::fprintf(stderr, "pxt-sim: cannot start %s: %s\n", path.c_str(), std::strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--monitor") == 0)
            return startMonitor(argv);
    }
    Simulator::blockSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pxt-sim"));
    SimOptions options;
    if (!readOptions(app, options))
        return 2;
    return runSimulator(options);
}
