#pragma once
// The one store of the program's state: 10,501 typed slots holding 99 pages, program-wide settings and per-titler
// tables. Every part of the program reads and writes it by slot number.

#include "core/Value.h"

#include <array>

namespace slot {

constexpr int kCount = 10501;
constexpr int kLast = 10500;
constexpr int kPages = 99;
constexpr int kLines = 9;
constexpr int kLineWidth = 20;

// Offsets inside a page's block of 100.
constexpr int kAddress = 0;
constexpr int kLine1 = 1;          // ..9
constexpr int kLineState1 = 10;    // ..18
constexpr int kSelected = 20;
constexpr int kDisplayCode = 21;
constexpr int kTimeCode = 22;
constexpr int kDateCode = 24;
constexpr int kBackgroundCode = 25;
constexpr int kCharColourCode = 26;
constexpr int kContrastCode = 27;
constexpr int kVSizeCode = 28;
constexpr int kHSizeCode = 29;
constexpr int kVPos = 30;
constexpr int kHPos = 31;
constexpr int kTimePos = 32;
constexpr int kDatePos = 33;
constexpr int kTimeFormat = 34;
constexpr int kDateFormat = 35;
constexpr int kFirstSetting = 21;
constexpr int kLastSetting = 35;
constexpr int kSettingsCopyOffset = 15; // slot k+15 mirrors setting slot k

// Line label colours.
constexpr qint32 kLineOn = 65280; // green
constexpr qint32 kLineOff = 255;  // red

// Program-wide block.
constexpr int kSavedCommPort = 1;
constexpr int kSavedBaudRate = 2;
constexpr int kRandomOnMin = 4;
constexpr int kRandomOnSec = 5;
constexpr int kRandomOffMin = 6;
constexpr int kRandomOffSec = 7;
constexpr int kClearAddressFrom = 8;
constexpr int kClearAddressTo = 9;
constexpr int kSendPageFrom = 10;
constexpr int kSendPageTo = 11;
constexpr int kClearPageFrom = 12;
constexpr int kClearPageTo = 13;
constexpr int kRandomText = 14;
constexpr int kRandomLineState1 = 15; // ..23
constexpr int kLoopStartPage = 24;
constexpr int kLoopEndPage = 25;
constexpr int kLoopEnabled = 26;
constexpr int kClonePageFrom = 27;
constexpr int kClonePageTo = 28;
constexpr int kCloneSettingsStart = 29;
constexpr int kCloneSettingsEnd = 30;
constexpr int kUnused31 = 31;
constexpr int kUnused32 = 32;
constexpr int kUnused33 = 33;
constexpr int kLoopOnMin = 34;
constexpr int kLoopOnSec = 35;
constexpr int kLoopOffMin = 36;
constexpr int kLoopOffSec = 37;
constexpr int kLineOnOffLine = 38;
constexpr int kLineOnMin = 39;
constexpr int kLineOnSec = 40;
constexpr int kLineOffMin = 41;
constexpr int kLineOffSec = 42;
constexpr int kRandomSizeCode = 43;
constexpr int kUserTime = 44;
constexpr int kUserDate = 45;
constexpr int kEffectMode = 46;
constexpr int kSendMode = 47;
constexpr int kSearchText = 48;
constexpr int kTypeMode = 49;
constexpr int kRandomLine = 50;
constexpr int kRandomHPos = 51;
constexpr int kRandomVPos = 52;
constexpr int kLineHPos = 53;
constexpr int kErrorNumber = 55;
constexpr int kErrorSource = 56;
constexpr int kErrorBlockEnd = 95;

// Per-titler blocks: slot = block * 100 + address.
constexpr int kTitlerNameBlock = 100;
constexpr int kTitlerEnabledBlock = 101;
constexpr int kTitlerShownPageBlock = 102;
constexpr int kEffectTitlerBlock = 103;
constexpr int kTitlerVersionBlock = 104;

constexpr int page(int p, int k) { return p * 100 + k; }
constexpr int titler(int block, int address) { return block * 100 + address; }
constexpr bool valid(int s) { return s >= 0 && s <= kLast; }

} // namespace slot

class PageTable
{
public:
    const Value& at(int s) const;
    void set(int s, const Value& v);

    QString text(int s) const { return at(s).toText(); }
    qint32 toInt(int s) const { return at(s).toInt(); }
    bool toBool(int s) const { return at(s).toBool(); }

    void setText(int s, const QString& t) { set(s, Value::text(t)); }
    void setInt16(int s, qint16 n) { set(s, Value::int16(n)); }
    void setInt32(int s, qint32 n) { set(s, Value::int32(n)); }
    void setBool(int s, bool b) { set(s, Value::boolean(b)); }
    void clear(int s) { set(s, Value()); }
    void clearAll();

    bool operator==(const PageTable& other) const { return slots_ == other.slots_; }

private:
    std::array<Value, slot::kCount> slots_;
};
