// Unit tests of the simulator's decoder, titler state, log and dump.

#include "pxtsim/Addresses.h"
#include "pxtsim/DumpReader.h"
#include "pxtsim/TitlerBus.h"

#include <QRandomGenerator>
#include <QTest>

using namespace pxtsim;

class TestSim : public QObject
{
    Q_OBJECT

    static QByteArray esc(const QByteArray& body) { return kEsc + body; }
    static TitlerBus busWith(const QByteArray& bytes, const char* played = "1-99")
    {
        TitlerBus bus(*parseAddresses(QString::fromLatin1(played)), ReplyMode::Normal, 0);
        bus.receive(bytes, 0);
        bus.flush();
        return bus;
    }
    static DumpedTitler dumped(const TitlerBus& bus) { return readDump(bus.dump(0, 1)).value(QStringLiteral("05")); }

private slots:
    void codeLength()
    {
        const QList<std::pair<int, QByteArrayList>> cases = {
            {2, {"03", "04", "07", "12", "24", "25", "28", "32", "34", "41", "44", "46", "48", "49"}},
            {3, {"171", "173", "451", "454", "471", "476"}},
            {0, {"17", "45", "4", ""}}, // too few digits to tell yet
            {-1, {"170", "174", "455", "477", "13", "99", "05", "x7"}},
        };
        for (const auto& [length, rests] : cases)
            for (const QByteArray& rest : rests)
                QVERIFY2(knownCodeLength(rest) == length, rest.constData());
    }

    void fuzzKeepsEveryByte()
    {
        // Random bytes rich in ESCs and digits, in random chunks and pauses: the frames give back the stream exactly.
        QRandomGenerator rng(1234);
        QByteArray stream;
        for (int i = 0; i < 200000; ++i) {
            const int pick = rng.bounded(10);
            stream += pick == 0 ? kEsc : pick < 6 ? char('0' + rng.bounded(10)) : char(rng.bounded(256));
        }
        FrameDecoder d;
        TitlerBus bus(*parseAddresses(QStringLiteral("1-99")), ReplyMode::Normal, 0);
        std::vector<DecoderEvent> got;
        qint64 ms = 0;
        QByteArray replies;
        for (qsizetype at = 0, n = 0; at < stream.size(); at += n) {
            n = qMin<qsizetype>(stream.size() - at, 1 + rng.bounded(40));
            ms += rng.bounded(30);
            d.feed(QByteArrayView(stream).sliced(at, n), ms, got);
            replies += bus.receive(QByteArrayView(stream).sliced(at, n), ms);
            d.idle(ms + rng.bounded(30), got);
            bus.idle(ms + 29);
        }
        d.flush(got);
        bus.flush();

        QMap<quint64, QByteArray> lastBySerial; // a continued frame replaces its earlier delivery
        QByteArray rebuilt;
        for (const DecoderEvent& e : got) {
            if (e.type != DecoderEvent::FrameEnd)
                continue;
            QCOMPARE(e.frame.dropped, 0);
            if (e.frame.hasEsc)
                lastBySerial[e.frame.serial] = kEsc + e.frame.raw;
            else
                rebuilt += e.frame.raw;
        }
        for (const QByteArray& frame : std::as_const(lastBySerial))
            rebuilt += frame;
        QCOMPARE(rebuilt, stream);

        for (const QString& line : bus.takeLog())
            QVERIFY2(!line.contains(QChar(kEsc)) && line.at(6) == QLatin1Char('.'), qPrintable(line));
        QVERIFY(!replies.isEmpty() && isDigits(replies) && replies.size() % 6 == 0);
        for (int a = 1; a < 100; ++a)
            QCOMPARE(bus.titler(a).screen().size(), kCells);
    }

    void endlessStreamStaysBounded()
    {
        const QByteArray text(1 << 20, 'A');
        TitlerBus bus = busWith(esc("0528001") + text);
        QCOMPARE(bus.titler(5).row(9), QString(20, QLatin1Char('A')));
        const QString line = bus.takeLog().constFirst();
        QVERIFY2(line.endsWith(QStringLiteral("[%1 bytes dropped]").arg(7 + text.size() - kMaxFrameBytes)),
                 qPrintable(line.right(40)));
    }

