// "Send" with "All" over the real line to the titler simulator: every enabled titler ends up showing its page.

#include "SimProcess.h"
#include "TestWindow.h"
#include "app/Zelk.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

class TestTransmitE2E : public QObject
{
    Q_OBJECT

private slots:
    void allPutsEachPageOnItsTitler()
    {
        SimProcess sim({QStringLiteral("--titlers"), QStringLiteral("1-9")});
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        QTabBar* tabs = w.z.ui.tabMain;
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
        QTest::mouseClick(w.find<QRadioButton>("optCommPort(1)"), Qt::LeftButton);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QVERIFY(w.z.LinkOnline);

        Zelk& z = w.z;
        for (int a : {2, 3, 7})
            z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        z.link->FillTitlerLists();
        z.table.setText(slot::page(2, slot::kLine1), "page two");
        z.table.setText(slot::page(3, slot::kLine1 + 4), "PAGE THREE");
        z.table.setInt32(slot::page(3, slot::kLineState1 + 4), slot::kLineOn);
        z.table.setText(slot::page(7, slot::kLine1 + 8), "SEVEN");
        z.table.setText(slot::page(7, slot::kDisplayCode), "08");
        z.table.setText(slot::page(4, slot::kLine1), "NOT SENT");

        QTest::mouseClick(w.find<QRadioButton>("optSendAll"), Qt::LeftButton);
        QTest::mouseClick(w.find<QPushButton>("cmdSend"), Qt::LeftButton);
        QCOMPARE(z.ui.cmdSend->text(), QString("Send"));

        // The last frame to titler 7 is the closing "32" of its settings.
        QVERIFY(sim.waitForFrames(3 * 12));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const auto f = sim.frames();
                return !f.isEmpty() && f.last().address == "07" && f.last().code == "32";
            }(),
            15000);
        auto state = sim.dump();
        QCOMPARE(state["02"].rows[0], QString("PAGE TWO            "));
        QCOMPARE(state["02"].settings.value("display"), QString("on"));
        QCOMPARE(state["03"].rows[4], QString("PAGE THREE          "));
        QCOMPARE(state["07"].rows[8], QString("SEVEN               "));
        QCOMPARE(state["07"].settings.value("display"), QString("off"));
        for (const QString& row : state["04"].rows)
            QCOMPARE(row.trimmed(), QString()); // not enabled: nothing reached it
        QCOMPARE(z.table.text(slot::titler(slot::kTitlerShownPageBlock, 3)), QString("03"));
    }
};

QTEST_MAIN(TestTransmitE2E)
#include "test_transmit_e2e.moc"
