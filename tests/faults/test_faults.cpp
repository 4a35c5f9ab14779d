// Faults from outside the program: the adapter pulled out or the line stalled during a long sequence, titlers that
// answer badly, the program killed in the middle of a save, a full disk, a settings folder that cannot be written,
// and damaged files. Whatever happens, nothing hangs, the operator is told, and no file is left half written.

#include "AsUser.h"
#include "EffectsFixture.h"
#include "ProgramReady.h"
#include "RecordingPort.h"
#include "SimProcess.h"
#include "TestWindow.h"
#include "app/PageFile.h"
#include "app/SettingsFile.h"
#include "app/TableFile.h"
#include "core/Errors.h"
#include "link/CommandProtocol.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <csignal>
#include <cstring>
#include <functional>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// A whole table file: every slot, nothing unreadable.
bool isWholeTable(const QByteArray& data)
{
    PageTable t;
    const TableReadReport r = decodeTable(t, data);
    return r.errors.isEmpty() && r.records == slot::kLast;
}

QString panels(const Zelk& z)
{
    return z.ui.lblProgStatus[1]->text() + "|" + z.ui.lblProgStatus[2]->text();
}

void click(QAbstractButton* b)
{
    const bool box = qobject_cast<QPushButton*>(b) == nullptr;
    QTest::mouseClick(b, Qt::LeftButton, {}, box ? QPoint(6, b->height() / 2) : b->rect().center());
}

void enableAll(Zelk& z)
{
    for (int a = 1; a <= 99; ++a) {
        z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        z.table.setBool(slot::titler(slot::kEffectTitlerBlock, a), true);
    }
    z.link->FillTitlerLists();
}

// Watches a folder for the steps of a save: files made, written, renamed and removed.
class FolderWatch
{
public:
    explicit FolderWatch(const QString& dir)
    {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        inotify_add_watch(fd_, QFile::encodeName(dir).constData(),
                          IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE);
    }
    ~FolderWatch() { ::close(fd_); }
    // Waits until n more events have come; false when none came for timeoutMs.
    bool waitFor(int n, int timeoutMs)
    {
        while (n > 0) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0)
                return false;
            alignas(inotify_event) char buffer[4096];
            const ssize_t len = ::read(fd_, buffer, sizeof buffer);
            for (ssize_t at = 0; at < len; --n) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                at += ssize_t(sizeof(inotify_event) + e->len);
            }
        }
        return true;
    }

private:
    int fd_ = -1;
};

