#include "pxtsim/ScreenPicture.h"

#include "pxtsim/ClockText.h"

namespace pxtsim {

namespace {

// What a titler uses until a frame sets it: the settings a new page of the program carries.
constexpr int kDefaultHPos = 16;
constexpr int kDefaultVPos = 45;
constexpr int kDefaultTimeCell = 161;
constexpr int kDefaultDateCell = 173;
constexpr int kDefaultTimeFormat = 2;
constexpr int kDefaultDateFormat = 15;
constexpr qint64 kMsPerDay = 86'400'000;

int numberOr(const QString& text, int fallback)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? v : fallback;
}

double widthFactor(const QString& hsize)
{
    return hsize.size() == 2 && hsize[1] == QLatin1Char('x') ? numberOr(hsize.left(1), 1) : 1;
}

double heightFactor(const QString& vsize)
{
    if (vsize == QLatin1String("1s"))
        return 0.5;
    if (vsize == QLatin1String("2s"))
        return 1;
    return widthFactor(vsize);
}

double contrastOpacity(const QString& contrast)
{
    if (contrast == QLatin1String("low"))
        return 0.45;
    if (contrast == QLatin1String("medium"))
        return 0.7;
    return 0.9;
}

// The time format an old titler took as "03" or "04", when no format number came. Its calendar keeps its format: the
// program holds an old titler's date format at 15, which passes no "49" to it.
int formatOr(const QString& number, const QString& oldFormat, int fallback)
{
    if (!number.isEmpty())
        return numberOr(number, fallback);
    if (oldFormat == QLatin1String("03"))
        return 3;
    if (oldFormat == QLatin1String("04"))
        return 2;
    return fallback;
}

// Writes a clock or calendar from its position on; past the last column it goes on in the next row, and past the
// last row in the first. A clock at position p stands one cell further right than text written with "28" to cell p:
// row r, column c of the position is the cell after it (the program lays its preview over the editor grid so, and
// the default date at 173 therefore runs one character into the top row).
void place(ScreenPicture& p, const QString& text, int position, CellKind kind)
{
    int at = position;
    for (const QChar c : text) {
        at %= kCells;
        p.rows[std::size_t(at / kColumns)][at % kColumns] = c;
        p.kinds[std::size_t(at / kColumns)][std::size_t(at % kColumns)] =
            c == QLatin1Char(' ') ? CellKind::Blank : kind;
        ++at;
    }
}

} // namespace

QRectF ScreenPicture::cellRect(int row, int column) const
{
    return {origin.x() + (column - 1) * cell.width(), origin.y() + (row - 1) * cell.height(), cell.width(),
            cell.height()};
}

ScreenPicture screenPicture(const Titler& t, qint64 nowMs)
{
    ScreenPicture p;
    p.displayOn = t.display != QLatin1String("off");
    p.background = t.background == QLatin1String("on");
    p.whiteCharacters = t.characters != QLatin1String("black");
    p.backgroundOpacity = contrastOpacity(t.contrast);
    p.origin = QPointF(numberOr(t.hpos, kDefaultHPos), numberOr(t.vpos, kDefaultVPos));
    p.cell = QSizeF(kCellWidth * widthFactor(t.hsize), kCellHeight * heightFactor(t.vsize));
    for (int r = 0; r < kRows; ++r) {
        p.rows[std::size_t(r)] = t.row(r + 1);
        for (int c = 0; c < kColumns; ++c)
            p.kinds[std::size_t(r)][std::size_t(c)] =
                p.rows[std::size_t(r)][c] == QLatin1Char(' ') ? CellKind::Blank : CellKind::Text;
    }

    const qint64 clock = t.clockMs(nowMs);
    if (t.dateDisplay == QLatin1String("on")) {
        p.date = dateText(numberOr(t.dateFormat, kDefaultDateFormat), QDate(2000, 1, 1).addDays(clock / kMsPerDay));
        p.dateCell = qBound(1, numberOr(t.datePosition, kDefaultDateCell), kCells);
        place(p, p.date, p.dateCell, CellKind::Date);
    }
    if (t.timeDisplay == QLatin1String("on")) {
        p.time = timeText(formatOr(t.timeFormat, t.oldFormat, kDefaultTimeFormat), clock % kMsPerDay);
        p.timeCell = qBound(1, numberOr(t.timePosition, kDefaultTimeCell), kCells);
        place(p, p.time, p.timeCell, CellKind::Time);
    }

    for (int r = 1; r <= kRows; ++r) {
        const auto& kinds = p.kinds[std::size_t(r - 1)];
        int first = 0, last = 0;
        for (int c = 1; c <= kColumns; ++c) {
            if (kinds[std::size_t(c - 1)] != CellKind::Blank) {
                first = first ? first : c;
                last = c;
            }
        }
        if (first)
            p.mats.push_back(p.cellRect(r, first).united(p.cellRect(r, last)));
    }
    return p;
}

} // namespace pxtsim
