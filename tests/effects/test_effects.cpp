// The "Effects" tab in the real window on a recording port: locking, the timers' hand-over driven tick by tick,
// Start's refusals, the boxes and the line selector, the target titlers, broadcast blinking, the loop range, and how
// a run ends (Stop in the middle of a step, closing the window, a stalled line).

#include "EffectsFixture.h"
#include "RecordingPort.h"
#include "effects/BroadcastMode.h"
#include "effects/PageLooping.h"
#include "effects/RandomMotion.h"
#include "pages/EditorLine.h"
#include "pages/LineEditor.h"
#include "roster/RosterList.h"
#include "settings/NumberLabel.h"
#include "settings/UpDown.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTabBar>

namespace {

QList<SentFrame> sent(const RecordingPort& port)
{
    QList<SentFrame> out;
    for (const QByteArray& f : port.frames())
        out.append(splitFrame(QString::fromLatin1(f)));
    return out;
}

// The lines each titler shows after the frames: "28" at a line's first cell shows it, "24" takes a line away.
QMap<QString, QSet<int>> linesShown(const QList<SentFrame>& frames)
{
    QMap<QString, QSet<int>> shown;
    for (const SentFrame& f : frames) {
        if (f.code == "28")
            shown[f.address].insert((f.rest.left(3).toInt() + 19) / 20);
        else if (f.code == "24")
            shown[f.address].remove(f.rest.toInt());
    }
    shown.removeIf([](auto it) { return it.value().isEmpty(); });
    return shown;
}

} // namespace

