// The effects with their real timers against the titler simulator: Random's rhythm and line choice, broadcast mode,
// Line On/Off, Loop Screens with and without looping, and a line lost in the middle of a run. Each run lasts a few
// seconds. (A stalled line, which a pty cannot show, is tested on the recording port.)

#include "EffectsFixture.h"
#include "SimProcess.h"
#include "link/QtSerialPort.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace {

QList<SimProcess::Frame> framesTo(const SimProcess& sim, const QString& address, const QString& code = {})
{
    QList<SimProcess::Frame> out;
    for (const SimProcess::Frame& f : sim.frames())
        if (f.address == address && (code.isEmpty() || f.code == code) && !f.params.contains("[continued]"))
            out.append(f);
    return out;
}

int lineOfCell(const QString& params)
{
    return (params.left(3).toInt() + 19) / 20;
}

// The titlers that received a page, in order: a page's text starts at the first cell.
QStringList pagesShown(const QList<SimProcess::Frame>& frames)
{
    QStringList out;
    for (const SimProcess::Frame& f : frames)
        if (f.code == "28" && f.params.startsWith("001 "))
            out << f.address;
    return out;
}

// Runs the effect for about ms milliseconds of real time, then presses Stop.
void runFor(EffectsFixture& f, int ms)
{
    f.click(f.ui.cmdStart);
    QTest::qWait(ms);
    f.click(f.ui.cmdStop);
}

// Every gap between the frames' times is at least minSeconds.
bool spacedAtLeast(const QList<SimProcess::Frame>& frames, double minSeconds)
{
    for (int i = 1; i < frames.size(); ++i)
        if (frames[i].seconds - frames[i - 1].seconds < minSeconds)
            return false;
    return true;
}

} // namespace

class TestEffectsE2E : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimProcess> sim;

