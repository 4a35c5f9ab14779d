#include "TimerRules.h"

#include "core/Numbers.h"

#include <limits>

namespace effects {

namespace {

bool isSet(const QString& box)
{
    return box != QLatin1String("00");
}

// A period that never hands over keeps counting; it must not run past what a 16-bit counter holds.
void countMinute(qint16& counter)
{
    if (counter < std::numeric_limits<qint16>::max())
        ++counter;
}

int secondsInterval(const QString& box)
{
    const auto v = parseDecimal(box);
    return v ? int(roundHalfEven(*v * 1000.0)) : 0;
}

} // namespace

int boxNumber(const QString& box)
{
    const auto v = parseDecimal(box);
    return v ? int(roundHalfEven(*v)) : 0;
}

HandOver handOver(EffectTimer ticked, const PeriodBoxes& b, MinuteCounters& c, bool stopRequested)
{
    using A = EffectAction;
    using T = EffectTimer;
    if (stopRequested)
        return {A::Stop, T::None, ticked};

    switch (ticked) {
    case T::OnMin:
        countMinute(c.onMinutesElapsed);
        if (c.onMinutesElapsed < boxNumber(b.onMin))
            return {};
        c.onMinutesElapsed = 0;
        if (isSet(b.onSec))
            return {A::None, T::OnSec, T::OnMin};
        if (isSet(b.offMin))
            return {A::Off, T::OffMin, T::OnMin};
        if (isSet(b.offSec))
            return {A::Off, T::OffSec, T::OnMin};
        return {A::On, T::None, T::None}; // no off time: the on action repeats every on period
    case T::OnSec:
        if (isSet(b.offMin))
            return {A::Off, T::OffMin, T::OnSec};
        if (isSet(b.offSec))
            return {A::Off, T::OffSec, T::OnSec};
        if (isSet(b.onMin))
            return {A::On, T::OnMin, T::OnSec};
        return {A::On, T::None, T::None};
    case T::OffMin:
        countMinute(c.offMinutesElapsed);
        if (c.offMinutesElapsed < boxNumber(b.offMin))
            return {};
        if (isSet(b.offSec)) {
            c.offMinutesElapsed = 0;
            return {A::None, T::OffSec, T::OffMin};
        }
        if (isSet(b.onMin)) {
            c.offMinutesElapsed = 0;
            return {A::On, T::OnMin, T::OffMin};
        }
        if (isSet(b.onSec)) {
            c.offMinutesElapsed = 0;
            return {A::On, T::OnSec, T::OffMin};
        }
        return {}; // nothing to hand over to; the count goes on
    case T::OffSec:
        if (isSet(b.onMin))
            return {A::On, T::OnMin, T::OffSec};
        if (isSet(b.onSec))
            return {A::On, T::OnSec, T::OffSec};
        return {};
    case T::None:
        break;
    }
    return {};
}

StartPlan startPlan(const PeriodBoxes& b)
{
    StartPlan p;
    p.onSecMs = secondsInterval(b.onSec);
    p.offSecMs = secondsInterval(b.offSec);
    p.first = isSet(b.onMin) ? EffectTimer::OnMin : EffectTimer::OnSec;
    // A one-second setting runs at three quarters of a second; zero stays zero.
    if (p.offSecMs <= 1000)
        p.offSecMs = int(roundHalfEven(p.offSecMs * 0.75));
    if (p.onSecMs <= 1000)
        p.onSecMs = int(roundHalfEven(p.onSecMs * 0.75));
    return p;
}

} // namespace effects
