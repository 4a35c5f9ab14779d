#include "SettingsSender.h"

#include "link/CommandProtocol.h"
#include "pages/PageTable.h"

namespace {

// A position or format number as the full send compares it: an empty or unreadable slot counts as 0.
double numberIn(const PageTable& t, int s)
{
    return t.at(s).toNumber().value_or(0.0);
}

} // namespace

QList<SettingCommand> fullSettingsCommands(const PageTable& t, int base, const QString& datePosShown)
{
    QList<SettingCommand> out;
    // Time, (unused), date, background, characters, contrast, vertical and horizontal size: codes without parameter.
    for (int k = slot::kTimeCode; k <= slot::kHSizeCode; ++k) {
        const QString c = t.text(base + k);
        if (!c.isEmpty())
            out.append({c, {}});
    }
    if (numberIn(t, base + slot::kVPos) > 0)
        out.append({code::kVPosition, t.text(base + slot::kVPos)});
    if (numberIn(t, base + slot::kHPos) > 0)
        out.append({code::kHPosition, t.text(base + slot::kHPos)});
    if (numberIn(t, base + slot::kTimePos) > 0)
        out.append({code::kTimePosition, t.text(base + slot::kTimePos)});
    if (numberIn(t, base + slot::kDatePos) > 0)
        out.append({code::kDatePosition, datePosShown});
    // The clamp applies to what is sent only; the stored numbers stay as they are.
    if (t.text(base + slot::kTimeCode) == code::kTimeOn && t.toInt(base + slot::kTimeFormat) >= 1) {
        QString v = t.text(base + slot::kTimeFormat);
        out.append({code::kTimeFormat, FormatParameter(v, 36, 1, QStringLiteral("2"))});
    }
    if (t.text(base + slot::kDateCode) == code::kDateOn && t.toInt(base + slot::kDateFormat) > 0) {
        QString v = t.text(base + slot::kDateFormat);
        out.append({code::kDateFormat, FormatParameter(v, 60, 1, QStringLiteral("2"))});
    }
    out.append({t.text(base + slot::kDisplayCode) == code::kDisplayOn ? code::kDisplayOn : code::kDisplayOff, {}});
    return out;
}
