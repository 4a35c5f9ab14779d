// "Send" with "All" over the real line to the titler simulator: every enabled titler ends up showing its page.

#include "SimProcess.h"
#include "TestWindow.h"
#include "app/Zelk.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

#include <QLabel>
#include <QLineEdit>
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

    // "5" typed into the address box means titler 05 for whatever sends next, without leaving the box: a line
    // label, Alt+S, a settings option, an Alt arrow. Titler 52 would read "ESC 5 2 4 4" as its own.
    void halfTypedAddressMeansItsTitler()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.startOnline());
        for (int a : {1, 5, 52}) // 1: the page's own titler, so the status line shows the link online
            w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        w.z.link->FillTitlerLists();
        w.showTab(5);
        QTest::mouseClick(w.find<QWidget>("optCommPort(1)"), Qt::LeftButton);
        w.showTab(1);
        QCOMPARE(w.z.ui.lblProgStatus[1]->text(), QString("Online"));
        QLineEdit* box = w.z.ui.txtAddress;
        const auto typeFive = [box] {
            QTest::mouseClick(box, Qt::LeftButton);
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, "5");
            QCOMPARE(box->text(), QString("5"));
            QVERIFY(box->hasFocus());
        };
        typeFive();
        QTest::mouseClick(w.find<QLabel>("lblLineNum(3)"), Qt::LeftButton);
        QCOMPARE(box->text(), QString("05"));
        QCOMPARE(w.z.table.text(slot::page(1, slot::kAddress)), QString("05"));
        typeFive();
        QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
        w.showTab(2);
        typeFive();
        w.z.ui.optBackgroundOff->click();
        typeFive();
        QTest::keyClick(box, Qt::Key_Right, Qt::AltModifier);

        // The last command of the Alt arrow is its direct "44"; wait for it, then look at everything.
        QTRY_VERIFY_WITH_TIMEOUT(!sim.frames().isEmpty() && sim.frames().last().code == "44", 15000);
        const auto frames = sim.frames();
        QStringList codes;
        for (const auto& f : frames) {
            QVERIFY2(f.address == "05", qPrintable(f.address + f.code + " " + f.params));
            QVERIFY2(!f.params.contains("[garbage]") && !f.params.contains("[unknown code]") &&
                         !f.params.contains("[bad parameter]"),
                     qPrintable(f.params));
            if (codes.isEmpty() || codes.last() != f.code)
                codes << f.code;
        }
        QCOMPARE(codes.first(), QString("24"));
        QVERIFY(codes.contains("08") && codes.contains("28") && codes.contains("10") && codes.contains("44"));
        QCOMPARE(sim.dump()["05"].settings.value("background"), QString("off"));
    }
};

QTEST_MAIN(TestTransmitE2E)
#include "test_transmit_e2e.moc"
