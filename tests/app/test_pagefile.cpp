// Page files and the text import: the record reader, File Save and File Open through the window, and what the
// operator is told when a file cannot be written or read.

#include "RecordingPort.h"
#include "TestWindow.h"

#include "app/PageFile.h"
#include "app/TextImport.h"
#include "core/Errors.h"
#include "pages/Defaults.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <memory>

namespace {

bool writeBytes(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct Rig
{
    RecordingPort port;
    TestWindow w{port};
    QDir dir{w.home()};

    Rig() { w.start(); }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    void menu(const char* name) { w.find<QAction>(QLatin1String(name))->trigger(); }
    void open(const QString& file)
    {
        w.z.dialogs.fileNameNext(file);
        menu("mnuFileOpen");
    }
    QString lastMessage() const { return w.z.dialogs.shown().isEmpty() ? QString() : w.z.dialogs.shown().last().text; }
};

} // namespace

class TestPageFile : public QObject
{
    Q_OBJECT

private slots:
    void textImportRecords()
    {
        struct Case
        {
            QByteArray data;
            int records;
            int skipped;
            TextImportRecord first;
        };
        const Case cases[] = {
            {"5,3,\"HELLO\"\r\n", 1, 0, {5, 3, "HELLO"}},
            {"120,12,\"LAST\"\n0,-4,\"FIRST\"\n", 2, 0, {99, 9, "LAST"}},
            {"\"07\", 2 , \"a, \"b\" c\"\n", 1, 0, {7, 2, "a, \"b\" c"}},
            {"\n  \r\n3,1,\"  padded  \"", 1, 0, {3, 1, "  padded  "}},
            // The last field runs to the last quote: a text may hold quotes and commas.
            {"2,1,\"OK\"\nno commas\n2,x,\"BAD\"\n4,4,\"open\n4,4,\"A\",\"B\"\n9,\"Z\"", 2, 4, {2, 1, "OK"}},
            {"4,4,\"A\",\"B\"\n4,4,C,D", 1, 1, {4, 4, "A\",\"B"}},
            {"99999999999999999999,1,\"X\"\n40000,1,\"X\"\n1.5,2.5,\"EVEN\"", 1, 2, {2, 2, "EVEN"}},
            {"\xEF\xBB\xBF"
             "1,1,\"\xC3\xA9\"",
             1,
             0,
             {1, 1, QString(QChar(0xE9))}},
        };
        for (const Case& c : cases) {
            const TextImportResult r = decodeTextImport(c.data);
            QCOMPARE(r.records.size(), c.records);
            QCOMPARE(r.skipped, c.skipped);
            QCOMPARE(r.problems.size(), c.skipped);
            QCOMPARE(r.records[0].page, c.first.page);
            QCOMPARE(r.records[0].line, c.first.line);
            QCOMPARE(r.records[0].text, c.first.text);
        }
        QVERIFY(decodeTextImport("a,b\n1,2,\"x\"").problems[0].startsWith("line 1: "));
    }

