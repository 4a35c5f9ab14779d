// The clock and calendar in the window, on a recording port: questions that keep the line's pause without holding
// the window, the read limits of the tick, the preview laid over the editor's cells, the typed time and date with
// their checks, and the settings-cloning range.

#include "RecordingPort.h"
#include "TestWindow.h"
#include "app/Zelk.h"
#include "core/Errors.h"
#include "link/CommandProtocol.h"
#include "link/SerialLink.h"
#include "pages/EditorLine.h"
#include "pages/PageView.h"
#include "settings/ClockPreview.h"
#include "settings/TitlerClock.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

struct Rig
{
    RecordingPort port;
    TestWindow w{port};
    Zelk& z = w.z;

    // Online with titler 1 enabled and the clock tick stopped from the start: the test drives the preview itself.
    bool start()
    {
        if (!w.start())
            return false;
        z.ui.tmrTime->stop();
        w.window->activateWindow();
        if (!QTest::qWaitForWindowActive(w.window.get()))
            return false;
        z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 1), true);
        z.link->FillTitlerLists();
        tab(5);
        QTest::mouseClick(w.find<QWidget>("optCommPort(1)"), Qt::LeftButton);
        tab(1);
        port.clearWrites();
        return z.LinkOnline;
    }
    // The frames to titler 1 with code c ("38": the time questions).
    QByteArrayList framesOf(const char* c) const
    {
        QByteArrayList out;
        for (const QByteArray& f : port.frames())
            if (f.startsWith(QByteArray("01") + c))
                out << f;
        return out;
    }
    int questions(const char* c) const { return int(framesOf(c).size()); }
    // n clock ticks, each given the time to take its answer.
    void ticks(int n, bool withDate = false)
    {
        for (int i = 0; i < n; ++i) {
            z.clockPreview->UpdateTimePreview();
            if (withDate)
                z.clockPreview->UpdateDatePreview();
            QDeadlineTimer deadline(10000);
            while (z.titlerClock->questionOut() && !deadline.hasExpired())
                QTest::qWait(5);
        }
    }
    // Chooses a tab as the program does, keeping the real clock tick out of the count.
    void tab(int index)
    {
        z.ui.tabMain->setCurrentIndex(index - 1);
        z.ui.tmrTime->stop();
    }
    QString panel(int i) const { return z.ui.lblProgStatus[std::size_t(i)]->text(); }
    // Left edge and top of a widget's point in window coordinates.
    QPoint inWindow(const QWidget* widget, QPoint p) const { return widget->mapTo(w.window.get(), p); }
};

} // namespace

class TestClock : public QObject
{
    Q_OBJECT

private slots:
    void questionsKeepTheLinesPauseWithoutHoldingTheWindow()
    {
        Rig r;
        QVERIFY(r.start());
        QString answer = "none yet";
        QVERIFY(r.z.titlerClock->ask(TitlerClock::Question::Time, [&](const QString& t) { answer = t; }));
        QCOMPARE(answer, QString("none yet")); // asked; the window goes on meanwhile
        QVERIFY(!r.z.titlerClock->ask(TitlerClock::Question::Date, [](const QString&) {})); // one at a time
        QTRY_COMPARE(answer, QString("12:34:56"));
        QCOMPARE(r.panel(1), QString("Online"));

        // What goes next keeps the titler's pause: a command, or a line typed in the continuous send mode.
        r.z.ui.optSendContinuous->setChecked(true);
        r.z.ui.txtMain[1]->setFocus();
        const std::function<void()> nextWrites[] = {[&] { r.z.protocol->SendCommand(QString("01"), "07"); },
                                                    [&] {
                                                        r.z.ui.txtMain[1]->setCursorPosition(0);
                                                        QTest::keyClicks(r.z.ui.txtMain[1], "X");
                                                    }};
        for (const auto& next : nextWrites) {
            r.port.clearWrites();
            QVERIFY(r.z.titlerClock->ask(TitlerClock::Question::Time, [](const QString&) {}));
            next();
            QCOMPARE(r.port.writes.size(), 2);
            // The line's clock and the port's count whole milliseconds apart: one may be a millisecond behind.
            QVERIFY(r.port.writes[1].atMs - r.port.writes[0].atMs >= kQuestionPauseMs - 1);
            QTRY_VERIFY(!r.z.titlerClock->questionOut());
        }

        // Silent: asked twice, then no reading and the pattern; only the time speaks for the link.
        const std::tuple<TitlerClock::Question, QByteArray RecordingPort::*, const char*, const char*> silent[] = {
            {TitlerClock::Question::Date, &RecordingPort::dateReply, "43", "Online Comm Port 1"},
            {TitlerClock::Question::Time, &RecordingPort::timeReply, "38", "Offline No PXT Detected"}};
        for (const auto& [question, reply, c, link] : silent) {
            r.port.*reply = QByteArray();
            r.port.clearWrites();
            answer = "none yet";
            r.z.titlerClock->ask(question, [&](const QString& t) { answer = t; });
            QTRY_VERIFY(answer.isEmpty());
            QCOMPARE(r.questions(c), 2);
            QVERIFY(r.z.ClockReadFailed);
            QCOMPARE(r.panel(1) + " " + r.panel(2), QString(link));
        }

        // The presence check's own reader waits, and forgets a question still out.
        r.port.timeReply = "235959";
        r.port.dateReply = "120626";
        answer = "none yet";
        r.z.titlerClock->ask(TitlerClock::Question::Date, [&](const QString& d) { answer = d; });
        QCOMPARE(r.z.link->ReadTitlerTime(), QString("23:59:59"));
        QTest::qWait(100);
        QVERIFY(answer == "none yet" && !r.z.titlerClock->questionOut());
    }

