#include "pxtsim/Protocol.h"

#include <algorithm>
#include <array>

namespace pxtsim {

namespace {

constexpr std::array<const char*, 26> kTwoDigitCodes = {"03", "04", "07", "08", "09", "10", "11", "12", "24",
                                                        "25", "28", "32", "34", "35", "36", "37", "38", "39",
                                                        "40", "41", "42", "43", "44", "46", "48", "49"};

struct ThreeDigitFamily
{
    const char* prefix;
    char last; // third digit runs from '1' to this
};

constexpr std::array<ThreeDigitFamily, 3> kThreeDigitCodes = {{{"17", '3'}, {"45", '4'}, {"47", '6'}}};

struct Meaning
{
    QByteArrayView code;
    const char* words;
};

constexpr std::array<Meaning, 39> kMeanings = {{
    {kDisplayOn, "display on"},
    {kDisplayOff, "display off"},
    {kBackgroundOn, "background on"},
    {kBackgroundOff, "background off"},
    {kCharsWhite, "white characters"},
    {kCharsBlack, "black characters"},
    {kBlankLine, "line off"},
    {kClearScreen, "clear screen"},
    {kWriteText, "text"},
    {kSettingsEnd, "settings end"},
    {kTimeOn, "time on"},
    {kTimeOff, "time off"},
    {kSetClock, "set clock"},
    {kTimePosition, "time position"},
    {kAskTime, "time?"},
    {kDateOn, "date on"},
    {kDateOff, "date off"},
    {kSetCalendar, "set calendar"},
    {kDatePosition, "date position"},
    {kAskDate, "date?"},
    {kHPosition, "horizontal position"},
    {kVPosition, "vertical position"},
    {kTimeFormat, "time format"},
    {kDateFormat, "date format"},
    {kOldFormat3, "format 3 (old)"},
    {kOldFormat2, "format 2 (old)"},
    {kContrastLow, "contrast low"},
    {kContrastMedium, "contrast medium"},
    {kContrastHigh, "contrast high"},
    {kHSize1x, "width 1x"},
    {kHSize2x, "width 2x"},
    {kHSize3x, "width 3x"},
    {kHSize4x, "width 4x"},
    {kVSize1x, "height 1x"},
    {kVSize2x, "height 2x"},
    {kVSize3x, "height 3x"},
    {kVSize4x, "height 4x"},
    {kVSize1s, "height 1s"},
    {kVSize2s, "height 2s"},
}};

} // namespace

const char* codeMeaning(QByteArrayView code)
{
    for (const Meaning& m : kMeanings) {
        if (m.code == code)
            return m.words;
    }
    return "";
}

bool isDigits(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int knownCodeLength(QByteArrayView rest)
{
    if (rest.size() < 2)
        return isDigits(rest) ? 0 : -1;
    const QByteArrayView two = rest.first(2);
    for (const char* code : kTwoDigitCodes) {
        if (two == QByteArrayView(code))
            return 2;
    }
    for (const ThreeDigitFamily& family : kThreeDigitCodes) {
        if (two != QByteArrayView(family.prefix))
            continue;
        if (rest.size() < 3)
            return 0;
        return rest[2] >= '1' && rest[2] <= family.last ? 3 : -1;
    }
    return -1;
}

Frame classifyFrame(const QByteArray& raw, bool hasEsc)
{
    Frame frame;
    frame.raw = raw;
    frame.hasEsc = hasEsc;
    if (!hasEsc || raw.size() < 2 || !isDigits(QByteArrayView(raw).first(2))) {
        frame.kind = FrameKind::Garbage;
        frame.params = raw;
        return frame;
    }
    frame.address = raw.left(2);
    const QByteArray rest = raw.mid(2);
    const int length = knownCodeLength(rest);
    if (length <= 0) {
        frame.kind = FrameKind::UnknownCode;
        frame.params = rest;
        return frame;
    }
    frame.kind = FrameKind::Command;
    frame.code = rest.left(length);
    frame.params = rest.mid(length);
    return frame;
}

} // namespace pxtsim
