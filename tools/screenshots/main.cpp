// zelk-shots: takes the manual's pictures. Runs the real window against the simulator on CommPort 1 (ZELK_COMM1),
// with its settings in ZELK_HOME, under an X server that scripts/screenshots provides: one picture of the window per
// tab, then one of the whole screen (the program and the monitor beside it) after "Send" of a page with text, time
// and date shown, then the Effects tab once per effect, running. Controls are found by name, so added controls only
// make the pictures richer. Usage: zelk-shots OUTPUT_FOLDER

#include "app/MainWindow.h"
#include "app/Shell.h"
#include "app/Zelk.h"
#include "link/QtSerialPort.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>

#include <cstdio>

namespace {

constexpr int kSettleMs = 1500; // lets the clock tick, the previews and the monitor catch up
constexpr int kMonitorWidth = 620;

template <typename T> T* control(QWidget& window, const char* name)
{
    T* w = window.findChild<T*>(QLatin1String(name));
    if (!w)
        std::fprintf(stderr, "zelk-shots: no control named %s\n", name);
    return w;
}

void showTab(Zelk& z, int index)
{
    z.ui.tabMain->setCurrentIndex(index);
    QTest::qWait(kSettleMs);
}

// "Text Editor" -> "text-editor".
QString fileNameOf(const QString& caption)
{
    return caption.toLower().replace(QLatin1Char(' '), QLatin1Char('-')).remove(QLatin1Char('&')) +
           QStringLiteral(".png");
}

// The screen without the empty background around the windows.
QImage trimmed(const QImage& screen)
{
    const QRgb empty = screen.pixel(screen.width() - 1, screen.height() - 1);
    QRect used;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if (screen.pixel(x, y) != empty)
                used |= QRect(x, y, 1, 1);
    return used.isValid() ? screen.copy(used) : screen;
}

void click(QWidget& window, const char* name)
{
    if (auto* b = control<QAbstractButton>(window, name))
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

void setText(QWidget& window, const char* name, const QString& text)
{
    if (auto* e = control<QLineEdit>(window, name))
        e->setText(text);
}

// Runs the chosen effect for a moment and takes the window while it runs.
QImage running(QWidget& window, int ms)
{
    auto* start = control<QPushButton>(window, "cmdStart");
    auto* stop = control<QPushButton>(window, "cmdStop");
    if (!start || !stop)
        return window.grab().toImage();
    QTest::mouseClick(start, Qt::LeftButton);
    QTest::qWait(ms);
    const QImage shot = window.grab().toImage();
    QTest::mouseClick(stop, Qt::LeftButton);
    QTest::qWait(500);
    return shot;
}

bool save(const QImage& image, const QDir& out, const QString& name)
{
    const bool ok = image.save(out.filePath(name));
    std::fprintf(stderr, "zelk-shots: %s %s\n", ok ? "wrote" : "could not write", qPrintable(out.filePath(name)));
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelk-shots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QDir(QString::fromLocal8Bit(argv[1])).absolutePath()); // start-up changes the current folder
    Zelk z;
    z.dialogs.setAnswerAll(true); // the first start's "no initialization file" message
    z.desktop.setRecording(true);
    QtSerialPort port;
    MainWindow window(z, port);
    if (!z.shell->Form_Load({}))
        return 1;
    window.move(0, 0);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "zelk-shots: the window did not show\n");

    // Titler 01 enabled, on line, and a page of text for it.
    showTab(z, 3);
    if (auto* names = control<QListWidget>(window, "lstTitlerNames"); names && !names->item(0)->isSelected())
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, names->visualItemRect(names->item(0)).center());
    showTab(z, 4);
    if (auto* port1 = control<QRadioButton>(window, "optCommPort(1)"))
        QTest::mouseClick(port1, Qt::LeftButton);
    showTab(z, 0);
    const char* lines[] = {"txtMain(3)", "txtMain(4)", "txtMain(6)"};
    const char* texts[] = {"    EVENING NEWS", "  LIVE FROM STUDIO 2", "    ZELK MONITOR"};
    for (int i = 0; i < 3; ++i) {
        if (auto* line = control<QLineEdit>(window, lines[i])) {
            line->setFocus();
            line->setCursorPosition(0);
            QTest::keyClicks(line, QLatin1String(texts[i]));
        }
    }

    bool ok = true;
    for (int t = 0; t < z.ui.tabMain->count(); ++t) {
        showTab(z, t);
        ok = save(window.grab().toImage(), out, fileNameOf(z.ui.tabMain->tabText(t))) && ok;
    }

    showTab(z, 0);
    if (auto* send = control<QPushButton>(window, "cmdSend")) {
        QTest::mouseClick(send, Qt::LeftButton);
        if (!QTest::qWaitFor([send] { return send->text() == QLatin1String("Send"); }, 30000))
            std::fprintf(stderr, "zelk-shots: the send did not end\n");
    }
    // The monitor right beside the window and as tall, so the picture holds the two and little else.
    const QRect frame = window.frameGeometry();
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("pxt-sim monitor"),
                       QStringLiteral("windowmove"), QString::number(frame.right() + 1), QString::number(frame.top()),
                       QStringLiteral("windowsize"), QString::number(kMonitorWidth), QString::number(frame.height())});
    QTest::qWait(kSettleMs);
    ok = save(trimmed(QGuiApplication::primaryScreen()->grabWindow(0).toImage()), out, QStringLiteral("monitor.png")) &&
         ok;

    // The Effects tab in its three modes, each running on titler 01.
    showTab(z, 2);
    if (auto* list = control<QListWidget>(window, "lstEnabledTitlers");
        list && list->count() > 0 && !list->item(0)->isSelected())
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    click(window, "optRandom");
    setText(window, "txtRandomText", QStringLiteral("ON AIR"));
    for (const char* line : {"lblRandomLineNum(1)", "lblRandomLineNum(9)"})
        if (auto* label = control<QWidget>(window, line))
            QTest::mouseClick(label, Qt::LeftButton);
    click(window, "chkRandomHPos");
    ok = save(running(window, 1600), out, QStringLiteral("effects-random.png")) && ok;
    click(window, "optLineOnOff");
    setText(window, "txtOffSec", QStringLiteral("01"));
    ok = save(running(window, 300), out, QStringLiteral("effects-line-on-off.png")) && ok;
    click(window, "optLooping");
    setText(window, "txtEndPage", QStringLiteral("02"));
    setText(window, "txtStartPage", QStringLiteral("01"));
    setText(window, "txtOnSec", QStringLiteral("05"));
    ok = save(running(window, 1500), out, QStringLiteral("effects-loop-screens.png")) && ok;
    click(window, "optRandom");
    window.close();
    return ok ? 0 : 1;
}
