#pragma once
// What a titler's clock and calendar show in a given format number: 36 time formats and 60 date formats.

#include <QDate>
#include <QString>

namespace pxtsim {

constexpr int kTimeFormats = 36;
constexpr int kDateFormats = 60;

// The time of day msOfDay (0..86399999) in time format n; a number outside 1..36 shows as format 2 ("hh:mm:ss").
// Formats 8, 17, 26, 35 and 9, 18, 27, 36 count down to the next half hour and the next hour.
QString timeText(int n, qint64 msOfDay);

// The date in date format n; a number outside 1..60 shows as format 3 ("MM/DD/YY"). Names of months and weekdays are
// three capitals, as the titler's character set has them.
QString dateText(int n, QDate date);

} // namespace pxtsim
