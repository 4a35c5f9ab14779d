#pragma once
// One simulated titler: what its screen shows, its display settings and its running clock and calendar.

#include "pxtsim/Protocol.h"

#include <QString>

namespace pxtsim {

// Seconds since 2000-01-01 00:00:00 on the titler's own calendar (no time zones on a titler).
qint64 secondsSince2000(int year, int month, int day, int hour, int minute, int second);

class Titler
{
public:
    explicit Titler(qint64 clockSecs = 0, qint64 nowMs = 0);

    struct Check
    {
        bool apply;
        QString note; // for the log, empty when all is well
    };
    // Whether a Command frame's parameters fit its code.
    static Check checkParams(const Frame& frame);
    // Applies a Command frame that checkParams accepted.
    void apply(const Frame& frame, qint64 nowMs);

    QByteArray timeReply(qint64 nowMs) const; // "hhmmss"
    QByteArray dateReply(qint64 nowMs) const; // "mmddyy"
    qint64 clockSecs(qint64 nowMs) const;
    qint64 clockMs(qint64 nowMs) const; // the clock to the millisecond, as secondsSince2000 times 1000

    QByteArray screen() const { return screen_; } // kCells bytes, row-major
    QString row(int row) const;                   // 1..9, readable

    // Settings in the order the dump shows them; a value stays empty until a frame sets it.
    QString display, background, characters, contrast, hsize, vsize, hpos, vpos;
    QString timeDisplay, timePosition, timeFormat, dateDisplay, datePosition, dateFormat, oldFormat;

private:
    void setClock(qint64 secs, qint64 nowMs);

    QByteArray screen_;
    qint64 clockBaseSecs_;
    qint64 clockBaseMs_;
};

} // namespace pxtsim
