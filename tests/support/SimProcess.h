#pragma once
// The titler simulator as a test's other end of the line: started on a temporary pty link, its frame log and its
// state dump read back.

#include <pxtsim/DumpReader.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class SimProcess
{
public:
    struct Frame
    {
        double seconds; // since the simulator started
        QString address;
        QString code;
        QString params; // the rest of the log line
    };

    explicit SimProcess(const QStringList& extra = {}, const QString& linkPath = {})
    {
        link_ = linkPath.isEmpty() ? dir_.filePath(QStringLiteral("com1")) : linkPath;
        start(extra);
    }
    ~SimProcess() { stop(); }

    void start(const QStringList& extra = {})
    {
        QFile::remove(logPath());
        QFile::remove(link_); // wait for the new link, never open an old one
        proc_.setProgram(QString::fromLocal8Bit(qgetenv("ZELK_TEST_SIM")));
        proc_.setArguments(QStringList{QStringLiteral("--link"), link_, QStringLiteral("--log"), logPath(),
                                       QStringLiteral("--dump"), dumpPath()} +
                           extra);
        proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc_.start();
        proc_.waitForStarted(10000);
        QDeadlineTimer deadline(10000);
        while (!QFileInfo(link_).exists() && !deadline.hasExpired())
            QTest::qWait(10);
    }
    bool running() const { return proc_.state() == QProcess::Running; }
    void stop()
    {
        if (proc_.state() != QProcess::NotRunning) {
            proc_.terminate();
            if (!proc_.waitForFinished(5000))
                proc_.kill();
            proc_.waitForFinished(5000);
        }
    }
    // The other end vanishes without a word, as an unplugged adapter does.
    void killHard()
    {
        proc_.kill();
        proc_.waitForFinished(5000);
        // Its link would name a pty number that another test's simulator may own by now.
        QFile::remove(link_);
    }

    QProcess& process() { return proc_; }
    QString link() const { return link_; }
    QString logPath() const { return dir_.filePath(QStringLiteral("sim.log")); }
    QString dumpPath() const { return dir_.filePath(QStringLiteral("sim.txt")); }

    QList<Frame> frames() const
    {
        QList<Frame> out;
        QFile f(logPath());
        if (!f.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray& raw : f.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw);
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.size() < 3)
                continue;
            out.append({parts[0].toDouble(), parts[1], parts[2], line.section(QLatin1Char(' '), 3)});
        }
        return out;
    }
    // Waits until at least n frames are logged (generous: the machine may be busy).
    bool waitForFrames(int n, int timeoutMs = 15000) const
    {
        QDeadlineTimer deadline(timeoutMs);
        while (frames().size() < n) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(20);
        }
        return true;
    }
    // A fresh state dump of the titlers.
    QMap<QString, pxtsim::DumpedTitler> dump()
    {
        QFile::remove(dumpPath());
        ::kill(pid_t(proc_.processId()), SIGUSR1);
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            QFile f(dumpPath());
            if (f.open(QIODevice::ReadOnly))
                return pxtsim::readDump(QString::fromUtf8(f.readAll()));
            QTest::qWait(20);
        }
        return {};
    }

private:
    QTemporaryDir dir_;
    QString link_;
    QProcess proc_;
};
