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
    // Each enabled page in turn: display off, its nine lines, its settings closed by "32", then its own display
    // code; every titler ends up showing its page.
    void allPutsEachPageOnItsTitler()
    {
        SimProcess sim({QStringLiteral("--titlers"), QStringLiteral("1-9")});
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.startOnline());
        PageTable& t = w.z.table;
        w.enable({2, 3, 7});
        t.setText(slot::page(2, slot::kLine1), "page two");
        t.setText(slot::page(3, slot::kLine1 + 4), "PAGE THREE");
        t.setText(slot::page(7, slot::kLine1 + 8), "SEVEN");
        t.setText(slot::page(7, slot::kDisplayCode), "08");
        t.setText(slot::page(4, slot::kLine1), "NOT SENT");
        w.click("optSendAll");
        w.click("cmdSend");
        QCOMPARE(w.z.ui.cmdSend->text(), QString("Send"));
        QCOMPARE(w.z.ui.txtPageNumber->text(), QString("01")); // page 1 is shown again

        // The last frame to titler 7 is the closing "32" of its settings.
        QTRY_VERIFY_WITH_TIMEOUT(
            !sim.frames().isEmpty() && sim.frames().last().address == "07" && sim.frames().last().code == "32", 15000);
        QStringList f; // address, code and the cell of a line, without the clock tick's questions
        for (const SimProcess::Frame& frame : sim.frames())
            if (frame.code != "38" && frame.code != "43")
                f << frame.address + " " + frame.code + (frame.code == "28" ? " " + frame.params.left(3) : "");
        qsizetype i = 0;
        for (const QString a : {"02", "03", "07"}) {
            QCOMPARE(f.value(i++), a + " 08");
            for (int n = 1; n <= 9; ++n)
                QCOMPARE(f.value(i++), a + " 28 " + QString::number(1 + 20 * (n - 1)).rightJustified(3, '0'));
            while (i < f.size() && f[i] != a + " 32")
                QVERIFY2(f[i++].startsWith(a), "settings go to the page's titler");
            QCOMPARE(f.value(i++), a + " 32");
            if (a != "07")
                QCOMPARE(f.value(i++), a + " 07");
        }
        QCOMPARE(i, f.size());
        auto state = sim.dump();
        QCOMPARE(state["02"].rows[0], QString("PAGE TWO            "));
        QCOMPARE(state["03"].rows[4], QString("PAGE THREE          "));
        QCOMPARE(state["03"].settings.value("time"), QString("on")); // the settings really went out
        QCOMPARE(state["07"].rows[8], QString("SEVEN               "));
        QCOMPARE(state["07"].settings.value("display"), QString("off"));
        QCOMPARE(t.text(slot::titler(slot::kTitlerShownPageBlock, 3)), QString("03"));
        QCOMPARE(t.text(slot::titler(slot::kTitlerShownPageBlock, 1)), QString());
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
        w.enable({1, 5, 52}); // 1: the page's own titler, so the status line shows the link online
        w.showTab(5);
        w.click("optCommPort(1)");
        w.showTab(1);
        QCOMPARE(w.panel(1), QString("Online"));
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
        QVERIFY(codes.contains("08") && codes.contains("28"));
        // The option and the Alt arrow each went out whole, closing "32" included.
        QCOMPARE(codes.mid(codes.size() - 5), QStringList({"10", "32", "44", "32", "44"}));
        QCOMPARE(sim.dump()["05"].settings.value("background"), QString("off"));
    }
};

QTEST_MAIN(TestTransmitE2E)
#include "test_transmit_e2e.moc"
