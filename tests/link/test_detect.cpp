// "Auto-Detect Ports" over four ports (two simulated titler lines, two missing devices) and "Identify Titlers" on
// the real line, as the operator sees them and as the titlers receive them.

#include "RecordingPort.h"
#include "SimProcess.h"
#include "TestWindow.h"
#include "app/Zelk.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Ports 2 and 4 lead to simulated lines; ports 1 and 3 name devices that do not exist.
struct Site
{
    Site(const QStringList& two, const QStringList& four) : sim2(two), sim4(four), w(port)
    {
        qputenv("ZELK_COMM1", "/nonexistent/zelk-com1");
        qputenv("ZELK_COMM2", sim2.link().toLocal8Bit());
        qputenv("ZELK_COMM3", "/nonexistent/zelk-com3");
        qputenv("ZELK_COMM4", sim4.link().toLocal8Bit());
    }
    bool start(const QList<int>& enabled)
    {
        if (!w.start())
            return false;
        for (int a : enabled)
            w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        w.z.link->FillTitlerLists();
        w.showTab(5);
        return true;
    }
    void scan() { QTest::mouseClick(w.z.ui.cmdAutoDetect, Qt::LeftButton); }
    QString label(const QString& name) const { return w.find<QLabel>(name)->text(); }
    // "Available/PXT Detected" of the four rows.
    QStringList table() const
    {
        QStringList rows;
        for (int i = 1; i <= 4; ++i)
            rows << label(QStringLiteral("lblAvailable(%1)").arg(i)) + "/" +
                        label(QStringLiteral("lblConnected(%1)").arg(i));
        return rows;
    }
    QString panel(int i) const { return w.z.ui.lblProgStatus[std::size_t(i)]->text(); }

    SimProcess sim2, sim4;
    QtSerialPort port;
    TestWindow w;
};

QStringList frameTexts(const QList<SimProcess::Frame>& frames)
{
    QStringList out;
    for (const auto& f : frames)
        out << (f.address + " " + f.code + " " + f.params).trimmed();
    return out;
}

// Runs fn as an ordinary user when the test runs as root, whose opens a device's mode does not stop.
bool asUser(const std::function<void()>& fn)
{
    const bool root = ::geteuid() == 0;
    if (root && ::seteuid(65534) != 0)
        return false;
    fn();
    if (root && ::seteuid(0) != 0)
        qFatal("cannot return to root");
    return true;
}

} // namespace