    void settings_data()
    {
        QTest::addColumn<QByteArray>("frames");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        // Frame bodies for titler 05, separated by spaces, and the dump value they leave.
        const QList<std::tuple<const char*, const char*, const char*>> rows = {
            {"07", "display", "on"},        {"07 08", "display", "off"},   {"09", "background", "on"},
            {"09 10", "background", "off"}, {"11", "characters", "white"}, {"12", "characters", "black"},
            {"171", "contrast", "low"},     {"172", "contrast", "medium"}, {"173", "contrast", "high"},
            {"451", "hsize", "1x"},         {"454", "hsize", "4x"},        {"471", "vsize", "1x"},
            {"474", "vsize", "4x"},         {"475", "vsize", "1s"},        {"476", "vsize", "2s"},
            {"34", "time", "on"},           {"34 35", "time", "off"},      {"39", "date", "on"},
            {"39 40", "date", "off"},       {"37161", "timepos", "161"},   {"42173", "datepos", "173"},
            {"4416", "hpos", "16"},         {"4645", "vpos", "45"},        {"4802", "timeformat", "02"},
            {"4915", "dateformat", "15"},   {"03", "oldformat", "03"},     {"04", "oldformat", "04"},
            {"32", "display", "-"},
        };
        for (const auto& [bodies, key, value] : rows) {
            QByteArray frames;
            for (const QByteArray& body : QByteArray(bodies).split(' '))
                frames += esc("05" + body);
            QTest::newRow(bodies) << frames << QString::fromLatin1(key) << QString::fromLatin1(value);
        }
    }
    void settings()
    {
        QFETCH(QByteArray, frames);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(dumped(busWith(frames)).settings.value(key), value);
    }

    void screen_data()
    {
        QTest::addColumn<QByteArray>("frames");
        QTest::addColumn<QString>("rows"); // titler 05's rows joined by '/', trailing blanks left out
        const auto write = [](const QByteArray& params) { return esc("0528" + params); };
        const QByteArray three = write("001AAA") + write("021BBB") + write("041CCC");
        QTest::newRow("row 1") << write("001HELLO") << QStringLiteral("HELLO");
        QTest::newRow("mid row") << write("025HELLO") << QStringLiteral("/    HELLO");
        QTest::newRow("runs on") << write("015ABCDEFGHIJ") << QStringLiteral("              ABCDEF/GHIJ");
        QTest::newRow("no wrap") << write("175ABCDEFGHIJ") << QStringLiteral("////////              ABCDEF");
        QTest::newRow("block") << write("161\x01"
                                        "A\x01")
                               << QStringLiteral("////////\u2588A\u2588");
        QTest::newRow("blank line") << three + esc("05243") << QStringLiteral("AAA/BBB/");
        QTest::newRow("clear") << three + esc("0525") << QString();
    }
    void screen()
    {
        QFETCH(QByteArray, frames);
        QFETCH(QString, rows);
        const TitlerBus bus = busWith(frames);
        for (int r = 1; r <= kRows; ++r)
            QCOMPARE(bus.titler(5).row(r), rows.split(QLatin1Char('/')).value(r - 1).leftJustified(kColumns));
    }

    void badParametersChangeNothing()
    {
        const QByteArrayList bodies = {"28000X",  "28181X",   "2812",  "240", "2410",  "36240000",
                                       "3612345", "41023024", "4812a", "44",  "461234"};
        QByteArray frames = esc("0536010203") + esc("0541060708");
        for (const QByteArray& body : bodies)
            frames += esc("05" + body);
        TitlerBus bus = busWith(frames);
        QCOMPARE(bus.takeLog().filter(QStringLiteral("[bad parameter]")).size(), bodies.size());
        const DumpedTitler t = dumped(bus);
        QCOMPARE(t.rows, QStringList(kRows, QString(kColumns, QLatin1Char(' '))));
        for (const char* key : {"hpos", "vpos", "timeformat"})
            QCOMPARE(t.settings.value(key), QStringLiteral("-"));
        QCOMPARE(t.settings.value("clock"), QStringLiteral("01:02:03"));
        QCOMPARE(t.settings.value("calendar"), QStringLiteral("06/07/08"));
    }

