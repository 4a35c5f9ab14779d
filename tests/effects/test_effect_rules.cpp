// The effect rules that need no window: the timers' hand-over, Start's intervals, the random line and indent.

#include "effects/RandomRules.h"
#include "effects/TimerRules.h"

#include <QTest>

#include <random>

using namespace effects;
using T = EffectTimer;
using A = EffectAction;

Q_DECLARE_METATYPE(effects::EffectTimer)
Q_DECLARE_METATYPE(effects::EffectAction)

namespace {

PeriodBoxes boxes(const char* onMin, const char* onSec, const char* offMin, const char* offSec)
{
    return {QLatin1String(onMin), QLatin1String(onSec), QLatin1String(offMin), QLatin1String(offSec)};
}

// Draws taken in order from a list, as the generator would give them.
template <typename V> std::function<int()> scripted(QList<V> values)
{
    return [values, i = 0]() mutable { return int(values.at(i++ % values.size())); };
}

} // namespace

class TestEffectRules : public QObject
{
    Q_OBJECT

private slots:
    void handOverAfterTheLastMinuteOrSeconds_data()
    {
        QTest::addColumn<PeriodBoxes>("times");
        QTest::addColumn<EffectTimer>("ticked");
        QTest::addColumn<EffectAction>("action");
        QTest::addColumn<EffectTimer>("enable");
        QTest::addColumn<EffectTimer>("disable");
        // Minute timers here are at their last minute (the count reaches the box).
        QTest::newRow("on minutes then on seconds")
            << boxes("01", "05", "00", "00") << T::OnMin << A::None << T::OnSec << T::OnMin;
        QTest::newRow("on minutes then off minutes")
            << boxes("01", "00", "02", "30") << T::OnMin << A::Off << T::OffMin << T::OnMin;
        QTest::newRow("on minutes then off seconds")
            << boxes("01", "00", "00", "30") << T::OnMin << A::Off << T::OffSec << T::OnMin;
        QTest::newRow("on minutes, no off time")
            << boxes("01", "00", "00", "00") << T::OnMin << A::On << T::None << T::None;
        QTest::newRow("on seconds then off minutes")
            << boxes("00", "05", "02", "00") << T::OnSec << A::Off << T::OffMin << T::OnSec;
        QTest::newRow("on seconds then off seconds")
            << boxes("00", "01", "00", "01") << T::OnSec << A::Off << T::OffSec << T::OnSec;
        QTest::newRow("on seconds, no off, on minutes")
            << boxes("01", "05", "00", "00") << T::OnSec << A::On << T::OnMin << T::OnSec;
        QTest::newRow("on seconds run on") << boxes("00", "05", "00", "00") << T::OnSec << A::On << T::None << T::None;
        QTest::newRow("off minutes then off seconds")
            << boxes("00", "05", "01", "30") << T::OffMin << A::None << T::OffSec << T::OffMin;
        QTest::newRow("off minutes then on minutes")
            << boxes("02", "05", "01", "00") << T::OffMin << A::On << T::OnMin << T::OffMin;
        QTest::newRow("off minutes then on seconds")
            << boxes("00", "05", "01", "00") << T::OffMin << A::On << T::OnSec << T::OffMin;
        QTest::newRow("off minutes, nothing to hand to")
            << boxes("00", "00", "01", "00") << T::OffMin << A::None << T::None << T::None;
        QTest::newRow("off seconds then on minutes")
            << boxes("01", "05", "00", "30") << T::OffSec << A::On << T::OnMin << T::OffSec;
        QTest::newRow("off seconds then on seconds")
            << boxes("00", "05", "00", "30") << T::OffSec << A::On << T::OnSec << T::OffSec;
        QTest::newRow("off seconds run on")
            << boxes("00", "00", "00", "30") << T::OffSec << A::None << T::None << T::None;
    }
    void handOverAfterTheLastMinuteOrSeconds()
    {
        QFETCH(PeriodBoxes, times);
        QFETCH(EffectTimer, ticked);
        MinuteCounters counters;
        // One minute short of the box, so that this tick completes the minutes.
        counters.onMinutesElapsed = qint16(boxNumber(times.onMin) - 1);
        counters.offMinutesElapsed = qint16(boxNumber(times.offMin) - 1);
        QFETCH(EffectAction, action);
        QFETCH(EffectTimer, enable);
        QFETCH(EffectTimer, disable);
        const HandOver h = handOver(ticked, times, counters, false);
        QCOMPARE(h.action, action);
        QCOMPARE(h.enable, enable);
        QCOMPARE(h.disable, disable);
    }

    void minutesAreCountedThenCleared()
    {
        // Off 02:30 after an on second: two ticks of the off-minute timer, then one of the 30-second timer.
        const PeriodBoxes times = boxes("00", "01", "02", "30");
        MinuteCounters c;
        HandOver h = handOver(T::OnSec, times, c, false);
        QCOMPARE(h.action, A::Off);
        QCOMPARE(h.enable, T::OffMin);
        h = handOver(T::OffMin, times, c, false);
        QCOMPARE(c.offMinutesElapsed, qint16(1));
        QCOMPARE(h.enable, T::None); // the first minute only counts
        QCOMPARE(h.action, A::None);
        h = handOver(T::OffMin, times, c, false);
        QCOMPARE(c.offMinutesElapsed, qint16(0));
        QCOMPARE(h.enable, T::OffSec);
        QCOMPARE(h.disable, T::OffMin);
        h = handOver(T::OffSec, times, c, false);
        QCOMPARE(h.action, A::On);
        QCOMPARE(h.enable, T::OnSec);

        // A period with nothing to hand over to keeps counting, and never past a 16-bit count.
        const PeriodBoxes stuck = boxes("00", "00", "01", "00");
        c.offMinutesElapsed = 32767;
        handOver(T::OffMin, stuck, c, false);
        QCOMPARE(c.offMinutesElapsed, qint16(32767));
    }

