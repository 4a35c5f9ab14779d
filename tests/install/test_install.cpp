// The manual and installing: where the settings live (build, portable and installed copies), Help opening
// "Manual.PDF", what the built manual says, and an installed copy laid out by cmake --install that starts and keeps
// its settings in the user's configuration folder.

#include "RecordingPort.h"
#include "TestWindow.h"
#include "app/AppFolders.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

class TestInstall : public QObject
{
    Q_OBJECT

    static QString readText(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void settingsFolderRule()
    {
        struct Case
        {
            const char* home;
            const char* program;
            bool writable;
            bool installed;
            const char* expected;
        };
        const Case cases[] = {
            {"", "/opt/zelk", true, false, "/opt/zelk"}, // a build or a portable copy keeps its settings beside it
            {"", "/opt/zelk", false, false, "/cfg"},     // unless it may not write there
            {"", "/usr/bin", true, false, "/usr/bin"},   // a writable bin folder without the installed data
            {"", "/usr/bin", true, true, "/cfg"},        // installed: never beside the program, even for root
            {"", "/usr/bin", false, true, "/cfg"},
            {"/home/op/zelk", "/usr/bin", true, true, "/home/op/zelk"}, // ZELK_HOME always wins
            {"/home/op/zelk", "/opt/zelk", true, false, "/home/op/zelk"},
        };
        for (const Case& c : cases) {
            folders::Facts facts;
            facts.zelkHome = QLatin1String(c.home);
            facts.programDir = QLatin1String(c.program);
            facts.programDirWritable = c.writable;
            facts.installed = c.installed;
            facts.configDir = QStringLiteral("/cfg");
            QCOMPARE(folders::settingsFolder(facts), QLatin1String(c.expected));
        }

        QTemporaryDir prefix;
        QDir(prefix.path()).mkpath("bin");
        QDir(prefix.path()).mkpath("build");
        QVERIFY(!folders::isInstalledLayout(prefix.filePath("bin")));
        QDir(prefix.path()).mkpath("share/zelk");
        QVERIFY(folders::isInstalledLayout(prefix.filePath("bin")));
        QVERIFY(!folders::isInstalledLayout(prefix.filePath("build")));
        QCOMPARE(folders::manualFolders("/cfg/", prefix.filePath("bin")),
                 QStringList({"/cfg", prefix.filePath("bin"), prefix.filePath("share/zelk")}));
    }

    void helpOpensTheManual()
    {
        RecordingPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        QAction* help = w.find<QAction>("mnuHelp");
        QVERIFY(help);
        const qsizetype messages = w.z.dialogs.shown().size();
        help->trigger(); // no manual anywhere: nothing opens, and nothing is said
        QVERIFY(w.z.desktop.opened().isEmpty());
        QCOMPARE(w.z.dialogs.shown().size(), messages);

        QVERIFY(QFile::copy(QStringLiteral(ZELK_BUILD_DIR "/Manual.PDF"), w.home() + "/Manual.PDF"));
        help->trigger();
        QCOMPARE(w.z.desktop.opened(), QStringList(QDir(w.home()).filePath("Manual.PDF")));
    }

    void manualHoldsTabsAndKeys()
    {
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", ZELK_BUILD_DIR "/Manual.PDF", "-"});
        QVERIFY2(pdftotext.waitForFinished(30000) && pdftotext.exitCode() == 0, "pdftotext (poppler-utils) failed");
        // Words as the PDF's text has them, one blank between them however the lines fell.
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
        for (const char* tab : {"The Text Editor tab", "The Setup tab", "The Effects tab", "The Titler Names tab",
                                "The System Setup tab"})
            QVERIFY2(text.contains(QLatin1String(tab)), tab);
        const QList<std::pair<const char*, const char*>> keys = {
            {"Up, Down", "move to the line above or below"},
            {"Enter", "move to the start of the next line"},
            {"Shift+Up, Shift+Down", "highlight whole lines"},
            {"Ctrl+C, Ctrl+X, Ctrl+V", "copy, cut, paste lines"},
            {"Ctrl+Space", "block space on or off"},
            {"Insert", "overtype or insert"},
            {"Delete (also F6)", "empty every highlighted line"},
            {"F2", "the \"Setup\" tab"},
            {"F3", "centre the line"},
            {"F4", "cut, then paste, alternately"},
            {"F5", "copy, then paste, alternately"},
            {"F7", "empty the current line"},
            {"Ctrl+O", "open a file"},
            {"Ctrl+S", "save a page file"},
            {"Alt+S", "\"Send\""},
            {"Alt+Left, Alt+Right", "text position left, right"},
            {"Alt+Up, Alt+Down", "text position up, down"},
            {"Alt+T with the arrows", "move the clock"},
            {"Alt+D with the arrows", "move the calendar"},
        };
        const qsizetype table = text.indexOf(QLatin1String("Keys Action"));
        QVERIFY2(table >= 0, "no keys table");
        for (const auto& [key, action] : keys)
            QVERIFY2(text.indexOf(QLatin1String(key) + QLatin1Char(' ') + QLatin1String(action), table) > table, key);
    }

    void debianPackageNamesEveryLibraryTheProgramLinks()
    {
        // The package a library the program links directly belongs to must be among the .deb's dependencies, or
        // the installed program does not start on a machine without it.
        const QString config = readText(ZELK_BUILD_DIR "/CPackConfig.cmake");
        const QRegularExpressionMatch depends =
            QRegularExpression("CPACK_DEBIAN_PACKAGE_DEPENDS \"([^\"]*)\"").match(config);
        QVERIFY(depends.hasMatch());
        auto run = [](const QString& program, const QStringList& arguments) {
            QProcess p;
            p.start(program, arguments);
            return p.waitForFinished(30000) && p.exitCode() == 0 ? QString::fromLocal8Bit(p.readAllStandardOutput())
                                                                 : QString();
        };
        const QString zelk = ZELK_BUILD_DIR "/zelk";
        QStringList needed;
        for (const QString& line : run("readelf", {"-d", zelk}).split('\n'))
            if (line.contains("(NEEDED)"))
                needed << line.section('[', 1).section(']', 0, 0);
        QVERIFY(needed.size() >= 4);
        const QString resolved = run("ldd", {zelk});
        for (const QString& library : needed) {
            // "libQt6Core.so.6 => /lib/x86_64-linux-gnu/libQt6Core.so.6 (0x...)": the package owning that folder's
            // copy, found by its last two path components (the merged /usr makes the full path unreliable).
            const QRegularExpressionMatch path =
                QRegularExpression(QRegularExpression::escape(library) + " => \\S*/([^/\\s]+/[^/\\s]+) ")
                    .match(resolved);
            QVERIFY2(path.hasMatch(), qPrintable(library));
            const QString package = run("dpkg", {"-S", "*/" + path.captured(1)}).section(':', 0, 0);
            QVERIFY2(!package.isEmpty(), qPrintable(library));
            QVERIFY2(QRegularExpression("(^|, )" + QRegularExpression::escape(package) + "( |,|$)")
                         .match(depends.captured(1))
                         .hasMatch(),
                     qPrintable(package + " (" + library + ") is not in " + depends.captured(1)));
        }
    }

    void installedCopyKeepsSettingsInTheConfigurationFolder()
    {
        QTemporaryDir root;
        const QString prefix = root.filePath("usr");
        QProcess install;
        install.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        install.start(ZELK_CMAKE, {"--install", ZELK_BUILD_DIR, "--prefix", prefix});
        QVERIFY(install.waitForFinished(120000) && install.exitCode() == 0);
        for (const char* file : {"bin/zelk", "share/zelk/Manual.PDF", "share/applications/zelk.desktop",
                                 "share/mime/packages/zelk.xml", "share/icons/hicolor/scalable/apps/zelk.svg"})
            QVERIFY2(QFileInfo::exists(prefix + '/' + file), file);
        const QString entry = readText(prefix + "/share/applications/zelk.desktop");
        QVERIFY(entry.contains("Exec=zelk %f") && entry.contains("MimeType=application/x-zelk-pages;"));
        // The entry's icon is the one installed.
        const QString icon = QRegularExpression("\\nIcon=(\\S+)").match(entry).captured(1);
        QVERIFY2(QFileInfo::exists(prefix + "/share/icons/hicolor/scalable/apps/" + icon + ".svg"), qPrintable(icon));
        QVERIFY(readText(prefix + "/share/mime/packages/zelk.xml").contains("type=\"application/x-zelk-pages\""));
        QVERIFY(readText(prefix + "/share/mime/packages/zelk.xml").contains("pattern=\"*.zlk\""));

        // Started with a settings file in the configuration folder, and told to stop: it saves there, not beside
        // itself (the folder is writable, as /usr/bin is for root).
        const QString config = root.filePath("config/ZELK/ZELK");
        QVERIFY(QDir().mkpath(config));
        QFile ini(config + "/ZELK.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("1,1\r\n2,9600\r\n101,\"  INSTALLED\"\r\n");
        ini.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("ZELK_HOME");
        env.insert("XDG_CONFIG_HOME", root.filePath("config"));
        env.insert("HOME", root.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZELK_COMM1", root.filePath("no-such-port"));
        QProcess zelk;
        zelk.setProcessEnvironment(env);
        zelk.setProcessChannelMode(QProcess::ForwardedChannels);
        zelk.start(prefix + "/bin/zelk", QStringList());
        QVERIFY(zelk.waitForStarted(10000));
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(config + "/ZELK.lock"); }, 20000));
        QTest::qWait(1500); // its window's event loop runs, so a signal closes it in order
        ::kill(pid_t(zelk.processId()), SIGTERM);
        QVERIFY(zelk.waitForFinished(20000));
        QCOMPARE(zelk.exitStatus(), QProcess::NormalExit);
        QVERIFY(QFileInfo::exists(config + "/ZELK.ini.bak")); // the previous settings, kept at the save
        QVERIFY(readText(config + "/ZELK.ini").contains("101,\"  INSTALLED"));
        QVERIFY(!QFileInfo::exists(prefix + "/bin/ZELK.ini"));
    }
};

QTEST_MAIN(TestInstall)
#include "test_install.moc"