private slots:
    void init()
    {
        sim = std::make_unique<SimProcess>(QStringList{"--titlers", "1-9"});
        qputenv("ZELK_COMM1", sim->link().toLocal8Bit());
    }
    void cleanup()
    {
        if (QTest::currentTestFailed())
            for (auto& fr : sim->frames())
                qDebug() << "DBG" << fr.seconds << fr.address << fr.code << fr.params;
        sim.reset();
    }

    void randomMovesEveryThreeQuartersOfASecond()
    {
        QtSerialPort port;
        EffectsFixture f(port);
        QVERIFY(f.startRandom({1, 2}, "HELLO"));
        runFor(f, 2600);

        const auto writes = framesTo(*sim, "01", "28");
        QVERIFY2(writes.size() >= 3, qPrintable(QString::number(writes.size())));
        QVERIFY(spacedAtLeast(writes, 0.70));
        QCOMPARE(framesTo(*sim, "02", "28").size(), writes.size());
        // Size and position first, then the first step switches off line 0 (none yet) before writing.
        const auto to1 = framesTo(*sim, "01");
        QCOMPARE(to1[0].code, QString("471"));
        QCOMPARE(to1[1].code, QString("46"));
        QCOMPARE(to1[2].code, QString("24"));
        QVERIFY(to1[2].params.startsWith("0"));
        QCOMPARE(to1[3].code, QString("24")); // the new line is switched off before it is written
        QCOMPARE(to1[3].params.left(1).toInt(), lineOfCell(writes[0].params));
        // With nine usable lines no line comes back within three steps.
        for (int i = 2; i < writes.size(); ++i) {
            const int a = lineOfCell(writes[i - 2].params), b = lineOfCell(writes[i - 1].params);
            const int c = lineOfCell(writes[i].params);
            QVERIFY(a != b && b != c && a != c);
        }
        QVERIFY(writes[0].params.contains("HELLO|"));
        // Stop leaves the titlers blank.
        QTest::qWait(100);
        const auto state = sim->dump();
        for (const QString& titler : {QString("01"), QString("02")})
            for (const QString& row : state[titler].rows)
                QCOMPARE(row.trimmed(), QString());
    }

    void broadcastGoesOnceToAll_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("start");
        QTest::newRow("random") << "optRandom" << QStringList({"46 01", "471 "});
        QTest::newRow("line") << "optLineOnOff" << QStringList({"451 ", "471 ", "46 27", "44 16"});
    }
    void broadcastGoesOnceToAll()
    {
        QtSerialPort port;
        EffectsFixture f(port);
        QVERIFY(f.startRandom({1, 2}, "ALL"));
        QFETCH(QString, mode);
        f.click(f.w.find<QRadioButton>(mode));
        f.click(f.ui.chkBroadcastMode);
        runFor(f, 2000);

        const auto frames = sim->frames();
        QFETCH(QStringList, start);
        QStringList first;
        for (const SimProcess::Frame& fr : frames.mid(0, int(start.size())))
            first << fr.code + " " + fr.params;
        QCOMPARE(first, start);
        int last = 0, writes = 0;
        for (const SimProcess::Frame& fr : frames) {
            QCOMPARE(fr.address, QString("00"));
            if (fr.code == "24") {
                QCOMPARE(fr.params.left(1).toInt(), last); // only the old line is switched off
            } else if (fr.code == "28") {
                last = lineOfCell(fr.params);
                ++writes;
            }
        }
        QVERIFY(writes >= 2);
    }

    void lineOnOffBlinksLineEight()
    {
        QtSerialPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({4}, {4}));
        f.click(f.ui.optLineOnOff);
        f.ui.txtRandomText->setText("ON AIR");
        f.times("00", "01", "00", "01");
        f.click(f.ui.cmdStart);
        QTRY_VERIFY(framesTo(*sim, "04", "28").size() == 1);
        QCOMPARE(sim->dump()["04"].rows[7], QString("ON AIR").leftJustified(20));
        QTest::qWait(2800);
        f.click(f.ui.cmdStop);

        const auto to4 = framesTo(*sim, "04");
        QStringList start;
        for (int i = 0; i < 4; ++i)
            start << to4[i].code + " " + to4[i].params;
        QCOMPARE(start, QStringList({"451 ", "471 ", "46 27", "44 16"}));
        // Then the text on line 8 and line 8 switched off, in turn, each for at least three quarters of a second.
        int shown = 0;
        for (int i = 4; i < to4.size(); ++i) {
            if (to4[i].code == "24" && !to4[i].params.startsWith("0"))
                QVERIFY(to4[i].params.startsWith("8"));
            if (to4[i].code != "28")
                continue;
            ++shown;
            QVERIFY(to4[i].params.startsWith("141 |ON AIR"));
            if (i + 1 < to4.size()) {
                QCOMPARE(to4[i + 1].code, QString("24")); // the off period
                QVERIFY(to4[i + 1].seconds - to4[i].seconds >= 0.70);
            }
        }
        QVERIFY(shown >= 2);
        QVERIFY(spacedAtLeast(framesTo(*sim, "04", "28"), 1.40));
    }

    void loopScreensShowsTheRange()
    {
        QtSerialPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({3, 4, 5}, {}));
        for (int p : {3, 4, 5})
            f.z.table.setText(slot::page(p, slot::kLine1), QString("PAGE %1").arg(p).leftJustified(20));
        f.z.table.setText(slot::page(4, slot::kDisplayCode), "08");
        f.z.table.setText(slot::titler(slot::kTitlerNameBlock, 3), "03   STUDIO C");
        f.z.link->FillTitlerLists();
        f.click(f.ui.optLooping);
        f.ui.txtEndPage->setText("05");
        f.ui.txtStartPage->setText("03");
        f.times("00", "01", "00", "00");
        QVERIFY(f.ui.chkLoop->isChecked());
        f.click(f.ui.cmdStart);
        QTRY_VERIFY_WITH_TIMEOUT(pagesShown(sim->frames()).size() == 4, 8000);
        // The status panel names the page and its titler, taken from the roster while the Effects tab is up.
        QCOMPARE(f.ui.lblLoopCurPage->text(), QString("03"));
        QCOMPARE(f.ui.lblLoopCurAdd->text(), QString("03"));
        QCOMPARE(f.ui.lblLoopTitlerName->text(), QString("STUDIO C"));
        f.click(f.ui.cmdStop);

        // A page goes out whole: display off, its lines, its settings (closed by "32"), then display on.
        QStringList codes;
        for (const SimProcess::Frame& fr : framesTo(*sim, "03"))
            codes << fr.code;
        const int closed = int(codes.indexOf("32"));
        QVERIFY2(codes.value(0) == "08" && codes.mid(0, closed).contains("28") && codes.value(closed + 1) == "07",
                 qPrintable(codes.join(' ')));
        const QStringList order = pagesShown(sim->frames());
        QCOMPARE(order.mid(0, 4), QStringList({"03", "04", "05", "03"}));
        QVERIFY(framesTo(*sim, "04", "07").isEmpty());             // its display stays off
        QCOMPARE(framesTo(*sim, "05").last().code, QString("07")); // the others' display comes on last
        QVERIFY(!f.z.TransmissionActive);

        // Without Loop the run stops by itself after the end page.
        f.click(f.ui.chkLoop);
        const int before = sim->frames().size();
        f.click(f.ui.cmdStart);
        QTRY_VERIFY_WITH_TIMEOUT(!f.fx.sequencer().running(), 8000);
        QCOMPARE(pagesShown(sim->frames().mid(before)), QStringList({"03", "04", "05"}));
        QVERIFY(f.z.ui.tabMain->isEnabled() && !f.anyTimerActive() && !f.ui.cmdStop->isEnabled());
    }

    void vanishedPortEndsTheRun()
    {
        QtSerialPort port;
        EffectsFixture f(port);
        QVERIFY(f.startRandom({1}, "BYE"));
        f.click(f.ui.cmdStart);
        const int errors = f.z.errorsRecorded;
        sim->killHard();
        QTRY_VERIFY_WITH_TIMEOUT(!f.fx.sequencer().running(), 5000);
        QTest::qWait(800); // a tick more would have come by now
        QCOMPARE(f.z.errorsRecorded - errors, 1);
        QVERIFY(!f.z.LinkOnline && !f.anyTimerActive() && !f.ui.cmdStop->isEnabled());
        QVERIFY(f.z.ui.tabMain->isEnabled() && f.ui.txtOnSec->isEnabled() && f.ui.cmdStart->isEnabled());
    }
};

QTEST_MAIN(TestEffectsE2E)
#include "test_effects_e2e.moc"
