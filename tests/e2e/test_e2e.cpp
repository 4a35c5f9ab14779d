// The program against a simulated line of titlers, as an operator uses it: a page file on the command line, and
// display settings reaching titlers of both firmware generations.

#include "SimProcess.h"
#include "TestWindow.h"
#include "app/TableFile.h"
#include "link/QtSerialPort.h"
#include "link/SerialLink.h"
#include "pages/Defaults.h"
#include "pages/EditorLine.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

class TestE2E : public QObject
{
    Q_OBJECT

    // A page file whose pages 1..3 carry their own text, with titlers 1..3 enabled.
    static QString writePageFile(const QString& dir, const QString& name)
    {
        PageTable t;
        fillDefaults(t);
        for (int p = 1; p <= 3; ++p) {
            t.setText(slot::page(p, slot::kLine1 + 1), QStringLiteral("FILE PAGE %1").arg(p).leftJustified(20));
            t.setBool(slot::titler(slot::kTitlerEnabledBlock, p), true);
        }
        const QString path = dir + QLatin1Char('/') + name;
        QString why;
        writeTableFile(t, path, &why, false);
        return path;
    }

    static QStringList pagesOnLine(const SimProcess& sim)
    {
        QStringList order;
        for (const auto& f : sim.frames())
            if (f.code == QLatin1String("08"))
                order << f.address;
        return order;
    }

private slots:
    // Named as an operator does after "cd show": relative to the folder the program starts in.
    void pageFileOnTheCommandLine()
    {
        QTemporaryDir dir;
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        writePageFile(dir.path(), "show.zlk");
        const QString started = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        QtSerialPort port;
        TestWindow w(port);
        const bool ok = w.start({"show.zlk"});
        QDir::setCurrent(started);
        QVERIFY(ok);
        QCOMPARE(w.z.dialogs.shown().size(), 1); // only the first start's missing settings
        QVERIFY(sim.waitForFrames(3 * 12));
        QTest::qWait(300);
        QCOMPARE(pagesOnLine(sim), (QStringList{"01", "02", "03"})); // in page order, enabled titlers only
        const auto screens = sim.dump();
        for (int p = 1; p <= 3; ++p) {
            const QString a = QStringLiteral("0%1").arg(p);
            QCOMPARE(screens[a].rows[1], QStringLiteral("FILE PAGE %1").arg(p).leftJustified(20));
            QCOMPARE(screens[a].settings.value("display"), QString("on"));
        }
        QVERIFY(!screens.contains("04"));
    }