    void savingAndOpeningRestoresEverySlot()
    {
        Rig r;
        PageTable& t = r.w.z.table;
        t.setText(slot::page(7, slot::kLine1 + 2), "SEVEN LINE THREE    ");
        t.setInt32(slot::page(7, slot::kLineState1 + 4), slot::kLineOff);
        t.setText(slot::page(50, slot::kAddress), "42");
        t.setText(slot::page(9, 19), "no meaning");
        t.setBool(slot::titler(slot::kTitlerEnabledBlock, 12), true);
        t.setText(slot::titler(slot::kTitlerNameBlock, 12), "12   STUDIO B");
        t.setText(slot::kLoopOnSec, "17");
        t.setInt16(slot::kLineOnOffLine, 3);
        t.setText(slot::kSavedBaudRate, "38400");
        t.setInt16(slot::kSavedCommPort, 2);
        t.setText(slot::kClonePageFrom, "20");
        t.setText(slot::kClonePageTo, "22");
        auto expected = std::make_unique<PageTable>(t);
        copySettingsToCopySlots(*expected); // opening a file refreshes the copies of every page

        r.w.z.dialogs.fileNameNext(r.path("show")); // no ending: saved as a page file
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : r.w.window.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(fileBytes(r.path("show.zlk")).startsWith("1,2\r\n2,\"38400\"\r\n"));

        fillDefaults(t);
        r.open(r.path("show.zlk"));
        // A whole number may come back in a narrower type, with the same value; nothing else may differ.
        const auto isWhole = [](const Value& v) {
            return v.type() == Value::Type::Int16 || v.type() == Value::Type::Int32;
        };
        for (int s = 1; s <= slot::kLast; ++s) {
            const Value &back = t.at(s), &saved = expected->at(s);
            if (s < slot::kErrorNumber || s > slot::kErrorBlockEnd)
                QVERIFY2(back == saved || (isWhole(back) && isWhole(saved) && back.toInt() == saved.toInt()),
                         qPrintable(QStringLiteral("slot %1: \"%2\" (type %3) instead of \"%4\" (type %5)")
                                        .arg(s)
                                        .arg(back.toText())
                                        .arg(int(back.type()))
                                        .arg(saved.toText())
                                        .arg(int(saved.type()))));
        }
        QCOMPARE(r.w.z.ui.lstTitlerNames->item(11)->text(), QString("12   STUDIO B"));
        QCOMPARE(r.w.z.CommPortNumber, qint16(2));
        QVERIFY(r.w.z.ui.opt38400Baud->isChecked());
        // The clone option takes the range boxes with its own range.
        QVERIFY(r.w.find<QRadioButton>("optClonePage")->isChecked());
        QCOMPARE(r.w.z.ui.txtRangeFrom->text(), QString("20"));
        QCOMPARE(r.w.z.ui.txtRangeTo->text(), QString("22"));
        QVERIFY(r.w.z.dialogs.shown().size() == 1); // only the missing "ZELK.ini" at start-up
    }

    void importClampsAndReportsSkippedRecords()
    {
        Rig r;
        QVERIFY(writeBytes(r.path("show.TXT"),
                           "5,3,\"hello, world\"\r\n120,12,\"LAST LINE\"\r\nbroken record\r\n\"01\",2,\"SECOND\"\r\n"));
        r.w.z.ui.framain[1]->setEnabled(false); // an import keeps the editor's state, whatever it was
        r.open(r.path("show.TXT"));
        const PageTable& t = r.w.z.table;
        QCOMPARE(t.text(slot::page(5, slot::kLine1 + 2)), QString("hello, world"));
        QCOMPARE(t.text(slot::page(5, slot::kAddress)), QString("05"));
        QCOMPARE(t.text(slot::page(99, slot::kLine1 + 8)), QString("LAST LINE"));
        QCOMPARE(t.text(slot::page(99, slot::kAddress)), QString("99"));
        // Page 1 is on view: shown, and padded by the editor.
        QCOMPARE(r.w.z.ui.txtMain[2]->text(), QString("SECOND              "));
        QCOMPARE(t.text(slot::page(1, slot::kLine1 + 1)), QString("SECOND              "));
        QVERIFY(r.lastMessage().contains("3 records"));
        QVERIFY(r.lastMessage().contains("1 could not be read"));
        QVERIFY(r.lastMessage().contains("line 3"));
        QVERIFY(!r.w.z.ui.framain[1]->isEnabled());
    }

    void saveAsksBeforeOverwriting()
    {
        Rig r;
        Dialogs& d = r.w.z.dialogs;
        QVERIFY(writeBytes(r.path("a.zlk"), "old"));
        d.fileNameNext(r.path("a.zlk"));
        d.answerNext(QMessageBox::No); // asks again
        d.fileNameNext(r.path("b.zlk"));
        r.menu("mnuFileSave");
        QCOMPARE(d.shown().last().title, QString("File Exists"));
        QCOMPARE(d.shown().last().text, QString("File exists, overwrite?"));
        QCOMPARE(fileBytes(r.path("a.zlk")), QByteArray("old"));
        QVERIFY(fileBytes(r.path("b.zlk")).endsWith("10500,\r\n"));

        d.fileNameNext(r.path("a.zlk"));
        d.answerNext(QMessageBox::Cancel);
        r.menu("mnuFileSave");
        QCOMPARE(fileBytes(r.path("a.zlk")), QByteArray("old"));
        d.fileNameNext(r.path("a.zlk"));
        d.answerNext(QMessageBox::Yes);
        r.menu("mnuFileSave");
        QCOMPARE(fileBytes(r.path("a.zlk")), fileBytes(r.path("b.zlk")));
    }

