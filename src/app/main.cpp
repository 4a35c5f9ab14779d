#include "app/MainWindow.h"
#include "app/OrderClient.h"
#include "app/Shell.h"
#include "app/SignalWatcher.h"
#include "app/Zelk.h"
#include "link/QtSerialPort.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

namespace {

// "--send" and "--clear" go to the running copy: no window, and no display needed.
std::optional<int> runOrder(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const auto order = orders::fromArguments(arguments);
    if (!order)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ZELK"));
    QCoreApplication::setOrganizationName(QStringLiteral("ZELK"));
    QTextStream err(stderr);
    return orders::runOrder(*order, Shell::GetAppPath(), err);
}

} // namespace

int main(int argc, char** argv)
{
    if (const auto status = runOrder(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZELK"));
    QApplication::setOrganizationName(QStringLiteral("ZELK"));
    // The installed desktop entry and icon (none in a build folder, where the window keeps the default icon).
    QApplication::setDesktopFileName(QStringLiteral("zelk"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("zelk")));

    Zelk z;
    QtSerialPort port;
    MainWindow window(z, port);
    if (!z.shell->Form_Load(app.arguments().mid(1)))
        return 0; // another copy runs

    // From here on a logout or kill closes the window in order, so the pages are saved. Before this point there is
    // nothing of the operator's to save, and "ZELK.ini" must not be written from a half-loaded table.
    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &window, [&window, &z] {
        z.shell->setUnattendedClose();
        window.close();
    });
    window.show();
    return app.exec();
}
