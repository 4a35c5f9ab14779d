// Unit tests of the simulator's decoder, titler state, log and dump.

#include "pxtsim/Addresses.h"
#include "pxtsim/DumpReader.h"
#include "pxtsim/TitlerBus.h"

#include <QRandomGenerator>
#include <QTest>

using namespace pxtsim;

namespace {

QByteArray esc(const QByteArray& body)
{
    return kEsc + body;
}

std::vector<DecoderEvent> feed(FrameDecoder& d, const QByteArray& bytes, qint64 ms)
{
    std::vector<DecoderEvent> out;
    d.feed(bytes, ms, out);
    return out;
}

TitlerBus busWith(const QByteArray& bytes, const char* played = "1-99", ReplyMode mode = ReplyMode::Normal)
{
    TitlerBus bus(*parseAddresses(QString::fromLatin1(played)), mode, 0);
    bus.receive(bytes, 0);
    bus.flush();
    return bus;
}

DumpedTitler dumped(const TitlerBus& bus, const char* address)
{
    return readDump(bus.dump(0, 1)).value(QString::fromLatin1(address));
}

} // namespace

class TestSim : public QObject
{
    Q_OBJECT

private slots:
    // Decoder
    void codeLength_data();
    void codeLength();
    void codeAtOnceFrameAtNextEsc();
    void idleFlushThenContinuation();
    void fuzzKeepsEveryByte();
    void endlessStreamStaysBounded();
    // Titlers
    void settings_data();
    void settings();
    void writeText_data();
    void writeText();
    void blankAndClear();
    void badParametersChangeNothing();
    void clockAndCalendarRun();
    void replies();
    void broadcastReachesPlayedOnly();
    void logLines();
    void dumpFormat();
    void addressLists();
};

void TestSim::codeLength_data()
{
    QTest::addColumn<QByteArray>("rest");
    QTest::addColumn<int>("length");
    for (const char* c : {"03", "04", "07", "12", "24", "25", "28", "32", "34", "41", "44", "46", "48", "49"})
        QTest::newRow(c) << QByteArray(c) << 2;
    for (const char* c : {"171", "173", "451", "454", "471", "476"})
        QTest::newRow(c) << QByteArray(c) << 3;
    for (const char* c : {"17", "45", "4", ""})
        QTest::newRow(c) << QByteArray(c) << 0;
    for (const char* c : {"170", "174", "455", "477", "13", "99", "05", "x7"})
        QTest::newRow(c) << QByteArray(c) << -1;
}

void TestSim::codeLength()
{
    QFETCH(QByteArray, rest);
    QFETCH(int, length);
    QCOMPARE(knownCodeLength(rest), length);
}

void TestSim::codeAtOnceFrameAtNextEsc()
{
    // A code is known as soon as its digits arrive; the frame with its parameters only at the next ESC.
    FrameDecoder d;
    auto out = feed(d, esc("0544") + "16", 0);
    QCOMPARE(out.size(), size_t(1));
    QCOMPARE(out[0].type, DecoderEvent::CodeComplete);
    QCOMPARE(out[0].frame.code, QByteArray("44"));
    out = feed(d, esc("0317"), 1);
    QCOMPARE(out.size(), size_t(1));
    QCOMPARE(out[0].type, DecoderEvent::FrameEnd);
    QCOMPARE(out[0].frame.address + out[0].frame.code + out[0].frame.params, QByteArray("054416"));
    out = feed(d, "2", 2);
    QCOMPARE(out.size(), size_t(1));
    QCOMPARE(out[0].frame.code, QByteArray("172"));
}

void TestSim::idleFlushThenContinuation()
{
    FrameDecoder d(20);
    feed(d, esc("0544"), 0);
    feed(d, "1", 5);
    QCOMPARE(d.deadline(), 25);
    std::vector<DecoderEvent> out;
    d.idle(24, out);
    QVERIFY(out.empty());
    d.idle(25, out);
    QCOMPARE(out.size(), size_t(1));
    QCOMPARE(out[0].frame.params, QByteArray("1"));
    QVERIFY(!out[0].frame.continued);
    QCOMPARE(d.deadline(), -1);

    feed(d, "5", 40); // the sender paused mid-frame: the whole frame is delivered again
    out.clear();
    d.idle(60, out);
    QCOMPARE(out.size(), size_t(1));
    QCOMPARE(out[0].frame.params, QByteArray("15"));
    QVERIFY(out[0].frame.continued);
    QCOMPARE(out[0].frame.startMs, 0);
}

