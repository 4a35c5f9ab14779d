// The "Setup" tab driven by clicks and keys: what each control stores in the page and what goes over the line.

#include "RecordingPort.h"
#include "TestWindow.h"
#include "app/Zelk.h"
#include "link/SerialLink.h"
#include "link/StatusLine.h"
#include "settings/UpDown.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabBar>
#include <QTimer>

namespace {

// The window online on the "Setup" tab. Page 2's titler is enabled too: the page buttons pass over page 2, and a
// disabled titler there would stop single settings from being sent.
struct Rig
{
    RecordingPort port;
    TestWindow w{port};
    Zelk& z = w.z;

    bool start(const QList<int>& enabled = {1, 2})
    {
        if (!w.start())
            return false;
        w.window->activateWindow();
        if (!QTest::qWaitForWindowActive(w.window.get()))
            return false;
        w.enable(enabled);
        choosePort("optCommPort(1)");
        port.clearWrites();
        return z.LinkOnline && z.LastStatus == 1;
    }
    // Picks a port option on "System Setup" and comes back to "Setup".
    void choosePort(const char* option)
    {
        w.showTab(5);
        click(option);
        w.showTab(2);
    }
    void click(const char* name) { w.click(name); }
    // Short presses on one half of a spinner: the release is queued first, because the press steps until it comes.
    void clickSpinner(const char* name, bool up)
    {
        UpDown* s = w.find<UpDown>(name);
        const QPoint at(s->width() / 2, up ? 2 : s->height() - 3);
        QTimer::singleShot(0, s, [s, at] { QTest::mouseRelease(s, Qt::LeftButton, {}, at); });
        QTest::mousePress(s, Qt::LeftButton, {}, at);
    }
    // Clicks spinner "upd<what>" up or down in turn; what its label "lbl<what>" shows after each click.
    QStringList steps(const QString& what, const QList<bool>& ups)
    {
        QStringList seen;
        for (bool up : ups) {
            clickSpinner(qPrintable("upd" + what), up);
            seen << w.find<QLabel>("lbl" + what)->text();
        }
        return seen;
    }
    void altKey(Qt::Key key) { QTest::keyClick(w.window.get(), key, Qt::AltModifier); }
    QString label(const char* name) const { return w.find<QLabel>(name)->text(); }
    using Values = std::initializer_list<std::pair<int, const char*>>;
    void put(int p, Values values)
    {
        for (const auto& [k, v] : values)
            z.table.setText(slot::page(p, k), QLatin1String(v));
    }
    // Puts values into page p's slots and shows the page again by the page buttons, as a page file would.
    void reloadWith(int p, Values values)
    {
        put(p, values);
        click("cmdNextPage");
        click("cmdPrevPage");
        port.clearWrites();
    }
    // What went to the titlers, without the clock tick's time and date questions.
    QStringList sent() const
    {
        QStringList out;
        for (const QByteArray& f : port.sent())
            out << QString::fromLatin1(f);
        return out;
    }
    // Slot k of the page on screen when its copy holds the same, else both.
    QString stored(int k) const
    {
        const QString s = z.table.text(z.pageSlot(k)), copy = z.table.text(z.pageSlot(k + slot::kSettingsCopyOffset));
        return s == copy ? s : s + " / copy " + copy;
    }
};

const QStringList kDefaultFullSend = {"0134",   "0139",    "0109",    "0111",   "01173",  "01471", "01451", "014645",
                                      "014416", "0137161", "0142173", "014802", "014915", "0107",  "0132"};

// The full send of the defaults to address a, changed by pairs of a frame and its replacement (empty: left out).
QStringList fullSend(const QStringList& changes = {}, const char* a = "01")
{
    QStringList out = kDefaultFullSend;
    for (int c = 0; c + 1 < changes.size(); c += 2)
        if (const qsizetype i = out.indexOf(changes[c]); i >= 0)
            out[i] = changes[c + 1];
    out.removeAll("");
    for (QString& f : out)
        f.replace(0, 2, a);
    return out;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void everyOptionStoresItsCodeAndSendsIt_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("codes");
        const QList<std::tuple<int, QString, QString>> groups = {
            {slot::kDisplayCode, "optDisplayOn optDisplayOff", "07 08"},
            {slot::kBackgroundCode, "optBackgroundOn optBackgroundOff", "09 10"},
            {slot::kCharColourCode, "optCharWhite optCharBlack", "11 12"},
            {slot::kContrastCode, "optContrastLow optContrastMed optContrastHi", "171 172 173"},
            {slot::kTimeCode, "optTimeOn optTimeOff", "34 35"},
            {slot::kDateCode, "optDateOn optDateOff", "39 40"},
            {slot::kHSizeCode, "optHSize1x optHSize2x optHSize3x optHSize4x", "451 452 453 454"},
            {slot::kVSizeCode, "optVSize1x optVSize2x optVSize3x optVSize4x optVSize1s optVSize2s",
             "471 472 473 474 475 476"},
        };
        for (const auto& [k, options, codes] : groups)
            QTest::newRow(qPrintable(options.section(' ', 0, 0))) << k << options.split(' ') << codes.split(' ');
    }
    void everyOptionStoresItsCodeAndSendsIt()
    {
        QFETCH(int, k);
        QFETCH(QStringList, options);
        QFETCH(QStringList, codes);
        Rig r;
        QVERIFY(r.start());
        // Round the group from the second option, so that every click changes the choice.
        for (int n = 1; n <= options.size(); ++n) {
            const QString code = codes[n % options.size()];
            r.port.clearWrites();
            r.click(options[n % options.size()].toLatin1());
            QCOMPARE(r.stored(k), code);
            QStringList expected = {"01" + code, "0132"};
            if (code == "475" || code == "476") // the small sizes bring the vertical position into range and send it
                expected << "0146" + r.label("lblVPos") << "0132";
            QCOMPARE(r.sent(), expected);
        }
    }

