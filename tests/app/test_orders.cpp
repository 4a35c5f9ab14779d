// A running copy taking orders: a second start handing over its page file, "--send" and "--clear" from automation,
// what the socket refuses, and the as-run log of what went out.

#include "SimProcess.h"
#include "TestWindow.h"
#include "app/AsRunLog.h"
#include "app/OrderRules.h"
#include "app/Orders.h"
#include "app/TableFile.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"
#include "pages/Defaults.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

class TestOrders : public QObject
{
    Q_OBJECT

    // The real program in a process of its own, on the running window's settings folder.
    static void startProgram(QProcess& p, const QString& home, const QStringList& args, const QString& folder = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZELK_HOME", home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setProgram(QString::fromLocal8Bit(qgetenv("ZELK_TEST_PROGRAM")));
        p.setArguments(args);
        if (!folder.isEmpty())
            p.setWorkingDirectory(folder);
        p.start();
        QVERIFY(p.waitForStarted(10000));
    }

    // The event loop keeps turning while the program waits: the running copy is this test's window.
    static bool finished(QProcess& p, int timeoutMs = 60000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (p.state() != QProcess::NotRunning && !deadline.hasExpired())
            QTest::qWait(20);
        return p.state() == QProcess::NotRunning;
    }

    // Titlers 1..n enabled, and pages 3 and 5 with text of their own.
    static void prepare(TestWindow& w, int titlers)
    {
        for (int a = 1; a <= titlers; ++a)
            w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        w.z.table.setText(slot::page(3, slot::kLine1 + 1), QString("EVENING NEWS").leftJustified(20));
        w.z.table.setText(slot::page(5, slot::kLine1 + 4), QString("WEATHER").leftJustified(20));
        w.z.link->FillTitlerLists();
    }

    static QStringList logRecords(const TestWindow& w)
    {
        w.z.asRun->flush();
        QFile f(QDir(w.home()).filePath(asrun::fileName(w.z.clock.now().date())));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    // One raw exchange on the socket, as a careless or hostile client makes it.
    static QByteArray exchange(const TestWindow& w, const QByteArray& bytes, bool hangUp = false)
    {
        QLocalSocket s;
        s.connectToServer(w.z.orders->serverPath());
        if (!s.waitForConnected(3000))
            return "not connected";
        s.write(bytes);
        s.flush();
        if (hangUp) {
            s.disconnectFromServer();
            QTest::qWait(200);
            return {};
        }
        QByteArray answer;
        QDeadlineTimer deadline(10000);
        while (!answer.contains('\n') && !deadline.hasExpired()) {
            QTest::qWait(20);
            answer += s.readAll();
        }
        return answer;
    }

private slots:
    void orderLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("expected"); // the order encoded again, or the refusal
        QTest::newRow("send") << QByteArray("SEND 3,5") << "SEND 3,5\n";
        QTest::newRow("clear short") << QByteArray("CLEAR 5") << "CLEAR 05\n";
        QTest::newRow("clear all") << QByteArray("CLEAR 00") << "CLEAR 00\n";
        QTest::newRow("front") << QByteArray("FRONT") << "FRONT\n";
        QTest::newRow("open") << QByteArray("OPEN /home/op/show.zlk") << "OPEN /home/op/show.zlk\n";
        QTest::newRow("page 0") << QByteArray("SEND 0") << "no such page";
        QTest::newRow("page 100") << QByteArray("SEND 100") << "no such page";
        QTest::newRow("empty item") << QByteArray("SEND 3,,5") << "no such page";
        QTest::newRow("spaced list") << QByteArray("SEND 3, 5") << "no such page";
        QTest::newRow("address 100") << QByteArray("CLEAR 100") << "no such titler";
        QTest::newRow("lower case") << QByteArray("send 3") << "unknown order";
        QTest::newRow("no argument") << QByteArray("SEND") << "unknown order";
        QTest::newRow("front with more") << QByteArray("FRONT now") << "unknown order";
        QTest::newRow("empty") << QByteArray() << "unknown order";
        QTest::newRow("relative path") << QByteArray("OPEN show.zlk") << "not a page file";
        QTest::newRow("climbing path") << QByteArray("OPEN /home/op/../x/show.zlk") << "not a page file";
        QTest::newRow("not a page file") << QByteArray("OPEN /etc/passwd") << "not a page file";
        QTest::newRow("control") << QByteArray("SEND 3\r") << "control character";
        QTest::newRow("not utf-8") << QByteArray("SEND \xff\xfe") << "not UTF-8";
        QTest::newRow("too long") << QByteArray(orders::kMaxOrderBytes, 'A') << "order too long";
    }

