// End-to-end tests: the real pxt-sim program on a pseudo-terminal, driven through a serial port.

#include "pxtsim/DumpReader.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <functional>

namespace {

constexpr int kPatienceMs = 15000; // generous: a slow, busy machine must not fail these

bool waitFor(const std::function<bool()>& condition, int ms = kPatienceMs)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

QByteArray esc(const QByteArray& body)
{
    return '\x1b' + body;
}

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class Sim
{
public:
    bool start(const QStringList& extra = {})
    {
        process.start(QStringLiteral(PXT_SIM_PATH),
                      QStringList{"--link", link(), "--log", log(), "--dump", dump(), "--titlers", "1-5"} + extra);
        return process.waitForStarted(kPatienceMs) && waitFor([this] { return QFileInfo(link()).isSymLink(); });
    }
    ~Sim()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(kPatienceMs);
        }
    }
    bool open(QSerialPort& port, qint32 baud = 9600) const
    {
        port.setPortName(link());
        return port.open(QIODevice::ReadWrite) && port.setBaudRate(baud) && port.setDataBits(QSerialPort::Data8) &&
               port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
               port.setFlowControl(QSerialPort::NoFlowControl);
    }
    bool logged(const QString& text) const
    {
        return waitFor([&] { return readText(log()).contains(text); });
    }
    QMap<QString, pxtsim::DumpedTitler> dumpNow()
    {
        QFile::remove(dump());
        ::kill(static_cast<pid_t>(process.processId()), SIGUSR1);
        if (!waitFor([this] { return QFileInfo::exists(dump()); }))
            return {};
        return pxtsim::readDump(readText(dump()));
    }
    qint64 cpuTicks() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        const QList<QByteArray> fields = stat.readAll().split(')').constLast().split(' ');
        return fields.value(12).toLongLong() + fields.value(13).toLongLong(); // utime, stime
    }

    QString link() const { return dir.filePath(QStringLiteral("com1")); }
    QString log() const { return dir.filePath(QStringLiteral("sim.log")); }
    QString dump() const { return dir.filePath(QStringLiteral("sim.txt")); }

    QTemporaryDir dir;
    QProcess process;
};

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

} // namespace

class TestSimEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void framesRepliesDumpAndReopen();
    void pacedAtLineSpeed();
    void replyModes_data();
    void replyModes();
};

void TestSimEndToEnd::framesRepliesDumpAndReopen()
{
    Sim sim;
    QVERIFY(sim.start());
    QSerialPort port;
    QVERIFY(sim.open(port));
    const QByteArray reply =
        ask(port, esc("0525") + esc("0528021HELLO") + esc("0528025\x01") + esc("0536123456") + esc("0538"));
    QVERIFY2(reply.size() == 6 && reply.startsWith("1234"), reply.constData());

    QVERIFY(sim.logged(QStringLiteral(" 05 38 [reply ")));
    const auto titlers = sim.dumpNow();
    QCOMPARE(titlers.value("05").rows.value(1), QStringLiteral("HELL\u2588               "));

    // The program closes and reopens its port: the simulator must see no hang-up and go on.
    port.close();
    const qint64 ticks = sim.cpuTicks();
    QThread::msleep(1000);
    QVERIFY2(sim.cpuTicks() - ticks < 25, "the simulator spins while the port is closed");
    QVERIFY(sim.open(port));
    QCOMPARE(ask(port, esc("0328001AGAIN") + esc("0343")).size(), 6);
    QVERIFY(sim.logged(QStringLiteral(" 03 28 001 |AGAIN|")));
    QVERIFY(sim.logged(QStringLiteral(" 05 28 021 |HELLO|")));

    ::kill(static_cast<pid_t>(sim.process.processId()), SIGTERM);
    QVERIFY(sim.process.waitForFinished(kPatienceMs));
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process.exitCode(), 0);
    QVERIFY(!QFileInfo(sim.link()).isSymLink());
    QCOMPARE(pxtsim::readDump(readText(sim.dump())).value("03").rows.value(0), QStringLiteral("AGAIN               "));
}

void TestSimEndToEnd::pacedAtLineSpeed()
{
    Sim sim;
    QVERIFY(sim.start({"--pace"}));
    QSerialPort port;
    QVERIFY(sim.open(port, 4800));
    QByteArray frames;
    for (const char* cell : {"001", "021", "041", "061", "081"})
        frames += esc("0128" + QByteArray(cell) + QByteArray(17, 'X')); // 25 bytes each: the last starts at byte 100
    port.write(frames);
    port.waitForBytesWritten(kPatienceMs);
    QVERIFY(sim.logged(QStringLiteral(" 01 28 081 |")));
    QStringList lines = readText(sim.log()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    const double first = lines.constFirst().section(QLatin1Char(' '), 0, 0).toDouble();
    const double last = lines.constLast().section(QLatin1Char(' '), 0, 0).toDouble();
    QVERIFY2(last - first >= 0.18, qPrintable(QString::number(last - first))); // 100 bytes at 480 per second
}

void TestSimEndToEnd::replyModes_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("silent") << QStringLiteral("--silent") << QByteArray();
    QTest::newRow("garbage") << QStringLiteral("--garbage") << QByteArray("ERR?!#");
}

void TestSimEndToEnd::replyModes()
{
    QFETCH(QString, option);
    QFETCH(QByteArray, reply);
    Sim sim;
    QVERIFY(sim.start({option}));
    QSerialPort port;
    QVERIFY(sim.open(port));
    port.write(esc("0238"));
    port.waitForBytesWritten(kPatienceMs);
    QVERIFY(sim.logged(QStringLiteral(" 02 38 [")));
    port.waitForReadyRead(200);
    QCOMPARE(port.readAll(), reply);
}

QTEST_GUILESS_MAIN(TestSimEndToEnd)
#include "tst_sim_e2e.moc"