    // Saved under a name that File Open reads as a page file: other endings get ".zlk"; "txt" is asked about.
    void saveChoosesANameThatOpensAgain()
    {
        Rig r;
        Dialogs& d = r.w.z.dialogs;
        const struct
        {
            const char* chosen;
            QMessageBox::StandardButton answer; // to the question about "txt"
            const char* saved;
        } cases[] = {{"show.v2", QMessageBox::NoButton, "show.v2.zlk"},
                     {"show.ZLK", QMessageBox::NoButton, "show.ZLK"},
                     {"list.txt", QMessageBox::Yes, "list.zlk"},
                     {"list2.TXT", QMessageBox::No, "list2.TXT"},
                     {"list3.txt", QMessageBox::Cancel, ""}};
        for (const auto& c : cases) {
            d.clearShown();
            d.fileNameNext(r.path(c.chosen));
            if (c.answer != QMessageBox::NoButton)
                d.answerNext(c.answer);
            r.menu("mnuFileSave");
            QCOMPARE(d.shown().size(), c.answer == QMessageBox::NoButton ? 0 : 1);
            QCOMPARE(QFile::exists(r.path(c.chosen)), qstrcmp(c.chosen, c.saved) == 0);
            if (*c.saved)
                QVERIFY2(fileBytes(r.path(c.saved)).endsWith("10500,\r\n"), c.saved);
        }
    }

    void filesThatFailAreToldAndChangeNothing()
    {
        Rig r;
        Zelk& z = r.w.z;
        const auto before = std::make_unique<PageTable>(z.table);
        auto unchanged = [&] {
            for (int s = 1; s <= slot::kLast; ++s)
                if ((s < slot::kErrorNumber || s > slot::kErrorBlockEnd) && !(z.table.at(s) == before->at(s)))
                    return false;
            return true;
        };
        QVERIFY(writeBytes(r.path("junk.zlk"), "this is\nnot a table\n"));
        const struct
        {
            QString file;
            const char* told;
        } opens[] = {{r.path("junk.zlk"), "is not a page file"},
                     {r.path("missing.zlk"), "could not be opened"},
                     {r.path("missing.txt"), "could not be read"}};
        for (const auto& o : opens) {
            z.dialogs.clearShown();
            r.open(o.file);
            QCOMPARE(z.dialogs.shown().size(), 1);
            QVERIFY2(r.lastMessage().contains(o.told), qPrintable(r.lastMessage()));
            QVERIFY(r.lastMessage().contains(QDir::toNativeSeparators(o.file)));
            QVERIFY(unchanged());
            QVERIFY(z.ui.framain[1]->isEnabled());
        }

        z.dialogs.clearShown();
        z.dialogs.fileNameNext(r.path("no/such/folder/x.zlk"));
        r.menu("mnuFileSave");
        QVERIFY(r.lastMessage().contains("could not be saved"));

        // Cancelled dialogs and other endings say nothing; they are recorded.
        z.dialogs.clearShown();
        const int errors = z.errorsRecorded;
        r.menu("mnuFileOpen");
        r.menu("mnuFileSave");
        r.open(r.path("notes.doc"));
        QCOMPARE(z.dialogs.shown().size(), 0);
        QCOMPARE(z.errorsRecorded, errors + 3);
        QCOMPARE(z.table.toInt(slot::kErrorNumber), err::kUnknownFileType);
    }
};

QTEST_MAIN(TestPageFile)
#include "test_pagefile.moc"
