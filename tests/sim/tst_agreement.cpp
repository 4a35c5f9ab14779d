// The monitor and the program's clock and calendar preview must show the same thing: every time and date format
// gives the same text, and every position puts the clock on the same cells.

#include "pxtsim/ClockText.h"
#include "pxtsim/ScreenPicture.h"
#include "pxtsim/TitlerBus.h"
#include "settings/FormatPatterns.h"

#include <QTest>

using namespace pxtsim;

class TestAgreement : public QObject
{
    Q_OBJECT

private slots:
    void timeFormats()
    {
        const QList<QTime> times = {QTime(0, 0, 0),   QTime(9, 5, 7),   QTime(12, 0, 0),  QTime(12, 29, 59),
                                    QTime(12, 30, 0), QTime(13, 45, 1), QTime(23, 59, 59)};
        for (int n = 1; n <= kTimeFormats; ++n) {
            for (const QTime& t : times) {
                const QString reading = t.toString(QStringLiteral("hh:mm:ss"));
                const int tenth = t.second() % 10; // any digit the preview happens to show
                formats::TenthsDigit digit{tenth, reading.back()};
                const QString pattern = formats::TimePattern(n, false, reading, digit).pattern;
                const QString preview = pattern.startsWith(formats::kDownCounterMark)
                                            ? pattern.mid(1)
                                            : formats::formatTime(reading, pattern);
                const QString monitor = timeText(n, t.msecsSinceStartOfDay() + tenth * 100);
                QVERIFY2(preview == monitor,
                         qPrintable(QStringLiteral("format %1 at %2: %3 / %4").arg(n).arg(reading, preview, monitor)));
            }
        }
    }

    void dateFormats()
    {
        QList<QDate> dates = {QDate(2000, 1, 1), QDate(2031, 7, 13)};
        for (int month = 1; month <= 12; ++month) // every month name and weekday
            dates.append(QDate(2026, month, 2 * month + 3));
        for (int n = 1; n <= kDateFormats; ++n) {
            for (const QDate& d : dates) {
                const QString reading = d.toString(QStringLiteral("MM/dd/yy"));
                // The preview writes names as the locale does ("Mar"), the titler in its capitals.
                const QString preview = formats::formatDate(reading, formats::DatePattern(n), 2026).toUpper();
                const QString monitor = dateText(n, d);
                QVERIFY2(preview == monitor,
                         qPrintable(QStringLiteral("format %1 on %2: %3 / %4").arg(n).arg(reading, preview, monitor)));
            }
        }
    }

    void positions()
    {
        // Time in formats 1 (5 characters) and 3 (10); every position of the grid.
        for (const char* format : {"01", "03"}) {
            for (int position = 1; position <= kCells; ++position) {
                TitlerBus bus(*parseAddresses(QStringLiteral("5")), ReplyMode::Normal, 0);
                const QByteArray cell = QByteArray::number(position).rightJustified(3, '0');
                for (const QByteArray& body :
                     {QByteArray("36123456"), QByteArray("34"), "37" + cell, QByteArray("48") + format})
                    bus.receive(kEsc + ("05" + body), 0);
                bus.flush();
                const ScreenPicture p = screenPicture(bus.titler(5), 0);

                const formats::PreviewPlace place = formats::previewPlace(position, int(p.time.size()));
                QString expected[kRows];
                for (QString& row : expected)
                    row = QString(kColumns, QLatin1Char(' '));
                expected[place.row - 1].replace(place.column, place.firstLength, p.time.left(place.firstLength));
                if (place.nextRow)
                    expected[place.nextRow - 1].replace(0, place.nextLength, p.time.right(place.nextLength));
                for (int r = 0; r < kRows; ++r)
                    QVERIFY2(p.rows[std::size_t(r)] == expected[r],
                             qPrintable(QStringLiteral("position %1 row %2: |%3| / |%4|")
                                            .arg(position)
                                            .arg(r + 1)
                                            .arg(p.rows[std::size_t(r)], expected[r])));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestAgreement)
#include "tst_agreement.moc"
