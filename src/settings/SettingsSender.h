#pragma once
// The full set of a page's display settings as the commands that carry it, in the order the titlers take them.

#include <QList>
#include <QString>

class PageTable;

struct SettingCommand
{
    QString code;
    QString parameter;
    bool operator==(const SettingCommand&) const = default;
};

// The settings of the page at base (its slots base+21..base+35), without the closing "32": the option codes that
// are set, the positions above 0, the time and date formats (clamped, when their display is on), then display on or
// off. datePosShown is the date position as the window shows it. Throws RunTimeError for a format that is no number.
QList<SettingCommand> fullSettingsCommands(const PageTable& table, int base, const QString& datePosShown);