    void choicesOfflineOrWithTheirDisplayOffAreOnlyStored()
    {
        Rig r;
        QVERIFY(r.start());
        r.choosePort("optWorkOffline");
        QVERIFY(!r.z.LinkOnline);
        r.click("optDisplayOff");
        r.click("optBackgroundOff");
        QCOMPARE(r.stored(slot::kDisplayCode), QString("08"));
        QCOMPARE(r.stored(slot::kBackgroundCode), QString("10"));
        QVERIFY(r.port.writes.isEmpty());
        r.choosePort("optCommPort(1)");
        r.port.clearWrites();
        r.click("cmdSendSettings");
        QCOMPARE(r.sent(), fullSend({"0109", "0110", "0107", "0108"}));
        QCOMPARE(r.z.ui.lblProgStatus[3]->text(), QString("Setting(s) Sent"));

        // Time and date off: their formats are stored, not sent, and left out of a full send.
        r.click("optTimeOff");
        r.click("optDateOff");
        r.port.clearWrites();
        QCOMPARE(r.steps("TimeFormat", QList<bool>(6, true)).last(), QString("08"));
        QCOMPARE(r.stored(slot::kTimeFormat), QString("08"));
        r.steps("TimeFormat", {true, true});
        QCOMPARE(r.z.ui.lblTimeFormatEx->text(), QString("hh.mm"));
        QCOMPARE(r.steps("DateFormat", {false}), QStringList("14"));
        QCOMPARE(r.stored(slot::kDateFormat), QString("14"));
        QCOMPARE(r.z.ui.lblDateFormatEx->text(), QString("mm-yy"));
        QVERIFY(r.z.ClockReadFailed);
        QCOMPARE(r.sent(), QStringList());
        r.click("cmdSendSettings");
        QCOMPARE(r.sent(), fullSend({"0134", "0135", "0139", "0140", "0109", "0110", "0107", "0108", "014802", "",
                                     "014915", ""}));
        QCOMPARE(r.stored(slot::kTimeFormat), QString("10"));
    }

