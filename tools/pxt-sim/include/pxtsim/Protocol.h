#pragma once
// The titlers' side of the line protocol: codes, frame layout and the classification of one received frame.

#include <QByteArray>
#include <QByteArrayView>

namespace pxtsim {

constexpr char kEsc = 27;
constexpr char kBlockByte = 1; // the program sends a solid block as this byte
constexpr int kRows = 9;
constexpr int kColumns = 20;
constexpr int kCells = kRows * kColumns;
constexpr qint64 kIdleFlushMs = 20;  // a frame with no ESC after it is applied once the line has been quiet this long
constexpr int kMaxFrameBytes = 1024; // bytes of one frame kept; the rest is dropped, so garbage cannot grow memory

// The codes a titler acts on.
inline constexpr QByteArrayView kDisplayOn = "07";
inline constexpr QByteArrayView kDisplayOff = "08";
inline constexpr QByteArrayView kBackgroundOn = "09";
inline constexpr QByteArrayView kBackgroundOff = "10";
inline constexpr QByteArrayView kCharsWhite = "11";
inline constexpr QByteArrayView kCharsBlack = "12";
inline constexpr QByteArrayView kBlankLine = "24";
inline constexpr QByteArrayView kClearScreen = "25";
inline constexpr QByteArrayView kWriteText = "28";
inline constexpr QByteArrayView kSettingsEnd = "32";
inline constexpr QByteArrayView kTimeOn = "34";
inline constexpr QByteArrayView kTimeOff = "35";
inline constexpr QByteArrayView kSetClock = "36";
inline constexpr QByteArrayView kTimePosition = "37";
inline constexpr QByteArrayView kAskTime = "38";
inline constexpr QByteArrayView kDateOn = "39";
inline constexpr QByteArrayView kDateOff = "40";
inline constexpr QByteArrayView kSetCalendar = "41";
inline constexpr QByteArrayView kDatePosition = "42";
inline constexpr QByteArrayView kAskDate = "43";
inline constexpr QByteArrayView kHPosition = "44";
inline constexpr QByteArrayView kVPosition = "46";
inline constexpr QByteArrayView kTimeFormat = "48";
inline constexpr QByteArrayView kDateFormat = "49";
inline constexpr QByteArrayView kOldFormat3 = "03"; // old firmware: replaces a format code with parameter 3
inline constexpr QByteArrayView kOldFormat2 = "04"; // old firmware: replaces a format code with parameter 2
inline constexpr QByteArrayView kContrastLow = "171";
inline constexpr QByteArrayView kContrastMedium = "172";
inline constexpr QByteArrayView kContrastHigh = "173";
inline constexpr QByteArrayView kHSize1x = "451";
inline constexpr QByteArrayView kHSize2x = "452";
inline constexpr QByteArrayView kHSize3x = "453";
inline constexpr QByteArrayView kHSize4x = "454";
inline constexpr QByteArrayView kVSize1x = "471";
inline constexpr QByteArrayView kVSize2x = "472";
inline constexpr QByteArrayView kVSize3x = "473";
inline constexpr QByteArrayView kVSize4x = "474";
inline constexpr QByteArrayView kVSize1s = "475";
inline constexpr QByteArrayView kVSize2s = "476";
inline constexpr QByteArrayView kBroadcast = "00";

// Length of the code at the start of `rest` (the bytes after the address): 2 or 3 for a known code, 0 while the bytes
// so far are too few to tell, -1 for an unknown code.
int knownCodeLength(QByteArrayView rest);

enum class FrameKind {
    Command,     // valid address and a known code; parameters not yet checked
    UnknownCode, // valid address, unknown or incomplete code
    Garbage,     // bytes before the first ESC, or a frame without a two-digit address
};

struct Frame
{
    FrameKind kind = FrameKind::Garbage;
    QByteArray address; // two digits, empty for garbage
    QByteArray code;    // empty unless kind is Command
    QByteArray params;  // everything after the code (after the address for UnknownCode)
    QByteArray raw;     // the whole frame after its ESC
    bool hasEsc = false;
    bool continued = false; // more bytes came after an idle flush: this is the whole frame again
    int dropped = 0;        // bytes beyond kMaxFrameBytes
    qint64 startMs = 0;     // when its first byte arrived
    quint64 serial = 0;     // counts ESCs, so events of one frame can be matched
};

// Splits raw frame bytes (without the ESC) into address, code and parameters.
Frame classifyFrame(const QByteArray& raw, bool hasEsc);

bool isDigits(QByteArrayView bytes);

// A few words on what a known code does ("display on", "text"), for people reading frames; empty for other codes.
const char* codeMeaning(QByteArrayView code);

} // namespace pxtsim