    void readLimitsByTabReadingAndSend()
    {
        Rig r;
        QVERIFY(r.start());
        // No reading at hand yet: both are due on the eleventh tick; the date goes first, the time the tick after.
        r.ticks(11, true);
        QCOMPARE(r.questions("38") * 10 + r.questions("43"), 1);
        r.ticks(1, true);
        QCOMPARE(r.questions("38") * 10 + r.questions("43"), 11);
        QVERIFY(!r.z.ClockReadFailed);
        r.port.clearWrites();
        r.ticks(45, true);
        QCOMPARE(r.questions("43"), 4);  // the date every eleventh tick (every twelfth would give 3)
        QCOMPARE(r.questions("38"), 20); // the time every second, one tick later after each date

        r.port.timeReply.clear(); // silent: asked at once, then every eleventh tick, twice each time
        r.port.clearWrites();
        r.ticks(12);
        QCOMPARE(r.questions("38"), 2 * 2);

        r.port.timeReply = "123456";
        r.tab(2); // "Setup": every eleventh tick too
        r.port.clearWrites();
        r.ticks(22);
        QCOMPARE(r.questions("38"), 2);

        // A send owns the line, a page reloads (its commands held back), a spinner steps: nothing is asked, and no
        // read fails; the question goes as soon as the line is free.
        r.tab(1);
        for (bool Zelk::*hold : {&Zelk::TransmissionActive, &Zelk::PageRefreshing, &Zelk::SpinnerHeld}) {
            r.port.clearWrites();
            r.z.*hold = true;
            r.ticks(12);
            r.z.*hold = false;
            QCOMPARE(r.questions("38"), 0);
            QVERIFY(!r.z.ClockReadFailed);
            r.ticks(1);
            QCOMPARE(r.questions("38"), 1);
        }

        // Nor right after a key: what the key sends must not wait for the titler's answer.
        r.ticks(1);
        r.port.clearWrites();
        QElapsedTimer sinceKey;
        sinceKey.start();
        QTest::keyClick(r.z.ui.txtMain[1], Qt::Key_Right);
        const bool soon = sinceKey.elapsed() < kQuestionPauseMs; // not when this machine was too busy to tell
        r.ticks(1);
        if (soon)
            QCOMPARE(r.questions("38"), 0);
        QTest::qWait(ClockPreview::kInputQuietMs);
        r.ticks(1);
        QCOMPARE(r.questions("38"), 1);
    }