    void smallSizesVerticalPositionAndPageLoads()
    {
        Rig r;
        QVERIFY(r.start());
        r.reloadWith(1, {{slot::kVPos, "60"}});
        r.click("optVSize2s");
        QCOMPARE(r.label("lblVPos"), QString("40"));
        QCOMPARE(r.stored(slot::kVPos), QString("40"));
        QCOMPARE(r.sent(), QStringList({"01476", "0132", "014640", "0132"}));
        QCOMPARE(r.steps("VPos", {true}), QStringList("00")); // 2s wraps within 0..40

        // Position 00 goes out as a single step, but not in a full send.
        r.reloadWith(1, {{slot::kVSizeCode, "475"}, {slot::kVPos, "01"}});
        QVERIFY(r.z.ui.optVSize1s->isChecked());
        QCOMPARE(r.steps("VPos", {false}), QStringList("00"));
        QCOMPARE(r.sent(), QStringList({"014600", "0132"}));
        r.port.clearWrites();
        r.click("cmdSendSettings");
        QCOMPARE(r.sent(), fullSend({"01471", "01475", "014645", ""}));

        // Loading a page stores its numbers without sending.
        r.port.clearWrites();
        r.put(2, {{slot::kDatePos, "5"}, {slot::kDisplayCode, "08"}, {slot::kTimeFormat, "09"}});
        r.click("cmdNextPage");
        QCOMPARE(r.label("lblDatePos"), QString("005"));
        QCOMPARE(r.stored(slot::kDatePos), QString("005"));
        QVERIFY(r.z.ui.optDisplayOff->isChecked());
        QCOMPARE(r.z.ui.lblTimeFormatEx->text(), QString("mm:ss-60 min dwn cnt"));
        QCOMPARE(r.sent(), QStringList());
    }

    // Each page keeps its own numbers through page loads whatever the size of the page shown before it: the small
    // sizes' 70 and 00, and horizontal positions below the spinner's 6 that the label accepts.
    void pageLoadsKeepEachPagesNumbers()
    {
        Rig r;
        QVERIFY(r.start());
        r.put(1, {{slot::kVSizeCode, "471"}, {slot::kVPos, "50"}, {slot::kHPos, "03"}});
        r.put(2, {{slot::kVSizeCode, "475"}, {slot::kVPos, "70"}, {slot::kHPos, "01"}});
        r.put(3, {{slot::kVSizeCode, "476"}, {slot::kVPos, "00"}, {slot::kHPos, "05"}});
        for (const char* button : {"cmdNextPage", "cmdNextPage", "cmdPrevPage", "cmdPrevPage", "cmdNextPage"}) {
            r.click(button);
            for (const auto& [p, v, h] : {std::tuple{1, "50", "03"}, std::tuple{2, "70", "01"}, {3, "00", "05"}}) {
                QCOMPARE(r.z.table.text(slot::page(p, slot::kVPos)), QString(v));
                QCOMPARE(r.z.table.text(slot::page(p, slot::kHPos)), QString(h));
            }
        }
        QCOMPARE(r.label("lblVPos") + r.label("lblHPos"), QString("7001"));
        QCOMPARE(r.sent(), QStringList());
    }

    // A single setting goes out only while the status line shows the link up: not while it says no titler
    // answered (8) or the titler is disabled (9), even with the port open.
    void singleSettingsFollowTheStatusLine()
    {
        Rig r;
        QVERIFY(r.start());
        r.z.status->ShowStatus(8); // as a time question nobody answered leaves it
        r.click("optBackgroundOff");
        QCOMPARE(r.stored(slot::kBackgroundCode), QString("10"));
        QCOMPARE(r.sent(), QStringList());
        r.z.status->ShowStatus(1);
        r.click("optBackgroundOn");
        QCOMPARE(r.sent(), QStringList({"0109", "0132"}));

        r.port.clearWrites();
        r.z.ui.lstTitlerNames->item(0)->setSelected(false); // the titler on screen, disabled in the roster
        r.click("optDisplayOff");
        QCOMPARE(r.label("lblProgStatus(1)"), QString("Disabled"));
        r.click("optCharBlack");
        QCOMPARE(r.z.LastStatus, qint16(9));
        r.z.ui.lstTitlerNames->item(0)->setSelected(true);
        r.click("optBackgroundOff"); // enabled again, but the status line still says disabled
        QCOMPARE(r.stored(slot::kBackgroundCode), QString("10"));
        QCOMPARE(r.sent(), QStringList());

        // A line that stalls under a single setting shows the port unavailable, not "Setting(s) Sent".
        r.z.status->ShowStatus(1);
        r.port.stalled = true;
        r.click("optContrastLow");
        QCOMPARE(r.label("lblProgStatus(1)") + "|" + r.label("lblProgStatus(2)") + "|" + r.label("lblProgStatus(3)"),
                 QString("Offline|Invalid CommPort|"));
    }

