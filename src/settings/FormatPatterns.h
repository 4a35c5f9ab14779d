#pragma once
// The titlers' time and date formats as patterns: the separator and layout behind a format number, the readable
// pattern shown as an example and while no reading of the titler's clock is at hand, the live pattern a preview
// formats the titler's time or date with, the down counters, and where on the 9 x 20 grid a clock stands.

#include <QString>
#include <optional>

namespace formats {

constexpr int kTimeFormatCount = 36;
constexpr int kDateFormatCount = 60;
constexpr int kRows = 9;
constexpr int kColumns = 20;
constexpr QChar kDownCounterMark = QLatin1Char('$'); // a time pattern that is a count, not a time

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

// The tenths digit of a preview: counts at the tick rate and starts again at 0 with each new second of the clock.
struct TenthsDigit
{
    int digit = 0;
    QChar lastSecondsDigit;
};

struct TimePatternResult
{
    QString pattern;
    bool tenths = false; // rebuilt on every tick: it carries a digit or a count
};

// The pattern of time format n for the time text "hh:mm:ss". While readFailed (no valid reading at hand) the
// readable form; else the live form ("hh:nn:ss.7": "hh", "nn", "ss", "AM/PM" as in the usual time-format notation,
// anything else literal), which advances the tenths digit. The down counters give kDownCounterMark followed by the
// count (or by the readable "mm:ss"). Empty outside 1..36.
TimePatternResult TimePattern(int n, bool readFailed, const QString& timeText, TenthsDigit& tenths);

// Minutes and seconds left in the running half hour (period 30) or hour (60) at the time text "hh:mm:ss", two
// digits each, joined by the separator: 12:34:56 gives 25:04 for 30, 12:00:00 gives 60:00 for 60. Empty while
// readFailed or for a text that carries no minutes and seconds.
QString DownCounterText(int period, const QString& separator, const QString& timeText, bool readFailed = false);

// "MM-DD-YY" for format 15, "MM/DD" for 1, "YYMMDD" for 60; empty outside 1..60.
QString DatePattern(int n);

// The time text "hh:mm:ss" shown with a live pattern, always in English. A text that is no time of day, or an
// empty pattern, shows the text as it was read.
QString formatTime(const QString& timeText, const QString& pattern);
// The date text "mm/dd/yy" shown with a date pattern, always in English; the two-digit year is taken in the
// century that brings it nearest to referenceYear. A text that is no date, or an empty pattern, shows the text as
// it was read.
QString formatDate(const QString& dateText, const QString& pattern, int referenceYear);

// Row 1..9 and column 1..20 of a grid position 1..180 (positions outside are taken as the nearest end).
struct RowColumn
{
    int row = 1;
    int column = 1;
    QString text() const; // one digit of row, two of column: "915" for 175
};
RowColumn PositionToRowColumn(int position);

// Where a preview text of length L stands when its position is p: from cell `column` (counted from 0 at the left
// edge of the row) of the row; what does not fit before the end of the row continues at the left edge of the next
// row (row 9 continues on row 1).
struct PreviewPlace
{
    int row = 1;
    int column = 0;
    int firstLength = 0; // characters on the position's row
    int nextRow = 0;     // 0 when nothing continues
    int nextLength = 0;
};
PreviewPlace previewPlace(int position, int length);

// The example beside the time format number: the readable pattern, or the down-counter text for "08" and "09".
QString timeFormatExample(const QString& formatNumber);
// The example beside the date format number: the date pattern in lower case.
QString dateFormatExample(const QString& formatNumber);

// The format number a label shows; nullopt for a text that is not a whole number.
std::optional<int> formatNumber(const QString& text);

} // namespace formats
