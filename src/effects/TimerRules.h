#pragma once
// The hand-over between the four effect timers as a pure rule: the counters and what the time boxes read go in,
// the action to run and the timers to switch come out. The sequencer only applies the result.

#include <QString>

namespace effects {

enum class EffectTimer { None, OnMin, OnSec, OffMin, OffSec };
enum class EffectAction { None, On, Off, Stop };

// The four time boxes as they read at a tick. A time counts as set when its box does not read "00".
struct PeriodBoxes
{
    QString onMin;
    QString onSec;
    QString offMin;
    QString offSec;
};

// Minute ticks counted in the current on and off period.
struct MinuteCounters
{
    qint16 onMinutesElapsed = 0;
    qint16 offMinutesElapsed = 0;
};

struct HandOver
{
    EffectAction action = EffectAction::None; // run first
    EffectTimer enable = EffectTimer::None;   // then these two
    EffectTimer disable = EffectTimer::None;
};

// One tick of a timer. With stopRequested the timer only disables itself and the effect stops.
HandOver handOver(EffectTimer ticked, const PeriodBoxes& boxes, MinuteCounters& counters, bool stopRequested);

// What Start sets up after its first on action: the seconds timers' intervals and the first timer to run.
struct StartPlan
{
    int onSecMs = 0;
    int offSecMs = 0;
    EffectTimer first = EffectTimer::None;
};
StartPlan startPlan(const PeriodBoxes& boxes);

// The number a time box holds; 0 for an empty or unreadable box.
int boxNumber(const QString& box);

} // namespace effects
