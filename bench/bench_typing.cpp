// Typing in the continuous send mode while the clock tick asks a silent titler for its time and date: how long a
// keystroke takes to put its line's first byte on the line. Keys are posted into the event queue at random moments,
// as a keyboard delivers them, so that a tick holding the window would hold them too. The line's own time is the
// pause the line still owes a question already on it when the program receives the key (the titler's time to
// answer); what the program adds is the rest, from the moment the key was posted.

#include "SimProcess.h"
#include "TestWindow.h"
#include "link/CommandProtocol.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

// Notes what the line owes when a key reaches the editor line.
class KeyWatch : public QObject
{
public:
    explicit KeyWatch(CommandProtocol& p) : protocol(p) {}
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress)
            owedMs = protocol.owedPauseMs();
        return QObject::eventFilter(o, e);
    }
    CommandProtocol& protocol;
    int owedMs = 0;
};

// The real port, noting when each page line goes out.
class TimedPort : public QtSerialPort
{
public:
    bool write(const QByteArray& bytes) override
    {
        if (bytes.size() > 5 && bytes.mid(3, 2) == "28")
            lineWrites.append(clock.nsecsElapsed());
        return QtSerialPort::write(bytes);
    }
    QElapsedTimer clock;
    QList<qint64> lineWrites;
};

struct Stats
{
    QList<double> total;  // keystroke to first byte, ms
    QList<double> beyond; // the same less the pause the line owed at the keystroke
    int owed = 0;         // keystrokes that met a pause still owed when they arrived
};

double percentile(QList<double> v, double p)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min<qsizetype>(v.size() - 1, qsizetype(p * double(v.size())))];
}

Stats run(int keys, bool tick)
{
    SimProcess sim({QStringLiteral("--silent")});
    qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
    TimedPort port;
    TestWindow w(port);
    w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 1), true);
    w.startOnline();
    w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 1), true);
    w.z.link->FillTitlerLists();
    w.z.ui.optSendContinuous->setChecked(true);
    QLineEdit* line = w.z.ui.txtMain[1];
    line->setFocus();
    if (!tick)
        w.z.ui.tmrTime->stop();

    Stats s;
    port.clock.start();
    QRandomGenerator random(12345);
    int sent = 0;
    qint64 pressedNs = 0;
    qsizetype writesAtPress = 0;
    KeyWatch watch(*w.z.protocol);
    line->installEventFilter(&watch);
    QTimer next;
    next.setSingleShot(true);
    QObject::connect(&next, &QTimer::timeout, [&] {
        if (sent > 0 && port.lineWrites.size() > writesAtPress) {
            const double ms = double(port.lineWrites[writesAtPress] - pressedNs) / 1e6;
            s.total.append(ms);
            s.beyond.append(ms - watch.owedMs);
            s.owed += watch.owedMs > 0;
        }
        if (sent == keys)
            return;
        // Type over the first cell, each key another letter, so that every key changes the line.
        line->setCursorPosition(0);
        const QString letter = QString(QChar('A' + sent % 2));
        writesAtPress = port.lineWrites.size();
        pressedNs = port.clock.nsecsElapsed();
        QCoreApplication::postEvent(line, new QKeyEvent(QEvent::KeyPress, Qt::Key_A + sent % 2, {}, letter));
        QCoreApplication::postEvent(line, new QKeyEvent(QEvent::KeyRelease, Qt::Key_A + sent % 2, {}, letter));
        ++sent;
        next.start(60 + int(random.bounded(120))); // 60..180 ms between keys: a fast typist
    });
    next.start(500);
    while (sent < keys || next.isActive())
        QTest::qWait(20);
    w.close();
    return s;
}

void report(const char* what, const Stats& s)
{
    std::printf("%-32s %5lld %5d %8.2f %8.2f %8.2f %8.2f %8.2f\n", what, qlonglong(s.total.size()), s.owed,
                percentile(s.total, 0.5), percentile(s.total, 0.99), percentile(s.total, 1.0),
                percentile(s.beyond, 0.99), percentile(s.beyond, 1.0));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int keys = argc > 1 ? std::max(10, atoi(argv[1])) : 300;
    std::printf("Keystroke to the line's first byte, continuous send mode, titler 01 enabled and silent (ms)\n");
    std::printf("%-32s %5s %5s %8s %8s %8s %8s %8s\n", "", "keys", "owed", "median", "p99", "max", "p99-own",
                "max-own");
    report("clock tick off", run(keys, false));
    report("clock tick asking the titler", run(keys, true));
    return 0;
}
