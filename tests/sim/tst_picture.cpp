// What the monitor draws for a titler: clock and calendar texts by format number, and where text, clock, calendar and
// background land on the picture for a given titler state.

#include "pxtsim/ClockText.h"
#include "pxtsim/ScreenPicture.h"
#include "pxtsim/TitlerBus.h"

#include <QTest>

using namespace pxtsim;

class TestPicture : public QObject
{
    Q_OBJECT

    // Titler 05 after the given frame bodies, at nowMs 0.
    static ScreenPicture pictureAfter(const QByteArrayList& bodies)
    {
        TitlerBus bus(*parseAddresses(QStringLiteral("5")), ReplyMode::Normal, 0);
        for (const QByteArray& body : bodies)
            bus.receive(kEsc + ("05" + body), 0);
        bus.flush();
        return screenPicture(bus.titler(5), 0);
    }
    static qint64 at(int h, int m, int s, int ms = 0) { return ((h * 60 + m) * 60 + s) * 1000 + ms; }

private slots:
    void times()
    {
        const QList<std::tuple<int, qint64, const char*>> cases = {
            {2, at(9, 5, 7), "09:05:07"},      {29, at(9, 5, 7), "090507"},
            {1, at(9, 5, 7), "09:05"},         {12, at(9, 5, 7, 300), "09.05.07.3"},
            {4, at(13, 5, 7), "01:05 PM"},     {4, at(0, 5, 7), "12:05 AM"},
            {23, at(12, 5, 7), "12 05 07 PM"}, {6, at(9, 5, 7, 999), "09:05:07.9 AM"},
            {16, at(9, 5, 7, 300), "05.07.3"}, {8, at(12, 34, 56), "25:04"},
            {26, at(12, 34, 56), "25 04"},     {8, at(12, 4, 0), "26:00"},
            {9, at(12, 0, 0), "60:00"},        {36, at(12, 59, 59), "0001"},
            {0, at(9, 5, 7), "09:05:07"},      {37, at(9, 5, 7), "09:05:07"},
        };
        for (const auto& [n, ms, text] : cases)
            QVERIFY2(timeText(n, ms) == QLatin1String(text), qPrintable(QString::number(n) + " " + timeText(n, ms)));
    }

    void dates()
    {
        const QDate tuesday(2024, 3, 5);
        const QList<std::pair<int, const char*>> cases = {
            {1, "03/05"},       {2, "03/24"},      {3, "03/05/24"},        {15, "03-05-24"}, {4, "MAR 05/24"},
            {5, "MAR 05/2024"}, {6, "TUE/MAR 05"}, {8, "TUE/MAR 05/2024"}, {33, "05.MAR"},   {46, "05 03 24"},
            {11, "05/MAR/24"},  {60, "240305"},    {49, "0305"},           {0, "03/05/24"},  {61, "03/05/24"},
        };
        for (const auto& [n, text] : cases)
            QVERIFY2(dateText(n, tuesday) == QLatin1String(text),
                     qPrintable(QString::number(n) + " " + dateText(n, tuesday)));
    }

    void placement()
    {
        // Defaults until frames set them: a new page's positions and sizes.
        const ScreenPicture fresh = pictureAfter({"28021HI THERE"});
        QVERIFY(fresh.displayOn && !fresh.background && fresh.whiteCharacters);
        QCOMPARE(fresh.origin, QPointF(16, 45));
        QCOMPARE(fresh.cell, QSizeF(kCellWidth, kCellHeight));
        QCOMPARE(fresh.rows[1], QStringLiteral("HI THERE            "));
        QVERIFY(fresh.kinds[1][1] == CellKind::Text && fresh.kinds[1][2] == CellKind::Blank);
        QVERIFY(fresh.time.isEmpty() && fresh.date.isEmpty());

        // Sizes scale the cell, positions move the block; the background runs from the first to the last shown cell.
        const ScreenPicture moved = pictureAfter({"452", "475", "4410", "4620", "09", "12", "171", "28043AB D"});
        QCOMPARE(moved.cell, QSizeF(2 * kCellWidth, kCellHeight / 2));
        QCOMPARE(moved.cellRect(3, 4), QRectF(10 + 3 * 5, 20 + 2 * 3.5, 5, 3.5));
        QVERIFY(moved.background && !moved.whiteCharacters);
        QCOMPARE(moved.mats.size(), std::size_t(1));
        QCOMPARE(moved.mats[0], moved.cellRect(3, 3).united(moved.cellRect(3, 6)));
        QVERIFY(moved.backgroundOpacity < pictureAfter({"173"}).backgroundOpacity);
        QCOMPARE(pictureAfter({"476"}).cell.height(), kCellHeight);
        QCOMPARE(pictureAfter({"474"}).cell.height(), 4 * kCellHeight);

        QVERIFY(!pictureAfter({"28001HI", "08"}).displayOn);
    }

    void clockAndCalendar()
    {
        // From position 175 (row 9, column 15) an eight-character time stands on the five cells after column 15 and
        // its last three at the top of row 1, as the program's preview lays it; the calendar covers the text under it.
        const ScreenPicture p =
            pictureAfter({"36123456", "41030524", "34", "37175", "4802", "39", "42003", "4915", "28001ABCDEFGHIJKL"});
        QCOMPARE(p.time, QStringLiteral("12:34:56"));
        QCOMPARE(p.rows[8].mid(14), QStringLiteral(" 12:34"));
        QVERIFY(p.kinds[8][14] == CellKind::Blank && p.kinds[8][15] == CellKind::Time);
        QCOMPARE(p.rows[0], QStringLiteral(":56"
                                           "03-05-24"
                                           "L        "));
        QVERIFY(p.kinds[0][0] == CellKind::Time && p.kinds[0][3] == CellKind::Date && p.kinds[0][11] == CellKind::Text);
        QVERIFY(p.kinds[0][5] == CellKind::Date); // the "-" of the calendar is shown, not blank

        // Time shown without a format: an old titler's "03" stands for time format 3; a titler with time off shows
        // none.
        QCOMPARE(pictureAfter({"36010203", "34", "03"}).time, QStringLiteral("01:02:03.0"));
        QCOMPARE(pictureAfter({"41030524", "39", "04"}).date, QStringLiteral("03-05-24")); // the calendar keeps 15
        QCOMPARE(pictureAfter({"36010203", "34"}).time, QStringLiteral("01:02:03"));
        QVERIFY(pictureAfter({"34", "35", "4802"}).time.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPicture)
#include "tst_picture.moc"
