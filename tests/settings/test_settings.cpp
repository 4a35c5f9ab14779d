// The "Setup" tab as the operator uses it: option buttons, the two send buttons, the number labels with their
// spinners, and the Alt keys; what each stores in the page and what goes over the line.

#include "RecordingPort.h"
#include "TestWindow.h"
#include "app/Zelk.h"
#include "link/SerialLink.h"
#include "settings/UpDown.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabBar>
#include <QTimer>

namespace {

// The real window on a recording port, shown, online, on the "Setup" tab, with the given titlers enabled. Page 2's
// titler is enabled too by default: the page buttons pass over page 2, and a disabled titler there would leave the
// status line in its "Disabled" state, which stops single settings from being sent.
struct Rig
{
    RecordingPort port;
    TestWindow w{port};
    Zelk& z = w.z;

    bool start(std::initializer_list<int> enabled = {1, 2})
    {
        if (!w.start())
            return false;
        w.window->activateWindow();
        if (!QTest::qWaitForWindowActive(w.window.get()))
            return false;
        for (int a : enabled)
            z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        z.link->FillTitlerLists();
        goOnline();
        port.clearWrites();
        return z.LinkOnline && z.LastStatus == 1;
    }
    void tab(int index)
    {
        QTabBar* tabs = z.ui.tabMain;
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index - 1).center());
    }
    void goOnline()
    {
        tab(5);
        QTest::mouseClick(w.find<QRadioButton>("optCommPort(1)"), Qt::LeftButton);
        tab(2);
    }
    void goOffline()
    {
        tab(5);
        QTest::mouseClick(w.find<QRadioButton>("optWorkOffline"), Qt::LeftButton);
        tab(2);
    }
    void click(const char* name) { QTest::mouseClick(w.find<QAbstractButton>(name), Qt::LeftButton); }
    // A short press on one half of a spinner: the release is queued first, because the press steps until it comes.
    void clickSpinner(const char* name, bool up)
    {
        UpDown* s = w.find<UpDown>(name);
        const QPoint at(s->width() / 2, up ? 2 : s->height() - 3);
        QTimer::singleShot(0, s, [s, at] { QTest::mouseRelease(s, Qt::LeftButton, {}, at); });
        QTest::mousePress(s, Qt::LeftButton, {}, at);
    }
    void altKey(Qt::Key key) { QTest::keyClick(w.window.get(), key, Qt::AltModifier); }
    QString label(const char* name) const { return w.find<QLabel>(name)->text(); }
    // Puts values into page p's slots and shows that page again by the page buttons, as a page file would.
    void reloadWith(int p, std::initializer_list<std::pair<int, const char*>> values)
    {
        for (const auto& [k, v] : values)
            z.table.setText(slot::page(p, k), QLatin1String(v));
        click("cmdNextPage");
        click("cmdPrevPage");
        port.clearWrites();
    }
    // What went to the titlers, without the clock tick's time and date questions.
    QStringList sent() const
    {
        QStringList out;
        for (const QByteArray& f : port.frames())
            if (f.mid(2) != "38" && f.mid(2) != "43")
                out << QString::fromLatin1(f);
        return out;
    }
    QString slotText(int k) const { return z.table.text(z.pageSlot(k)); }
    QString copyText(int k) const { return z.table.text(z.pageSlot(k + slot::kSettingsCopyOffset)); }
};

