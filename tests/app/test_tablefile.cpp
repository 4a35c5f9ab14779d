#include "app/TableFile.h"
#include "core/Errors.h"
#include "pages/Defaults.h"
#include "pages/PageTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

class TestTableFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

    static std::unique_ptr<PageTable> defaults()
    {
        auto t = std::make_unique<PageTable>();
        fillDefaults(*t);
        return t;
    }
    static QByteArray fileBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static bool writeBytes(const QString& path, const QByteArray& data)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }

private slots:
    void encodesEachTypeExactly()
    {
        auto t = std::make_unique<PageTable>();
        t->setText(1, "ab");
        t->setInt16(2, 9600);
        t->setInt32(3, -70000);
        t->setBool(4, true);
        t->setBool(5, false);
        t->setText(7, "");
        t->setText(8, "say \"hi\"");
        t->setText(9, QString(QChar(30)) + QChar(0xE9) + QChar(0x20AC) + "\n"); // Latin-1 holds no euro sign
        const QByteArray out = encodeTable(*t);
        QVERIFY(out.startsWith("1,\"ab\"\r\n2,9600\r\n3,-70000\r\n4,#TRUE#\r\n5,#FALSE#\r\n6,\r\n7,\"\"\r\n"
                               "8,\"say \"hi\"\"\r\n9,\"\x1e\xe9? \"\r\n10,\r\n"));
        QVERIFY(out.endsWith("\r\n10500,\r\n"));
        QCOMPARE(out.count('\n'), 10500);
        QCOMPARE(out.count("\r\n"), 10500);
    }

    void roundTripsEveryKindOfValue()
    {
        auto t = defaults();
        t->setText(19, "quote \" inside, and comma\"");
        t->setText(23, QString(QChar(30)) + QChar(0xFF));
        t->setInt16(53, -32768);
        t->setInt32(54, INT32_MIN);
        t->setInt32(57, INT32_MAX);
        t->setBool(10101, true);
        t->setBool(10401, false);
        t->setInt32(slot::page(3, 12), 255); // fits 16 bits: read back as Int16, same value
        auto back = std::make_unique<PageTable>();
        for (int s = 0; s <= slot::kLast; ++s)
            back->setText(s, "junk"); // every record, empty ones too, must replace it
        const TableReadReport r = decodeTable(*back, encodeTable(*t));
        QVERIFY(r.errors.isEmpty());
        QCOMPARE(r.records, 10500);
        QCOMPARE(back->at(slot::page(3, 12)), Value::int16(255));
        back->setInt32(slot::page(3, 12), 255);
        back->set(0, Value());
        QVERIFY(*back == *t);
    }

    void readsLooseLayoutAndAnyOrder()
    {
        auto t = defaults();
        const QByteArray data = "\xEF\xBB\xBF 5 , \"caf\xC3\xA9\" \n\n   \r\n0,7\r\n10500,#true#\n20,\t-2.5\r\n"
                                "21,32768\n5,\"last \"wins\"\"\n30, \"x\"";
        const TableReadReport r = decodeTable(*t, data);
        QVERIFY(r.errors.isEmpty());
        QCOMPARE(r.records, 7);
        QCOMPARE(t->at(5), Value::text("last \"wins\""));
        QCOMPARE(t->at(0), Value::int16(7));
        QCOMPARE(t->at(10500), Value::boolean(true));
        QCOMPARE(t->at(20), Value::int32(-2)); // a fraction: half to even
        QCOMPARE(t->at(21), Value::int32(32768));
        QCOMPARE(t->at(30), Value::text("x"));
        decodeTable(*t, "\xEF\xBB\xBF"
                        "5,\"caf\xC3\xA9\"");
        QCOMPARE(t->text(5), QString::fromUtf8("caf\xC3\xA9")); // a UTF-8 file read as such
        decodeTable(*t, "5,\"caf\xC3\xA9\"");
        QCOMPARE(t->text(5).size(), 5); // otherwise Latin-1: one character a byte
        // untouched slots keep their values
        auto expected = defaults();
        for (int s : {0, 5, 10500, 20, 21, 30})
            expected->set(s, t->at(s));
        QVERIFY(*t == *expected);
    }

    void skipsBadRecordsAndReadsOn()
    {
        const QString path = dir_.filePath("bad.zlk");
        QVERIFY(writeBytes(path, "1,\"first\"\r\n2,12abc\r\n20000,\"x\"\r\ngarbage\r\n-1,5\r\n3,\"open\r\n\r\n"
                                 "4,99999999999\r\n5,#MAYBE#\r\n6,\"a\" b\r\nx,1\r\n7,#TRUE#\r\n8,\"last\"\r\n"));
        auto t = defaults();
        const TableReadReport r = readTableFile(*t, path);
        QVERIFY(r.opened);
        QCOMPARE(r.records, 3);
        QCOMPARE(t->text(1), QString("first"));
        QCOMPARE(t->at(7), Value::boolean(true));
        QCOMPARE(t->text(8), QString("last"));
        QCOMPARE(t->at(2), Value::int16(9600)); // bad records leave their slots alone
        QCOMPARE(t->text(4), QString("00"));
        const QList<int> lines = {2, 3, 4, 5, 6, 8, 9, 10, 11};
        const QList<int> numbers = {err::kTypeMismatch,        err::kSubscriptOutOfRange, err::kTypeMismatch,
                                    err::kSubscriptOutOfRange, err::kTypeMismatch,        err::kOverflow,
                                    err::kTypeMismatch,        err::kTypeMismatch,        err::kTypeMismatch};
        QCOMPARE(r.errors.size(), lines.size());
        for (int i = 0; i < lines.size(); ++i) {
            QCOMPARE(r.errors[i].number, numbers[i]);
            QVERIFY2(r.errors[i].source.startsWith(QString("ReadTableFile bad.zlk line %1: ").arg(lines[i])),
                     qPrintable(r.errors[i].source));
        }
        QCOMPARE(r.errors[1].source, QString("ReadTableFile bad.zlk line 3: slot 20000 out of range"));
    }

    void reportsTruncatedLastLine()
    {
        const auto t = defaults();
        const QByteArray full = encodeTable(*t);
        for (const QByteArray& tail : {QByteArray("9,\"cut sho"), QByteArray("10")}) {
            auto back = std::make_unique<PageTable>();
            const TableReadReport r = decodeTable(*back, full.first(full.indexOf("\r\n9,") + 2) + tail);
            QCOMPARE(r.records, 8);
            QCOMPARE(back->at(8), t->at(8));
            QCOMPARE(r.errors.size(), 1);
            QCOMPARE(r.errors[0].number, err::kInputPastEnd);
            QVERIFY(r.errors[0].source.startsWith("ReadTableFile line 9: "));
        }
    }

    void failedWriteKeepsOldFile()
    {
        const auto t = defaults();
        QString why;
        int number = 0;
        QVERIFY(!writeTableFile(*t, dir_.filePath("none/ZELK.ini"), &why, true, &number));
        QVERIFY(why.contains("none/ZELK.ini"));
        QCOMPARE(number, err::kFileNotFound);
        QVERIFY(!writeTableFile(*t, dir_.path(), &why, false)); // a folder is in the way
        QVERIFY(QFileInfo(dir_.path()).isDir());
#ifdef Q_OS_LINUX
        // A full disk mid-write, even for root: writes past the file size limit fail.
        const QString path = dir_.filePath("full.ini");
        QVERIFY(writeBytes(path, "old"));
        const auto before = QDir(dir_.path()).entryList(QDir::Files);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{4096, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        const bool ok = writeTableFile(*t, path, &why, false, &number);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!ok && !why.isEmpty());
        QCOMPARE(fileBytes(path), QByteArray("old"));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), before); // no temporary file left behind