// The page file saving loop of a child process (see main): File Save over the same file, two contents in turn.
int savePagesForever(const QString& path)
{
    RecordingPort port;
    TestWindow w(port);
    if (!w.start())
        return 1;
    for (int round = 0;; ++round) {
        const QString text = round % 2 ? QStringLiteral("BBBB") : QStringLiteral("AAAA");
        for (int p = 1; p <= 99; ++p)
            w.z.table.setText(slot::page(p, slot::kLine1), text);
        w.z.dialogs.fileNameNext(path);
        w.z.dialogs.answerNext(QMessageBox::Yes); // overwrite
        w.z.pageFile->mnuFileSave_Click();
        w.z.dialogs.clearShown();
    }
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    // The adapter pulled out in the middle of a long sequence: it ends without hanging, one error is recorded, the
    // link shows the lost port, and choosing the port again brings the line back. ("All" is in test_link_e2e.)
    void unpluggedDuringASequence_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::newRow("clear") << "clear";
        QTest::newRow("effect") << "effect";
    }
    void unpluggedDuringASequence()
    {
        QFETCH(QString, sequence);
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        EffectsFixture f(port);
        Zelk& z = f.z;
        QVERIFY(f.w.startOnline());
        enableAll(z);
        const int errors = z.errorsRecorded;
        const qsizetype framesBefore = sim.frames().size(); // the clock's questions at start-up
        QTimer unplug;
        connect(&unplug, &QTimer::timeout, [&] {
            if (sim.running() && sim.frames().size() >= framesBefore + 4) // the sequence is under way
                sim.killHard();
        });
        unplug.start(5);
        std::function<bool()> ended;
        if (sequence == "clear") {
            click(f.w.find<QRadioButton>("optClearAllPxt"));
            click(z.ui.cmdClearPxt);
            ended = [&] { return z.ui.cmdClearPxt->text() == "Clear PXT"; };
        } else {
            f.w.showTab(3);
            f.ui.txtRandomText->setText("ON AIR");
            f.times("00", "01", "00", "00");
            f.click(f.ui.cmdStart);
            ended = [&] { return !f.fx.sequencer().running(); };
        }
        QTRY_VERIFY_WITH_TIMEOUT(!sim.running(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(ended(), 10000);
        unplug.stop();
        // On a busy machine the sequence may be through before the loss shows: the port's hang-up tells it then.
        QTRY_COMPARE_WITH_TIMEOUT(z.errorsRecorded - errors, 1, 10000);
        QTest::qWait(500); // a step or a tick more would have come by now
        QCOMPARE(z.errorsRecorded - errors, 1);
        QVERIFY(!z.LinkOnline);
        QCOMPARE(z.ui.lblPortStatus->text(), QString("Port Unavailable"));
        QCOMPARE(panels(z), QString("Offline|Invalid CommPort"));

        sim.start();
        f.w.showTab(5);
        click(z.ui.optCommPort[1]);
        QVERIFY(z.LinkOnline);
        QCOMPARE(z.ui.lblPortStatus->text(), QString("Port Available"));
        z.protocol->SendCommand(QString("00"), "25");
        QTRY_VERIFY_WITH_TIMEOUT(sim.frames().size() >= 1 && sim.frames().constLast().code == "25", 10000);
    }

    // A line that takes no more bytes: each sequence waits out the drain bound (the bytes' time plus a second), then
    // ends with the port closed as a lost one, and tries nothing more. (Sending pages and the effects are in their
    // own tests.)
    void stalledLine_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("button");
        QTest::newRow("clear") << 1 << "cmdClearPxt";
        QTest::newRow("identify") << 4 << "cmdIdentify";
        QTest::newRow("send all settings") << 2 << "cmdSendAllSettings";
        QTest::newRow("clone settings") << 2 << "cmdCloneSettingsSend";
        QTest::newRow("set the time") << 2 << "cmdSetTimePC";
    }
    void stalledLine()
    {
        QFETCH(int, tab);
        QFETCH(QString, button);
        RecordingPort port;
        TestWindow w(port);
        Zelk& z = w.z;
        QVERIFY(w.startOnline());
        enableAll(z);
        z.table.setText(slot::kCloneSettingsStart, "01");
        z.table.setText(slot::kCloneSettingsStart + 1, "99");
        click(w.find<QRadioButton>("optClearAllPxt"));
        w.showTab(tab);
        QTest::qWait(300); // the clock tick's questions are answered and done
        port.clearWrites();
        port.stalled = true;
        const int errors = z.errorsRecorded;
        QElapsedTimer t;
        t.start();
        click(w.find<QPushButton>(button));
        QTRY_VERIFY_WITH_TIMEOUT(!port.isOpen(), 10000);
        QVERIFY2(t.elapsed() >= 1000, qPrintable(QString::number(t.elapsed())));
        QTest::qWait(300);
        QCOMPARE(port.writes.size(), 1);
        QCOMPARE(z.errorsRecorded - errors, 1);
        QCOMPARE(z.table.toInt(slot::kErrorNumber), err::kLineStalled);
        QVERIFY(!z.LinkOnline);
        QCOMPARE(panels(z), QString("Offline|Invalid CommPort"));
    }

    // A titler that answers the time question with garbage, too late or with half its digits is no titler: the
    // status line says so and the preview shows the pattern, and the questions go on without a hang.
    void titlerAnswersBadly_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QString>("state");
        QTest::newRow("garbage") << QStringList{"--garbage"} << "Offline|No PXT Detected";
        // A late answer can land in a later question's wait, and nothing on the line tells them apart: what the
        // status shows then is not asserted, only that the questions go on and nothing is recorded or hangs.
        QTest::newRow("late") << QStringList{"--reply-delay", "250"} << "";
        QTest::newRow("half") << QStringList{"--half-reply"} << "Offline|No PXT Detected";
        QTest::newRow("half, then late") << QStringList{"--half-reply", "--reply-delay", "120"}
                                         << "Offline|No PXT Detected";
        QTest::newRow("quick enough") << QStringList{"--reply-delay", "5"} << "Online|Comm Port 1";
    }
    void titlerAnswersBadly()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QString, state);
        SimProcess sim(simArgs);
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        Zelk& z = w.z;
        QVERIFY(w.startOnline());
        z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 1), true);
        z.link->FillTitlerLists();
        w.z.ui.txtPageNumber->setText("01");
        QStringList seen;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (seen.isEmpty() || seen.constLast() != panels(z))
                seen << panels(z);
        });
        watch.start(10);
        const int errors = z.errorsRecorded;
        if (!state.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(panels(z), state, 10000);
            QTest::qWait(3000); // thirty ticks, and late answers arriving among them
            QCOMPARE(panels(z), state);
            QCOMPARE(seen.filter("Online|").isEmpty(), state.startsWith("Offline"));
            QCOMPARE(z.ClockReadFailed, state.startsWith("Offline"));
            if (z.ClockReadFailed)
                QCOMPARE(z.ui.txtTimeDisplay->text(), QString("hh:mm:ss"));
        } else {
            QTest::qWait(3000);
        }
        QCOMPARE(z.errorsRecorded, errors);
        const auto questions = [&sim] {
            const auto frames = sim.frames();
            return std::count_if(frames.begin(), frames.end(),
                                 [](const SimProcess::Frame& f) { return f.code == "38"; });
        };
        QTRY_VERIFY_WITH_TIMEOUT(questions() >= 4, 5000); // asked again and again all along
    }

    // The program killed at every step of its closing save of "ZELK.ini": the file is the old one or the new one,
    // whole, and the backup is there.
    void killedDuringTheSettingsSave()
    {
        QTemporaryDir home;
        const QString ini = home.filePath("ZELK.ini"), bak = ini + ".bak";
        const QByteArray old = "1,1\r\n2,\"9600\"\r\n119,\"  KEPT\"\r\n", oldBackup = "1,1\r\n119,\"  BACKUP\"\r\n";
        int killedOld = 0, killedNew = 0;
        for (int step = 1; step < 30; ++step) {
            QVERIFY(writeBytes(ini, old) && writeBytes(bak, oldBackup));
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("ZELK_HOME", home.path());
            env.insert("ZELK_COMM1", home.filePath("no-port"));
            p.setProcessEnvironment(env);
            p.setProcessChannelMode(QProcess::ForwardedChannels);
            p.start(QString::fromLocal8Bit(qgetenv("ZELK_TEST_PROGRAM")), {});
            QVERIFY(p.waitForStarted(10000));
            QVERIFY(waitUntilTakingSignals(p.processId()));
            FolderWatch watch(home.path());
            ::kill(pid_t(p.processId()), SIGTERM);
            const bool killed = watch.waitFor(step, 3000) && p.state() == QProcess::Running;
            if (killed)
                ::kill(pid_t(p.processId()), SIGKILL);
            QVERIFY(p.waitForFinished(10000));

            const QByteArray now = fileBytes(ini), backup = fileBytes(bak);
            QVERIFY2(now == old || isWholeTable(now), qPrintable(QString("step %1: torn ZELK.ini").arg(step)));
            QVERIFY2(backup == oldBackup || backup == old,
                     qPrintable(QString("step %1: .bak %2").arg(step).arg(backup.size())));
            if (!killed)
                break; // the save finished before this step: every step has been hit
            (now == old ? killedOld : killedNew)++;
        }
        QVERIFY2(killedOld >= 2, qPrintable(QString::number(killedOld))); // killed while the save was under way
        QVERIFY(isWholeTable(fileBytes(ini)));
        QCOMPARE(fileBytes(bak), old);
        Q_UNUSED(killedNew);
    }

    // The same for File Save of a page file, killed again and again in a process that saves it in a loop.
    void killedDuringAPageFileSave()
    {
        QTemporaryDir dir;
        const QString show = dir.filePath("show.zlk");
        QSet<QString> seen;
        for (int step = 1; step <= 12; ++step) {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedChannels);
            FolderWatch watch(dir.path());
            p.start(QCoreApplication::applicationFilePath(), {"--save-pages-forever", show});
            QVERIFY(p.waitForStarted(10000));
            QVERIFY(watch.waitFor(10 + step * 3, 20000));
            ::kill(pid_t(p.processId()), SIGKILL);
            QVERIFY(p.waitForFinished(10000));
            const QByteArray now = fileBytes(show);
            if (now == "<missing>")
                continue; // killed before the first save ended
            PageTable t;
            const TableReadReport r = decodeTable(t, now);
            QVERIFY2(r.errors.isEmpty() && r.records == slot::kLast, qPrintable(QString("step %1: torn").arg(step)));
            seen << t.text(slot::page(50, slot::kLine1));
        }
        QVERIFY(seen.contains("AAAA") && seen.contains("BBBB"));
    }

    // A disk that takes no more (a file size limit here): the old files stay as they were, and the operator is told,
    // for a page file at once and for "ZELK.ini" before the window closes.
    void fullDisk()
    {
        QTemporaryDir home;
        RecordingPort port;
        TestWindow w(port, home.path());
        QVERIFY(w.start());
        const QString show = home.filePath("show.zlk"), ini = home.filePath("ZELK.ini");
        QVERIFY(writeBytes(show, "1,\"old show\"\r\n") && writeBytes(ini, "1,\"old settings\"\r\n"));
        QVERIFY(writeBytes(ini + ".bak", "1,\"older settings\"\r\n"));

        rlimit before{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
        rlimit small = before;
        small.rlim_cur = 32 * 1024; // a table takes about 200 KB
        auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        w.z.dialogs.clearShown();
        w.z.dialogs.fileNameNext(show);
        w.z.dialogs.answerNext(QMessageBox::Yes);
        w.z.pageFile->mnuFileSave_Click();
        w.close(); // the closing save fails too: the operator is asked, and the default keeps ZELK open
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(fileBytes(show), QByteArray("1,\"old show\"\r\n"));
        QCOMPARE(fileBytes(ini), QByteArray("1,\"old settings\"\r\n"));
        QCOMPARE(fileBytes(ini + ".bak"), QByteArray("1,\"older settings\"\r\n"));
        const auto shown = w.z.dialogs.shown();
        QCOMPARE(shown.size(), 3); // overwrite?, the page file not saved, the settings not saved
        QVERIFY2(shown[1].text.contains("could not be saved") && shown[1].text.contains("disk full"),
                 qPrintable(shown[1].text));
        QVERIFY2(shown[2].text.contains("The settings could not be saved"), qPrintable(shown[2].text));
        QVERIFY(w.window->isVisible());
        QCOMPARE(QDir(home.path()).entryList({"*.zlk*", "ZELK.ini*"}, QDir::Files).size(), 3); // no leftovers

        w.close(); // room again: the save goes through
        QVERIFY(isWholeTable(fileBytes(ini)));
        QCOMPARE(fileBytes(ini + ".bak"), QByteArray("1,\"old settings\"\r\n"));
    }

    // A settings folder this user cannot write: the program still starts, reads its settings, and says at once that
    // this run's changes cannot be saved there.
    void readOnlySettingsFolder()
    {
        QTemporaryDir home;
        QVERIFY(writeBytes(home.filePath("ZELK.ini"), "1,1\r\n119,\"  HELLO\"\r\n"));
        QVERIFY(QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                       QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
        RecordingPort port;
        auto w = std::make_unique<TestWindow>(port, home.path());
        bool started = false;
        if (!asUser([&] { started = w->start(); }))
            QSKIP("cannot act as an ordinary user");
        QVERIFY(started);
        QCOMPARE(w->z.table.text(119), QString("  HELLO"));
        const auto shown = w->z.dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.startsWith("The settings folder " + home.path()) &&
                     shown[0].text.contains("cannot be saved"),
                 qPrintable(shown[0].text));
        w->z.shell->setUnattendedClose();
        asUser([&] { w.reset(); });
        QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A damaged "ZELK.ini": the operator is told how many records were skipped and that the rest was read, and the
    // damaged file is kept aside before the closing save turns it into the backup. Nothing readable at all: the
    // defaults, said so.
    void damagedSettingsFile()
    {
        QTemporaryDir home;
        const QString ini = home.filePath("ZELK.ini");
        const QByteArray damaged = "1,1\r\n119,\"  HELLO\"\r\n\x01\x02garbage\r\n120,12abc\r\n121,\"cut sh";
        QVERIFY(writeBytes(ini, damaged));
        const QByteArray good = "1,1\r\n119,\"  GOOD\"\r\n";
        QVERIFY(writeBytes(ini + ".bak", good)); // the last good copy
        RecordingPort port;
        {
            TestWindow w(port, home.path());
            w.z.clock.setNow(QDateTime(QDate(2026, 6, 12), QTime(9, 30, 15)));
            QVERIFY(w.start());
            QCOMPARE(w.z.table.text(119), QString("  HELLO"));
            const auto shown = w.z.dialogs.shown();
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].text.contains("3 of its records could not be read") &&
                         shown[0].text.contains("the other 2 were read") &&
                         shown[0].text.contains("ZELK.ini.damaged-20260612-0930"),
                     qPrintable(shown[0].text));
            w.close();
        }
        const QStringList aside = QDir(home.path()).entryList({"ZELK.ini.damaged-*"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(fileBytes(home.filePath(aside[0])), damaged);
        QVERIFY(isWholeTable(fileBytes(ini)));
        QCOMPARE(fileBytes(ini + ".bak"), good); // not replaced by the damaged file

        QVERIFY(writeBytes(ini, "not a table\r\nat all\r\n"));
        TestWindow w(port, home.path());
        QVERIFY(w.start());
        QCOMPARE(w.z.table.text(slot::page(42, slot::kAddress)), QString("42")); // the defaults
        QCOMPARE(w.z.dialogs.shown().size(), 1);
        QVERIFY2(w.z.dialogs.shown()[0].text.contains("holds no record ZELK can read"),
                 qPrintable(w.z.dialogs.shown()[0].text));
        QCOMPARE(QDir(home.path()).entryList({"ZELK.ini.damaged-*"}).size(), 2);
        w.close();
        QCOMPARE(fileBytes(ini + ".bak"), good);
    }

    // A page file with bad records, opened from the File menu or named on the command line: told, and kept aside.
    void damagedPageFile()
    {
        QTemporaryDir dir;
        RecordingPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        const QString show = dir.filePath("show.zlk");
        const QByteArray damaged = "119,\"  PAGE ONE\"\r\n120,#MAYBE#\r\n";
        for (const bool commandLine : {false, true}) {
            QVERIFY(writeBytes(show, damaged));
            w.z.dialogs.clearShown();
            if (commandLine) {
                TestWindow other(port);
                QVERIFY(other.start({show}));
                QCOMPARE(other.z.dialogs.shown().size(), 2); // no settings file yet, then this
                QVERIFY(other.z.dialogs.shown()[1].text.contains("1 of its records could not be read"));
                QVERIFY(other.z.dialogs.shown()[1].text.contains("was kept as " + show + ".damaged-"));
            } else {
                w.z.dialogs.fileNameNext(show);
                w.z.pageFile->mnuFileOpen_Click();
                QCOMPARE(w.z.dialogs.shown().size(), 1);
                QVERIFY(w.z.dialogs.shown()[0].text.contains("was kept as " + show + ".damaged-"));
            }
        }
        const QStringList aside = QDir(dir.path()).entryList({"show.zlk.damaged-*"});
        QCOMPARE(aside.size(), 2); // the same second gets its own name
        for (const QString& name : aside)
            QCOMPARE(fileBytes(dir.filePath(name)), damaged);
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--save-pages-forever") == 0) {
        QApplication app(argc, argv);
        return savePagesForever(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    TestFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_faults.moc"