    void spinnersWrapWithinTheirRanges()
    {
        Rig r;
        QVERIFY(r.start());
        r.reloadWith(1, {{slot::kHPos, "64"}, {slot::kTimePos, "180"}});
        QCOMPARE(r.steps("HPos", {true, false}), QStringList({"06", "64"}));
        QCOMPARE(r.stored(slot::kHPos), QString("64"));
        QCOMPARE(r.steps("TimePos", {true}), QStringList("001"));
        QCOMPARE(r.steps("TimeFormat", {false, false}), QStringList({"01", "36"}));
        QCOMPARE(r.steps("DateFormat", {true}), QStringList("16"));
        QCOMPARE(r.sent(), QStringList({"014406", "0132", "014464", "0132", "0137001", "0132", "014801", "0132",
                                        "014836", "0132", "014916", "0132"}));

        // A page for every titler, or an old titler, has fewer formats.
        r.z.table.setText(slot::page(2, slot::kAddress), "00");
        r.click("cmdNextPage");
        QCOMPARE(r.z.ui.txtAddress->text(), QString("00"));
        const QStringList broadcast = r.steps("TimeFormat", {true, true});
        QCOMPARE(QSet<QString>(broadcast.begin(), broadcast.end()), QSet<QString>({"02", "03"}));
        QCOMPARE(r.steps("DateFormat", {true, false}), QStringList({"15", "15"}));

        // Titler 1 with older firmware: the same on page 1.
        r.put(1, {{slot::kTimeFormat, "02"}});
        r.z.table.setBool(slot::titler(slot::kTitlerVersionBlock, 1), true);
        r.z.link->FillTitlerLists();
        r.click("cmdPrevPage");
        QVERIFY(r.z.OldFirmwareTitler);
        QCOMPARE(r.label("lblTimeFormat"), QString("02"));
        QCOMPARE(r.steps("TimeFormat", {true, true, false}), QStringList({"03", "02", "03"}));
    }