void TestSim::fuzzKeepsEveryByte()
{
    // Random bytes rich in ESCs and digits, in random chunks with random pauses: the frames must give back the
    // stream exactly, and the titlers must take it without harm.
    QRandomGenerator rng(1234);
    QByteArray stream;
    for (int i = 0; i < 200000; ++i) {
        const int pick = rng.bounded(10);
        stream += pick == 0 ? kEsc : pick < 6 ? char('0' + rng.bounded(10)) : char(rng.bounded(256));
    }
    FrameDecoder d;
    TitlerBus bus(*parseAddresses(QStringLiteral("1-99")), ReplyMode::Normal, 0);
    std::vector<DecoderEvent> events;
    qint64 ms = 0;
    QByteArray replies;
    for (qsizetype at = 0; at < stream.size();) {
        const qsizetype n = qMin<qsizetype>(stream.size() - at, 1 + rng.bounded(40));
        ms += rng.bounded(30);
        d.feed(QByteArrayView(stream).sliced(at, n), ms, events);
        replies += bus.receive(QByteArrayView(stream).sliced(at, n), ms);
        d.idle(ms + rng.bounded(30), events);
        bus.idle(ms + 29);
        at += n;
    }
    d.flush(events);
    bus.flush();

    QMap<quint64, QByteArray> lastBySerial; // a continued frame replaces its earlier delivery
    QByteArray garbage;
    for (const DecoderEvent& e : events) {
        if (e.type != DecoderEvent::FrameEnd)
            continue;
        QCOMPARE(e.frame.dropped, 0);
        if (e.frame.hasEsc)
            lastBySerial[e.frame.serial] = kEsc + e.frame.raw;
        else
            garbage += e.frame.raw;
    }
    QByteArray rebuilt = garbage;
    for (const QByteArray& frame : std::as_const(lastBySerial))
        rebuilt += frame;
    QCOMPARE(rebuilt, stream);

    for (const QString& line : bus.takeLog())
        QVERIFY2(!line.contains(QChar(kEsc)) && line.at(6) == QLatin1Char('.'), qPrintable(line));
    QVERIFY(!replies.isEmpty());
    QVERIFY(isDigits(replies) && replies.size() % 6 == 0);
    for (int a = 1; a < 100; ++a)
        QCOMPARE(bus.titler(a).screen().size(), kCells);
}

void TestSim::endlessStreamStaysBounded()
{
    const QByteArray text(1 << 20, 'A');
    TitlerBus bus = busWith(esc("0528001") + text);
    QCOMPARE(bus.titler(5).row(9), QString(20, QLatin1Char('A')));
    const QString line = bus.takeLog().constFirst();
    QVERIFY2(line.endsWith(QStringLiteral("[%1 bytes dropped]").arg(7 + text.size() - kMaxFrameBytes)),
             qPrintable(line.right(40)));
}

void TestSim::settings_data()
{
    QTest::addColumn<QByteArray>("frames");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    // Frame bodies for titler 07, separated by spaces, and the dump value they leave.
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
            frames += esc("07" + body);
        QTest::newRow(bodies) << frames << QString::fromLatin1(key) << QString::fromLatin1(value);
    }
}

void TestSim::settings()
{
    QFETCH(QByteArray, frames);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QCOMPARE(dumped(busWith(frames), "07").settings.value(key), value);
}

void TestSim::writeText_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shown");
    QTest::newRow("row 1") << QByteArray("001HELLO") << 1 << QStringLiteral("HELLO               ");
    QTest::newRow("mid row") << QByteArray("025HELLO") << 2 << QStringLiteral("    HELLO           ");
    QTest::newRow("runs on") << QByteArray("015ABCDEFGHIJ") << 1 << QStringLiteral("              ABCDEF");
    QTest::newRow("next row") << QByteArray("015ABCDEFGHIJ") << 2 << QStringLiteral("GHIJ                ");
    QTest::newRow("grid end") << QByteArray("175ABCDEFGHIJ") << 9 << QStringLiteral("              ABCDEF");
    QTest::newRow("no wrap") << QByteArray("175ABCDEFGHIJ") << 1 << QString(20, QLatin1Char(' '));
    QTest::newRow("block") << QByteArray("161\x01"
                                         "A\x01")
                           << 9 << QStringLiteral("\u2588A\u2588                 ");
}

void TestSim::writeText()
{
    QFETCH(QByteArray, body);
    QFETCH(int, row);
    QFETCH(QString, shown);
    QCOMPARE(busWith(esc("0528" + body)).titler(5).row(row), shown);
}

void TestSim::blankAndClear()
{
    const QByteArray rows = esc("0528001AAA") + esc("0528021BBB") + esc("0528041CCC");
    TitlerBus bus = busWith(rows + esc("05243"));
    QCOMPARE(bus.titler(5).row(1), QStringLiteral("AAA                 "));
    QCOMPARE(bus.titler(5).row(2), QStringLiteral("BBB                 "));
    QCOMPARE(bus.titler(5).row(3), QString(20, QLatin1Char(' ')));
    QCOMPARE(busWith(rows + esc("0525")).titler(5).screen(), QByteArray(kCells, ' '));
}