    void previewLaidOverTheCellsOfItsPosition()
    {
        Rig r;
        r.port.timeReply = "093005";
        r.port.dateReply = "061226";
        QVERIFY(r.start());
        r.z.table.setText(slot::page(1, slot::kTimePos), "175");
        r.z.table.setText(slot::page(1, slot::kDatePos), "021");
        r.z.table.setText(slot::page(1, slot::kDateFormat), "60");
        r.z.pageView->ShowPage();
        Ui& ui = r.z.ui;
        r.ticks(14, true);
        QCOMPARE(ui.txtTimeDisplay->text() + "|" + ui.txtTimeDisplay2->text(), QString("09:30|:05"));
        QCOMPARE(ui.txtDateDisplay->text(), QString("260612"));
        QVERIFY(ui.txtTimeDisplay2->isVisible() && !ui.txtDateDisplay2->isVisible());

        // Over the cells, at any font: position 175 starts over cell 15 of line 9, the rest at the start of line 1.
        auto check = [&] {
            const auto* line9 = static_cast<EditorLine*>(ui.txtMain[9]);
            const auto* line1 = static_cast<EditorLine*>(ui.txtMain[1]);
            const auto* line2 = static_cast<EditorLine*>(ui.txtMain[2]);
            QCOMPARE(r.inWindow(ui.txtTimeDisplay, {}).x(), r.inWindow(line9, {line9->columnX(15), 0}).x());
            QCOMPARE(r.inWindow(ui.txtTimeDisplay2, {}).x(), r.inWindow(line1, {line1->columnX(0), 0}).x());
            QCOMPARE(r.inWindow(ui.txtDateDisplay, {}).x(), r.inWindow(line2, {line2->columnX(1), 0}).x());
            QCOMPARE(ui.txtTimeDisplay->width(), 5 * line9->columnWidth());
            QCOMPARE(ui.txtTimeDisplay->font(), line9->font());
            // Each box across the middle of its own line: time on line 9, its rest on line 1, the date on line 2.
            const std::pair<const QWidget*, const QWidget*> rows[] = {
                {ui.txtTimeDisplay, line9}, {ui.txtTimeDisplay2, line1}, {ui.txtDateDisplay, line2}};
            for (const auto& [box, line] : rows) {
                const int middle = r.inWindow(line, {0, line->height() / 2}).y();
                QVERIFY(r.inWindow(box, {}).y() < middle && r.inWindow(box, {0, box->height()}).y() > middle);
            }
        };
        check();
        QFont bigger = ui.txtMain[1]->font();
        bigger.setPointSize(bigger.pointSize() * 2);
        for (int n = 1; n <= 9; ++n)
            ui.txtMain[std::size_t(n)]->setFont(bigger);
        QTest::qWait(50); // the layout settles
        check();

        // The caret never stays on a preview.
        ui.txtMain[3]->setFocus();
        QTest::mouseClick(ui.txtTimeDisplay2, Qt::LeftButton);
        QTRY_VERIFY(ui.txtMain[3]->hasFocus());

        // A down counter goes on with time display off, split at 178 (29 and :55 left at 09:30:05): its rest stays
        // hidden with its head.
        r.z.table.setText(slot::page(1, slot::kTimePos), "178");
        r.z.table.setText(slot::page(1, slot::kTimeFormat), "08");
        r.z.table.setText(slot::page(1, slot::kTimeCode), "35");
        r.z.pageView->ShowPage();
        QTest::qWait(ClockPreview::kInputQuietMs);
        r.ticks(12); // a new format is no reading: read again, shown the tick after
        QCOMPARE(ui.txtTimeDisplay->text() + "|" + ui.txtTimeDisplay2->text(), QString("29|:55"));
        QVERIFY(!ui.txtTimeDisplay->isVisible() && !ui.txtTimeDisplay2->isVisible());
        r.z.table.setText(slot::page(1, slot::kTimeFormat), "02");
        r.z.table.setText(slot::page(1, slot::kTimeCode), "34");
        r.z.pageView->ShowPage();

        // No reading at hand: the pattern itself. (Right after a click the clock asks nothing.)
        r.port.timeReply = "246000";
        QTest::qWait(ClockPreview::kInputQuietMs);
        r.ticks(12);
        QVERIFY(r.z.ClockReadFailed);
        QCOMPARE(ui.txtTimeDisplay->text() + ui.txtTimeDisplay2->text(), QString("hh:mm:ss"));
    }

    void typedTimeAndDateChecksAndTheirStore()
    {
        Rig r;
        QVERIFY(r.start());
        r.w.showTab(2);
        QLineEdit* time = r.w.find<QLineEdit>("mskUserTime");
        QVERIFY(!time->isEnabled() && !r.w.find<QLabel>("lblTimeEntry")->isEnabled());
        QTest::mouseClick(r.w.find<QRadioButton>("optSetTimeKybd"), Qt::LeftButton);
        QVERIFY(time->isEnabled() && r.w.find<QLabel>("lblTimeEntry")->isEnabled());
        time->setFocus();
        time->setCursorPosition(0);
        QTest::keyClicks(time, "1a2 3");
        QCOMPARE(time->displayText(), QString("12:30:00")); // letters and blanks are dropped; digits type over
        QCOMPARE(r.z.table.text(slot::kUserTime), QString("12:30:00"));

        // Said as set whether or not it went out: titler 2 is not enabled, titler 1 is.
        r.port.clearWrites();
        for (const char* address : {"02", "01"}) {
            r.z.ui.lblProgStatus[3]->clear();
            r.z.ui.txtAddress->setText(address);
            r.z.ui.cmdSetTimePC->click();
            QCOMPARE(r.panel(3), QString("PXT Time Set"));
        }
        QCOMPARE(r.framesOf("36"), QByteArrayList{"0136123000"});
        const QByteArrayList frames = r.port.frames();
        QVERIFY(std::none_of(frames.begin(), frames.end(), [](const QByteArray& f) { return f.startsWith("0236"); }));

        // The typed values come back with the settings file.
        const QString home = r.w.home();
        r.w.close();
        r.w.window.reset();
        RecordingPort port;
        TestWindow again(port, home);
        QVERIFY(again.start());
        again.showTab(2);
        QCOMPARE(again.find<QLineEdit>("mskUserTime")->displayText(), QString("12:30:00"));
        QCOMPARE(again.find<QLineEdit>("mskUserDate")->displayText(), QString("01-01-01"));
    }

