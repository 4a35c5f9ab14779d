// The real port on a pseudo-terminal to the titler simulator: what goes over the line, replies, pauses, a vanishing
// line, and the System Setup tab's port choice as the operator sees it.

#include "SimProcess.h"
#include "TestWindow.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>
#include <QRegularExpression>

class TestLinkE2E : public QObject
{
    Q_OBJECT

    static QString panel(TestWindow& w, int i) { return w.z.ui.lblProgStatus[std::size_t(i)]->text(); }

    static void enable(TestWindow& w, int a)
    {
        w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        w.z.link->FillTitlerLists();
    }

    static bool waitFor(const std::function<bool()>& done, int timeoutMs = 20000)
    {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > timeoutMs)
                return false;
            QTest::qWait(20);
        }
        return true;
    }

private slots:
    void framesOnTheLine()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.start()); // first start: defaults, port 1 opened
        QVERIFY(w.z.LinkOnline);
        CommandProtocol& p = *w.z.protocol;

        p.SendCommand(QString("00"), "07");       // nobody enabled: "00" still goes out
        p.SendCommand(QString("12"), "08");       // titler 12 not enabled: refused
        enable(w, 5);
        p.SendCommand(QString("05"), "28", "021", "HELLO");
        p.SendCommand(QString("05"), "48", "02");
        QVERIFY(sim.waitForFrames(3));
        const auto frames = sim.frames();
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames[0].address + frames[0].code, QString("0007"));
        QCOMPARE(frames[1].address + frames[1].code + " " + frames[1].params, QString("0528 021 |HELLO|"));
        QCOMPARE(frames[2].address + frames[2].code + " " + frames[2].params, QString("0548 02"));
        const auto state = sim.dump();
        QCOMPARE(state["05"].rows[1], QString("HELLO               "));
        QCOMPARE(state["12"].settings.value("display"), QString("on")); // reached only by the "00" frame
    }

    void clearPauseAndReply()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        enable(w, 1);
        QElapsedTimer t;
        t.start();
        w.z.protocol->SendCommand(QString("01"), "25");
        QVERIFY(t.elapsed() >= 150);

        w.z.ui.txtAddress->setText("01");
        const QString time = w.z.link->ReadTitlerTime();
        QVERIFY2(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(time).hasMatch(), qPrintable(time));
        QVERIFY(!w.z.ClockReadFailed);
    }

    // The adapter unplugged in the middle of "All": the send ends at the page it was on, one error, and the status
    // line shows the port as one that failed to open, until the operator chooses it again.
    void unpluggedDuringAll()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        for (int a = 1; a <= 99; ++a)
            w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        w.z.link->FillTitlerLists();
        QTest::mouseClick(w.find<QRadioButton>("optSendAll"), Qt::LeftButton);
        const int before = w.z.errorsRecorded;
        QString shownAtLoss; // at once, not only once the send has ended
        QObject::connect(w.z.link, &SerialLink::linkLost, [&] { shownAtLoss = panel(w, 1); });
        QTimer::singleShot(300, [&] { sim.killHard(); });
        QTest::mouseClick(w.z.ui.cmdSend, Qt::LeftButton);
        QCOMPARE(w.z.ui.cmdSend->text(), QString("Send"));
        QVERIFY(!w.z.LinkOnline);
        QCOMPARE(w.z.errorsRecorded - before, 1);
        QCOMPARE(shownAtLoss, QString("Offline"));
        const int lastPage = w.z.ui.txtPageNumber->text().toInt();
        QVERIFY2(lastPage > 1 && lastPage < 99, qPrintable(w.z.ui.txtPageNumber->text())); // ended where it was
        QCOMPARE(w.find<QLabel>("lblPortStatus")->text(), QString("Port Unavailable"));
        QCOMPARE(panel(w, 1) + "|" + panel(w, 2), QString("Offline|Invalid CommPort"));
        QCOMPARE(w.z.ui.lblProgStatus[1]->palette().color(QPalette::WindowText), QColor(255, 0, 0));

        // A titler line back on the same device: choosing the port again makes it usable.
        sim.start();
        w.z.ui.tabMain->setCurrentIndex(4); // "System Setup"
        QTest::mouseClick(w.find<QRadioButton>("optCommPort(1)"), Qt::LeftButton);
        QVERIFY(w.z.LinkOnline);
        QCOMPARE(w.find<QLabel>("lblPortStatus")->text(), QString("Port Available"));
        QCOMPARE(panel(w, 1), QString("Online"));
        w.z.protocol->SendCommand(QString("00"), "07");
        // The clock tick asks the titler on screen meanwhile; the command must be among the frames.
        QVERIFY(waitFor([&] {
            const auto frames = sim.frames();
            return std::any_of(frames.begin(), frames.end(), [](const SimProcess::Frame& f) {
                return f.address == QLatin1String("00") && f.code == QLatin1String("07");
            });
        }));
    }

    void choosingPorts_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QString>("pxtStatus");
        QTest::addColumn<QString>("linkState");
        QTest::newRow("answering") << QStringList{} << "PXT Online" << "Online";
        QTest::newRow("silent") << QStringList{"--silent"} << "No PXT Detected" << "Offline";
    }

    void choosingPorts()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QString, pxtStatus);
        QFETCH(QString, linkState);
        SimProcess sim(simArgs);
        qputenv("ZELK_COMM2", sim.link().toLocal8Bit());
        qputenv("ZELK_COMM3", "/nonexistent/zelk-port");
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        enable(w, 1);
        QVERIFY(w.find<QRadioButton>("optCommPort(2)")->toolTip().contains(sim.link()));
        w.z.ui.tabMain->setCurrentIndex(4); // "System Setup": the clock tick looks for titlers
        QTest::mouseClick(w.find<QRadioButton>("optCommPort(2)"), Qt::LeftButton);
        QCOMPARE(w.z.table.toInt(slot::kSavedCommPort), 2);
        QVERIFY2(waitFor([&] { return w.find<QLabel>("lblPXTStatusInfo")->text() == pxtStatus; }),
                 qPrintable(w.find<QLabel>("lblPXTStatusInfo")->text()));
        QCOMPARE(panel(w, 1), linkState);

        QTest::mouseClick(w.find<QRadioButton>("optCommPort(3)"), Qt::LeftButton);
        QCOMPARE(w.find<QLabel>("lblPortStatus")->text(), QString("Port Unavailable"));
        QCOMPARE(w.find<QLabel>("lblPXTStatusInfo")->text(), QString("Select Another Port"));
        QCOMPARE(panel(w, 1), QString("Offline"));
        QCOMPARE(panel(w, 2), QString("Invalid CommPort"));
        QCOMPARE(w.z.table.toInt(slot::kSavedCommPort), 3);
        QVERIFY(!w.z.LinkOnline);
    }
};

QTEST_MAIN(TestLinkE2E)
#include "test_link_e2e.moc"