    void orderLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, expected);
        const orders::Parsed p = orders::parse(line);
        const QString got = p.order ? QString::fromUtf8(orders::encode(*p.order)) : p.error;
        QVERIFY2(got.startsWith(expected), qPrintable(got));
    }

    void logRecordsAndKeeping()
    {
        const QDateTime when(QDate(2026, 12, 6), QTime(19, 0, 0, 7), Qt::OffsetFromUTC, 3600);
        QCOMPARE(asrun::formatRecord(when, "12", "page 12", "NEWS\tAT\nSEVEN"),
                 QString("2026-12-06T19:00:00.007+01:00\t12\tpage 12\tNEWS AT SEVEN"));
        QCOMPARE(asrun::firstNonBlankLine({"   ", "", "  NEWS  ", "X"}), QString("NEWS"));
        const QStringList names{"asrun-2026-11-05.log", "asrun-2026-11-06.log", "asrun-2026-12-06.log",
                                "asrun-2025-01-01.log", "asrun-notes.log",      "ZELK.ini"};
        QCOMPARE(asrun::expired(names, QDate(2026, 12, 6)),
                 (QStringList{"asrun-2026-11-05.log", "asrun-2025-01-01.log"}));
    }

    void sendOrderPutsPagesOnAirAndInTheLog()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.startOnline());
        prepare(w, 5);
        const QString onView = w.z.ui.txtPageNumber->text();

        QProcess order;
        startProgram(order, w.home(), {"--send", "3,5"});
        QVERIFY(finished(order));
        QCOMPARE(order.exitCode(), 0);
        QTest::qWait(300);
        auto screens = sim.dump();
        QCOMPARE(screens["03"].rows[1], QString("EVENING NEWS").leftJustified(20));
        QCOMPARE(screens["05"].rows[4], QString("WEATHER").leftJustified(20));
        QCOMPARE(screens["03"].settings.value("display"), QString("on"));
        QCOMPARE(w.z.ui.txtPageNumber->text(), onView); // the operator stays on their page

        const QStringList records = logRecords(w);
        QCOMPARE(records.size(), 2);
        const QRegularExpression time("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}(Z|[+-]\\d\\d:\\d\\d)$");
        const QStringList first = records[0].split('\t'), second = records[1].split('\t');
        QVERIFY2(time.match(first[0]).hasMatch(), qPrintable(first[0]));
        QCOMPARE(first.mid(1), (QStringList{"03", "page 3", "EVENING NEWS"}));
        QCOMPARE(second.mid(1), (QStringList{"05", "page 5", "WEATHER"}));
        QVERIFY(first[0] <= second[0]);

        // Clear PXT for one titler, and what cannot be done is refused with its reason.
        struct Case
        {
            QStringList args;
            int status;
            const char* reason;
        };
        const Case cases[] = {
            {{"--clear", "3"}, 0, ""},
            {{"--send", "7"}, 1, "not enabled"},
            {{"--send", "3,120"}, 1, "no such page"},
            {{"--clear", "x"}, 1, "no such titler"},
            {{"--send"}, 1, "usage"},
        };
        for (const Case& c : cases) {
            QProcess p;
            startProgram(p, w.home(), c.args);
            QVERIFY(finished(p));
            const QString err = QString::fromUtf8(p.readAllStandardError());
            QVERIFY2(p.exitCode() == c.status && err.contains(c.reason), qPrintable(c.args.join(' ') + ": " + err));
        }
        QTest::qWait(300);
        QCOMPARE(sim.dump()["03"].rows[1], QString(20, ' '));
        QCOMPARE(logRecords(w).last().split('\t').mid(1, 2), (QStringList{"03", "clear"}));
        w.showTab(2); // the operator's own sends are logged as well
        QTest::mouseClick(w.find<QPushButton>("cmdSendSettings"), Qt::LeftButton);
        QCOMPARE(logRecords(w).last().split('\t').mid(1, 2), (QStringList{"01", "settings"}));

        // Offline nothing is sent.
        w.showTab(5);
        QTest::mouseClick(w.find<QRadioButton>("optWorkOffline"), Qt::LeftButton);
        QProcess offline;
        startProgram(offline, w.home(), {"--send", "3"});
        QVERIFY(finished(offline));
        QCOMPARE(offline.exitCode(), 1);
        QVERIFY(offline.readAllStandardError().contains("offline"));
    }

    void orderWhileASendRunsIsRefused_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("All pages") << "cmdSend";
        QTest::newRow("every page's settings") << "cmdSendAllSettings";
    }
    void orderWhileASendRunsIsRefused()
    {
        QFETCH(QString, button);
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.startOnline());
        prepare(w, 60); // either keeps the line busy for seconds
        if (button != "cmdSend")
            w.showTab(2); // Setup
        QTest::mouseClick(w.find<QRadioButton>("optSendAll"), Qt::LeftButton);
        QProcess order;
        startProgram(order, w.home(), {"--send", "3"});
        w.find<QPushButton>(button)->click(); // returns when the send has ended
        QVERIFY(finished(order));
        QCOMPARE(order.exitCode(), 1);
        QVERIFY(order.readAllStandardError().contains("a send is running"));
    }

    void noRunningCopy()
    {
        QTemporaryDir home;
        QProcess order;
        startProgram(order, home.path(), {"--send", "3"});
        QVERIFY(finished(order));
        QCOMPARE(order.exitCode(), 2);
    }

    void badOrdersAreRefusedAndTheProgramCarriesOn()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.startOnline());
        prepare(w, 5);
        const QByteArray noise("\x00\x01\xfe garbage\n", 12);
        QCOMPARE(exchange(w, noise), QByteArray("REFUSED not UTF-8\n"));
        QCOMPARE(exchange(w, "REBOOT\n"), QByteArray("REFUSED unknown order\n"));
        QCOMPARE(exchange(w, QByteArray(100000, 'A')), QByteArray("REFUSED order too long\n"));
        QCOMPARE(exchange(w, "SEND 3\nSEND 5\n"), QByteArray("REFUSED one order per connection\n"));
        QCOMPARE(exchange(w, "SEND 3"), QByteArray("REFUSED incomplete order\n")); // never finished
        QCOMPARE(exchange(w, "OPEN /etc/ZELK.zlk\n"), QByteArray("REFUSED no such file\n"));
        exchange(w, "SEND 3", true); // hung up half-way
        QTest::qWait(300);
        for (const auto& f : sim.frames()) // only the clock's questions
            QVERIFY2(f.code == "38" || f.code == "43", qPrintable(f.code));
        QVERIFY(w.z.dialogs.shown().size() <= 1); // only the first start's missing settings: orders ask nothing

        QCOMPARE(exchange(w, "SEND 5\n"), QByteArray("OK\n"));
        QTest::qWait(300);
        QCOMPARE(sim.dump()["05"].rows[4], QString("WEATHER").leftJustified(20));
    }

    void logThatCannotBeWrittenNeverStopsASend()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.startOnline());
        prepare(w, 5);
        QFile blocker(QDir(w.home()).filePath("blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        w.z.asRun->setFolder(blocker.fileName()); // a file where the folder should be
        const QString note("As-run log not written");
        QLabel* progress = w.z.ui.lblProgStatus[3];

        QCOMPARE(exchange(w, "SEND 3\n"), QByteArray("OK\n"));
        QTRY_COMPARE_WITH_TIMEOUT(progress->text(), note, 10000);
        QVERIFY(progress->toolTip().contains("blocked"));
        QTest::qWait(300);
        QCOMPARE(sim.dump()["03"].rows[1], QString("EVENING NEWS").leftJustified(20));

        QCOMPARE(exchange(w, "CLEAR 3\n"), QByteArray("OK\n"));
        QTest::qWait(1500); // failed again meanwhile, and not told again
        QVERIFY(progress->text() != note);

        // Nothing is lost once the folder takes the log again, and what is left goes at shutdown.
        w.z.asRun->setFolder(w.home());
        const QString log = QDir(w.home()).filePath(asrun::fileName(w.z.clock.now().date()));
        auto records = [&log] {
            QFile f(log);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)
                                               : QStringList();
        };
        QTRY_COMPARE_WITH_TIMEOUT(records().size(), 2, 10000);
        QVERIFY(records()[0].contains("\tpage 3\t") && records()[1].contains("\tclear"));
        w.z.asRun->record("07", "effect stop");
        w.window.reset();
        QCOMPARE(records().size(), 3);
    }

    void secondStartHandsOverItsPageFile_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("Open") << int(QMessageBox::Open);
        QTest::newRow("Cancel") << int(QMessageBox::Cancel);
    }

    void secondStartHandsOverItsPageFile()
    {
        QFETCH(int, answer);
        QTemporaryDir show;
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.startOnline());
        {
            PageTable t;
            fillDefaults(t);
            for (int p = 1; p <= 3; ++p) {
                t.setText(slot::page(p, slot::kLine1), QStringLiteral("TONIGHT %1").arg(p).leftJustified(20));
                t.setBool(slot::titler(slot::kTitlerEnabledBlock, p), true);
            }
            QString why;
            QVERIFY(writeTableFile(t, show.filePath("tonight.zlk"), &why, false));
        }
        const QString before = w.z.table.text(slot::page(2, slot::kLine1));
        w.z.dialogs.clearShown();
        w.z.dialogs.answerNext(QMessageBox::StandardButton(answer));

        QProcess second;
        startProgram(second, w.home(), {"tonight.zlk"}, show.path());
        QVERIFY(finished(second, 15000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!w.z.dialogs.shown().isEmpty(), 10000);
        QCOMPARE(w.z.dialogs.shown()[0].text, QString("Open tonight.zlk? Its pages replace the pages now open."));
        QTest::qWait(500);
        if (answer == QMessageBox::Open) {
            QVERIFY(sim.waitForFrames(3 * 12));
            const auto screens = sim.dump();
            for (int p = 1; p <= 3; ++p)
                QCOMPARE(screens[QStringLiteral("0%1").arg(p)].rows[0],
                         QStringLiteral("TONIGHT %1").arg(p).leftJustified(20));
        } else {
            QVERIFY(sim.frames().isEmpty());
            QCOMPARE(w.z.table.text(slot::page(2, slot::kLine1)), before);
        }
    }
};

QTEST_MAIN(TestOrders)
#include "test_orders.moc"
