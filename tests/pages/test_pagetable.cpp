#include "pages/Defaults.h"
#include "pages/PageTable.h"

#include <QTest>
#include <memory>

class TestPageTable : public QObject
{
    Q_OBJECT

    static std::unique_ptr<PageTable> fresh()
    {
        auto t = std::make_unique<PageTable>();
        fillDefaults(*t);
        return t;
    }

private slots:
    void valueReadingRules()
    {
        // value, its text, whether it reads as a number, that number rounded half to even
        const QList<std::tuple<Value, QString, bool, int>> cases = {
            {Value(), "", true, 0},
            {Value::text(" 42 "), " 42 ", true, 42},
            {Value::text("2.5"), "2.5", true, 2},
            {Value::text("3.5"), "3.5", true, 4},
            {Value::text("-2.5"), "-2.5", true, -2},
            {Value::text("abc"), "abc", false, 0},
            {Value::text("12abc"), "12abc", false, 0},
            {Value::text(""), "", false, 0},
            {Value::int16(-5), "-5", true, -5},
            {Value::int32(65280), "65280", true, 65280},
            {Value::boolean(true), "-1", true, -1},
            {Value::boolean(false), "0", true, 0},
        };
        for (const auto& [v, text, isNumber, asInt] : cases) {
            QCOMPARE(v.toText(), text);
            QCOMPARE(v.toNumber().has_value(), isNumber);
            QCOMPARE(v.toInt(), asInt);
            QCOMPARE(v.toBool(), asInt != 0);
        }
    }

    void defaults()
    {
        const auto t = fresh();
        QCOMPARE(t->at(slot::page(1, slot::kLine1)), Value::text("   TALVEN PXT-12    "));
        for (int p = 1; p <= 99; ++p) {
            QCOMPARE(t->at(slot::page(p, slot::kAddress)), Value::text(QString::asprintf("%02d", p)));
            for (int n = (p == 1 ? 1 : 0); n < slot::kLines; ++n)
                QCOMPARE(t->at(slot::page(p, slot::kLine1 + n)), Value::text(QString(20, ' ')));
            for (int n = 0; n < slot::kLines; ++n)
                QCOMPARE(t->at(slot::page(p, slot::kLineState1 + n)), Value::int32(65280));
            QCOMPARE(t->at(slot::page(p, slot::kSelected)), Value::int16(0));
        }
        // titler names and the program-wide slots with their types
        QCOMPARE(t->at(10001), Value::text("01   TALVEN PXT-12"));
        QCOMPARE(t->at(10002), Value::text("02   "));
        QCOMPARE(t->at(10099), Value::text("99   "));
        QCOMPARE(t->at(slot::kSavedCommPort), Value::int16(1));
        QCOMPARE(t->at(slot::kSavedBaudRate), Value::int16(9600));
        QCOMPARE(t->at(slot::kRandomLineState1 + 8), Value::int32(65280));
        QCOMPARE(t->at(slot::kUnused33), Value::boolean(true));
        QCOMPARE(t->at(slot::kLineOnOffLine), Value::int16(8));
        QCOMPARE(t->at(slot::kRandomVPos), Value::int16(0));
        QCOMPARE(t->at(slot::kSearchText), Value::text("")); // an empty text, not an empty slot
        QCOMPARE(t->at(slot::kLineOnSec), Value::text("01"));
        QCOMPARE(t->at(slot::kUserDate), Value::text("01-01-01"));
    }

    void slotsWithoutDefaultAreNotTouched()
    {
        auto t = std::make_unique<PageTable>();
        t->setText(slot::page(5, 19), "kept");
        t->setInt16(slot::kSavedCommPort, 4);
        fillDefaults(*t);
        QCOMPARE(t->text(slot::page(5, 19)), QString("kept"));
        QCOMPARE(t->toInt(slot::kSavedCommPort), 1);
        t->clear(slot::page(5, 19));
        for (int s = 0; s <= slot::kLast; ++s) {
            const int k = s % 100;
            const bool hasDefault = s < 100     ? (k == 1 || k == 2 || (k >= 4 && k <= 52))
                                    : s < 10000 ? (k <= 35 && k != 19 && k != 23)
                                                : (s > 10000 && s < 10100);
            QVERIFY2(t->at(s).isEmpty() != hasDefault, qPrintable(QString::number(s)));
        }
    }

    void copiesSettingsOfEveryPage()
    {
        auto t = fresh();
        t->setText(slot::page(7, slot::kContrastCode), "171");
        t->setInt16(slot::page(99, slot::kDateFormat), 3);
        const Value loopOffMin = t->at(36);
        copySettingsToCopySlots(*t);
        for (int p = 1; p <= 99; ++p)
            for (int k = 21; k <= 35; ++k)
                QCOMPARE(t->at(slot::page(p, k + 15)), t->at(slot::page(p, k)));
        QCOMPARE(t->text(slot::page(7, 42)), QString("171"));
        QCOMPARE(t->at(slot::page(99, 50)), Value::int16(3));
        QCOMPARE(t->at(36), loopOffMin); // the program-wide block is not a page
        QVERIFY(t->at(slot::page(1, 51)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPageTable)
#include "test_pagetable.moc"
