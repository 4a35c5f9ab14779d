#pragma once
// What a titler lays over its video picture, worked out from its state: which character each of the 9 x 20 cells
// shows (text, clock or calendar), where the cells lie on the picture, and the colours. The monitor window only paints
// this, so the rules are tested without a window.
//
// The picture is measured in the titler's position units: 80 across (the horizontal position counts them from the
// left edge) and 128 down (the vertical position counts them from the top). A 1x character cell is 2.5 units wide and
// 7 units tall, so nine 1x rows fit below the highest vertical position, 64; the sizes 2x..4x multiply the cell, "1s"
// is half as tall and "2s" as tall as 1x. What runs past the edge of the picture is cut off.

#include "pxtsim/Protocol.h"
#include "pxtsim/Titler.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <array>
#include <vector>

namespace pxtsim {

constexpr double kUnitsAcross = 80;
constexpr double kUnitsDown = 128;
constexpr double kCellWidth = 2.5;
constexpr double kCellHeight = 7;

enum class CellKind : quint8 { Blank, Text, Time, Date };

struct ScreenPicture
{
    bool displayOn = false; // off: the picture shows the video alone
    bool background = false;
    bool whiteCharacters = true;
    double backgroundOpacity = 0; // the contrast: how much of the video the background hides
    QPointF origin;               // top left corner of cell (1, 1), in picture units
    QSizeF cell;                  // one character cell, in picture units
    std::array<QString, kRows> rows;
    std::array<std::array<CellKind, kColumns>, kRows> kinds{};
    QString time, date;             // the clock and calendar texts, empty when not shown
    std::vector<QRectF> mats;       // where the background lies: from the first to the last shown cell of each row
    int timeCell = 0, dateCell = 0; // their positions (1..180), 0 when not shown; each starts in the next cell

    // In picture units; row 1..9, column 1..20.
    QRectF cellRect(int row, int column) const;
};

ScreenPicture screenPicture(const Titler& titler, qint64 nowMs);

} // namespace pxtsim
