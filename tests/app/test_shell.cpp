// Start-up and shutdown for real: the settings file across restarts, the single running copy, termination signals,
// the tabs and the clock tick, and the range check of typed numbers.

#include "ProgramReady.h"
#include "RecordingPort.h"
#include "TestWindow.h"
#include "core/Errors.h"
#include "app/Shell.h"
#include "app/TableFile.h"
#include "link/SerialLink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>

#include <csignal>

class TestShell : public QObject
{
    Q_OBJECT

    static int recordCount(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        return int(f.readAll().count("\r\n"));
    }

    // The real program in its own process, on a settings folder of its own.
    static void startProgram(QProcess& p, const QString& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZELK_HOME", home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZELK_COMM1", home + "/no-such-port");
        p.setProcessEnvironment(env);
        p.setProgram(QString::fromLocal8Bit(qgetenv("ZELK_TEST_PROGRAM")));
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start();
        QVERIFY(p.waitForStarted(10000));
    }

    static void writeIni(const QString& home, const QByteArray& records)
    {
        QFile f(home + "/ZELK.ini");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(records);
    }

private slots:
    void firstStartAndRestart()
    {
        QTemporaryDir home;
        RecordingPort port;
        PageTable atShutdown;
        {
            TestWindow w(port, home.path());
            QVERIFY(w.start());
            const auto shown = w.z.dialogs.shown();
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].title, QString("No Initialization File"));
            QCOMPARE(shown[0].text,
                     QString("No initialization file was found, all settings will return to default values!"));
            QCOMPARE(shown[0].icon, QMessageBox::Warning);

            // Slots with and without a meaning, of every type, must come back as they were.
            w.z.table.setText(slot::page(7, 19), "kept \"as\" is");
            w.z.table.setText(slot::page(9, slot::kLine1 + 2), QString(20, ' '));
            w.z.table.setText(slot::page(9, slot::kLine1 + 3), "");
            w.z.table.setInt32(slot::page(3, slot::kLineState1 + 3), slot::kLineOff);
            w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 12), true);
            w.z.table.setText(slot::kLast, "last");
            w.close();
            QVERIFY(w.z.EventsSuppressed);
            atShutdown = w.z.table;
        }
        QCOMPARE(recordCount(home.filePath("ZELK.ini")), 10500);

        TestWindow again(port, home.path());
        QVERIFY(again.start());
        QVERIFY(again.z.dialogs.shown().isEmpty());
        for (int s = 1; s <= slot::kLast; ++s) {
            const int k = s % 100;
            const bool copySlot = s >= 100 && s < 10000 && k >= 36 && k <= 50; // refilled from the settings
            const bool errorSlot = s >= slot::kErrorNumber && s <= slot::kErrorBlockEnd;
            if (copySlot || errorSlot)
                continue;
            QVERIFY2(again.z.table.text(s) == atShutdown.text(s) &&
                         again.z.table.at(s).isEmpty() == atShutdown.at(s).isEmpty(),
                     qPrintable(QString("slot %1: %2 / %3").arg(s).arg(again.z.table.text(s), atShutdown.text(s))));
        }
        for (int p : {1, 50, 99})
            for (int k = slot::kFirstSetting; k <= slot::kLastSetting; ++k)
                QCOMPARE(again.z.table.text(slot::page(p, k + slot::kSettingsCopyOffset)),
                         again.z.table.text(slot::page(p, k)));
        QCOMPARE(again.z.table.toInt(slot::page(3, slot::kLineState1 + 3)), slot::kLineOff);
        QVERIFY(again.z.table.toBool(slot::titler(slot::kTitlerEnabledBlock, 12)));
        QVERIFY(QFileInfo::exists(home.filePath("ZELK.ini.bak")) == false); // nothing to back up at the first save
        again.close();
        QVERIFY(QFileInfo::exists(home.filePath("ZELK.ini.bak")));
    }

    void storedPortAndSpeedComeBack()
    {
        QTemporaryDir home;
        writeIni(home.path(), "1,2\r\n2,\"38400\"\r\n");
        RecordingPort port;
        TestWindow w(port, home.path());
        QVERIFY(w.start());
        QVERIFY(w.z.LinkOnline);
        QCOMPARE(port.number, 2);
        QCOMPARE(port.baud(), 38400);
        QVERIFY(w.z.ui.optCommPort[2]->isChecked() && w.z.ui.opt38400Baud->isChecked());
        w.showTab(5);
        for (const QString speed : {"4800", "9600", "38400"}) {
            w.click("opt" + speed + "Baud");
            QCOMPARE(port.settings, speed + ",n,8,1");
            QCOMPARE(w.z.table.text(slot::kSavedBaudRate), speed);
        }
    }

    void failedSaveAsksBeforeClosing()
    {
        QTemporaryDir home;
        RecordingPort port;
        TestWindow w(port, home.path());
        QVERIFY(w.start());
        QVERIFY(QDir(home.path()).mkdir("ZELK.ini")); // the file cannot be written now
        w.z.dialogs.clearShown();
        w.close(); // the default answer keeps the program open
        QVERIFY(w.window->isVisible());
        QVERIFY(!w.z.EventsSuppressed);
        QCOMPARE(w.z.dialogs.shown().size(), 1);
        QVERIFY(w.z.dialogs.shown()[0].text.contains("could not be saved"));

        QVERIFY(QDir(home.path()).rmdir("ZELK.ini"));
        w.close();
        QVERIFY(w.z.EventsSuppressed);
        QCOMPARE(recordCount(home.filePath("ZELK.ini")), 10500);
    }

    void secondCopyEndsAtOnce()
    {
        QTemporaryDir home;
        RecordingPort port;
        TestWindow first(port, home.path());
        QVERIFY(first.start());
        RecordingPort port2;
        TestWindow second(port2, home.path());
        QVERIFY(!second.start());
        QVERIFY(second.z.dialogs.shown().isEmpty());
        QCOMPARE(port2.opens, 0);
        second.close(); // ending the second copy writes nothing
        QVERIFY(!QFileInfo::exists(home.filePath("ZELK.ini")));
        first.close();
        QVERIFY(QFileInfo::exists(home.filePath("ZELK.ini")));
    }

    void signalsSaveAndStaleLocksDoNotBlock()
    {
        QTemporaryDir home;
        writeIni(home.path(), "1,1\r\n2,9600\r\n119,\"  HELLO\"\r\n");
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
            QFile::remove(home.filePath("ZELK.ini.bak"));
            QProcess p;
            startProgram(p, home.path());
            QVERIFY(waitUntilTakingSignals(p.processId()));
            ::kill(pid_t(p.processId()), sig);
            QVERIFY(p.waitForFinished(20000));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(recordCount(home.filePath("ZELK.ini")), 10500);
            QVERIFY(QFileInfo::exists(home.filePath("ZELK.ini.bak")));
            PageTable t;
            readTableFile(t, home.filePath("ZELK.ini"));
            QCOMPARE(t.text(119), QString("  HELLO"));
        }

        // A crashed copy leaves its lock behind; the next start must not be blocked by it.
        QProcess crashed;
        startProgram(crashed, home.path());
        QTest::qWait(1500);
        crashed.kill();
        QVERIFY(crashed.waitForFinished(10000));
        QVERIFY(QFileInfo::exists(home.filePath("ZELK.lock")));
        RecordingPort port;
        TestWindow next(port, home.path());
        QVERIFY(next.start());
    }

    void tabsShowTheirFrames()
    {
        RecordingPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        auto& f = w.z.ui.framain;
        QTabBar* tabs = w.find<QTabBar>("tabMain");
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(tabs->tabText(4), QString("System Setup"));
        const QList<QList<int>> visible = {{0, 1, 6}, {0, 2, 6}, {3}, {4}, {5}};
        for (int tab = 0; tab < 5; ++tab) {
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
            QCOMPARE(tabs->currentIndex(), tab);
            for (int i = 0; i <= 6; ++i)
                QVERIFY2(f[std::size_t(i)]->isVisible() == visible[tab].contains(i),
                         qPrintable(QString("tab %1 frame %2").arg(tab + 1).arg(i)));
            if (QWidget* find = f[6]->findChild<QWidget*>("fraSendMode"))
                QCOMPARE(find->isVisible(), tab == 0);
        }
    }

    void clockTickByTab()
    {
        RecordingPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        w.enable({1});
        QVERIFY(w.z.LinkOnline);
        QTabBar* tabs = w.find<QTabBar>("tabMain");

        tabs->setCurrentIndex(3); // "Titler Names": the tick does nothing
        port.clearWrites();
        QTest::qWait(500);
        QVERIFY(port.writes.isEmpty());

        tabs->setCurrentIndex(4); // "System Setup": the tick asks the titler on screen
        QTRY_VERIFY_WITH_TIMEOUT(port.frames().contains("0138"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(w.find<QLabel>("lblPXTStatusInfo")->text(), QString("PXT Online"), 10000);
    }

    void validateNumber()
    {
        RecordingPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        w.z.dialogs.clearShown();
        const int s = slot::page(1, slot::kAddress);
        QString v = "150";
        QCOMPARE(w.z.shell->ValidateNumber(v, 99, 0, "2", s, 101), QString("01"));
        QCOMPARE(v, QString("01"));
        QCOMPARE(w.z.dialogs.shown().size(), 1); // the message itself is checked where the operator types
        v = "7";
        QCOMPARE(w.z.shell->ValidateNumber(v, 99, 0, "2", s, 101), QString("07"));
        QCOMPARE(w.z.table.text(s), QString("07"));
        v = "x7";
        QCOMPARE(w.z.shell->ValidateNumber(v, 99, 0, "2", s, 101), QString());
        QCOMPARE(w.z.table.toInt(slot::kErrorNumber), err::kTypeMismatch);
        QCOMPARE(w.z.table.text(s), QString("07"));
        QCOMPARE(w.z.dialogs.shown().size(), 1);
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
