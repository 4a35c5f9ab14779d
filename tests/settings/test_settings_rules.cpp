// The arithmetic behind the "Setup" tab: stepping with wrap-around, the vertical range, the format patterns and the
// order of a full settings send.

#include "core/Errors.h"
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
    void stepParameter()
    {
        const struct
        {
            const char *value, *direction;
            int max, min, digits;
            const char* result;
        } cases[] = {
            {"64", "Add", 64, 6, 2, "06"},     {"06", "Subtract", 64, 6, 2, "64"}, // wrap both ways
            {"03", "Add", 64, 6, 2, "64"},     {"180", "Add", 180, 1, 3, "001"},   // below the range: to max; padding
            {"", "Add", 36, 1, 2, "01"},       {"03", "Add", 3, 2, 2, "02"},       // empty is 0; two formats alternate
            {"12", "Sideways", 36, 1, 2, "12"}};                                   // any other direction leaves it
        for (const auto& c : cases)
            QCOMPARE(StepParameter(c.value, c.max, c.min, c.digits, c.direction), QString(c.result));
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
        const struct
        {
            bool old;
            VSize size;
            int min, max;
        } cases[] = {{false, VSize::Normal, 1, 64},
                     {false, VSize::Small1s, 0, 80},
                     {false, VSize::Small2s, 0, 40},
                     {false, VSize::None, 0, 0},
                     {true, VSize::Small2s, 1, 64}}; // old firmware knows no small sizes
        for (const auto& c : cases) {
            const auto r = adjust::vPosRangeFor(c.old, c.size);
            QCOMPARE(qMakePair(r.min, r.max), qMakePair(c.min, c.max));
        }
        QCOMPARE(adjust::vSizeOfCode("476"), std::optional<VSize>(VSize::Small2s));
        QVERIFY(!adjust::vSizeOfCode("451"));
    }

    void formatPatterns()
    {
        // number, readable, live with tenths digit 7
        const std::tuple<int, const char*, const char*> times[] = {{2, "hh:mm:ss", "hh:nn:ss"},
                                                                   {4, "hh:mm AM", "hh:nn AM/PM"},
                                                                   {6, "hh:mm:ss.t AM", "hh:nn:ss.7 AM/PM"},
                                                                   {8, "mm:ss", ""},
                                                                   {12, "hh.mm.ss.t", "hh.nn.ss.7"},
                                                                   {21, "hh mm ss.t", "hh nn ss.7"},
                                                                   {29, "hhmmss", "hhnnss"},
                                                                   {31, "hhmm AM", "hhnn AM/PM"},
                                                                   {0, "", ""},
                                                                   {37, "", ""}};
        for (const auto& [n, readable, live] : times) {
            QCOMPARE(formats::readableTimePattern(n), QString(readable));
            QCOMPARE(formats::liveTimePattern(n, 7), QString(live));
        }
        const std::pair<int, const char*> dates[] = {{1, "MM/DD"},
                                                     {4, "MMM DD/YY"},
                                                     {8, "DDD/MMM DD/YYYY"},
                                                     {15, "MM-DD-YY"},
                                                     {44, "DDD MMM DD YYYY"},
                                                     {49, "MMDD"},
                                                     {60, "YYMMDD"},
                                                     {0, ""},
                                                     {61, ""}};
        for (const auto& [n, pattern] : dates)
            QCOMPARE(formats::datePattern(n), QString(pattern));

        QCOMPARE(formats::timeFormatExample("02"), QString("hh:mm:ss"));
        QCOMPARE(formats::timeFormatExample("08"), QString("mm:ss-30 min dwn cnt"));
        QCOMPARE(formats::timeFormatExample("09"), QString("mm:ss-60 min dwn cnt"));
        QCOMPARE(formats::dateFormatExample("15"), QString("mm-dd-yy"));
        QCOMPARE(formats::dateFormatExample("08"), QString("ddd/mmm dd/yyyy"));
        QCOMPARE(formats::dateFormatExample("x"), QString());
    }

    void fullSendInOrderClampsFormatsAndDefaultsToDisplayOff()
    {
        PageTable t;
        fillDefaults(t);
        const QList<SettingCommand> defaults = {{"34", ""},    {"39", ""},   {"09", ""},   {"11", ""},   {"173", ""},
                                                {"471", ""},   {"451", ""},  {"46", "45"}, {"44", "16"}, {"37", "161"},
                                                {"42", "173"}, {"48", "02"}, {"49", "15"}, {"07", ""}};
        QCOMPARE(fullSettingsCommands(t, slot::page(4, 0), "173"), defaults);

        const int base = slot::page(1, 0);
        t.setText(base + slot::kTimeFormat, "40");
        t.setText(base + slot::kDateFormat, "7");
        t.clear(base + slot::kDisplayCode);
        const auto sent = fullSettingsCommands(t, base, "173");
        QCOMPARE(sent.last(), SettingCommand({"08", ""}));
        QVERIFY(sent.contains(SettingCommand{"48", "36"}));
        QVERIFY(sent.contains(SettingCommand{"49", "07"}));
        QCOMPARE(t.text(base + slot::kTimeFormat), QString("40")); // the slots keep what they held
        QCOMPARE(t.text(base + slot::kDateFormat), QString("7"));
    }
};

QTEST_MAIN(TestSettingsRules)
#include "test_settings_rules.moc"
