#include "Defaults.h"

#include "PageTable.h"

namespace {

const QString kWelcomeName = QStringLiteral("TALVEN PXT-12");
const QString kFirstTitlerName = QStringLiteral("01   ") + kWelcomeName;
const QString kFirstPageLine1 = QStringLiteral("   ") + kWelcomeName + QStringLiteral("    ");
const QString kTitlerNameGap = QStringLiteral("   ");

struct TextDefault
{
    int offset;
    const char* text;
};

// A new page's settings: display on, time and date shown, background on, white characters, high contrast,
// size 1x by 1x. Written in this order.
constexpr TextDefault kPageSettings[] = {
    {slot::kDisplayCode, "07"},    {slot::kTimeCode, "34"},       {slot::kDateCode, "39"},
    {slot::kBackgroundCode, "09"}, {slot::kCharColourCode, "11"}, {slot::kContrastCode, "173"},
    {slot::kVSizeCode, "471"},     {slot::kHSizeCode, "451"},     {slot::kVPos, "45"},
    {slot::kHPos, "16"},           {slot::kTimePos, "161"},       {slot::kDatePos, "173"},
    {slot::kTimeFormat, "02"},     {slot::kDateFormat, "15"},
};

void setText(PageTable& t, int s, const char* text)
{
    t.setText(s, QString::fromLatin1(text));
}

void fillProgramWide(PageTable& t)
{
    using namespace slot;
    t.setInt16(kSavedCommPort, 1);
    t.setInt16(kSavedBaudRate, 9600);
    setText(t, kRandomOnMin, "00");
    setText(t, kRandomOnSec, "01");
    setText(t, kRandomOffMin, "00");
    setText(t, kRandomOffSec, "00");
    for (int s : {kClearAddressFrom, kClearAddressTo, kSendPageFrom, kSendPageTo, kClearPageFrom, kClearPageTo})
        setText(t, s, "01");
    t.setText(kRandomText, QString());
    for (int n = 0; n < kLines; ++n)
        t.setInt32(kRandomLineState1 + n, kLineOn);
    setText(t, kLoopStartPage, "01");
    setText(t, kLoopEndPage, "01");
    t.setInt16(kLoopEnabled, 1);
    for (int s : {kClonePageFrom, kClonePageTo, kCloneSettingsStart, kCloneSettingsEnd, kUnused31, kUnused32})
        setText(t, s, "01");
    t.setBool(kUnused33, true);
    setText(t, kLoopOnMin, "00");
    setText(t, kLoopOnSec, "01");
    setText(t, kLoopOffMin, "00");
    setText(t, kLoopOffSec, "00");
    t.setInt16(kLineOnOffLine, 8);
    setText(t, kLineOnMin, "00");
    setText(t, kLineOnSec, "01");
    setText(t, kLineOffMin, "00");
    setText(t, kLineOffSec, "00");
    setText(t, kRandomSizeCode, "471");
    setText(t, kUserTime, "00:00:00");
    setText(t, kUserDate, "01-01-01");
    t.setInt16(kEffectMode, 1);
    t.setInt16(kSendMode, 1);
    t.setText(kSearchText, QString());
    t.setInt16(kTypeMode, 1);
    t.setInt16(kRandomLine, 1);
    t.setInt16(kRandomHPos, 1);
    t.setInt16(kRandomVPos, 0);
}

void fillPage(PageTable& t, int p, const QString& blank)
{
    using namespace slot;
    t.setText(page(p, kAddress), twoDigits(p));
    for (int n = 0; n < kLines; ++n)
        t.setText(page(p, kLine1 + n), blank);
    for (int n = 0; n < kLines; ++n)
        t.setInt32(page(p, kLineState1 + n), kLineOn);
    t.setInt16(page(p, kSelected), 0);
    for (const TextDefault& d : kPageSettings)
        setText(t, page(p, d.offset), d.text);
}

} // namespace

QString blankLine()
{
    return QString(slot::kLineWidth, QLatin1Char(' '));
}

void fillDefaults(PageTable& table)
{
    fillProgramWide(table);
    const QString blank = blankLine(); // one shared string for all 891 lines
    for (int p = 1; p <= slot::kPages; ++p)
        fillPage(table, p, blank);
    for (int a = 1; a <= slot::kPages; ++a)
        table.setText(slot::titler(slot::kTitlerNameBlock, a), twoDigits(a) + kTitlerNameGap);
    table.setText(slot::titler(slot::kTitlerNameBlock, 1), kFirstTitlerName);
    table.setText(slot::page(1, slot::kLine1), kFirstPageLine1);
}

void copySettingsToCopySlots(PageTable& table)
{
    for (int p = 1; p <= slot::kPages; ++p)
        for (int k = slot::kFirstSetting; k <= slot::kLastSetting; ++k)
            table.set(slot::page(p, k + slot::kSettingsCopyOffset), table.at(slot::page(p, k)));
}
