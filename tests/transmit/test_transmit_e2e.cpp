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
        QVERIFY(w.startOnline());

        PageTable& t = w.z.table;
        for (int a : {2, 3, 7})
            t.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        w.z.link->FillTitlerLists();
        t.setText(slot::page(2, slot::kLine1), "page two");
        t.setText(slot::page(3, slot::kLine1 + 4), "PAGE THREE");
        t.setText(slot::page(7, slot::kLine1 + 8), "SEVEN");
        t.setText(slot::page(7, slot::kDisplayCode), "08");
        t.setText(slot::page(4, slot::kLine1), "NOT SENT");
        QTest::mouseClick(w.find<QRadioButton>("optSendAll"), Qt::LeftButton);
        QTest::mouseClick(w.z.ui.cmdSend, Qt::LeftButton);
        QCOMPARE(w.z.ui.cmdSend->text(), QString("Send"));

        // The last frame to titler 7 is the closing "32" of its settings.
        const auto sevenClosed = [&sim] {
            const auto f = sim.frames();
            return !f.isEmpty() && f.last().address == "07" && f.last().code == "32";
        };
        QTRY_VERIFY_WITH_TIMEOUT(sevenClosed(), 15000);
        auto state = sim.dump();
        QCOMPARE(state["02"].rows[0], QString("PAGE TWO            "));
        QCOMPARE(state["02"].settings.value("display"), QString("on"));
        QCOMPARE(state["03"].rows[4], QString("PAGE THREE          "));
        QCOMPARE(state["07"].rows[8], QString("SEVEN               "));
        QCOMPARE(state["07"].settings.value("display"), QString("off"));
        for (const QString& row : state["04"].rows)
            QCOMPARE(row.trimmed(), QString()); // not enabled: nothing reached it
        QCOMPARE(t.text(slot::titler(slot::kTitlerShownPageBlock, 3)), QString("03"));
    }
};

QTEST_MAIN(TestTransmitE2E)
#include "test_transmit_e2e.moc"
