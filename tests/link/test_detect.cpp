// "Auto-Detect Ports" over four ports (simulated titler lines or missing devices) and "Identify Titlers" on the real
// line, as the operator sees them and as the titlers receive them.

#include "AsUser.h"
#include "RecordingPort.h"
#include "SimProcess.h"
#include "TestWindow.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QTimer>

#include <array>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList kMissing{"missing"}; // a port whose device does not exist
const QByteArray kEsc("\x1b");
const QString kNone = "No PXT detected - Check PXT is enabled in 'Titler Names' tab";

// Ports 1 and 3 name devices that do not exist; ports 2 and 4 lead to simulated lines unless they are kMissing too.
struct Site
{
    using Lines = std::array<std::unique_ptr<SimProcess>, 5>;
    static Lines lines(const QStringList& two, const QStringList& four)
    {
        Lines out;
        const QStringList args[5] = {{}, kMissing, two, kMissing, four};
        for (int n = 1; n <= 4; ++n) {
            if (args[n] != kMissing)
                out[std::size_t(n)] = std::make_unique<SimProcess>(args[n]);
            qputenv(QByteArray("ZELK_COMM") + QByteArray::number(n),
                    out[std::size_t(n)] ? out[std::size_t(n)]->link().toLocal8Bit()
                                        : "/nonexistent/zelk-com" + QByteArray::number(n));
        }
        return out;
    }

    Site(const QStringList& two, const QStringList& four) : sims(lines(two, four)), w(port) {}
    bool start(const QList<int>& enabled)
    {
        if (!w.start())
            return false;
        w.enable(enabled);
        w.showTab(5);
        return true;
    }
    SimProcess& sim(int n) { return *sims[std::size_t(n)]; }
    void scan() { QTest::mouseClick(w.z.ui.cmdAutoDetect, Qt::LeftButton); }
    QLabel* cell(const QString& name) const { return w.find<QLabel>(name); }
    QString label(const QString& name) const { return cell(name)->text(); }
    // "Available/PXT Detected" of the four rows.
    QStringList table() const
    {
        QStringList rows;
        for (int i = 1; i <= 4; ++i)
            rows << label(QStringLiteral("lblAvailable(%1)").arg(i)) + "/" +
                        label(QStringLiteral("lblConnected(%1)").arg(i));
        return rows;
    }
    QStringList panels() const { return {w.panel(1), w.panel(2), w.panel(3)}; }
    // The port option selected, 0 for none.
    int chosenPort() const
    {
        for (int i = 1; i <= 4; ++i)
            if (w.z.ui.optCommPort[std::size_t(i)]->isChecked())
                return i;
        return 0;
    }
    QString tip(int n) const { return w.z.ui.optCommPort[std::size_t(n)]->toolTip(); }

    Lines sims;
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

} // namespace

class TestDetect : public QObject
{
    Q_OBJECT

private slots:
    void scan_data()
    {
        QTest::addColumn<QStringList>("two");
        QTest::addColumn<QString>("before"); // the operator's choice before the scan
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<int>("detected");
        QTest::addColumn<QStringList>("panels");
        QTest::newRow("answering on 2 and 4")
            << QStringList{} << "optWorkOffline" << QStringList{"No/No", "Yes/Yes", "No/No", "Yes/Yes"} << 4
            << QStringList{"Online", "Comm Port 4"};
        // Port 4 silent and left open by its probe.
        QTest::newRow("silent, port 2 chosen")
            << kMissing << "optCommPort(2)" << QStringList{"No/No", "No/No", "No/No", "Yes/No"} << 0
            << QStringList{"Offline", "No PXT Detected"};
        QTest::newRow("silent, working offline")
            << kMissing << "optWorkOffline" << QStringList{"No/No", "No/No", "No/No", "Yes/No"} << 0
            << QStringList{"Working Offline", ""};
    }

