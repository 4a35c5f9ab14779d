// The arithmetic behind the "Setup" tab: stepping with wrap-around, the vertical range, cell moves, the format
// patterns and the order of a full settings send.

#include "app/Errors.h"
#include "pages/Defaults.h"
#include "pages/PageTable.h"
#include "settings/AdjusterRules.h"
#include "settings/FormatPatterns.h"
#include "settings/SettingsSender.h"

#include <QTest>

class TestSettingsRules : public QObject
{
    Q_OBJECT

private slots:
    void stepParameterWrapsAndPads_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QString>("result");
        QTest::newRow("horizontal 64 up wraps to 6") << "64" << 64 << 6 << 2 << "Add"
                                                     << "06";
        QTest::newRow("horizontal 06 down wraps to 64") << "06" << 64 << 6 << 2 << "Subtract"
                                                        << "64";
        QTest::newRow("below the step range goes to max") << "03" << 64 << 6 << 2 << "Add"
                                                          << "64";
        QTest::newRow("cell 180 right wraps to 001") << "180" << 180 << 1 << 3 << "Add"
                                                     << "001";
        QTest::newRow("empty counts as 0") << "" << 36 << 1 << 2 << "Add"
                                           << "01";
        QTest::newRow("restricted time formats alternate") << "03" << 3 << 2 << 2 << "Add"
                                                           << "02";
        QTest::newRow("unknown direction leaves it") << "12" << 36 << 1 << 2 << "Sideways"
                                                     << "12";
    }
    void stepParameterWrapsAndPads()
    {
        QFETCH(QString, value);
        QFETCH(int, max);
        QFETCH(int, min);
        QFETCH(int, digits);
        QFETCH(QString, direction);
        QFETCH(QString, result);
        QCOMPARE(StepParameter(value, max, min, digits, direction), result);
    }

    void stepParameterRefusesText()
    {
        bool thrown = false;
        try {
            StepParameter(QStringLiteral("ab"), 64, 1, 2, adjust::kAdd);
        } catch (const RunTimeError& e) {
            thrown = e.number == err::kTypeMismatch;
        }
        QVERIFY(thrown);
    }

    void verticalRangeBySizeAndFirmware()
    {
        using adjust::VSize;
        auto range = [](bool old, VSize s) {
            const auto r = adjust::vPosRangeFor(old, s);
            return qMakePair(r.min, r.max);
        };
        QCOMPARE(range(false, VSize::Normal), qMakePair(1, 64));
        QCOMPARE(range(false, VSize::Small1s), qMakePair(0, 80));
        QCOMPARE(range(false, VSize::Small2s), qMakePair(0, 40));
        QCOMPARE(range(false, VSize::None), qMakePair(0, 0));
        // Old firmware knows no small sizes.
        QCOMPARE(range(true, VSize::Small2s), qMakePair(1, 64));

        QCOMPARE(adjust::vSizeOfCode("476"), std::optional<VSize>(VSize::Small2s));
        QVERIFY(!adjust::vSizeOfCode("451"));
    }

    void timePatterns_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("readable");
        QTest::addColumn<QString>("live"); // with tenths digit 7
        QTest::newRow("2") << 2 << "hh:mm:ss"
                           << "hh:nn:ss";
        QTest::newRow("4 twelve-hour") << 4 << "hh:mm AM"
                                       << "hh:nn AM/PM";
        QTest::newRow("6") << 6 << "hh:mm:ss.t AM"
                           << "hh:nn:ss.7 AM/PM";
        QTest::newRow("8 down counter") << 8 << "mm:ss"
                                        << "";
        QTest::newRow("12 dots with tenths") << 12 << "hh.mm.ss.t"
                                             << "hh.nn.ss.7";
        QTest::newRow("21 blanks") << 21 << "hh mm ss.t"
                                   << "hh nn ss.7";
        QTest::newRow("29 run together") << 29 << "hhmmss"
                                         << "hhnnss";
        QTest::newRow("31 run together") << 31 << "hhmm AM"
                                         << "hhnn AM/PM";
        QTest::newRow("0") << 0 << ""
                           << "";
        QTest::newRow("37") << 37 << ""
                            << "";
    }
    void timePatterns()
    {
        QFETCH(int, n);
        QFETCH(QString, readable);
        QFETCH(QString, live);
        QCOMPARE(formats::readableTimePattern(n), readable);
        QCOMPARE(formats::liveTimePattern(n, 7), live);
    }

    void datePatterns_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("1") << 1 << "MM/DD";
        QTest::newRow("4") << 4 << "MMM DD/YY";
        QTest::newRow("8") << 8 << "DDD/MMM DD/YYYY";
        QTest::newRow("15") << 15 << "MM-DD-YY";
        QTest::newRow("44 blanks") << 44 << "DDD MMM DD YYYY";
        QTest::newRow("49 month and day") << 49 << "MMDD";
        QTest::newRow("60 run together") << 60 << "YYMMDD";
        QTest::newRow("0") << 0 << "";
        QTest::newRow("61") << 61 << "";
    }
    void datePatterns()
    {
        QFETCH(int, n);
        QFETCH(QString, pattern);
        QCOMPARE(formats::datePattern(n), pattern);
    }

    void examplesBesideTheFormatNumbers()
    {
        QCOMPARE(formats::timeFormatExample("02"), QString("hh:mm:ss"));
        QCOMPARE(formats::timeFormatExample("08"), QString("mm:ss-30 min dwn cnt"));
        QCOMPARE(formats::timeFormatExample("09"), QString("mm:ss-60 min dwn cnt"));
        QCOMPARE(formats::dateFormatExample("15"), QString("mm-dd-yy"));
        QCOMPARE(formats::dateFormatExample("08"), QString("ddd/mmm dd/yyyy"));
        QCOMPARE(formats::dateFormatExample("x"), QString());
    }

    void fullSendOfDefaultsInOrder()
    {
        PageTable t;
        fillDefaults(t);
        const int base = slot::page(4, 0);
        QList<SettingCommand> expected = {{"34", ""},    {"39", ""},   {"09", ""},   {"11", ""},   {"173", ""},
                                          {"471", ""},   {"451", ""},  {"46", "45"}, {"44", "16"}, {"37", "161"},
                                          {"42", "173"}, {"48", "02"}, {"49", "15"}, {"07", ""}};
        QCOMPARE(fullSettingsCommands(t, base, "173"), expected);
    }

    void fullSendClampsFormatsButNotTheSlotsAndDefaultsToDisplayOff()
    {
        PageTable t;
        fillDefaults(t);
        const int base = slot::page(1, 0);
        t.setText(base + slot::kTimeFormat, "40");
        t.setText(base + slot::kDateFormat, "7");
        t.clear(base + slot::kDisplayCode);
        const auto sent = fullSettingsCommands(t, base, "173");
        QCOMPARE(sent.last(), SettingCommand({"08", ""})); // no display code: off
        QVERIFY(sent.contains(SettingCommand{"48", "36"}));
        QVERIFY(sent.contains(SettingCommand{"49", "07"}));
        QCOMPARE(t.text(base + slot::kTimeFormat), QString("40"));
        QCOMPARE(t.text(base + slot::kDateFormat), QString("7"));
    }
};

QTEST_MAIN(TestSettingsRules)
#include "test_settings_rules.moc"