class TestEffects : public QObject
{
    Q_OBJECT

private slots:
    void lockedWhileRunningInEveryMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("random") << "optRandom";
        QTest::newRow("line") << "optLineOnOff";
        QTest::newRow("loop") << "optLooping";
    }
    void lockedWhileRunningInEveryMode()
    {
        RecordingPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({1, 2}, {1, 2}));
        QFETCH(QString, mode);
        f.click(f.w.find<QRadioButton>(mode));
        f.ui.txtRandomText->setText("HELLO");
        f.ui.txtEndPage->setText("05");
        f.ui.txtStartPage->setText("02");
        f.times("00", "01", "00", "01");
        QMenu* file = f.w.find<QMenu>("mnuFile");
        QWidget* const locked[] = {f.z.ui.tabMain, f.ui.cmdStart,         f.ui.txtOnMin,        f.ui.updOffSec,
                                   f.ui.optRandom, f.ui.optLooping,       f.ui.optRandomSize1x, f.ui.txtEndPage,
                                   f.ui.chkLoop,   f.ui.chkBroadcastMode, f.ui.updStartPage,    f.ui.updRandomVPos};

        f.click(f.ui.cmdStart);
        QVERIFY(f.fx.sequencer().running());
        QVERIFY(f.ui.cmdStop->isEnabled());
        QVERIFY(!file->menuAction()->isEnabled() && !f.w.find<QAction>("mnuFileOpen")->isEnabled());
        for (QWidget* w : locked)
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(f.z.ui.tmrOnSec->isActive());
        QCOMPARE(f.z.ui.tmrOnSec->interval(), 750);
        QTest::keyClick(f.ui.cmdStop, Qt::Key_F2); // the editor's key for the Setup tab
        QCOMPARE(f.z.ui.tabMain->currentIndex(), 2);

        // Stop in an off period as well as in an on period.
        f.fx.sequencer().tmrOnSec_Timer();
        QVERIFY(f.z.ui.tmrOffSec->isActive());
        f.click(f.ui.cmdStop);
        QVERIFY(!f.anyTimerActive());
        QVERIFY(!f.ui.cmdStop->isEnabled());
        QVERIFY(file->menuAction()->isEnabled() && f.w.find<QAction>("mnuFileOpen")->isEnabled());
        for (QWidget* w : std::initializer_list<QWidget*>{f.z.ui.tabMain, f.ui.cmdStart, f.ui.txtOnMin, f.ui.updOffSec,
                                                          f.ui.optRandom, f.ui.chkBroadcastMode})
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(f.ui.chkRandomLine->isEnabled(), mode == "optRandom"); // Line On/Off has one line, Loop none
    }

    void handOverTickByTick()
    {
        RecordingPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({3}, {3}));
        f.ui.txtRandomText->setText("TICK");
        f.times("00", "01", "02", "30");
        f.click(f.ui.cmdStart);
        Sequencer& s = f.fx.sequencer();
        auto count = [&](const char* c) {
            int n = 0;
            for (const SentFrame& fr : sent(port))
                n += fr.code == c;
            return n;
        };
        QCOMPARE(count("28"), 1); // Start's own step
        QCOMPARE(f.z.ui.tmrOffSec->interval(), 30000);

        s.tmrOnSec_Timer(); // off 02:30: the text goes, two minutes are counted, then thirty seconds
        QVERIFY(f.z.ui.tmrOffMin->isActive() && !f.z.ui.tmrOnSec->isActive());
        const int clears = count("24");
        s.tmrOffMin_Timer();
        QVERIFY(f.z.ui.tmrOffMin->isActive() && !f.z.ui.tmrOffSec->isActive());
        s.tmrOffMin_Timer();
        QVERIFY(f.z.ui.tmrOffSec->isActive() && !f.z.ui.tmrOffMin->isActive());
        QCOMPARE(count("24"), clears);
        s.tmrOffSec_Timer();
        QVERIFY(f.z.ui.tmrOnSec->isActive());
        QCOMPARE(count("28"), 2);

        // A minute counted before Stop does not shorten the next run's first minutes.
        s.tmrOnSec_Timer();
        s.tmrOffMin_Timer();
        QCOMPARE(s.counters.offMinutesElapsed, qint16(1));
        f.click(f.ui.cmdStop);
        f.click(f.ui.cmdStart);
        QCOMPARE(s.counters.offMinutesElapsed, qint16(0));
        f.click(f.ui.cmdStop);

        // A tick after Stop disables its timer and stops again; nothing is written.
        const int written = count("28");
        f.z.ui.tmrOnSec->start();
        s.tmrOnSec_Timer();
        QVERIFY(!f.z.ui.tmrOnSec->isActive());
        QVERIFY(f.z.StopRequested && !s.running());
        QCOMPARE(count("28"), written);
        QVERIFY(f.z.ui.tabMain->isEnabled());

        // A stored on time of 00:00 (no box takes one typed) writes once at Start, then waits: never a burst.
        f.z.table.setText(slot::kRandomOnSec, "00");
        f.times("00", "00", "00", "00");
        f.click(f.ui.cmdStart);
        QTest::qWait(300);
        QCOMPARE(count("28"), written + 1);
        QVERIFY(!f.anyTimerActive());
        f.click(f.ui.cmdStop);
    }

    void randomPlaceInTheLineReachesTheTitler()
    {
        RecordingPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({4}, {4}));
        f.click(f.ui.optLineOnOff);
        f.ui.txtRandomText->setText("ON AIR");
        f.click(f.ui.chkRandomHPos);
        QCOMPARE(f.z.table.toInt(slot::kLineHPos), 1);
        f.fx.random().setRandomSource([] { return 0.5; }); // fourteen free places: an indent of seven
        f.click(f.ui.cmdStart);
        f.click(f.ui.cmdStop);
        QStringList writes;
        for (const SentFrame& fr : sent(port))
            if (fr.code == "28")
                writes << fr.address + " " + fr.rest;
        QCOMPARE(writes, QStringList({"04 141" + QString(7, ' ') + "ON AIR"}));
    }

    void startRefusesWhatCannotRun()
    {
        RecordingPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({1}, {1}));
        f.ui.txtRandomText->setText("");
        f.z.dialogs.clearShown();
        f.click(f.ui.cmdStart);
        QCOMPARE(f.z.dialogs.shown().size(), 1);
        QCOMPARE(f.z.dialogs.shown()[0].text, QString("No Random Text to Display"));
        QCOMPARE(f.z.dialogs.shown()[0].title, QString("ZELK Random Motion"));
        QCOMPARE(f.z.dialogs.shown()[0].icon, QMessageBox::Warning);

        f.click(f.ui.optLooping);
        f.ui.txtEndPage->setText("01");
        f.ui.txtStartPage->setText("02"); // clamps to "00": no page comes before page 1
        QCOMPARE(f.ui.txtStartPage->text(), QString("00"));
        f.z.dialogs.clearShown();
        port.clearWrites();
        f.click(f.ui.cmdStart);
        QCOMPARE(f.z.dialogs.shown().size(), 1);
        QVERIFY(f.z.dialogs.shown()[0].text.startsWith("No Pages to Loop"));
        // A start page after the end page stops without a word (the start box, had it the focus, would clamp).
        f.ui.chkLoop->setFocus();
        f.ui.txtEndPage->setText("03");
        f.ui.txtStartPage->setText("02");
        f.ui.txtEndPage->setText("01");
        f.z.dialogs.clearShown();
        f.click(f.ui.cmdStart);
        QVERIFY(f.z.dialogs.shown().isEmpty());

        QVERIFY(port.frames().isEmpty());
        QVERIFY(!f.anyTimerActive() && !f.fx.sequencer().running());
        QVERIFY(f.z.ui.tabMain->isEnabled() && f.ui.cmdStart->isEnabled() && !f.ui.cmdStop->isEnabled());
    }

    void timeBoxesKeepEachEffectsTimes()
    {
        RecordingPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({1}, {1}));
        f.times("00", "07", "00", "00");
        QCOMPARE(f.z.table.text(slot::kRandomOnSec), QString("07"));
        // Typed over digit by digit; an on period of no seconds is refused and the stored value comes back.
        f.ui.txtOnSec->setFocus();
        f.ui.txtOnSec->setCursorPosition(0);
        f.z.dialogs.clearShown();
        QTest::keyClicks(f.ui.txtOnSec, "0x0");
        QCOMPARE(f.z.dialogs.shown().size(), 1);
        QCOMPARE(f.z.dialogs.shown()[0].text, QString("Number must be between 1 and 60"));
        QCOMPARE(f.ui.txtOnSec->text(), QString("07"));
        // The spinners wrap within 0..59 and 1..59.
        QTest::mouseClick(f.ui.updOffMin, Qt::LeftButton, {}, QPoint(5, f.ui.updOffMin->height() - 3));
        QTest::mouseClick(f.ui.updOnSec, Qt::LeftButton, {}, QPoint(5, 3));
        QCOMPARE(f.ui.txtOffMin->text(), QString("59"));
        QCOMPARE(f.ui.txtOnSec->text(), QString("08"));
        QCOMPARE(f.z.table.text(slot::kRandomOffMin), QString("59"));

        f.click(f.ui.optLineOnOff);
        QCOMPARE(f.ui.txtOffMin->text(), QString("00"));
        f.times("00", "03", "00", "03");
        QCOMPARE(f.z.table.text(slot::kLineOffSec), QString("03"));
        f.click(f.ui.optLooping);
        f.times("01", "02", "00", "00");
        QCOMPARE(f.z.table.text(slot::kLoopOnMin), QString("01"));
        f.click(f.ui.optRandom);
        QCOMPARE(f.ui.txtOnSec->text(), QString("08"));
        QCOMPARE(f.ui.txtOffMin->text(), QString("59"));
        QCOMPARE(f.z.table.toInt(slot::kEffectMode), 1);
    }

    void targetTitlersFollowTheRoster()
    {
        RecordingPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({2, 5, 7}, {5}));
        RosterList* list = f.ui.lstEnabledTitlers;
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(1)->text().left(2), QString("05"));
        QVERIFY(!list->item(0)->isSelected() && list->item(1)->isSelected() && !list->item(2)->isSelected());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
        QVERIFY(f.z.table.toBool(slot::titler(slot::kEffectTitlerBlock, 7)));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        QVERIFY(!f.z.table.toBool(slot::titler(slot::kEffectTitlerBlock, 5)));
        // Every visit of the tab rebuilds the list from the enabled titlers.
        f.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 2), false);
        f.z.link->FillTitlerLists();
        f.w.showTab(1);
        f.w.showTab(3);
        QCOMPARE(list->count(), 2);
        QVERIFY(!list->item(0)->isSelected() && list->item(1)->isSelected());
    }

    void lineSelectorSizesAndText()
    {
        RecordingPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({1}, {1}));
        auto green = [&](int n) { return lineLabelState(f.ui.lblRandomLineNum[std::size_t(n)]) == slot::kLineOn; };
        QTest::mouseClick(f.ui.lblRandomLineNum[3], Qt::LeftButton);
        QVERIFY(!green(3) && green(4));
        QCOMPARE(f.z.table.toInt(slot::kRandomLineState1 + 2), slot::kLineOff);
        f.click(f.ui.optLineOnOff);
        QTest::mouseClick(f.ui.lblRandomLineNum[4], Qt::LeftButton);
        for (int n = 1; n <= 9; ++n)
            QCOMPARE(green(n), n == 4);
        QCOMPARE(f.z.table.toInt(slot::kLineOnOffLine), 4);
        QVERIFY(!f.ui.chkRandomLine->isEnabled() && !f.ui.chkRandomLine->isChecked());
        f.click(f.ui.optRandom);
        QVERIFY(!green(3) && green(4)); // Random's own selection is back
        f.click(f.ui.chkRandomLine);
        QVERIFY(f.ui.chkRandomLine->isChecked()); // Random always moves between lines

        // A size brings the vertical position into its range; the spinner wraps within it.
        f.click(f.ui.optRandomSize1s);
        f.ui.lblRandomVPos->setText("80");
        f.click(f.ui.optRandomSize2s);
        QCOMPARE(f.ui.lblRandomVPos->text(), QString("40"));
        QCOMPARE(f.z.table.text(slot::kRandomSizeCode), QString("476"));
        QTest::mouseClick(f.ui.updRandomVPos, Qt::LeftButton, {}, QPoint(5, 3));
        QCOMPARE(f.z.table.text(slot::kRandomVPos), QString("01"));

        // Typing overwrites, in capitals, with the editor's filter; the text stays twenty characters.
        f.ui.txtRandomText->setText("");
        f.ui.txtRandomText->setFocus();
        f.ui.txtRandomText->setCursorPosition(0);
        QTest::keyClicks(f.ui.txtRandomText, "ab#c");
        QCOMPARE(f.z.table.text(slot::kRandomText), QString("ABC").leftJustified(20));
    }

    void broadcastWarningBlinks()
    {
        RecordingPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({1}, {1}));
        QTimer* blink = f.z.ui.tmrBlink;
        BroadcastMode& b = f.fx.broadcast();
        f.click(f.ui.chkBroadcastMode);
        QVERIFY(blink->isActive());
        QCOMPARE(blink->interval(), 10); // the first blink at once
        // Shown a second, hidden half a second, with the real timer.
        QElapsedTimer clock;
        QList<QPair<qint64, bool>> changes;
        auto watch = connect(blink, &QTimer::timeout, [&] {
            changes.append({clock.elapsed(), f.ui.lblBroadcastMode->isVisible()});
        });
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(changes.size() >= 4, 10000);
        disconnect(watch);
        for (int i = 1; i < 4; ++i) {
            QCOMPARE(changes[i].second, !changes[i - 1].second);
            QVERIFY(changes[i].first - changes[i - 1].first >= (changes[i - 1].second ? 950 : 450));
        }
        // Then tick by tick.
        blink->stop();
        b.BlinkShown = false;
        b.tmrBlink_Timer();
        QVERIFY(f.ui.lblBroadcastMode->isVisible());
        QCOMPARE(blink->interval(), 1000);
        b.tmrBlink_Timer();
        QVERIFY(!f.ui.lblBroadcastMode->isVisible());
        QCOMPARE(blink->interval(), 500);

        // On the editor tab the titler name takes the warning in turn; broadcast mode outlives the page reload.
        f.w.showTab(1);
        QVERIFY(blink->isActive());
        blink->stop();
        b.tmrBlink_Timer();
        QCOMPARE(f.z.ui.lblTitlerName->text(), QString("Broadcast Mode - ALL PXT-12's"));
        b.tmrBlink_Timer();
        QCOMPARE(f.z.ui.lblTitlerName->text(), QString());

        // On the Setup tab the name blinks only for a page sent to every titler ("00").
        f.w.showTab(2);
        blink->stop();
        const QString name = f.z.ui.lblTitlerName->text();
        b.tmrBlink_Timer();
        QCOMPARE(f.z.ui.lblTitlerName->text(), name);
        f.z.ui.txtAddress->setText("00");
        QVERIFY(blink->isActive());
        blink->stop();
        b.tmrBlink_Timer();
        QCOMPARE(f.z.ui.lblTitlerName->text(), QString("Broadcast Mode - ALL PXT-12's"));
        f.z.ui.txtAddress->setText("01");

        // Loop Screens on the Setup tab ends broadcast mode.
        f.w.showTab(3);
        f.click(f.ui.optLooping);
        QVERIFY(!f.ui.chkBroadcastMode->isVisible());
        f.w.showTab(2);
        b.tmrBlink_Timer();
        QVERIFY(!blink->isActive() && !f.ui.chkBroadcastMode->isChecked());
    }

    void loopRangeKeepsTheStoredStart()
    {
        RecordingPort port;
        EffectsFixture f(port);
        QVERIFY(f.start({1}, {1}));
        f.z.table.setText(slot::kLoopStartPage, "03");
        f.z.table.setText(slot::kLoopEndPage, "05");
        f.z.table.setInt16(slot::kEffectMode, 3);
        f.w.showTab(1);
        f.w.showTab(3);
        QVERIFY(f.ui.optLooping->isChecked() && f.ui.fraLoopPages->isVisible() && !f.ui.fraRandomSize->isVisible());
        QCOMPARE(f.ui.txtStartPage->text(), QString("03"));
        QCOMPARE(f.ui.txtEndPage->text(), QString("05"));
        // An end page before the start leaves the start box alone; the start spinner wraps below the end page.
        f.ui.txtEndPage->setText("02");
        QCOMPARE(f.ui.txtStartPage->text(), QString("03"));
        f.ui.txtEndPage->setText("05");
        QTest::mouseClick(f.ui.updStartPage, Qt::LeftButton, {}, QPoint(5, 3));
        QTest::mouseClick(f.ui.updStartPage, Qt::LeftButton, {}, QPoint(5, 3));
        QCOMPARE(f.ui.txtStartPage->text(), QString("01"));
        QCOMPARE(f.z.table.text(slot::kLoopStartPage), QString("01"));
    }

    void stopInTheMiddleOfAStepLeavesNoText_data()
    {
        QTest::addColumn<bool>("closing");
        QTest::addColumn<bool>("startsStep");
        QTest::addColumn<int>("stopAt"); // the yield at which it stops: Start yields once, then after every titler
        QTest::newRow("Stop Effect") << false << false << 3;
        QTest::newRow("window closed") << true << false << 3;
        QTest::newRow("Stop during Start's commands") << false << true << 3;
        QTest::newRow("Stop during Start's step") << false << true << 10;
    }
    void stopInTheMiddleOfAStepLeavesNoText()
    {
        QFETCH(bool, closing);
        QFETCH(bool, startsStep);
        QFETCH(int, stopAt);
        RecordingPort port;
        EffectsFixture f(port);
        const QList<int> titlers = {1, 2, 3, 4, 5, 6};
        QVERIFY(f.start(titlers, titlers));
        f.ui.txtRandomText->setText("HALF");
        f.times("00", "01", "00", "00");
        if (!startsStep)
            f.click(f.ui.cmdStart);
        // The next step is stopped after it has reached a few titlers.
        int rows = 0;
        QTimer stopper;
        connect(&stopper, &QTimer::timeout, [&] {
            if (++rows != stopAt)
                return;
            if (closing)
                f.w.close(); // ZELK.ini is written after the text has gone
            else
                f.ui.cmdStop->click();
        });
        stopper.start(0);
        if (startsStep)
            f.click(f.ui.cmdStart);
        else
            f.fx.sequencer().tmrOnSec_Timer();
        stopper.stop();
        QTest::qWait(800); // a timer started in spite of Stop would have stepped by now
        QVERIFY(rows >= stopAt);
        QVERIFY(!f.fx.sequencer().running() && !f.anyTimerActive());
        QCOMPARE(linesShown(sent(port)), (QMap<QString, QSet<int>>()));
        QCOMPARE(QFile::exists(f.w.home() + "/ZELK.ini"), closing);
    }

    void stalledLineEndsTheRun()
    {
        RecordingPort port;
        EffectsFixture f(port);
        QVERIFY(f.startRandom({1, 2}, "GONE"));
        f.click(f.ui.cmdStart);
        const int errors = f.z.errorsRecorded;
        port.stalled = true; // the next step's first command never leaves
        QTRY_VERIFY_WITH_TIMEOUT(!f.fx.sequencer().running(), 5000);
        QTest::qWait(100);
        QCOMPARE(f.z.errorsRecorded - errors, 1);
        QVERIFY(!f.z.LinkOnline && !f.anyTimerActive());
        QVERIFY(f.z.ui.tabMain->isEnabled() && f.ui.txtOnSec->isEnabled() && !f.ui.cmdStop->isEnabled());
    }
};

QTEST_MAIN(TestEffects)
#include "test_effects.moc"