    void cloneRangeBoxes()
    {
        Rig r;
        QVERIFY(r.start());
        r.w.showTab(2);
        QLineEdit* start = r.w.find<QLineEdit>("txtCloneStart");
        QLineEdit* end = r.w.find<QLineEdit>("txtCloneEnd");
        QCOMPARE(start->text() + end->text(), QString("0101"));
        r.z.dialogs.clearShown();
        start->setFocus();
        start->setCursorPosition(0);
        QTest::keyClicks(start, "x00"); // typed over: "00"
        end->setFocus();
        QCOMPARE(r.z.dialogs.shown().size(), 1);
        QCOMPARE(r.z.dialogs.shown()[0].text, QString("Number must be between 1 and 99"));
        QCOMPARE(start->text(), QString("01")); // the last stored value is back
        end->clear();
        start->setFocus();
        QCOMPARE(end->text(), QString()); // an empty end box stays empty
        QCOMPARE(r.z.table.text(slot::kCloneSettingsEnd), QString());

        // Nothing to read as a page: nothing copied, no status, the failure recorded.
        r.z.ui.lblProgStatus[3]->clear();
        r.z.table.setText(slot::page(1, slot::kContrastCode), "171");
        QTest::mouseClick(r.w.find<QWidget>("cmdCloneSettings"), Qt::LeftButton);
        QCOMPARE(r.panel(3), QString());
        QCOMPARE(r.z.table.toInt(slot::kErrorNumber), err::kTypeMismatch);
        QCOMPARE(r.z.table.text(slot::page(2, slot::kContrastCode)), QString("173"));
        end->setText("02");
        QTest::mouseClick(r.w.find<QWidget>("cmdCloneSettings"), Qt::LeftButton);
        QCOMPARE(r.panel(3), QString("Settings Cloned"));
        QCOMPARE(r.z.table.text(slot::page(2, slot::kContrastCode)), QString("171"));
    }

    void cloneAndSendStopsAndTellsHowItEnded()
    {
        Rig r;
        QVERIFY(r.start());
        for (int a = 2; a <= 4; ++a)
            r.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        r.z.link->FillTitlerLists();
        r.w.showTab(2);
        r.w.find<QLineEdit>("txtCloneStart")->setText("02");
        auto showPage = [&](const char* page) {
            r.z.ui.txtPageNumber->setText(page);
            r.z.pageView->ShowPage();
        };
        // What happens during the send comes once the first page's settings went out.
        std::function<void()> during;
        std::function<void()> whenSent = [&] { r.port.writes.isEmpty() ? QTimer::singleShot(0, whenSent) : during(); };
        const std::function<void()> nothing = [] {}, otherPage = [&] { showPage("05"); },
                                    lost = [&] { r.port.vanish(); };
        // end page, what happens while the first page goes out, status line, titlers given settings
        const std::tuple<const char*, std::function<void()>, const char*, const char*> cases[] = {
            {"", {}, "Online Comm Port 1 Sending Setting(s)", ""}, // no end page: shown, then the failure
            {"04", nothing, "Online Comm Port 1 Setting(s) Sent", "020304"},
            {"04", otherPage, "Online Comm Port 1 Sending Stopped", "02"}, // not page 5's settings to 03 and 04
            {"04", lost, "Offline Invalid CommPort ", "02"}};              // the lost port, never "Setting(s) Sent"
        for (const auto& [end, then, status, titlers] : cases) {
            showPage("01");
            r.z.ui.lblProgStatus[3]->clear();
            r.w.find<QLineEdit>("txtCloneEnd")->setText(end);
            r.port.clearWrites();
            during = then;
            if (then)
                QTimer::singleShot(0, whenSent);
            r.z.ui.cmdCloneSettingsSend->click();
            QCOMPARE(r.panel(1) + " " + r.panel(2) + " " + r.panel(3), QString(status));
            QByteArrayList given;
            for (const QByteArray& f : r.port.frames())
                if (!given.contains(f.left(2)))
                    given << f.left(2);
            QCOMPARE(given.join(), QByteArray(titlers));
        }
    }
};

QTEST_MAIN(TestClock)
#include "test_clock.moc"