const QStringList kDefaultFullSend = {"0134",   "0139",    "0109",    "0111",   "01173",  "01471", "01451", "014645",
                                      "014416", "0137161", "0142173", "014802", "014915", "0107",  "0132"};

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void everyOptionStoresItsCodeAndSendsIt_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("other"); // selected first, so that the option really changes
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("k");
        const struct
        {
            int k;
            QStringList options, codes;
        } groups[] = {
            {slot::kDisplayCode, {"optDisplayOn", "optDisplayOff"}, {"07", "08"}},
            {slot::kBackgroundCode, {"optBackgroundOn", "optBackgroundOff"}, {"09", "10"}},
            {slot::kCharColourCode, {"optCharWhite", "optCharBlack"}, {"11", "12"}},
            {slot::kContrastCode, {"optContrastLow", "optContrastMed", "optContrastHi"}, {"171", "172", "173"}},
            {slot::kTimeCode, {"optTimeOn", "optTimeOff"}, {"34", "35"}},
            {slot::kDateCode, {"optDateOn", "optDateOff"}, {"39", "40"}},
            {slot::kHSizeCode, {"optHSize1x", "optHSize2x", "optHSize3x", "optHSize4x"}, {"451", "452", "453", "454"}},
            {slot::kVSizeCode,
             {"optVSize1x", "optVSize2x", "optVSize3x", "optVSize4x", "optVSize1s", "optVSize2s"},
             {"471", "472", "473", "474", "475", "476"}},
        };
        for (const auto& g : groups)
            for (int i = 0; i < g.options.size(); ++i)
                QTest::newRow(qPrintable(g.options[i]))
                    << g.options[i] << g.options[(i + 1) % g.options.size()] << g.codes[i] << g.k;
    }
    void everyOptionStoresItsCodeAndSendsIt()
    {
        QFETCH(QString, option);
        QFETCH(QString, other);
        QFETCH(QString, code);
        QFETCH(int, k);
        Rig r;
        QVERIFY(r.start());
        r.click(other.toLatin1());
        r.port.clearWrites();
        r.click(option.toLatin1());
        QVERIFY(r.w.find<QRadioButton>(option)->isChecked());
        QCOMPARE(r.slotText(k), code);
        QCOMPARE(r.copyText(k), code);
        QStringList expected = {"01" + code, "0132"};
        // The small sizes bring the vertical position into their range and send it too.
        if (code == "475" || code == "476")
            expected << "0146" + r.label("lblVPos") << "0132";
        QCOMPARE(r.sent(), expected);
    }

    void offlineChoicesAreStoredAndGoOutWithTheNextFullSend()
    {
        Rig r;
        QVERIFY(r.start());
        r.goOffline();
        QVERIFY(!r.z.LinkOnline);
        r.click("optDisplayOff");
        r.click("optBackgroundOff");
        QCOMPARE(r.slotText(slot::kDisplayCode), QString("08"));
        QCOMPARE(r.copyText(slot::kDisplayCode), QString("08"));
        QCOMPARE(r.slotText(slot::kBackgroundCode), QString("10"));
        QVERIFY(r.port.writes.isEmpty());

        r.goOnline();
        r.port.clearWrites();
        r.click("cmdSendSettings");
        QStringList expected = kDefaultFullSend;
        expected.replace(expected.indexOf("0109"), "0110");
        expected.replace(expected.indexOf("0107"), "0108");
        QCOMPARE(r.sent(), expected);
        QCOMPARE(r.z.ui.lblProgStatus[3]->text(), QString("Setting(s) Sent"));
    }

    void fullSendLeavesOutFormatsWhoseDisplayIsOff()
    {
        Rig r;
        QVERIFY(r.start());
        r.click("optTimeOff");
        r.click("optDateOff");
        r.port.clearWrites();
        r.click("cmdSendSettings");
        const QStringList sent = r.sent();
        QVERIFY(sent.contains("0135"));
        QVERIFY(sent.contains("0140"));
        for (const QString& f : sent) {
            QVERIFY2(!f.startsWith("0148") && !f.startsWith("0149"), qPrintable(f));
        }
        QCOMPARE(r.slotText(slot::kTimeFormat), QString("02")); // still stored
        QCOMPARE(sent.last(), QString("0132"));
    }

    void verticalPositionZeroIsNotInAFullSend()
    {
        Rig r;
        QVERIFY(r.start());
        r.reloadWith(1, {{slot::kVSizeCode, "475"}, {slot::kVPos, "01"}});
        QVERIFY(r.z.ui.optVSize1s->isChecked());
        r.clickSpinner("updVPos", false);
        QCOMPARE(r.label("lblVPos"), QString("00"));
        QCOMPARE(r.sent(), QStringList({"014600", "0132"})); // a single step does send it
        r.port.clearWrites();
        r.click("cmdSendSettings");
        for (const QString& f : r.sent())
            QVERIFY2(!f.startsWith("0146"), qPrintable(f));
        QVERIFY(r.sent().contains("01475"));
    }

    void spinnersWrapWithinTheirRanges()
    {
        Rig r;
        QVERIFY(r.start());
        r.reloadWith(1, {{slot::kHPos, "64"}, {slot::kTimePos, "180"}});
        r.clickSpinner("updHPos", true);
        QCOMPARE(r.label("lblHPos"), QString("06"));
        QCOMPARE(r.slotText(slot::kHPos), QString("06"));
        r.clickSpinner("updHPos", false);
        QCOMPARE(r.label("lblHPos"), QString("64"));
        r.clickSpinner("updTimePos", true);
        QCOMPARE(r.label("lblTimePos"), QString("001"));
        r.clickSpinner("updTimeFormat", false);
        r.clickSpinner("updTimeFormat", false);
        QCOMPARE(r.label("lblTimeFormat"), QString("36"));
        r.clickSpinner("updDateFormat", true);
        QCOMPARE(r.label("lblDateFormat"), QString("16"));
        QCOMPARE(r.sent(), QStringList({"014406", "0132", "014464", "0132", "0137001", "0132", "014801", "0132",
                                        "014836", "0132", "014916", "0132"}));
    }

    void formatSpinnersOfABroadcastPageOrOldTitlerAreRestricted()
    {
        Rig r;
        QVERIFY(r.start());
        // Page 2 goes to every titler.
        r.z.table.setText(slot::page(2, slot::kAddress), "00");
        r.click("cmdNextPage");
        QCOMPARE(r.z.ui.txtAddress->text(), QString("00"));
        r.clickSpinner("updTimeFormat", true);
        const QString first = r.label("lblTimeFormat");
        r.clickSpinner("updTimeFormat", true);
        const QString second = r.label("lblTimeFormat");
        QCOMPARE(QSet<QString>({first, second}), QSet<QString>({"02", "03"}));
        r.clickSpinner("updDateFormat", true);
        QCOMPARE(r.label("lblDateFormat"), QString("15"));
        r.clickSpinner("updDateFormat", false);
        QCOMPARE(r.label("lblDateFormat"), QString("15"));

        // Titler 1 with older firmware: the same on page 1.
        r.z.table.setBool(slot::titler(slot::kTitlerVersionBlock, 1), true);
        r.z.link->FillTitlerLists();
        r.click("cmdPrevPage");
        QVERIFY(r.z.OldFirmwareTitler);
        QCOMPARE(r.label("lblTimeFormat"), QString("02"));
        r.clickSpinner("updTimeFormat", true);
        QCOMPARE(r.label("lblTimeFormat"), QString("03"));
        r.clickSpinner("updTimeFormat", true);
        QCOMPARE(r.label("lblTimeFormat"), QString("02"));
        r.clickSpinner("updTimeFormat", false);
        QCOMPARE(r.label("lblTimeFormat"), QString("03"));
    }

    void smallSizesBringTheVerticalPositionIntoRange()
    {
        Rig r;
        QVERIFY(r.start());
        r.reloadWith(1, {{slot::kVPos, "60"}});
        r.click("optVSize2s");
        QCOMPARE(r.label("lblVPos"), QString("40"));
        QCOMPARE(r.slotText(slot::kVPos), QString("40"));
        QCOMPARE(r.copyText(slot::kVPos), QString("40"));
        QCOMPARE(r.sent(), QStringList({"01476", "0132", "014640", "0132"}));
        // 2s wraps within 0..40.
        r.clickSpinner("updVPos", false);
        QCOMPARE(r.label("lblVPos"), QString("39"));
    }

    void loadingAPageStoresItsNumbersWithoutSending()
    {
        Rig r;
        QVERIFY(r.start());
        r.z.table.setText(slot::page(2, slot::kDatePos), "5");
        r.z.table.setText(slot::page(2, slot::kDisplayCode), "08");
        r.z.table.setText(slot::page(2, slot::kTimeFormat), "09");
        // A page in a small size with a position that only that size allows.
        r.z.table.setText(slot::page(2, slot::kVSizeCode), "475");
        r.z.table.setText(slot::page(2, slot::kVPos), "70");
        r.click("cmdNextPage");
        QCOMPARE(r.label("lblDatePos"), QString("005"));
        QCOMPARE(r.slotText(slot::kDatePos), QString("005"));
        QCOMPARE(r.copyText(slot::kDatePos), QString("005"));
        QVERIFY(r.z.ui.optDisplayOff->isChecked());
        QCOMPARE(r.z.ui.lblTimeFormatEx->text(), QString("mm:ss-60 min dwn cnt"));
        QCOMPARE(r.label("lblVPos"), QString("70"));
        QCOMPARE(r.slotText(slot::kVPos), QString("70"));
        QCOMPARE(r.sent(), QStringList());
    }

    void formatChangesWithDisplayOffOnlyStore()
    {
        Rig r;
        QVERIFY(r.start());
        r.click("optTimeOff");
        r.click("optDateOff");
        r.port.clearWrites();
        for (int i = 0; i < 6; ++i)
            r.clickSpinner("updTimeFormat", true);
        QCOMPARE(r.label("lblTimeFormat"), QString("08"));
        QCOMPARE(r.slotText(slot::kTimeFormat), QString("08"));
        QCOMPARE(r.copyText(slot::kTimeFormat), QString("08"));
        QCOMPARE(r.z.ui.lblTimeFormatEx->text(), QString("mm:ss-30 min dwn cnt"));
        r.clickSpinner("updTimeFormat", true);
        QCOMPARE(r.z.ui.lblTimeFormatEx->text(), QString("mm:ss-60 min dwn cnt"));
        r.clickSpinner("updTimeFormat", true);
        QCOMPARE(r.z.ui.lblTimeFormatEx->text(), QString("hh.mm"));
        r.clickSpinner("updDateFormat", false);
        QCOMPARE(r.slotText(slot::kDateFormat), QString("14"));
        QCOMPARE(r.z.ui.lblDateFormatEx->text(), QString("mm-yy"));
        QVERIFY(r.z.ClockReadFailed);
        QCOMPARE(r.sent(), QStringList());
    }

    void altArrowsMoveTheTextAndSendTwice()
    {
        Rig r;
        QVERIFY(r.start());
        r.altKey(Qt::Key_Right);
        QCOMPARE(r.label("lblHPos"), QString("17"));
        QCOMPARE(r.sent(), QStringList({"014417", "0132", "014417"}));
        r.port.clearWrites();
        // From a button with the focus, as from anywhere in the window.
        QPushButton* button = r.w.find<QPushButton>("cmdSendAllSettings");
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(r.label("lblVPos"), QString("44"));
        QCOMPARE(r.sent(), QStringList({"014644", "0132", "014644"}));
        r.altKey(Qt::Key_Down);
        r.altKey(Qt::Key_Left);
        QCOMPARE(r.label("lblVPos"), QString("45"));
        QCOMPARE(r.label("lblHPos"), QString("16"));
        QCOMPARE(r.slotText(slot::kHPos), QString("16"));
    }

    void altTAndAltDHeldMoveTheClockPositions()
    {
        Rig r;
        QVERIFY(r.start());
        r.reloadWith(1, {{slot::kTimePos, "020"}});
        QWidget* win = r.w.window.get();
        QTest::keyPress(win, Qt::Key_T, Qt::AltModifier);
        // A held key repeats as release and press pairs; those releases do not end the mode.
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
        QCOMPARE(r.label("lblHPos"), QString("16")); // the arrows belonged to the time position

        r.port.clearWrites();
        QTest::keyPress(win, Qt::Key_D, Qt::AltModifier);
        r.altKey(Qt::Key_Down);
        QTest::keyRelease(win, Qt::Key_D, Qt::AltModifier);
        QCOMPARE(r.label("lblDatePos"), QString("013"));
        QCOMPARE(r.sent(), QStringList({"0142013", "0132", "0142013"}));

        // Both released: the arrows move the text again.
        r.port.clearWrites();
        r.altKey(Qt::Key_Right);
        QCOMPARE(r.label("lblHPos"), QString("17"));
        QCOMPARE(r.label("lblDatePos"), QString("013"));
    }

    void aClickStepsOnceAndAHeldSpinnerRepeats()
    {
        Rig r;
        QVERIFY(r.start());
        r.clickSpinner("updTimePos", true);
        QCOMPARE(r.label("lblTimePos"), QString("162"));
        QCOMPARE(r.sent(), QStringList({"0137162", "0132"}));

        r.port.clearWrites();
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

        QList<qint64> stepTimes;
        for (const auto& wr : r.port.writes)
            if (wr.bytes.mid(3, 2) == "37")
                stepTimes << wr.atMs;
        QVERIFY2(stepTimes.size() >= 2, qPrintable(QString::number(stepTimes.size())));
        for (int i = 1; i < stepTimes.size(); ++i)
            QVERIFY2(stepTimes[i] - stepTimes[i - 1] >= 150,
                     qPrintable(QString::number(stepTimes[i] - stepTimes[i - 1])));
        QCOMPARE(r.label("lblTimePos"), QString::number(162 + stepTimes.size()).rightJustified(3, '0'));
        QCOMPARE(r.slotText(slot::kTimePos), r.label("lblTimePos"));
        QVERIFY2(ticks >= 3, "the window went on working while the spinner was held");

        // Released: no further step.
        const int steps = stepTimes.size();
        QTest::qWait(500);
        int after = 0;
        for (const auto& wr : r.port.writes)
            after += wr.bytes.mid(3, 2) == "37";
        QCOMPARE(after, steps);
    }

    void sendAllWalksTheEnabledPages()
    {
        Rig r;
        QVERIFY(r.start({1, 3, 7}));
        r.z.table.setText(slot::page(3, slot::kVPos), "30");
        r.z.table.setText(slot::page(5, slot::kAddress), "00"); // every titler: always sent
        r.click("cmdSendAllSettings");

        QStringList addresses;
        const QStringList sent = r.sent();
        for (const QString& f : sent)
            if (addresses.isEmpty() || addresses.last() != f.left(2) || f.mid(2) == "34")
                addresses << f.left(2);
        QCOMPARE(addresses, QStringList({"01", "03", "00", "07"}));
        QCOMPARE(sent.size(), 4 * kDefaultFullSend.size());
        QVERIFY(sent.contains("034630"));
        QVERIFY(sent.contains("014645"));
        QCOMPARE(sent.count("0132") + sent.count("0332") + sent.count("0032") + sent.count("0732"), 4);
        QCOMPARE(r.z.ui.txtPageNumber->text(), QString("01"));
        QCOMPARE(r.z.currentPage(), 1);
        QVERIFY(!r.z.PageRefreshing);
        QCOMPARE(r.z.ui.lblProgStatus[3]->text(), QString("Setting(s) Sent"));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