class TestDetect : public QObject
{
    Q_OBJECT

private slots:
    void scan_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("offline"); // "Work Offline" chosen before the scan
        const QStringList found{"No/No", "Yes/Yes", "No/No", "Yes/Yes"}, silent{"No/No", "Yes/No", "No/No", "Yes/No"};
        const QString none = "No PXT detected - Check PXT is enabled in 'Titler Names' tab";
        QTest::newRow("answering on 2 and 4") << QStringList{} << found << "PXT detected on Comm Port 4" << true;
        QTest::newRow("silent") << QStringList{"--silent"} << silent << none << false;
        QTest::newRow("silent, working offline") << QStringList{"--silent"} << silent << none << true;
    }

    void scan()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QStringList, table);
        QFETCH(QString, message);
        QFETCH(bool, offline);
        Site s(simArgs, simArgs);
        QVERIFY(s.start({1}));
        if (offline)
            QTest::mouseClick(s.w.z.ui.optWorkOffline, Qt::LeftButton);
        // While it runs the rows fill one by one, and neither the button nor a second click starts another scan.
        QStringList seen;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (s.label("lblNotifyOfPort") == "Scanning Ports - Please Wait")
                seen << s.label("lblConnected(2)");
            QVERIFY(!s.w.z.ui.cmdAutoDetect->isEnabled() && !s.w.z.ui.optWorkOffline->isEnabled());
            emit s.w.z.ui.cmdAutoDetect->clicked();
        });
        watch.start(5);
        s.scan();
        watch.stop();
        QCOMPARE(s.table(), table);
        QCOMPARE(s.label("lblNotifyOfPort"), message);
        QVERIFY(seen.contains(table[1].section('/', 1)));
        QVERIFY(s.w.z.ui.cmdAutoDetect->isEnabled());
        const bool found = simArgs.isEmpty();
        QCOMPARE(s.w.z.ui.optCommPort[4]->isChecked(), found);
        QVERIFY(!s.w.z.ui.optCommPort[2]->isChecked());
        // Port 4 as detected, or as the last probe left it; working offline stays offline unless a titler answered.
        QCOMPARE(s.w.z.LinkOnline, found || !offline);
        if (found) {
            QCOMPARE(s.panel(1), QString("Online"));
            QCOMPARE(s.w.z.table.toInt(slot::kSavedCommPort), 4);
            QCOMPARE(s.label("lblPortStatus"), QString("Port Available"));
        } else if (!offline) {
            // A silent port costs 21 passes of the remembered address ("01", the titler on screen) and every
            // enabled titler (01 again); the clock tick asked nothing in between.
            QTRY_COMPARE_WITH_TIMEOUT(frameTexts(s.sim2.frames()), QStringList(42, "01 38 [silent]"), 5000);
        }
    }

    void answeringAddressIsAskedFirstNextTime()
    {
        Site s({"--titlers", "7"}, {"--silent"});
        QVERIFY(s.start({3, 7}));
        s.w.z.ui.tmrTime->stop(); // only the scans ask
        s.scan();
        QCOMPARE(s.table()[1], QString("Yes/Yes"));
        QVERIFY(s.sim2.waitForFrames(2));
        QCOMPARE(s.sim2.frames()[0].address + s.sim2.frames()[1].address, QString("0307"));
        const int before = int(s.sim2.frames().size());
        s.scan();
        QVERIFY(s.sim2.waitForFrames(before + 1));
        QCOMPARE(s.sim2.frames()[before].address, QString("07"));
    }

    void vanishingAndStalledPortsEndTheirProbe()
    {
        // The line on port 2 dies under its probe (99 titlers enabled: silent, it would take minutes).
        {
            QList<int> all;
            for (int a = 1; a <= 99; ++a)
                all << a;
            Site s({"--silent"}, {});
            QVERIFY(s.start(all));
            QTimer::singleShot(300, [&] { s.sim2.killHard(); });
            s.scan();
            QCOMPARE(s.table(), (QStringList{"No/No", "Yes/No", "No/No", "Yes/Yes"}));
            QCOMPARE(s.panel(1), QString("Online"));
        }

        // A port whose bytes never leave: the first question's bounded drain ends the probe.
        RecordingPort stalled;
        stalled.available = {2};
        stalled.stalled = true;
        stalled.timeReply.clear();
        TestWindow w(stalled);
        QVERIFY(w.start());
        w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 1), true);
        w.z.link->FillTitlerLists();
        w.showTab(5);
        QTest::mouseClick(w.z.ui.cmdAutoDetect, Qt::LeftButton);
        QCOMPARE(stalled.writes.size(), 1);
        QCOMPARE(w.find<QLabel>("lblAvailable(2)")->text(), QString("Yes"));
        QCOMPARE(w.find<QLabel>("lblConnected(2)")->text(), QString("No"));
    }

    void permissionDeniedGivesTheHint()
    {
        // The ptys' modes decide (the folders of their links let anybody through): port 2 refuses, port 4 opens
        // until its mode is removed too.
        const auto setMode = [](const SimProcess& sim, mode_t mode) {
            const QFileInfo link(sim.link());
            return ::chmod(link.absolutePath().toLocal8Bit().constData(), 0711) == 0 &&
                   ::chmod(link.canonicalFilePath().toLocal8Bit().constData(), mode) == 0;
        };
        Site s({}, {});
        QVERIFY(s.start({1}) && setMode(s.sim2, 0) && setMode(s.sim4, 0666));
        QString clicked[2]; // port status and progress panel after the operator chose port 2
        if (!asUser([&] {
                QTest::mouseClick(s.w.z.ui.optCommPort[2], Qt::LeftButton);
                clicked[0] = s.label("lblPortStatus");
                clicked[1] = s.panel(3);
                QTest::mouseClick(s.w.z.ui.optCommPort[4], Qt::LeftButton);
            }))
            QSKIP("cannot act as an ordinary user");
        QCOMPARE(clicked[0], QString("Port Unavailable"));
        QCOMPARE(clicked[1], QString("No Permission (dialout group)"));

        QVERIFY(s.w.z.LinkOnline && setMode(s.sim4, 0));
        QVERIFY(asUser([&] { s.scan(); }));
        QCOMPARE(s.table(), (QStringList{"No/No", "No/No", "No/No", "No/No"}));
        const QString hint = s.label("lblPortHint");
        QVERIFY2(hint.contains("Comm 2 (" + s.sim2.link() + "), Comm 4 (") && hint.contains("'dialout'"),
                 qPrintable(hint));
        QVERIFY(!hint.contains("Comm 1"));
        QCOMPARE(s.panel(3), QString("No Permission (dialout group)"));
        QVERIFY(s.w.z.ui.optCommPort[2]->toolTip().contains(s.sim2.link()));
        QVERIFY(!s.w.z.LinkOnline); // the scan closed port 4 and opened none
    }

    void identifyAndRestore()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.startOnline());
        PageTable& t = w.z.table;
        for (int a : {3, 12})
            t.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        t.setText(slot::titler(slot::kTitlerNameBlock, 3), "03   studio a");
        w.z.link->FillTitlerLists();
        t.setText(slot::titler(slot::kTitlerShownPageBlock, 3), "5");
        t.setText(slot::titler(slot::kTitlerShownPageBlock, 12), "0");
        t.setText(slot::page(5, slot::kAddress), "07"); // the page names another titler
        t.setText(slot::page(5, slot::kLine1), "PAGE FIVE");
        w.showTab(4);
        QPushButton* button = w.find<QPushButton>("cmdIdentify");
        QCOMPARE(button->text(), QString("Identify Titlers"));

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->text(), QString("UnIdentify"));
        QStringList expected{"00 08", "00 25"};
        for (const QString& a : QStringList{"03", "12"}) {
            const QString name = a == "03" ? "|STUDIO A|" : "||";
            expected << a + " 35" << a + " 40" << a + " 09" << a + " 07" << a + " 11" << a + " 173" << a + " 473"
                     << a + " 451" << a + " 46 15" << a + " 44 15" << a + " 28 061 |" + a + "|"
                     << a + " 28 081 " + name;
        }
        expected << "00 07";
        QVERIFY(sim.waitForFrames(int(expected.size())));
        QCOMPARE(frameTexts(sim.frames()), expected);
        auto screens = sim.dump();
        QCOMPARE(screens["03"].rows[3].trimmed(), QString("03"));
        QCOMPARE(screens["03"].rows[4].trimmed(), QString("STUDIO A"));
        QCOMPARE(screens["12"].rows[3].trimmed(), QString("12"));
        QCOMPARE(screens["03"].settings.value("characters"), QString("white"));

        // Titler 3 gets page 5 back at its own address; titler 12 showed none and is cleared.
        const int before = int(sim.frames().size());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->text(), QString("Identify Titlers"));
        QTRY_VERIFY(sim.frames().size() > before && frameTexts(sim.frames()).last() == "12 25");
        const QStringList restore = frameTexts(sim.frames()).mid(before);
        QCOMPARE(restore.mid(0, 2), (QStringList{"00 08", "00 25"}));
        QVERIFY(restore.contains("03 32"));
        for (const auto& f : sim.frames().mid(before))
            QVERIFY2(QStringList({"00", "03", "12"}).contains(f.address), qPrintable(f.address));
        screens = sim.dump();
        QCOMPARE(screens["03"].rows[0].trimmed(), QString("PAGE FIVE"));
        QCOMPARE(screens["03"].rows[3].trimmed(), QString());
        QCOMPARE(screens["12"].rows[3].trimmed(), QString());
        QCOMPARE(w.z.ui.txtPageNumber->text(), QString("01"));
    }
};

QTEST_MAIN(TestDetect)
#include "test_detect.moc"
