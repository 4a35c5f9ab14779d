// The clock and calendar against the titler simulator: setting its clock from the computer and from typed values,
// the preview of what it answers, a reply out of range, and settings cloned to the titlers of a range of pages.

#include "SimProcess.h"
#include "TestWindow.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"
#include "pages/PageView.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

struct Rig
{
    SimProcess sim;
    QtSerialPort port;
    std::unique_ptr<TestWindow> w;

    explicit Rig(const QStringList& simArgs = {}) : sim(simArgs)
    {
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        w = std::make_unique<TestWindow>(port);
    }
    bool start(std::initializer_list<int> enabled = {1})
    {
        for (int a : enabled)
            w->z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        if (!w->startOnline())
            return false;
        for (int a : enabled)
            w->z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        w->z.link->FillTitlerLists();
        return true;
    }
    Zelk& z() { return w->z; }
    void click(const char* name) { QTest::mouseClick(w->find<QWidget>(name), Qt::LeftButton); }
    void type(const char* box, const QString& text)
    {
        auto* e = w->find<QLineEdit>(box);
        e->setFocus();
        e->setCursorPosition(0);
        QTest::keyClicks(e, text);
    }
    QString panel(int i) { return z().ui.lblProgStatus[std::size_t(i)]->text(); }
    QString preview() { return z().ui.txtTimeDisplay->text() + "|" + z().ui.txtTimeDisplay2->text(); }
};

} // namespace

class TestClockE2E : public QObject
{
    Q_OBJECT

private slots:
    void titlerSetFromTheComputerAndPreviewedInThePagesFormats()
    {
        Rig r;
        QVERIFY(r.start());
        r.z().clock.setNow(QDateTime(QDate(2026, 6, 12), QTime(9, 30, 5)));
        r.w->showTab(2);
        r.z().ui.lblProgStatus[3]->setText("before");
        r.click("cmdSetTimePC");
        r.click("cmdSetDatePC");
        QCOMPARE(r.panel(3), QString("before")); // the computer's time is set without a word
        const auto state = r.sim.dump();
        QVERIFY2(state["01"].settings.value("clock").startsWith("09:30:0"),
                 qPrintable(state["01"].settings.value("clock")));
        QCOMPARE(state["01"].settings.value("calendar"), QString("06/12/26"));

        // Time at 175 in format 2 (row 9 from column 15, the rest at the top); date at 21 in format 60.
        Zelk& z = r.z();
        z.table.setText(slot::page(1, slot::kTimePos), "175");
        z.table.setText(slot::page(1, slot::kDatePos), "021");
        z.table.setText(slot::page(1, slot::kDateFormat), "60");
        r.w->showTab(1);
        QTRY_VERIFY_WITH_TIMEOUT(QRegularExpression("^09:3[01]\\|:\\d\\d$").match(r.preview()).hasMatch(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(z.ui.txtDateDisplay->text(), QString("260612"), 10000);
        QCOMPARE(r.panel(1), QString("Online"));
        const auto frames = r.sim.frames();
        QVERIFY(std::any_of(frames.begin(), frames.end(), [](const SimProcess::Frame& f) {
            return f.code == "43" && f.params.contains("[reply 061226]");
        }));
    }

    void replyOutOfRangeIsNoTitler()
    {
        Rig r({"--reply", "240000"});
        QVERIFY(r.start());
        QTRY_COMPARE_WITH_TIMEOUT(r.panel(1) + " " + r.panel(2), QString("Offline No PXT Detected"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(r.preview(), QString("hh:mm:ss|"), 10000);
        QVERIFY(r.z().ClockReadFailed);
    }

    void typedTimeAndDateChecked()
    {
        Rig r;
        QVERIFY(r.start());
        r.w->showTab(2);
        r.click("optSetTimeKybd");
        r.click("optSetDateKybd");
        auto* time = r.w->find<QLineEdit>("mskUserTime");
        time->setFocus();
        time->selectAll();
        QTest::keyClick(time, Qt::Key_Delete);
        QTest::keyClicks(time, "123");
        QCOMPARE(r.w->find<QLineEdit>("mskUserTime")->displayText(), QString("12:3_:__"));
        r.click("cmdSetTimePC");
        QCOMPARE(r.panel(3), QString("Invalid User Time"));
        r.type("mskUserDate", "130199");
        r.click("cmdSetDatePC");
        QCOMPARE(r.panel(3), QString("Invalid User Date"));
        r.type("mskUserDate", "123199");
        r.click("cmdSetDatePC");
        QCOMPARE(r.panel(3), QString("PXT Date Set"));
        QCOMPARE(r.sim.dump()["01"].settings.value("calendar"), QString("12/31/99"));
        QCOMPARE(r.z().table.text(slot::kUserDate), QString("12-31-99"));
        const auto frames = r.sim.frames();
        QVERIFY(std::none_of(frames.begin(), frames.end(), [](const SimProcess::Frame& f) { return f.code == "36"; }));
    }

    void settingsClonedAndSentToEachPagesTitler()
    {
        Rig r;
        QVERIFY(r.start({2, 5, 6, 7}));
        Zelk& z = r.z();
        z.ui.txtPageNumber->setText("02");
        z.pageView->ShowPage();
        r.w->showTab(2);
        r.click("optContrastLow");
        r.click("optCharBlack");
        r.type("txtCloneStart", "05");
        r.type("txtCloneEnd", "07");
        r.click("cmdCloneSettingsSend");
        QCOMPARE(r.panel(3), QString("Setting(s) Sent"));
        QTRY_VERIFY_WITH_TIMEOUT(r.sim.frames().size() > 0 && r.sim.frames().last().address == "07" &&
                                     r.sim.frames().last().code == "32",
                                 10000);
        const auto state = r.sim.dump();
        for (const char* a : {"05", "06", "07"}) {
            QCOMPARE(state[a].settings.value("contrast"), QString("low"));
            QCOMPARE(state[a].settings.value("characters"), QString("black"));
        }
        QVERIFY(!state.contains("08") && !state.contains("04"));
        QCOMPARE(z.table.text(slot::page(6, slot::kContrastCode + slot::kSettingsCopyOffset)), QString("171"));
        QCOMPARE(z.table.text(slot::page(8, slot::kContrastCode)), QString("173"));
    }
};

QTEST_MAIN(TestClockE2E)
#include "test_clock_e2e.moc"
