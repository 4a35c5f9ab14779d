// The real port on a pseudo-terminal to the titler simulator: what goes over the line, replies, a vanishing
// line, and the System Setup tab's port choice as the operator sees it.

#include "SimProcess.h"
#include "TestWindow.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

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
        w.enable({5});
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

    void titlerTimeIsRead()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        w.enable({1});
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
        QList<int> all;
        for (int a = 1; a <= 99; ++a)
            all << a;
        w.enable(all);
        w.click("optSendAll");
        const int before = w.z.errorsRecorded;
        QString shownAtLoss; // at once, not only once the send has ended
        QObject::connect(w.z.link, &SerialLink::linkLost, [&] { shownAtLoss = w.panel(1); });
        QTimer::singleShot(300, [&] { sim.killHard(); });
        QTest::mouseClick(w.z.ui.cmdSend, Qt::LeftButton);
        QCOMPARE(w.z.ui.cmdSend->text(), QString("Send"));
        QVERIFY(!w.z.LinkOnline);
        QCOMPARE(w.z.errorsRecorded - before, 1);
        QCOMPARE(shownAtLoss, QString("Offline"));
        const int lastPage = w.z.ui.txtPageNumber->text().toInt();
        QVERIFY2(lastPage > 1 && lastPage < 99, qPrintable(w.z.ui.txtPageNumber->text())); // ended where it was
        QCOMPARE(w.find<QLabel>("lblPortStatus")->text(), QString("Port Unavailable"));
        QCOMPARE(w.panel(1) + "|" + w.panel(2), QString("Offline|Invalid CommPort"));
        QCOMPARE(w.z.ui.lblProgStatus[1]->palette().color(QPalette::WindowText), QColor(255, 0, 0));

        // A titler line back on the same device: choosing the port again makes it usable.
        sim.start();
        w.z.ui.tabMain->setCurrentIndex(4); // "System Setup"
        w.click("optCommPort(1)");
        QVERIFY(w.z.LinkOnline);
        QCOMPARE(w.find<QLabel>("lblPortStatus")->text(), QString("Port Available"));
        QCOMPARE(w.panel(1), QString("Online"));
        w.z.protocol->SendCommand(QString("00"), "07");
        // The clock tick asks the titler on screen meanwhile; the command must be among the frames.
        QVERIFY(QTest::qWaitFor(
            [&] {
                const auto frames = sim.frames();
                return std::any_of(frames.begin(), frames.end(), [](const SimProcess::Frame& f) {
                    return f.address == QLatin1String("00") && f.code == QLatin1String("07");
                });
            },
            20000));
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
        w.enable({1});
        QVERIFY(w.find<QRadioButton>("optCommPort(2)")->toolTip().contains(sim.link()));
        w.z.ui.tabMain->setCurrentIndex(4); // "System Setup": the clock tick looks for titlers
        w.click("optCommPort(2)");
        QCOMPARE(w.z.table.toInt(slot::kSavedCommPort), 2);
        QVERIFY2(QTest::qWaitFor([&] { return w.find<QLabel>("lblPXTStatusInfo")->text() == pxtStatus; }, 20000),
                 qPrintable(w.find<QLabel>("lblPXTStatusInfo")->text()));
        QCOMPARE(w.panel(1), linkState);

        w.click("optCommPort(3)");
        QCOMPARE(w.find<QLabel>("lblPortStatus")->text(), QString("Port Unavailable"));
        QCOMPARE(w.find<QLabel>("lblPXTStatusInfo")->text(), QString("Select Another Port"));
        QCOMPARE(w.panel(1) + "|" + w.panel(2), QString("Offline|Invalid CommPort"));
        QCOMPARE(w.z.table.toInt(slot::kSavedCommPort), 3);
        QVERIFY(!w.z.LinkOnline);
    }
};

QTEST_MAIN(TestLinkE2E)
#include "test_link_e2e.moc"