    void repliesAndRunningClock()
    {
        const AddressSet oneToFive = *parseAddresses(QStringLiteral("1-5"));
        TitlerBus bus(oneToFive, ReplyMode::Normal, 0);
        QCOMPARE(bus.receive(esc("0538"), 0), QByteArray("000000")); // at once, before any next ESC
        QCOMPARE(bus.receive(esc("0543"), 0), QByteArray("010100"));
        QCOMPARE(bus.receive(esc("0038"), 0), QByteArray()); // only a single played titler answers
        QCOMPARE(bus.receive(esc("0943"), 0), QByteArray());
        QCOMPARE(bus.receive(esc("0539") + esc("0525"), 0), QByteArray());
        bus.receive(esc("0536235958") + esc("0541123199"), 100);
        QCOMPARE(bus.receive(esc("0538"), 1600), QByteArray("235959"));
        QCOMPARE(bus.receive(esc("0543"), 1600), QByteArray("123199"));
        QCOMPARE(bus.receive(esc("0538"), 2100), QByteArray("000000"));
        QCOMPARE(bus.receive(esc("0543"), 2100), QByteArray("010100")); // the calendar turns over at midnight
        QCOMPARE(TitlerBus(oneToFive, ReplyMode::Normal, 3600).receive(esc("0538"), 0), QByteArray("010000"));
        QCOMPARE(TitlerBus(oneToFive, ReplyMode::Silent, 0).receive(esc("0538"), 0), QByteArray());
        QCOMPARE(TitlerBus(oneToFive, ReplyMode::Garbage, 0).receive(esc("0343"), 0), kGarbageReply.toByteArray());
        TitlerBus fixed(oneToFive, ReplyMode::Normal, 0);
        fixed.setFixedReply("240000");
        QCOMPARE(fixed.receive(esc("0538") + esc("0243"), 0), QByteArray("240000240000"));
    }

    void broadcastReachesPlayedOnly()
    {
        const auto titlers = readDump(busWith(esc("0007") + esc("0028001HI") + esc("0209"), "1,3").dump(0, 1));
        QCOMPARE(titlers.keys(), QStringList({"01", "03"}));
        for (const DumpedTitler& t : titlers)
            QVERIFY(t.settings.value("display") == "on" && t.rows.value(0) == "HI                  ");
    }

    void logLinesAndIdleFlush()
    {
        TitlerBus bus(*parseAddresses(QStringLiteral("1-9")), ReplyMode::Normal, 0);
        bus.receive("ab", 1000);
        bus.receive(esc("0528021HELLO") + esc("0599x") + esc("1207") + esc("0538") + esc("x"), 1234);
        bus.receive(esc("0544"), 2000);
        bus.receive("1", 2005);
        bus.idle(2024);
        QCOMPARE(bus.deadline(), 2025); // the idle flush comes 20 ms after the last byte
        bus.idle(2025);
        QCOMPARE(bus.deadline(), -1);
        bus.receive("6", 3000); // the sender paused mid-frame: the whole frame is delivered again
        bus.idle(3100);
        QCOMPARE(bus.takeLog(), QStringList({
                                    "000001.000 -- ?? |ab| [garbage]",
                                    "000001.234 05 28 021 |HELLO|",
                                    "000001.234 05 ?? |99x| [unknown code]",
                                    "000001.234 12 07 [not played]",
                                    "000001.234 05 38 [reply 000001]",
                                    "000001.234 -- ?? |x| [garbage]",
                                    "000002.000 05 44 1",
                                    "000002.000 05 44 16 [continued]",
                                }));
    }

    void addressLists()
    {
        QCOMPARE(parseAddresses(QStringLiteral("1-99"))->count(), size_t(99));
        const AddressSet some = *parseAddresses(QStringLiteral("1,3,5-8"));
        QCOMPARE(some.count(), size_t(6));
        QVERIFY(some.test(1) && some.test(3) && some.test(5) && some.test(8) && !some.test(2) && !some.test(9));
        for (const char* bad : {"0", "100", "5-3", "a", "", "1-2-3", "3,"})
            QVERIFY2(!parseAddresses(QString::fromLatin1(bad)), bad);
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