void TestSim::badParametersChangeNothing()
{
    const QByteArrayList bodies = {"28000X",  "28181X",   "2812",  "240", "2410",  "36240000",
                                   "3612345", "41023024", "4812a", "44",  "461234"};
    QByteArray frames = esc("0536010203") + esc("0541060708");
    for (const QByteArray& body : bodies)
        frames += esc("05" + body);
    TitlerBus bus = busWith(frames);
    QCOMPARE(bus.takeLog().filter(QStringLiteral("[bad parameter]")).size(), bodies.size());
    const DumpedTitler t = dumped(bus, "05");
    QCOMPARE(t.rows, QStringList(kRows, QString(kColumns, QLatin1Char(' '))));
    QCOMPARE(t.settings.value("hpos"), QStringLiteral("-"));
    QCOMPARE(t.settings.value("vpos"), QStringLiteral("-"));
    QCOMPARE(t.settings.value("timeformat"), QStringLiteral("-"));
    QCOMPARE(t.settings.value("clock"), QStringLiteral("01:02:03"));
    QCOMPARE(t.settings.value("calendar"), QStringLiteral("06/07/08"));
}

void TestSim::clockAndCalendarRun()
{
    TitlerBus bus(*parseAddresses(QStringLiteral("5")), ReplyMode::Normal, 0);
    QCOMPARE(bus.receive(esc("0538"), 0), QByteArray("000000"));
    QCOMPARE(bus.receive(esc("0543"), 0), QByteArray("010100"));
    bus.receive(esc("0536235958") + esc("0541123199"), 100);
    QCOMPARE(bus.receive(esc("0538"), 1600), QByteArray("235959"));
    QCOMPARE(bus.receive(esc("0543"), 1600), QByteArray("123199"));
    QCOMPARE(bus.receive(esc("0538"), 2100), QByteArray("000000"));
    QCOMPARE(bus.receive(esc("0543"), 2100), QByteArray("010100")); // the calendar turns over at midnight
}

void TestSim::replies()
{
    const AddressSet oneToFive = *parseAddresses(QStringLiteral("1-5"));
    TitlerBus normal(oneToFive, ReplyMode::Normal, 3600);
    QCOMPARE(normal.receive(esc("0538"), 0), QByteArray("010000")); // at once, before any next ESC
    QCOMPARE(normal.receive(esc("0038"), 0), QByteArray());
    QCOMPARE(normal.receive(esc("0943"), 0), QByteArray());
    QCOMPARE(normal.receive(esc("0539") + esc("0525"), 0), QByteArray());
    TitlerBus silent(oneToFive, ReplyMode::Silent, 0);
    QCOMPARE(silent.receive(esc("0538"), 0), QByteArray());
    TitlerBus garbage(oneToFive, ReplyMode::Garbage, 0);
    QCOMPARE(garbage.receive(esc("0343"), 0), kGarbageReply.toByteArray());
}

void TestSim::broadcastReachesPlayedOnly()
{
    const TitlerBus bus = busWith(esc("0007") + esc("0028001HI") + esc("0209"), "1,3");
    const QMap<QString, DumpedTitler> titlers = readDump(bus.dump(0, 1));
    QCOMPARE(titlers.keys(), QStringList({"01", "03"}));
    for (const DumpedTitler& t : titlers) {
        QCOMPARE(t.settings.value("display"), QStringLiteral("on"));
        QCOMPARE(t.rows.value(0), QStringLiteral("HI                  "));
    }
}

void TestSim::logLines()
{
    TitlerBus bus(*parseAddresses(QStringLiteral("1-9")), ReplyMode::Normal, 0);
    bus.receive("ab", 1000);
    bus.receive(esc("0528021HELLO") + esc("0599x") + esc("1207") + esc("0538") + esc("x"), 1234);
    bus.receive(esc("0544") + "1", 2000);
    bus.idle(2100);
    bus.receive("6", 3000);
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

void TestSim::dumpFormat()
{
    const TitlerBus bus = busWith(esc("0507") + esc("0528001\x01HI"), "5");
    const QString blank = QStringLiteral("  |                    |\n");
    QCOMPARE(bus.dump(61001, 3), QStringLiteral("pxt-sim dump 3 at 000061.001 (1 titlers)\n"
                                                "\n"
                                                "titler 05\n"
                                                "  display on  background -  characters -  contrast -\n"
                                                "  hsize -  vsize -  hpos -  vpos -\n"
                                                "  time -  timepos -  timeformat -  clock 00:01:01\n"
                                                "  date -  datepos -  dateformat -  calendar 01/01/00\n"
                                                "  oldformat -\n"
                                                "  +--------------------+\n"
                                                "  |\u2588HI                 |\n") +
                                     blank.repeated(8) + QStringLiteral("  +--------------------+\n"));
}

void TestSim::addressLists()
{
    QCOMPARE(parseAddresses(QStringLiteral("1-99"))->count(), size_t(99));
    const AddressSet some = *parseAddresses(QStringLiteral("1,3,5-8"));
    QCOMPARE(some.count(), size_t(6));
    QVERIFY(some.test(1) && some.test(3) && some.test(5) && some.test(8) && !some.test(2) && !some.test(9));
    for (const char* bad : {"0", "100", "5-3", "a", "", "1-2-3", "3,"})
        QVERIFY2(!parseAddresses(QString::fromLatin1(bad)), bad);
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
