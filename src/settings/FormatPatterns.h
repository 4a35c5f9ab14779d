#pragma once
// The titlers' time and date formats as patterns: the separator and layout behind a format number, the readable
// pattern shown as an example, and the live pattern that a clock preview fills in.

#include <QString>
#include <optional>

namespace formats {

constexpr int kTimeFormatCount = 36;
constexpr int kDateFormatCount = 60;

// What a time format number stands for.
struct TimeLayout
{
    QString separator;          // ":", ".", " " or none, by the block of nine the number lies in
    int layout = 0;             // the number modulo 9 (0 for 9, 18, 27 and 36)
    bool tenths = false;        // the pattern carries a tenths digit (the down counters count as such)
    int downCounterMinutes = 0; // 30 or 60 for the two down-counter layouts, else 0
};

// Empty outside 1..36.
std::optional<TimeLayout> timeLayout(int n);

// "hh:mm:ss" for format 2, "hh.mm.ss.t" for 12, "hh:mm AM" for 4, "mm:ss" for the down counters; empty outside 1..36.
QString readableTimePattern(int n);

// The pattern a clock preview formats the time with: "hh:nn:ss" for format 2, "hh.nn.ss.7" for 12 with the tenths
// digit 7, "hh:nn AM/PM" for 4 ("hh", "nn", "ss", "AM/PM" as in the usual time-format notation, anything else
// literal). Empty for the down counters, which show a count instead of a time, and outside 1..36.
QString liveTimePattern(int n, int tenthsDigit);

// "MM-DD-YY" for format 15, "MM/DD" for 1, "YYMMDD" for 60; empty outside 1..60.
QString datePattern(int n);

// The example beside the time format number: the readable pattern, or the down-counter text for "08" and "09".
QString timeFormatExample(const QString& formatNumber);
// The example beside the date format number: the date pattern in lower case.
QString dateFormatExample(const QString& formatNumber);

} // namespace formats
