// Sends all 99 pages to a simulated line of 99 titlers on a pty and compares the wall time with the floor the line
// itself sets: the sum of the pauses that every frame on the line requires. A pty takes bytes at once, so whatever
// exceeds the floor is what the program adds (building frames, loading each page into the window, repainting).

#include "SimProcess.h"
#include "TestWindow.h"
#include "link/CommandProtocol.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>

namespace {

struct Result
{
    int frames = 0;
    qint64 wallMs = 0;
    qint64 floorMs = 0;
};

Result run(int baud)
{
    SimProcess sim;
    qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
    QtSerialPort port;
    TestWindow w(port);
    w.start();
    QRadioButton* speed = baud == 38400 ? w.z.ui.opt38400Baud : w.z.ui.opt9600Baud;
    speed->setChecked(true);
    baud == 38400 ? w.z.link->opt38400Baud_Click() : w.z.link->opt9600Baud_Click();
    for (int a = 1; a <= 99; ++a) {
        w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        for (int n = 1; n <= 9; ++n)
            w.z.table.setText(slot::page(a, slot::kLine1 + n - 1),
                              QStringLiteral("PAGE %1 LINE %2").arg(a, 2, 10, QLatin1Char('0')).arg(n).leftJustified(20));
    }
    w.z.link->FillTitlerLists();
    w.z.ui.optSendAll->setChecked(true);

    QElapsedTimer t;
    t.start();
    w.z.ui.cmdSend->click();
    Result r;
    r.wallMs = t.elapsed();

    sim.waitForFrames(99 * 20, 30000); // every page has at least its lines and settings
    QTest::qWait(200);
    const bool fast = baud == 38400;
    for (const SimProcess::Frame& f : sim.frames()) {
        if (f.params.contains(QLatin1String("[continued]")))
            continue;
        ++r.frames;
        r.floorMs += pauseForCode(f.code, false);
        // Every frame but the page lines goes through the command sender, which adds a gap at 38400 baud.
        if (fast && f.code != code::kWriteText)
            r.floorMs += kFastLineGapMs;
    }
    w.close();
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::printf("\"All\" over 99 enabled pages to 99 simulated titlers on a pty\n");
    std::printf("%7s %7s %9s %9s %7s\n", "baud", "frames", "wall ms", "floor ms", "ratio");
    for (int baud : {9600, 38400}) {
        const Result r = run(baud);
        std::printf("%7d %7d %9lld %9lld %7.3f\n", baud, r.frames, r.wallMs, r.floorMs,
                    r.floorMs > 0 ? double(r.wallMs) / double(r.floorMs) : 0.0);
    }
    return 0;
}