    void scan()
    {
        QFETCH(QStringList, two);
        QFETCH(QString, before);
        QFETCH(QStringList, table);
        QFETCH(int, detected);
        QFETCH(QStringList, panels);
        Site s(two, detected ? QStringList{} : QStringList{"--silent"});
        QVERIFY(s.start({1}));
        QTest::mouseClick(s.w.find<QRadioButton>(before), Qt::LeftButton);
        Ui& ui = s.w.z.ui;
        // While it runs the rows fill one by one, the port choices and the button are locked, and a second click
        // starts no other scan.
        QStringList seen;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            QLabel* notify = s.cell("lblNotifyOfPort");
            if (notify->text() != "Scanning Ports - Please Wait")
                return;
            seen << s.label("lblConnected(4)");
            QCOMPARE(notify->palette().color(QPalette::WindowText), QColor(Qt::black));
            QCOMPARE(s.cell("lblConnected(4)")->palette().color(QPalette::Window),
                     QApplication::palette().color(QPalette::Button));
            for (QWidget* c : {static_cast<QWidget*>(ui.cmdAutoDetect), static_cast<QWidget*>(ui.optWorkOffline),
                               static_cast<QWidget*>(ui.optCommPort[1]), static_cast<QWidget*>(ui.optCommPort[2]),
                               static_cast<QWidget*>(ui.optCommPort[3]), static_cast<QWidget*>(ui.optCommPort[4])})
                QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
            emit ui.cmdAutoDetect->clicked();
        });
        watch.start(0);
        s.scan();
        watch.stop();
        ui.tmrTime->stop(); // from here on only the test writes
        QCOMPARE(s.table(), table);
        QCOMPARE(s.label("lblNotifyOfPort"), detected ? "PXT detected on Comm Port 4" : kNone);
        QVERIFY(seen.contains("") && seen.contains(table[3].section('/', 1)));
        QVERIFY(ui.cmdAutoDetect->isEnabled() && ui.optCommPort[1]->isEnabled());
        QCOMPARE(s.chosenPort(), detected);
        QCOMPARE(s.panels().mid(0, 2), panels);
        // Port 4 as detected or as its probe left it; working offline stays offline unless a titler answered.
        QCOMPARE(s.w.z.LinkOnline, detected || before != "optWorkOffline");
        if (detected) {
            QCOMPARE(s.w.z.table.toInt(slot::kSavedCommPort), 4);
            QCOMPARE(s.label("lblPortStatus"), QString("Port Available"));
            return;
        }
        // A silent port costs 21 passes of the remembered address ("01", the titler on screen) and every enabled
        // titler (01 again), and nothing else asked meanwhile: a last frame of the test's own closes the count.
        QVERIFY(s.w.z.protocol->writeRaw(kEsc + "0107"));
        QVERIFY(s.sim(4).waitForFrames(43));
        QCOMPARE(frameTexts(s.sim(4).frames()), QStringList(42, "01 38 [silent]") << "01 07");
    }

    void answeringAddressIsAskedFirstNextTime()
    {
        Site s({"--titlers", "7"}, kMissing);
        QVERIFY(s.start({3, 7}));
        s.w.z.ui.tmrTime->stop(); // only the scans ask
        s.scan();
        QCOMPARE(s.table()[1], QString("Yes/Yes"));
        QVERIFY(s.sim(2).waitForFrames(2));
        QCOMPARE(s.sim(2).frames()[0].address + s.sim(2).frames()[1].address, QString("0307"));
        const int before = int(s.sim(2).frames().size());
        s.scan();
        QVERIFY(s.sim(2).waitForFrames(before + 1));
        QCOMPARE(s.sim(2).frames()[before].address, QString("07"));
    }

    void aPortDyingUnderItsProbe()
    {
        // 99 titlers enabled: a silent pass on port 2 asks 100 questions, and the window answers between them. The
        // line dies at the first turn of the event loop in that probe; port 4 then stays silent (with the titlers
        // unticked meanwhile, so that it is asked briefly).
        QList<int> all;
        for (int a = 1; a <= 99; ++a)
            all << a;
        Site s({"--silent"}, {"--silent"});
        QVERIFY(s.start(all));
        s.w.z.ui.tmrTime->stop(); // only the scan asks
        const int errors = s.w.z.errorsRecorded;
        bool killed = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (!killed && s.w.z.LinkOnline) {
                s.sim(2).killHard();
                killed = true;
            } else if (killed && !s.label("lblAvailable(2)").isEmpty()) {
                s.w.z.ui.lstTitlerNames->clearSelection();
                watch.stop();
            }
        });
        watch.start(0);
        s.scan();
        QVERIFY(killed);
        QVERIFY2(s.sim(2).frames().size() < 100, "the window froze for a whole pass");
        QCOMPARE(s.table(), (QStringList{"No/No", "Yes/No", "No/No", "Yes/No"}));
        QCOMPARE(s.w.z.errorsRecorded, errors + 1);
        // Port 4 is open and online: nothing of port 2's failure is left to stop the presence check asking there.
        QVERIFY(s.w.z.LinkOnline);
        QCOMPARE(s.label("lblPortStatus") + s.label("lblPXTStatusInfo"), QString());
        QCOMPARE(s.panels().mid(0, 2), (QStringList{"Offline", "No PXT Detected"}));
    }

    void faultyPort_data()
    {
        QTest::addColumn<bool>("stalled");
        QTest::newRow("bytes that never leave") << true;
        QTest::newRow("stale input before the probe") << false;
    }

    // What a pty cannot show: a line that takes no bytes costs one bounded drain; bytes that reached the port before
    // its probe asked anything answer nothing.
    void faultyPort()
    {
        QFETCH(bool, stalled);
        RecordingPort port;
        port.available = {2};
        port.stalled = stalled;
        port.timeReply.clear();
        TestWindow w(port);
        QVERIFY(w.start());
        if (stalled)
            w.enable({1});
        else
            port.incoming = "123456";
        w.showTab(5);
        QTest::mouseClick(w.z.ui.cmdAutoDetect, Qt::LeftButton);
        QCOMPARE(port.writes.size(), stalled ? 1 : 0);
        QCOMPARE(w.find<QLabel>("lblAvailable(2)")->text() + "/" + w.find<QLabel>("lblConnected(2)")->text(),
                 QString("Yes/No"));
    }

    void refusedPortsGiveTheirReason()
    {
        // The ptys' modes decide (the folders of their links let anybody through): port 2 refuses this user; port 4
        // is held by another program until it lets go.
        const auto setMode = [](SimProcess& sim, mode_t mode) {
            const QFileInfo link(sim.link());
            return ::chmod(link.absolutePath().toLocal8Bit().constData(), 0711) == 0 &&
                   ::chmod(link.canonicalFilePath().toLocal8Bit().constData(), mode) == 0;
        };
        Site s({}, {});
        QVERIFY(s.start({1}) && setMode(s.sim(2), 0) && setMode(s.sim(4), 0666));
        QSerialPort other(s.sim(4).link());
        QVERIFY(other.open(QIODevice::ReadWrite));
        const QString dialout = "No Permission (dialout group)";
        QStringList clicked; // port status and progress panel after each click
        QStringList scanned; // the status line after the scan
        const auto click = [&](int port) {
            QTest::mouseClick(s.w.z.ui.optCommPort[std::size_t(port)], Qt::LeftButton);
            clicked << s.label("lblPortStatus") + "/" + s.w.panel(3);
        };
        if (!asUser([&] {
                click(2);
                click(4);
                s.scan();
                scanned = s.panels();
            }))
            QSKIP("cannot act as an ordinary user");
        QCOMPARE(clicked, (QStringList{"Port Unavailable/" + dialout, "Port Unavailable/Port In Use"}));
        QCOMPARE(s.table(), (QStringList{"No/No", "No/No", "No/No", "No/No"}));
        QCOMPARE(scanned, (QStringList{"Offline", "Invalid CommPort", dialout}));
        QString hint = s.label("lblPortHint");
        QVERIFY2(hint.contains("Comm 2 (" + s.sim(2).link() + "). ") && hint.contains("'dialout'") &&
                     hint.contains("In use by another program: Comm 4 (" + s.sim(4).link() + ")") &&
                     !hint.contains("Comm 1"),
                 qPrintable(hint));
        QVERIFY2(s.tip(4).contains(s.sim(4).link() + ": in use by another program"), qPrintable(s.tip(4)));

        // A titler answers on port 4 once it is free: the scan ends online there without the note, and port 2's
        // reason stays in the hint and in its tooltip.
        other.close();
        QVERIFY(asUser([&] { s.scan(); }));
        QCOMPARE(s.table(), (QStringList{"No/No", "No/No", "No/No", "Yes/Yes"}));
        QCOMPARE(s.panels(), (QStringList{"Online", "Comm Port 4", ""}));
        hint = s.label("lblPortHint");
        QVERIFY2(hint.contains("Comm 2 (") && !hint.contains("Comm 4"), qPrintable(hint));
        QVERIFY2(s.tip(2).contains(s.sim(2).link() + ": permission denied"), qPrintable(s.tip(2)));
    }

    void identifyAndRestore()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.startOnline());
        PageTable& t = w.z.table;
        t.setText(slot::titler(slot::kTitlerNameBlock, 3), "03   studio a");
        w.enable({3, 12});
        t.setText(slot::titler(slot::kTitlerShownPageBlock, 3), "5");
        t.setText(slot::titler(slot::kTitlerShownPageBlock, 12), "0");
        t.setText(slot::page(5, slot::kAddress), "07"); // the page names another titler
        t.setText(slot::page(5, slot::kLine1), "PAGE FIVE");
        w.showTab(4);
        QPushButton* button = w.find<QPushButton>("cmdIdentify");
        QCOMPARE(button->text(), QString("Identify Titlers"));
        // Other senders (a timer's) try the line at every turn of the event loop while the button's run lasts: a
        // command, and a page line as the line sender writes it.
        const auto clickWithIntruder = [&] {
            QTimer intruder;
            connect(&intruder, &QTimer::timeout, [&] {
                w.z.protocol->SendCommand(QString("12"), QString("34"));
                w.z.protocol->writeRaw(kEsc + "1228001|X|");
            });
            intruder.start(0);
            QTest::mouseClick(button, Qt::LeftButton);
        };

        clickWithIntruder();
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

        // Titler 3 gets page 5 back at its own address, its lines and then its settings closed by "32"; titler 12
        // showed none and is cleared. The clear before them keeps its pause.
        const int before = int(sim.frames().size());
        clickWithIntruder();
        QCOMPARE(button->text(), QString("Identify Titlers"));
        QTRY_VERIFY(sim.frames().size() > before && frameTexts(sim.frames()).last() == "12 25");
        const QList<SimProcess::Frame> restore = sim.frames().mid(before);
        QStringList shape;
        for (const auto& f : restore) {
            const QString part = f.code == "28" ? "line" : f.address == "03" && f.code != "32" ? "setting" : f.code;
            if (shape.isEmpty() || shape.last() != f.address + " " + part)
                shape << f.address + " " + part;
        }
        QCOMPARE(shape, (QStringList{"00 08", "00 25", "03 line", "03 setting", "03 32", "12 25"}));
        QVERIFY2(restore[2].seconds - restore[1].seconds >= 0.1, "no pause after the clear");
        screens = sim.dump();
        QCOMPARE(screens["03"].rows[0].trimmed(), QString("PAGE FIVE"));
        QCOMPARE(screens["03"].rows[3].trimmed(), QString());
        QCOMPARE(screens["12"].rows[3].trimmed(), QString());
        QCOMPARE(w.z.ui.txtPageNumber->text(), QString("01"));

        // The line dies while titler 3 is being restored: the titlers still show their identity.
        QTest::mouseClick(button, Qt::LeftButton);
        const int errors = w.z.errorsRecorded;
        QTimer::singleShot(0, [&] { sim.killHard(); });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->text(), QString("UnIdentify"));
        QCOMPARE(w.z.errorsRecorded, errors + 1);
    }
};

QTEST_MAIN(TestDetect)
#include "test_detect.moc"
