// A long run: "All" over 99 pages to 99 simulated titlers, again and again, with the clock and calendar preview
// asking the titler on screen between and during the sends. Reports the program's resident memory over the run, the
// errors it recorded and what the simulator made of every frame, so that a slow leak, a stray error or a frame broken
// once in a thousand rounds shows.
//
// bench_soak [seconds]   (default 1800)

#include "SimProcess.h"
#include "TestWindow.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>

namespace {

qint64 residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Reads the simulator's log as it grows and sorts every frame by what the simulator noted about it.
class LogTally
{
public:
    explicit LogTally(const QString& path) : file_(path) {}

    void readNew()
    {
        if (!file_.isOpen() && !file_.open(QIODevice::ReadOnly))
            return;
        rest_ += file_.readAll();
        const qsizetype end = rest_.lastIndexOf('\n');
        if (end < 0)
            return;
        for (const QByteArray& line : rest_.left(end).split('\n'))
            count(line);
        rest_ = rest_.mid(end + 1);
    }

    qint64 frames = 0;
    qint64 questions = 0;
    qint64 answered = 0;
    QMap<QByteArray, qint64> faults; // note -> frames carrying it

private:
    void count(const QByteArray& line)
    {
        if (line.isEmpty())
            return;
        ++frames;
        const QList<QByteArray> parts = line.split(' ');
        const QByteArray code = parts.value(2);
        if (code == "38" || code == "43") {
            ++questions;
            if (line.contains("[reply "))
                ++answered;
        }
        if (parts.value(1) == "--" || code == "??")
            ++faults[parts.value(1) == "--" ? "[garbage]" : "[unknown code]"];
        for (const char* note : {"[bad parameter]", "[extra bytes ignored]", "[continued]", "bytes dropped]"})
            if (line.contains(note))
                ++faults[note];
    }

    QFile file_;
    QByteArray rest_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const qint64 seconds = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1800;

    SimProcess sim;
    qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
    QtSerialPort port;
    TestWindow w(port);
    if (!w.startOnline()) {
        std::fprintf(stderr, "bench_soak: the line did not come online\n");
        return 1;
    }
    for (int a = 1; a <= 99; ++a) {
        w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        for (int n = 1; n <= 9; ++n)
            w.z.table.setText(
                slot::page(a, slot::kLine1 + n - 1),
                QStringLiteral("PAGE %1 LINE %2").arg(a, 2, 10, QLatin1Char('0')).arg(n).leftJustified(20));
    }
    w.z.link->FillTitlerLists();
    w.z.ui.optSendAll->setChecked(true);
    const int errorsBefore = w.z.errorsRecorded;

    std::printf("soak: \"All\" over 99 pages to 99 simulated titlers for %lld s, clock preview on\n", seconds);
    std::printf("%6s %8s %9s %9s %8s\n", "round", "elapsed", "send ms", "RSS KB", "errors");
    LogTally tally(sim.logPath());
    QElapsedTimer total;
    total.start();
    QList<qint64> rss;
    qint64 slowest = 0;
    int rounds = 0;
    while (total.elapsed() < seconds * 1000) {
        QElapsedTimer t;
        t.start();
        w.z.ui.cmdSend->click();
        slowest = qMax(slowest, t.elapsed());
        ++rounds;
        QTest::qWait(1000); // the preview reads the titler on screen between rounds too
        tally.readNew();
        rss.append(residentKb());
        if (rounds <= 3 || rounds % 20 == 0)
            std::printf("%6d %7llds %9lld %9lld %8d\n", rounds, total.elapsed() / 1000, t.elapsed(), rss.last(),
                        w.z.errorsRecorded - errorsBefore);
        std::fflush(stdout);
    }
    QTest::qWait(300);
    tally.readNew();

    // What the titlers show at the end: each its own page.
    int pagesRight = 0;
    const auto titlers = sim.dump();
    for (int a = 1; a <= 99; ++a) {
        const QString expected = QStringLiteral("PAGE %1 LINE 9").arg(a, 2, 10, QLatin1Char('0')).leftJustified(20);
        if (titlers.value(QStringLiteral("%1").arg(a, 2, 10, QLatin1Char('0'))).rows.value(8) == expected)
            ++pagesRight;
    }
    w.close();

    // Memory after the first rounds (caches, fonts, the log's buffers) against the end of the run.
    const qint64 settled = rss.value(qMin<qsizetype>(4, rss.size() - 1));
    const qint64 peak = rss.isEmpty() ? 0 : *std::max_element(rss.begin(), rss.end());
    std::printf("\nrounds %d in %lld s, slowest send %lld ms\n", rounds, total.elapsed() / 1000, slowest);
    std::printf("RSS KB: first %lld, after round 5 %lld, last %lld, peak %lld (last - round 5: %+lld)\n", rss.value(0),
                settled, rss.value(rss.size() - 1), peak, rss.value(rss.size() - 1) - settled);
    std::printf("errors recorded: %d (last: %d %s)\n", w.z.errorsRecorded - errorsBefore,
                w.z.table.toInt(slot::kErrorNumber), qPrintable(w.z.table.text(slot::kErrorSource)));
    std::printf("frames logged: %lld, questions %lld, answered %lld\n", tally.frames, tally.questions, tally.answered);
    qint64 faulty = 0;
    for (auto it = tally.faults.cbegin(); it != tally.faults.cend(); ++it) {
        std::printf("  frames noted %s: %lld\n", it.key().constData(), it.value());
        faulty += it.value();
    }
    std::printf("frames not well-formed: %lld\n", faulty);
    std::printf("titlers showing their own page at the end: %d of 99\n", pagesRight);
    return faulty == 0 && w.z.errorsRecorded == errorsBefore && pagesRight == 99 ? 0 : 1;
}