    void aTickAfterStopOnlyStops()
    {
        MinuteCounters c{3, 4};
        for (T t : {T::OnMin, T::OnSec, T::OffMin, T::OffSec}) {
            const HandOver h = handOver(t, boxes("05", "05", "05", "05"), c, true);
            QCOMPARE(h.action, A::Stop);
            QCOMPARE(h.disable, t);
            QCOMPARE(h.enable, T::None);
        }
        QCOMPARE(c.onMinutesElapsed, qint16(3));
        QCOMPARE(c.offMinutesElapsed, qint16(4));
    }

    void startIntervals_data()
    {
        QTest::addColumn<PeriodBoxes>("times");
        QTest::addColumn<int>("onMs");
        QTest::addColumn<int>("offMs");
        QTest::addColumn<EffectTimer>("first");
        QTest::newRow("one second runs at 750 ms") << boxes("00", "01", "00", "01") << 750 << 750 << T::OnSec;
        QTest::newRow("five seconds as set") << boxes("00", "05", "00", "00") << 5000 << 0 << T::OnSec;
        QTest::newRow("on minutes first") << boxes("01", "00", "00", "30") << 0 << 30000 << T::OnMin;
        QTest::newRow("sixty seconds") << boxes("00", "60", "00", "60") << 60000 << 60000 << T::OnSec;
    }
    void startIntervals()
    {
        QFETCH(PeriodBoxes, times);
        QFETCH(int, onMs);
        QFETCH(int, offMs);
        QFETCH(EffectTimer, first);
        const StartPlan p = startPlan(times);
        QCOMPARE(p.onSecMs, onMs);
        QCOMPARE(p.offSecMs, offMs);
        QCOMPARE(p.first, first);
    }

    void randomIntAndCells()
    {
        QCOMPARE(randomInt(9, 1, 0.0), qint16(1));
        QCOMPARE(randomInt(9, 1, 0.99999), qint16(9));
        QCOMPARE(randomInt(15, 0, 0.99999), qint16(14));
        QCOMPARE(randomInt(0, 0, 0.5), qint16(0));
        QCOMPARE(cellNumber(1), QString("001"));
        QCOMPARE(cellNumber(5), QString("081"));
        QCOMPARE(cellNumber(9), QString("161"));
    }

    void lineChoice()
    {
        std::array<bool, 10> usable{};
        // None usable: the drawn line stays. One usable: always that line.
        QCOMPARE(chooseLine(usable, 0, 0, scripted<int>({4})), 4);
        usable[6] = true;
        QCOMPARE(chooseLine(usable, 6, 0, scripted<int>({2})), 6);
        // Two usable: never the last line again, so the text alternates.
        usable[3] = true;
        QCOMPARE(chooseLine(usable, 3, 6, scripted<int>({3, 1, 3, 6})), 6);
        QCOMPARE(chooseLine(usable, 6, 3, scripted<int>({6, 6, 3})), 3);
        // Four usable: neither of the last two lines.
        usable[1] = usable[9] = true;
        QCOMPARE(chooseLine(usable, 1, 9, scripted<int>({1, 9, 2, 6})), 6);
        // A generator stuck on rejected lines does not hang: the first acceptable line is taken.
        QCOMPARE(chooseLine(usable, 1, 9, scripted<int>({9})), 3);
    }

    void lineNeverReusedWithinThreeStepsWithFourLines()
    {
        std::array<bool, 10> usable{};
        for (int n : {2, 4, 5, 8})
            usable[std::size_t(n)] = true;
        std::mt19937 gen(7);
        std::uniform_int_distribution<int> nine(1, 9);
        int last = 0, previous = 0;
        for (int step = 0; step < 500; ++step) {
            const int line = chooseLine(usable, last, previous, [&] { return nine(gen); });
            QVERIFY(usable[std::size_t(line)]);
            QVERIFY(line != last && line != previous);
            previous = last;
            last = line;
        }
    }

    void horizontalPlace()
    {
        const QString five = QStringLiteral("HELLO") + QString(15, ' ');
        // The last two indents differ from 0: no draw at all, the text goes to the left edge.
        Shifts s{3, 7};
        int draws = 0;
        QCOMPARE(horizontalText(five, s, [&](int) { return ++draws, 9; }), QString("HELLO"));
        QCOMPARE(draws, 0);
        QCOMPARE(s.last1, qint16(0));
        QCOMPARE(s.last2, qint16(3));
        // Five letters leave 15 free places: the draw covers 0..14 and the text keeps its letters.
        int count = -1;
        QCOMPARE(horizontalText(five, s, [&](int n) { return count = n, 14; }), QString(14, ' ') + "HELLO");
        QCOMPARE(count, 15);
        // Surrounding spaces are the free room; at most five draws, then the last draw stands.
        s = {2, 0};
        draws = 0;
        QCOMPARE(horizontalText("  AB CD             ", s, [&](int) { return ++draws, 2; }), QString("  AB CD"));
        QCOMPARE(draws, 5);
        // A full line has no room; a blank one has no text.
        s = {1, 2};
        QCOMPARE(horizontalText(QString(20, 'X'), s, [](int n) { return n; }), QString(20, 'X'));
        s = {1, 2};
        QCOMPARE(horizontalText(QString(20, ' '), s, [](int) { return 0; }), QString());
    }
};

QTEST_APPLESS_MAIN(TestEffectRules)
#include "test_effect_rules.moc"
