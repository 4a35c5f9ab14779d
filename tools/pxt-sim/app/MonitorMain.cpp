// pxt-sim-monitor: the simulator with its monitor window; `pxt-sim --monitor` starts it.

#include "Monitor.h"
#include "Options.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    Simulator::blockSignals(); // before the window system starts threads of its own
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pxt-sim"));
    SimOptions options;
    if (!readOptions(app, options))
        return 2;
    return runMonitor(options);
}
