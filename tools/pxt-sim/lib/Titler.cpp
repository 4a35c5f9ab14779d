#include "pxtsim/Titler.h"

#include "pxtsim/Text.h"

#include <QDate>

#include <array>

namespace pxtsim {

namespace {

constexpr qint64 kSecsPerDay = 86400;
const QDate kEpoch(2000, 1, 1);

struct SimpleSetting
{
    QByteArrayView code;
    QString Titler::*field;
    const char* value;
};

// Codes without parameters that only set one value.
constexpr std::array<SimpleSetting, 25> kSimpleSettings = {{
    {kDisplayOn, &Titler::display, "on"},
    {kDisplayOff, &Titler::display, "off"},
    {kBackgroundOn, &Titler::background, "on"},
    {kBackgroundOff, &Titler::background, "off"},
    {kCharsWhite, &Titler::characters, "white"},
    {kCharsBlack, &Titler::characters, "black"},
    {kContrastLow, &Titler::contrast, "low"},
    {kContrastMedium, &Titler::contrast, "medium"},
    {kContrastHigh, &Titler::contrast, "high"},
    {kHSize1x, &Titler::hsize, "1x"},
    {kHSize2x, &Titler::hsize, "2x"},
    {kHSize3x, &Titler::hsize, "3x"},
    {kHSize4x, &Titler::hsize, "4x"},
    {kVSize1x, &Titler::vsize, "1x"},
    {kVSize2x, &Titler::vsize, "2x"},
    {kVSize3x, &Titler::vsize, "3x"},
    {kVSize4x, &Titler::vsize, "4x"},
    {kVSize1s, &Titler::vsize, "1s"},
    {kVSize2s, &Titler::vsize, "2s"},
    {kTimeOn, &Titler::timeDisplay, "on"},
    {kTimeOff, &Titler::timeDisplay, "off"},
    {kDateOn, &Titler::dateDisplay, "on"},
    {kDateOff, &Titler::dateDisplay, "off"},
    {kOldFormat3, &Titler::oldFormat, "03"},
    {kOldFormat2, &Titler::oldFormat, "04"},
}};

struct DigitSetting
{
    QByteArrayView code;
    QString Titler::*field;
};

// Codes whose parameter is a number of up to three digits, kept as received.
constexpr std::array<DigitSetting, 6> kDigitSettings = {{
    {kTimePosition, &Titler::timePosition},
    {kDatePosition, &Titler::datePosition},
    {kHPosition, &Titler::hpos},
    {kVPosition, &Titler::vpos},
    {kTimeFormat, &Titler::timeFormat},
    {kDateFormat, &Titler::dateFormat},
}};

int number(QByteArrayView digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

bool validTime(QByteArrayView p)
{
    return p.size() == 6 && isDigits(p) && number(p.first(2)) < 24 && number(p.sliced(2, 2)) < 60 &&
           number(p.sliced(4, 2)) < 60;
}

bool validDate(QByteArrayView p)
{
    return p.size() == 6 && isDigits(p) &&
           QDate::isValid(2000 + number(p.sliced(4, 2)), number(p.first(2)), number(p.sliced(2, 2)));
}

QByteArray twoDigits(qint64 value)
{
    return QByteArray::number(value).rightJustified(2, '0');
}

} // namespace

qint64 secondsSince2000(int year, int month, int day, int hour, int minute, int second)
{
    return kEpoch.daysTo(QDate(year, month, day)) * kSecsPerDay + hour * 3600 + minute * 60 + second;
}

Titler::Titler(qint64 clockSecs, qint64 nowMs) : screen_(kCells, ' '), clockBaseSecs_(clockSecs), clockBaseMs_(nowMs) {}

Titler::Check Titler::checkParams(const Frame& frame)
{
    const QByteArrayView code(frame.code);
    const QByteArrayView p(frame.params);
    const Check bad{false, QStringLiteral("bad parameter")};
    for (const DigitSetting& s : kDigitSettings) {
        if (code == s.code)
            return !p.isEmpty() && p.size() <= 3 && isDigits(p) ? Check{true, {}} : bad;
    }
    if (code == kBlankLine)
        return p.size() == 1 && p[0] >= '1' && p[0] <= '9' ? Check{true, {}} : bad;
    if (code == kWriteText) {
        if (p.size() < 3 || !isDigits(p.first(3)))
            return bad;
        const int cell = number(p.first(3));
        return cell >= 1 && cell <= kCells ? Check{true, {}} : bad;
    }
    if (code == kSetClock)
        return validTime(p) ? Check{true, {}} : bad;
    if (code == kSetCalendar)
        return validDate(p) ? Check{true, {}} : bad;
    // Every other code takes no parameter; stray bytes before the next ESC do not stop it.
    return {true, p.isEmpty() ? QString() : QStringLiteral("extra bytes ignored")};
}

void Titler::apply(const Frame& frame, qint64 nowMs)
{
    const QByteArrayView code(frame.code);
    const QByteArrayView p(frame.params);
    for (const SimpleSetting& s : kSimpleSettings) {
        if (code == s.code) {
            this->*s.field = QString::fromLatin1(s.value);
            return;
        }
    }
    for (const DigitSetting& s : kDigitSettings) {
        if (code == s.code) {
            this->*s.field = QString::fromLatin1(p);
            return;
        }
    }
    if (code == kBlankLine) {
        screen_.replace((number(p) - 1) * kColumns, kColumns, QByteArray(kColumns, ' '));
    } else if (code == kClearScreen) {
        screen_.fill(' ');
    } else if (code == kWriteText) {
        // Text running past the last cell is dropped: the grid does not wrap back to the top.
        const int cell = number(p.first(3)) - 1;
        const QByteArrayView text = p.sliced(3).first(qMin<qsizetype>(p.size() - 3, kCells - cell));
        screen_.replace(cell, text.size(), text.toByteArray());
    } else if (code == kSetClock) {
        const qint64 day = clockSecs(nowMs) / kSecsPerDay;
        setClock(day * kSecsPerDay + number(p.first(2)) * 3600 + number(p.sliced(2, 2)) * 60 + number(p.sliced(4, 2)),
                 nowMs);
    } else if (code == kSetCalendar) {
        const qint64 now = clockSecs(nowMs);
        const qint64 secs =
            secondsSince2000(2000 + number(p.sliced(4, 2)), number(p.first(2)), number(p.sliced(2, 2)), 0, 0, 0);
        // Keep the running second's phase so that setting the date does not move the time.
        const qint64 phase = (nowMs - clockBaseMs_) % 1000;
        clockBaseSecs_ = secs + now % kSecsPerDay;
        clockBaseMs_ = nowMs - phase;
    }
}

void Titler::setClock(qint64 secs, qint64 nowMs)
{
    clockBaseSecs_ = secs;
    clockBaseMs_ = nowMs;
}

qint64 Titler::clockSecs(qint64 nowMs) const
{
    return clockBaseSecs_ + (nowMs - clockBaseMs_) / 1000;
}

qint64 Titler::clockMs(qint64 nowMs) const
{
    return clockBaseSecs_ * 1000 + nowMs - clockBaseMs_;
}

QByteArray Titler::timeReply(qint64 nowMs) const
{
    const qint64 inDay = clockSecs(nowMs) % kSecsPerDay;
    return twoDigits(inDay / 3600) + twoDigits(inDay / 60 % 60) + twoDigits(inDay % 60);
}

QByteArray Titler::dateReply(qint64 nowMs) const
{
    const QDate date = kEpoch.addDays(clockSecs(nowMs) / kSecsPerDay);
    return twoDigits(date.month()) + twoDigits(date.day()) + twoDigits(date.year() % 100);
}

QString Titler::row(int row) const
{
    return readable(QByteArrayView(screen_).sliced((row - 1) * kColumns, kColumns));
}

} // namespace pxtsim