    // A page file that cannot be opened, or holds no record, is said in the window, and the titlers enabled in
    // "ZELK.ini" are sent nothing.
    void unreadablePageFileIsToldAndNothingSent()
    {
        QTemporaryDir home;
        writePageFile(home.path(), "ZELK.ini");
        QFile junk(home.filePath("junk.zlk"));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("not a page file\n") > 0);
        junk.close();
        for (const char* file : {"tonight.zlk", "junk.zlk"}) {
            SimProcess sim;
            qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
            QtSerialPort port;
            TestWindow w(port, home.path());
            QVERIFY(w.start({home.filePath(file)}));
            const auto shown = w.z.dialogs.shown();
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].text.contains(file) && shown[0].text.contains("No pages were sent"),
                     qPrintable(shown[0].text));
            QTest::qWait(300);
            QVERIFY(pagesOnLine(sim).isEmpty());
        }
    }

    void pageFileNotMatchingIsOnlyStarted()
    {
        QTemporaryDir dir;
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        const QString file = writePageFile(dir.path(), "SHOW.ZLK");
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.start({file}));
        QTest::qWait(500);
        QVERIFY(pagesOnLine(sim).isEmpty());
        QVERIFY(!w.z.table.toBool(slot::titler(slot::kTitlerEnabledBlock, 2))); // the file was not read
    }

    void typingReachesTheTitler()
    {
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 1), true);
        w.z.link->FillTitlerLists();
        auto row = [&](int n) { return sim.dump().value("01").rows.value(n - 1); };

        // Continuous: every character shows on the titler as it is typed.
        QTest::mouseClick(w.find<QRadioButton>("optSendContinuous"), Qt::LeftButton);
        EditorLine* line2 = w.find<EditorLine>("txtMain(2)");
        QTest::mouseClick(line2, Qt::LeftButton, {}, QPoint(line2->columnX(0) + 1, line2->height() / 2));
        QTest::keyClick(line2, Qt::Key_H);
        QTRY_COMPARE_WITH_TIMEOUT(row(2), QString("H").leftJustified(20), 10000);
        QTest::keyClick(line2, Qt::Key_I);
        QTRY_COMPARE_WITH_TIMEOUT(row(2), QString("HI").leftJustified(20), 10000);

        // End of Line: nothing until Enter.
        QTest::mouseClick(w.find<QRadioButton>("optSendEOL"), Qt::LeftButton);
        EditorLine* line3 = w.find<EditorLine>("txtMain(3)");
        QTest::mouseClick(line3, Qt::LeftButton, {}, QPoint(line3->columnX(0) + 1, line3->height() / 2));
        QTest::keyClicks(line3, "ok");
        QTest::qWait(300);
        QCOMPARE(row(3), QString(20, ' '));
        QTest::keyClick(line3, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(row(3), QString("OK").leftJustified(20), 10000);

        // A green line label switches its line off on the titler.
        QTest::mouseClick(w.find<QLabel>("lblLineNum(2)"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(row(2), QString(20, ' '), 10000);
        QVERIFY(sim.frames().last().code == "24" && sim.frames().last().params.startsWith("2"));
    }

    void settingsForBothFirmwareGenerations_data()
    {
        QTest::addColumn<int>("baud");
        QTest::newRow("9600") << 9600;
        QTest::newRow("4800") << 4800;
        QTest::newRow("38400") << 38400;
    }

    void settingsForBothFirmwareGenerations()
    {
        QFETCH(int, baud);
        SimProcess sim;
        qputenv("ZELK_COMM1", sim.link().toLocal8Bit());
        QtSerialPort port;
        TestWindow w(port);
        QVERIFY(w.start());
        for (int a : {2, 3})
            w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        w.z.table.setBool(slot::titler(slot::kTitlerVersionBlock, 3), true); // titler 3 is below 3.30
        w.z.table.setText(slot::page(2, slot::kContrastCode), "171");
        w.z.link->FillTitlerLists();
        w.z.ui.tabMain->setCurrentIndex(4);
        QRadioButton* speed = w.find<QRadioButton>(QStringLiteral("opt%1Baud").arg(baud));
        QTest::mouseClick(speed, Qt::LeftButton);
        QTest::mouseClick(w.find<QRadioButton>("optCommPort(1)"), Qt::LeftButton);
        w.z.ui.tabMain->setCurrentIndex(1);
        QTest::mouseClick(w.find<QPushButton>("cmdSendAllSettings"), Qt::LeftButton);
        QTest::qWait(500);

        const auto frames = sim.frames();
        QStringList toOld;
        for (const auto& f : frames)
            if (f.address == QLatin1String("03"))
                toOld << f.code + f.params.section(QLatin1Char(' '), 0, 0);
        const auto screens = sim.dump();
        QCOMPARE(screens["02"].settings.value("contrast"), QString("low"));
        QCOMPARE(screens["02"].settings.value("timeformat"), QString("02"));
        if (baud == 9600) {
            // Time format 02 goes out as the old titler's own code; date format 15 has none and is left out.
            QVERIFY2(toOld.contains("04"), qPrintable(toOld.join(',')));
            QVERIFY(!toOld.contains("48") && !toOld.contains("4802") && !toOld.contains("49"));
            QCOMPARE(screens["03"].settings.value("contrast"), QString("high"));
        } else {
            QVERIFY2(toOld.isEmpty(), qPrintable(toOld.join(',')));
        }
    }
};

QTEST_MAIN(TestE2E)
#include "test_e2e.moc"
