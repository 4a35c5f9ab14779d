// The arithmetic behind the "Setup" tab: stepping with wrap-around, the vertical range, the time and date patterns,
// the down counters and the grid places of the clock, the checks of the titler's replies and of typed values,
// settings cloning and the order of a full settings send.

#include "core/Errors.h"
#include "pages/Defaults.h"
#include "pages/PageTable.h"
#include "settings/AdjusterRules.h"
#include "settings/ClockChecks.h"
#include "settings/FormatPatterns.h"
#include "settings/SettingsCloning.h"
#include "settings/SettingsSender.h"

#include <QLocale>
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

    void timePatternsByBlockAndLayout()
    {
        // number, readable, live with the tenths digit 7, 09:05:07 in the live pattern
        const std::tuple<int, const char*, const char*, const char*> times[] = {
            {1, "hh:mm", "hh:nn", "09:05"},
            {2, "hh:mm:ss", "hh:nn:ss", "09:05:07"},
            {3, "hh:mm:ss.t", "hh:nn:ss.7", "09:05:07.7"},
            {4, "hh:mm AM", "hh:nn AM/PM", "09:05 AM"},
            {5, "hh:mm:ss AM", "hh:nn:ss AM/PM", "09:05:07 AM"},
            {6, "hh:mm:ss.t AM", "hh:nn:ss.7 AM/PM", "09:05:07.7 AM"},
            {7, "mm:ss.t", "nn:ss.7", "05:07.7"},
            {12, "hh.mm.ss.t", "hh.nn.ss.7", "09.05.07.7"},
            {20, "hh mm ss", "hh nn ss", "09 05 07"},
            {29, "hhmmss", "hhnnss", "090507"},
            {31, "hhmm AM", "hhnn AM/PM", "0905 AM"},
            {0, "", "", "09:05:07"}, // no pattern: the time as it was read
            {37, "", "", "09:05:07"}};
        for (const auto& [n, readable, live, shown] : times) {
            formats::TenthsDigit tenths{7, QChar('7')};
            QCOMPARE(formats::TimePattern(n, true, "09:05:07", tenths).pattern, QString(readable));
            const QString pattern = formats::TimePattern(n, false, "09:05:07", tenths).pattern;
            QCOMPARE(pattern, QString(live));
            QCOMPARE(formats::formatTime("09:05:07", pattern), QString(shown));
        }
        // A 12-hour clock in English whatever the desktop's language; a reading that is no time stays as read.
        const QLocale desktop;
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(formats::formatTime("21:05:07", "hh:nn AM/PM"), QString("09:05 PM"));
        QCOMPARE(formats::formatDate("06/12/26", "DDD MMM", 2026), QString("Fri Jun"));
        QLocale::setDefault(desktop);
        QCOMPARE(formats::formatTime("00:30:00", "hh:nn AM/PM"), QString("12:30 AM"));
        QCOMPARE(formats::formatTime("12:60:99", "hh:nn:ss"), QString("12:60:99"));

        // The down counters: a count after the mark, the readable form without a reading.
        formats::TenthsDigit tenths;
        QCOMPARE(formats::TimePattern(8, false, "12:34:56", tenths).pattern, QString("$25:04"));
        QCOMPARE(formats::TimePattern(18, false, "12:00:00", tenths).pattern, QString("$60.00"));
        QCOMPARE(formats::TimePattern(35, true, "12:00:00", tenths).pattern, QString("$mmss"));
        QVERIFY(formats::TimePattern(9, false, "12:00:00", tenths).tenths);
        QVERIFY(!formats::TimePattern(2, false, "12:00:00", tenths).tenths);
    }

    void downCounters()
    {
        const std::tuple<int, const char*, const char*> cases[] = {
            {30, "12:34:56", "25:04"}, {60, "12:34:56", "25:04"}, {30, "12:04:56", "25:04"},
            {60, "12:00:00", "60:00"}, {30, "12:00:00", "30:00"}, {30, "12:30:00", "30:00"},
            {30, "12:29:59", "00:01"}, {60, "12:59:01", "00:59"}, {60, "", ""},
            {60, "12:3x:00", ""}};
        for (const auto& [period, time, left] : cases)
            QCOMPARE(formats::DownCounterText(period, ":", time), QString(left));
        QCOMPARE(formats::DownCounterText(60, ":", "12:34:56", true), QString());
    }

    void tenthsCountAtTheTickRateAndStartAgainEachSecond()
    {
        formats::TenthsDigit tenths;
        QString shown;
        for (const char* time : {"12:00:01", "12:00:01", "12:00:01", "12:00:02", "12:00:02", "12:00:02"})
            shown += formats::TimePattern(3, false, time, tenths).pattern.right(1);
        QCOMPARE(shown, QString("001201")); // the digit shown is the one before each tick's step
    }

    void datePatternsAndExamples()
    {
        // number, pattern, 06/12/26 shown with it: each layout once, each block of separators, and 1, 15, 49, 60
        const std::tuple<int, const char*, const char*> dates[] = {{1, "MM/DD", "06/12"},
                                                                   {14, "MM-YY", "06-26"},
                                                                   {27, "MM.DD.YY", "06.12.26"},
                                                                   {40, "MMM DD YY", "Jun 12 26"},
                                                                   {53, "MMM DDYYYY", "Jun 122026"},
                                                                   {6, "DDD/MMM DD", "Fri/Jun 12"},
                                                                   {19, "DDD-MMM DD-YY", "Fri-Jun 12-26"},
                                                                   {32, "DDD.MMM DD.YYYY", "Fri.Jun 12.2026"},
                                                                   {45, "DD MMM", "12 Jun"},
                                                                   {58, "DDMMYY", "120626"},
                                                                   {11, "DD/MMM/YY", "12/Jun/26"},
                                                                   {24, "YY-MM-DD", "26-06-12"},
                                                                   {15, "MM-DD-YY", "06-12-26"},
                                                                   {49, "MMDD", "0612"},
                                                                   {60, "YYMMDD", "260612"},
                                                                   {0, "", "06/12/26"},
                                                                   {61, "", "06/12/26"}};
        for (const auto& [n, pattern, shown] : dates) {
            QCOMPARE(formats::DatePattern(n), QString(pattern));
            QCOMPARE(formats::formatDate("06/12/26", pattern, 2026), QString(shown));
        }
        // The century nearest the computer's year; a reading that is no date stays as read.
        QCOMPARE(formats::formatDate("12/31/99", "YYYY", 2026), QString("1999"));
        QCOMPARE(formats::formatDate("01/01/70", "YYYY", 2026), QString("2070"));
        QCOMPARE(formats::formatDate("02/30/26", "YYYY", 2026), QString("02/30/26"));

        QCOMPARE(formats::timeFormatExample("02"), QString("hh:mm:ss"));
        QCOMPARE(formats::timeFormatExample("04"), QString("hh:mm AM"));
        QCOMPARE(formats::timeFormatExample("08"), QString("mm:ss-30 min dwn cnt"));
        QCOMPARE(formats::timeFormatExample("09"), QString("mm:ss-60 min dwn cnt"));
        QCOMPARE(formats::dateFormatExample("15"), QString("mm-dd-yy"));
        QCOMPARE(formats::dateFormatExample("x"), QString());
    }

    void gridPlaces()
    {
        // position, length: row and column, then the characters on that row, the next row and its characters. From
        // 175 (row 9, column 15) eight characters show five on row 9 and three at the top; a text stays on its row
        // while column + length is 20 or less; rows end at 20, 40 .. 180.
        const std::tuple<int, int, const char*, int, int, int> places[] = {
            {175, 8, "915", 5, 1, 3}, {161, 19, "901", 19, 0, 0}, {20, 1, "120", 0, 2, 1}, {180, 2, "920", 0, 1, 2}};
        for (const auto& [p, length, rowColumn, first, nextRow, next] : places) {
            QCOMPARE(formats::PositionToRowColumn(p).text(), QString(rowColumn));
            const auto place = formats::previewPlace(p, length);
            QCOMPARE(QList<int>({place.firstLength, place.nextRow, place.nextLength}),
                     QList<int>({first, nextRow, next}));
        }
    }

    void titlerRepliesAndTypedValues()
    {
        using clockcheck::timeOfReply, clockcheck::dateOfReply;
        QCOMPARE(timeOfReply("093005"), std::optional<QString>("09:30:05"));
        QCOMPARE(timeOfReply("2359591"), std::optional<QString>("23:59:59")); // the first six count
        QCOMPARE(dateOfReply("x061226"), std::optional<QString>("06/12/26")); // the last six count
        for (const char* bad : {"240000", "23595", "", "12 456", "+12345", "1.2345", "ERR?!#", "12345x"})
            QVERIFY2(!timeOfReply(bad), bad);
        for (const char* bad : {"", "12345", "ERR?!#", "06-126"})
            QVERIFY2(!dateOfReply(bad), bad);

        const std::tuple<const char*, bool, const char*> typed[] = {
            {"12:34:56", true, "123456"},  {"12:3_:__", true, nullptr},  {"24:00:00", true, nullptr},
            {"00:00:00", true, "000000"},  {"12:99:99", true, "129999"}, // only the whole number is checked
            {"12-31-99", false, "123199"}, {"13-01-99", false, nullptr}, {"00-15-99", false, nullptr},
            {"01-01-00", false, "010100"}};
        for (const auto& [text, time, digits] : typed) {
            const auto got = time ? clockcheck::userTimeDigits(text) : clockcheck::userDateDigits(text);
            QCOMPARE(got, digits ? std::optional<QString>(digits) : std::nullopt);
        }
    }

    void cloningCopiesSettingsAndTheirCopiesOnly()
    {
        PageTable t;
        fillDefaults(t);
        for (int k = slot::kFirstSetting; k <= slot::kLastSetting; ++k)
            t.setText(slot::page(2, k), QString("v%1").arg(k));
        const PageTable before = t;
        cloneSettings(t, slot::page(2, 0), 5, 7);
        for (int p = 1; p <= slot::kPages; ++p)
            for (int k = 0; k < 100; ++k) {
                const int s = slot::page(p, k);
                const bool setting = k >= slot::kFirstSetting && k <= slot::kLastSetting + slot::kSettingsCopyOffset;
                const QString expected =
                    p >= 5 && p <= 7 && setting
                        ? QString("v%1").arg(k > slot::kLastSetting ? k - slot::kSettingsCopyOffset : k)
                        : before.text(s);
                QCOMPARE(t.text(s), expected);
            }
        PageTable edges = before;
        cloneSettings(edges, slot::page(2, 0), 0, 0);    // no page 0: the program's own block stays
        cloneSettings(edges, slot::page(2, 0), 8, 5);    // backwards: nothing
        cloneSettings(edges, slot::page(2, 0), 99, 120); // page 99 only
        QCOMPARE(edges.text(slot::kCloneSettingsStart), before.text(slot::kCloneSettingsStart));
        QCOMPARE(edges.text(slot::page(5, slot::kDisplayCode)), before.text(slot::page(5, slot::kDisplayCode)));
        QCOMPARE(edges.text(slot::page(99, slot::kDateFormat)), QString("v35"));
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
