// End-to-end tests: the real pxt-sim program on a pseudo-terminal, driven through a serial port.

#include "SimProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QThread>

namespace {

constexpr int kPatienceMs = 15000; // generous: a slow, busy machine must not fail these

QByteArray esc(const QByteArray& body)
{
    return '\x1b' + body;
}
QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
bool logged(const SimProcess& sim, const QString& text)
{
    return QTest::qWaitFor([&] { return readText(sim.logPath()).contains(text); }, kPatienceMs);
}
bool openPort(const SimProcess& sim, QSerialPort& port, qint32 baud = 9600)
{
    port.setPortName(sim.link());
    port.setBaudRate(baud); // the rest of 8N1 without flow control is QSerialPort's default
    return port.open(QIODevice::ReadWrite);
}
qint64 cpuTicks(SimProcess& sim)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(sim.process().processId()));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = stat.readAll().split(')').constLast().split(' ');
    return fields.value(12).toLongLong() + fields.value(13).toLongLong(); // utime, stime
}
// Writes, then reads until a six-byte reply is in.
QByteArray ask(QSerialPort& port, const QByteArray& frames)
{
    port.write(frames);
    port.waitForBytesWritten(kPatienceMs);
    QByteArray reply;
    QDeadlineTimer deadline(kPatienceMs);
    while (reply.size() < 6 && !deadline.hasExpired() && port.waitForReadyRead(int(deadline.remainingTime())))
        reply += port.readAll();
    return reply;
}
QStringList titlers(const QStringList& extra)
{
    return QStringList{"--titlers", "1-5"} + extra;
}

} // namespace

class TestSimEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void framesRepliesDumpAndReopen_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("command line") << QStringList();
        QTest::newRow("monitor window") << QStringList{"--monitor"}; // the same steps driven by the window's loop
    }
    void framesRepliesDumpAndReopen()
    {
        QFETCH(QStringList, options);
        SimProcess sim(titlers(options));
        QSerialPort port;
        QVERIFY(openPort(sim, port));
        const QByteArray reply =
            ask(port, esc("0525") + esc("0528021HELLO") + esc("0528025\x01") + esc("0536123456") + esc("0538"));
        QVERIFY2(reply.size() == 6 && reply.startsWith("1234"), reply.constData());
        QVERIFY(logged(sim, QStringLiteral(" 05 38 [reply ")));
        QCOMPARE(sim.dump().value("05").rows.value(1), QStringLiteral("HELL\u2588               "));

        // The program closes and reopens its port: the simulator must see no hang-up and go on.
        port.close();
        const qint64 ticks = cpuTicks(sim);
        QThread::msleep(1000);
        QVERIFY2(cpuTicks(sim) - ticks < 25, "the simulator spins while the port is closed");
        QVERIFY(openPort(sim, port));
        QCOMPARE(ask(port, esc("0328001AGAIN") + esc("0343")).size(), 6);
        QVERIFY(logged(sim, QStringLiteral(" 03 28 001 |AGAIN|")));
        QVERIFY(logged(sim, QStringLiteral(" 05 28 021 |HELLO|")));

        sim.stop(); // terminated: it writes a last dump and removes its link
        QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process().exitCode(), 0);
        QVERIFY(!QFileInfo(sim.link()).isSymLink());
        QCOMPARE(pxtsim::readDump(readText(sim.dumpPath())).value("03").rows.value(0),
                 QStringLiteral("AGAIN               "));
    }

    void replyModesAndPace_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("silent") << QStringList{"--silent"} << QByteArray();
        QTest::newRow("garbage, paced") << QStringList{"--garbage", "--pace"} << QByteArray("ERR?!#");
        QTest::newRow("silent, paced, monitor window")
            << QStringList{"--silent", "--pace", "--monitor"} << QByteArray();
    }
    void replyModesAndPace()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, reply);
        const bool paced = options.contains("--pace");
        SimProcess sim(titlers(options));
        QSerialPort port;
        QVERIFY(openPort(sim, port, 4800));
        QByteArray frames;
        for (const char* cell : {"001", "021", "041", "061"})
            frames += esc("0128" + QByteArray(cell) + QByteArray(17, 'X')); // 25 bytes each
        port.write(frames + esc("0238"));                                   // the question starts at byte 100
        port.waitForBytesWritten(kPatienceMs);
        QVERIFY(logged(sim, QStringLiteral(" 02 38 [")));
        port.waitForReadyRead(200);
        QCOMPARE(port.readAll(), reply);
        // Each frame logged whole (a late simulator may flush one early and log it again as continued).
        const QString text = readText(sim.logPath());
        QCOMPARE(text.count(QLatin1Char('|') + QString(17, QLatin1Char('X')) + QLatin1Char('|')), 4);
        const QList<SimProcess::Frame> log = sim.frames();
        const auto question = std::find_if(log.begin(), log.end(), [](const auto& f) { return f.code == "38"; });
        QVERIFY(question != log.end());
        const double seconds = question->seconds - log.first().seconds;
        QVERIFY2(!paced || seconds >= 0.18, qPrintable(QString::number(seconds))); // 100 bytes at 480 per second
    }

    // A late titler's answer leaves only after its delay, a cut-off titler's only half of it.
    void lateAndHalfReplies_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("lateMs");
        QTest::newRow("late") << QStringList{"--reply", "123456", "--reply-delay", "400"} << QByteArray("123456")
                              << 400;
        QTest::newRow("half") << QStringList{"--reply", "123456", "--half-reply"} << QByteArray("123") << 0;
        QTest::newRow("half and late") << QStringList{"--garbage", "--half-reply", "--reply-delay", "300"}
                                       << QByteArray("ERR") << 300;
    }
    void lateAndHalfReplies()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, reply);
        QFETCH(int, lateMs);
        SimProcess sim(options);
        QSerialPort port;
        QVERIFY(openPort(sim, port));
        QElapsedTimer t;
        t.start();
        port.write(esc("0238"));
        port.waitForBytesWritten(kPatienceMs);
        QByteArray got;
        while (got.size() < reply.size() && t.elapsed() < kPatienceMs && port.waitForReadyRead(kPatienceMs))
            got += port.readAll();
        QCOMPARE(got, reply);
        QVERIFY2(t.elapsed() >= lateMs, qPrintable(QString::number(t.elapsed())));
        port.waitForReadyRead(300); // nothing more follows
        QCOMPARE(port.readAll(), QByteArray());
    }

    void badReplyDelayRefused()
    {
        for (const char* delay : {"0", "-5", "10001", "soon"}) {
            QProcess sim;
            sim.start(QString::fromLocal8Bit(qgetenv("ZELK_TEST_SIM")),
                      {"--link", QDir::temp().filePath("zelk-sim-refused"), "--reply-delay", delay});
            QVERIFY(sim.waitForFinished(kPatienceMs));
            QCOMPARE(sim.exitCode(), 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestSimEndToEnd)
#include "tst_sim_e2e.moc"