#endif
    }

    void keepsBackupOfPreviousFile()
    {
        const QString path = dir_.filePath("ZELK.ini");
        auto t = defaults();
        QString why = "stale";
        QVERIFY(writeTableFile(*t, path, &why, true));
        QVERIFY(why.isEmpty());
        QVERIFY(!QFile::exists(path + ".bak"));
        // No backup, no save: the previous file is never lost unseen.
        QVERIFY(QDir().mkpath(path + ".bak"));
        int number = 0;
        QVERIFY(!writeTableFile(*t, path, &why, true, &number));
        QCOMPARE(number, err::kDiskFull);
        QVERIFY(QDir().rmdir(path + ".bak"));
        const QByteArray first = encodeTable(*t);
        t->setText(1, "second");
        QVERIFY(writeTableFile(*t, path, &why, true));
        QCOMPARE(fileBytes(path + ".bak"), first);
        const QByteArray second = encodeTable(*t);
        QCOMPARE(fileBytes(path), second);
        t->setText(1, "third");
        QVERIFY(writeTableFile(*t, path, &why, true));
        QCOMPARE(fileBytes(path + ".bak"), second);
        QVERIFY(writeTableFile(*t, dir_.filePath("page.zlk"), &why, false));
        QVERIFY(!QFile::exists(dir_.filePath("page.zlk.bak")));

        auto back = std::make_unique<PageTable>();
        QCOMPARE(readTableFile(*back, path).records, 10500);
        QCOMPARE(back->text(1), QString("third"));
        const TableReadReport missing = readTableFile(*back, dir_.filePath("absent.ini"));
        QVERIFY(!missing.opened);
        QCOMPARE(missing.errors.value(0).number, err::kFileNotFound);
        QCOMPARE(back->text(1), QString("third"));
    }
};

QTEST_GUILESS_MAIN(TestTableFile)
#include "test_tablefile.moc"
