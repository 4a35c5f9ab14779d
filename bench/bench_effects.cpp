// Runs the Random effect for a long time against 99 simulated titlers and reports what an operator would notice on
// air after hours: whether the program's memory grows and whether the steps drift from their period.
//   bench_effects [seconds] [titlers|broadcast] [on seconds]
// "titlers" sends each step to all 99 titlers one by one; "broadcast" sends it once to "00".

#include "EffectsFixture.h"
#include "SimProcess.h"
#include "link/QtSerialPort.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace {

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    const bool broadcast = argc > 2 && QByteArray(argv[2]) == "broadcast";
    const QString onSec = argc > 3 ? QString::fromLatin1(argv[3]).rightJustified(2, '0') : QStringLiteral("01");

    SimProcess sim;
    qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
    QtSerialPort port;
    EffectsFixture f(port);
    QList<int> all;
    for (int a = 1; a <= 99; ++a)
        all << a;
    if (!f.start(all, all)) {
        std::fprintf(stderr, "could not start online\n");
        return 1;
    }
    f.ui.txtRandomText->setText(QStringLiteral("ON AIR"));
    f.times("00", qPrintable(onSec), "00", "00");
    if (broadcast)
        f.click(f.ui.chkBroadcastMode);
    const double nominal = effects::startPlan(effects::PeriodBoxes{"00", onSec, "00", "00"}).onSecMs / 1000.0;

    std::printf("Random over 99 titlers (%s), on 00:%s, for %d s\n", broadcast ? "broadcast" : "one by one",
                qPrintable(onSec), seconds);
    std::printf("%8s %10s %8s\n", "minute", "RSS kB", "ticks");
    QElapsedTimer clock;
    clock.start();
    f.click(f.ui.cmdStart);
    // Ticks are counted in the program; the simulator's log is read only at the end, so that reading it does not
    // weigh on the memory measured.
    int ticks = 0;
    QObject::connect(f.z.ui.tmrOnSec, &QTimer::timeout, [&ticks] { ++ticks; });
    const QString probe = broadcast ? QStringLiteral("00") : QStringLiteral("01");
    auto steps = [&] {
        QList<double> at;
        for (const SimProcess::Frame& fr : sim.frames())
            if (fr.address == probe && fr.code == QLatin1String("28"))
                at << fr.seconds;
        return at;
    };
    for (int minute = 0; clock.elapsed() < qint64(seconds) * 1000; ++minute) {
        std::printf("%8d %10ld %8d\n", minute, residentKb(), ticks);
        std::fflush(stdout);
        QTest::qWait(int(std::min<qint64>(60000, qint64(seconds) * 1000 - clock.elapsed())));
    }
    const long rssEnd = residentKb();
    f.click(f.ui.cmdStop);
    QTest::qWait(200);

    const QList<double> at = steps();
    double shortest = 1e9, longest = 0;
    for (int i = 2; i < at.size(); ++i) {
        shortest = std::min(shortest, at[i] - at[i - 1]);
        longest = std::max(longest, at[i] - at[i - 1]);
    }
    // Timed from the first tick's step: the gap before it also holds Start's own step.
    const double span = at.size() > 2 ? at.last() - at[1] : 0;
    const int periods = int(at.size()) - 2;
    std::printf("end RSS %ld kB; %lld steps; nominal period %.3f s; mean %.4f s (gaps %.3f..%.3f s); "
                "drift after %d periods %+.3f s\n",
                rssEnd, qint64(at.size()), nominal, periods > 0 ? span / periods : 0.0, shortest, longest, periods,
                span - periods * nominal);
    f.w.close();
    return 0;
}