    void altKeysMoveTheTextAndTheClockPositions()
    {
        Rig r;
        QVERIFY(r.start());
        r.altKey(Qt::Key_Right);
        QCOMPARE(r.label("lblHPos"), QString("17"));
        QCOMPARE(r.sent(), QStringList({"014417", "0132", "014417"}));
        r.port.clearWrites();
        QPushButton* button = r.w.find<QPushButton>("cmdSendAllSettings"); // works with any control focused
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(r.label("lblVPos"), QString("44"));
        QCOMPARE(r.sent(), QStringList({"014644", "0132", "014644"}));
        r.altKey(Qt::Key_Down);
        r.altKey(Qt::Key_Left);
        QCOMPARE(r.label("lblVPos"), QString("45"));
        QCOMPARE(r.stored(slot::kHPos), QString("16"));

        // Alt+T held: the arrows move the time position. A held key repeats as release and press pairs, which do not
        // end the mode.
        r.reloadWith(1, {{slot::kTimePos, "020"}});
        QWidget* win = r.w.window.get();
        QTest::keyPress(win, Qt::Key_T, Qt::AltModifier);
        QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_T, Qt::AltModifier, QString(), true);
        QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_T, Qt::AltModifier, QString(), true);
        QApplication::sendEvent(win, &repeatUp);
        QVERIFY(r.z.TimePosKeyMode);
        QApplication::sendEvent(win, &repeatDown);
        QStringList seen;
        for (Qt::Key k :
             {Qt::Key_Up, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up, Qt::Key_Down}) {
            r.altKey(k);
            seen << r.label("lblTimePos");
        }
        QTest::keyRelease(win, Qt::Key_T, Qt::AltModifier);
        QCOMPARE(seen, QStringList({"180", "001", "161", "001", "180", "160", "180"}));
        QCOMPARE(r.sent().mid(0, 4), QStringList({"0137180", "0132", "0137001", "0132"}));
        QCOMPARE(r.label("lblHPos"), QString("16"));

        r.port.clearWrites();
        QTest::keyPress(win, Qt::Key_D, Qt::AltModifier);
        r.altKey(Qt::Key_Down);
        QTest::keyRelease(win, Qt::Key_D, Qt::AltModifier);
        QCOMPARE(r.label("lblDatePos"), QString("013"));
        QCOMPARE(r.sent(), QStringList({"0142013", "0132", "0142013"}));

        // Both released: the arrows move the text again.
        r.altKey(Qt::Key_Right);
        QCOMPARE(r.label("lblHPos"), QString("17"));
        QCOMPARE(r.label("lblDatePos"), QString("013"));

        // Ctrl or Shift with Alt moves nothing; S sends only outside the position modes.
        r.port.clearWrites();
        for (Qt::KeyboardModifier extra : {Qt::ControlModifier, Qt::ShiftModifier})
            for (Qt::Key k : {Qt::Key_Right, Qt::Key_Up})
                QTest::keyClick(win, k, Qt::AltModifier | extra);
        QCOMPARE(r.label("lblHPos") + r.label("lblVPos"), QString("1745"));
        QTest::keyPress(win, Qt::Key_T, Qt::AltModifier);
        r.altKey(Qt::Key_S);
        QTest::keyRelease(win, Qt::Key_T, Qt::AltModifier);
        QCOMPARE(r.sent(), QStringList());
        r.altKey(Qt::Key_S);
        QCOMPARE(r.sent().mid(0, 2), QStringList({"0108", "0128001   TALVEN PXT-12    "}));
    }

    void aClickStepsOnceAndAHeldSpinnerRepeats()
    {
        Rig r;
        QVERIFY(r.start());
        r.clickSpinner("updTimePos", true);
        QCOMPARE(r.label("lblTimePos"), QString("162"));
        QCOMPARE(r.sent(), QStringList({"0137162", "0132"}));

        r.port.clearWrites();
        auto stepTimes = [&r] {
            QList<qint64> at;
            for (const auto& wr : r.port.writes)
                if (wr.bytes.mid(3, 2) == "37")
                    at << wr.atMs;
            return at;
        };
        UpDown* s = r.w.find<UpDown>("updTimePos");
        const QPoint upper(s->width() / 2, 2);
        int ticks = 0;
        QObject::connect(r.z.ui.tmrTime, &QTimer::timeout, s, [&ticks] { ++ticks; });
        QElapsedTimer held;
        QTimer::singleShot(900, s, [&] { QTest::mouseRelease(s, Qt::LeftButton, {}, upper); });
        held.start();
        QTest::mousePress(s, Qt::LeftButton, {}, upper);
        QVERIFY(held.elapsed() >= 900); // the press lasted until the release
        QVERIFY(!r.z.SpinnerHeld);
        const QList<qint64> steps = stepTimes();
        QVERIFY2(steps.size() >= 2, qPrintable(QString::number(steps.size())));
        for (int i = 1; i < steps.size(); ++i)
            QVERIFY2(steps[i] - steps[i - 1] >= 150, qPrintable(QString::number(steps[i] - steps[i - 1])));
        QCOMPARE(r.label("lblTimePos"), QString::number(162 + steps.size()).rightJustified(3, '0'));
        QCOMPARE(r.stored(slot::kTimePos), r.label("lblTimePos"));
        QVERIFY2(ticks >= 3, "the window went on working while the spinner was held");
        QTest::qWait(500); // released: no further step
        QCOMPARE(stepTimes().size(), steps.size());
    }

    void sendAllWalksTheEnabledPages()
    {
        Rig r;
        QVERIFY(r.start({1, 3, 7}));
        r.z.table.setText(slot::page(3, slot::kVPos), "30");
        r.z.table.setText(slot::page(5, slot::kAddress), "00");
        r.click("cmdSendAllSettings");

        // Page 3's own position; page 5 goes to every titler.
        QCOMPARE(r.sent(), fullSend() + fullSend({"014645", "014630"}, "03") + fullSend({}, "00") + fullSend({}, "07"));
        QCOMPARE(r.z.ui.txtPageNumber->text(), QString("01"));
        QVERIFY(!r.z.PageRefreshing);
        QCOMPARE(r.z.ui.lblProgStatus[3]->text(), QString("Setting(s) Sent"));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
