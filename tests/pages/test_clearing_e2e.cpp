// Clearing and cloning over the real line to the titler simulator: what the titlers are left showing.

#include "SimProcess.h"
#include "TestWindow.h"

#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

class TestClearingE2E : public QObject
{
    Q_OBJECT

    static QStringList clearedAddresses(const SimProcess& sim)
    {
        QStringList out;
        for (const SimProcess::Frame& f : sim.frames())
            if (f.code == "25")
                out << f.address;
        return out;
    }
    static void click(TestWindow& w, const char* name)
    {
        auto* b = w.find<QAbstractButton>(QLatin1String(name));
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    static void range(TestWindow& w, const char* from, const char* to)
    {
        for (auto [box, text] : {std::pair{w.z.ui.txtRangeFrom, from}, std::pair{w.z.ui.txtRangeTo, to}}) {
            QTest::mouseClick(box, Qt::LeftButton);
            box->selectAll();
            QTest::keyClicks(box, QLatin1String(text));
            QTest::keyClick(box, Qt::Key_Tab);
        }
    }

private slots:
    void clearingAndCloningReachTheTitlers()
    {
        SimProcess sim({QStringLiteral("--titlers"), QStringLiteral("1-99")});
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.startOnline());
        Zelk& z = w.z;
        for (int a = 1; a <= 99; ++a)
            z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        z.link->FillTitlerLists();

        // "Stop" during "Clear PXT" over All: the clears end before the next titler.
        click(w, "optClearAllPxt");
        int turns = 0;
        QTimer stopper;
        connect(&stopper, &QTimer::timeout, [&] {
            if (++turns == 6 && z.ui.cmdClearPxt->text() == "Stop")
                QTest::mouseClick(z.ui.cmdClearPxt, Qt::LeftButton);
        });
        stopper.start(0);
        click(w, "cmdClearPxt");
        stopper.stop();
        QCOMPARE(z.ui.cmdClearPxt->text(), QString("Clear PXT"));
        QTest::qWait(300); // the simulator logs a frame once the line has been quiet
        const QStringList cleared = clearedAddresses(sim);
        QVERIFY2(cleared.size() >= 2 && cleared.size() < 20, qPrintable(cleared.join(' ')));
        for (int i = 0; i < cleared.size(); ++i)
            QCOMPARE(cleared[i], twoDigits(i + 1));

        // "Clear Editor" over pages 10 to 12 in the continuous mode clears titlers 10, 11 and 12, by page number.
        for (int p = 10; p <= 13; ++p)
            z.table.setText(slot::page(p, slot::kLine1), QStringLiteral("PAGE %1").arg(p));
        click(w, "optSendRange");
        range(w, "10", "13");
        click(w, "cmdSend");
        z.table.setText(slot::page(11, slot::kAddress), "05");
        QTest::mouseClick(z.ui.optSendContinuous, Qt::LeftButton);
        click(w, "optClearRangeEditors");
        range(w, "10", "12");
        click(w, "cmdClearEditor");
        QTRY_COMPARE_WITH_TIMEOUT(clearedAddresses(sim).mid(cleared.size()), (QStringList{"10", "11", "12"}), 15000);
        auto screens = sim.dump();
        for (const char* a : {"10", "11", "12"})
            QCOMPARE(screens[a].rows[0].trimmed(), QString());
        QCOMPARE(screens["13"].rows[0].trimmed(), QString("PAGE 13"));

        // "Clone && Send" puts the page on view (10, just cleared) on the titlers of the range, and shows it again.
        z.ui.txtMain[2]->setText("CLONED LINE");
        click(w, "optClonePage");
        range(w, "20", "22");
        click(w, "cmdClonePageSend");
        QCOMPARE(z.ui.txtPageNumber->text(), QString("10"));
        QTRY_VERIFY_WITH_TIMEOUT(!sim.frames().isEmpty() && sim.frames().last().address == "22", 15000);
        QTest::qWait(100);
        screens = sim.dump();
        for (const char* a : {"20", "21", "22"}) {
            QCOMPARE(screens[a].rows[1], QString("CLONED LINE         "));
            QCOMPARE(screens[a].rows[0].trimmed(), QString());
        }
        QCOMPARE(screens.value("23").rows.value(1).trimmed(), QString());
    }
};

QTEST_MAIN(TestClearingE2E)
#include "test_clearing_e2e.moc"
