// The "Setup" tab over the real line to the titler simulator: what the operator picks ends up on the titler.

#include "SimProcess.h"
#include "TestWindow.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"
#include "settings/UpDown.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTimer>

class TestSettingsE2E : public QObject
{
    Q_OBJECT

private slots:
    void settingsChosenOnTheTabReachTheTitler()
    {
        SimProcess sim({QStringLiteral("--titlers"), QStringLiteral("1-3")});
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        Zelk& z = w.z;
        auto click = [&w](const char* name) { QTest::mouseClick(w.find<QWidget>(name), Qt::LeftButton); };
        for (int a : {1, 2})
            z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        z.link->FillTitlerLists();
        QTabBar* tabs = z.ui.tabMain;
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
        click("optCommPort(1)");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        click("cmdNextPage");
        QVERIFY(z.LinkOnline);
        QCOMPARE(z.ui.txtAddress->text(), QString("02"));

        // The page's full set first, then single changes on top of it.
        z.table.setText(slot::page(2, slot::kContrastCode), "171");
        click("cmdSendSettings");
        click("optVSize2x");
        click("optCharBlack");
        UpDown* spinner = w.find<UpDown>("updTimePos");
        const QPoint lower(spinner->width() / 2, spinner->height() - 3);
        QTimer::singleShot(0, spinner, [&] { QTest::mouseRelease(spinner, Qt::LeftButton, {}, lower); });
        QTest::mousePress(spinner, Qt::LeftButton, {}, lower);
        QTest::keyClick(w.window.get(), Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(w.find<QLabel>("lblTimePos")->text(), QString("160"));
        QCOMPARE(w.find<QLabel>("lblHPos")->text(), QString("17"));

        // Wait for the last frames: "44" straight after a "32".
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const auto f = sim.frames();
                return f.size() >= 3 && f.last().code == "44" && f[f.size() - 2].code == "32";
            }(),
            15000);
        auto state = sim.dump();
        QVERIFY(state.contains("02"));
        const auto& s = state["02"].settings;
        QCOMPARE(s.value("contrast"), QString("low"));
        QCOMPARE(s.value("vsize"), QString("2x"));
        QCOMPARE(s.value("characters"), QString("black"));
        QCOMPARE(s.value("display"), QString("on"));
        QCOMPARE(s.value("timepos").toInt(), 160);
        QCOMPARE(s.value("hpos").toInt(), 17);
        QCOMPARE(s.value("vpos").toInt(), 45);
        // Titler 3 is not enabled and titler 1's page was not touched.
        for (const QString& other : {QString("01"), QString("03")})
            QVERIFY(!state.contains(other) || state[other].settings.value("vsize") != "2x");
    }
};

QTEST_MAIN(TestSettingsE2E)
#include "test_settings_e2e.moc"
