#include "StatusRules.h"

StatusEffects applyStatusCode(StatusPanels& p, int code, const StatusInputs& in)
{
    StatusEffects fx;
    if (in.workOffline && p.lastStatus != 16) {
        code = 16;
        p.lastStatus = 16;
    }
    if (!in.workOffline && in.clockTimerEnabled && !in.screenTitlerEnabled && !in.portUnavailable)
        code = 9;
    if (!(code == p.lastStatus || (code == 1 && p.lastStatus != 8))) {
        p.text[2].clear();
        p.text[3].clear();
    }
    if (code == 1 || p.lastStatus == 1) {
        for (int i = 1; i <= 3; ++i)
            p.colour[i] = PanelColour::Green;
        p.text[1] = QStringLiteral("Online");
        p.text[2] = QStringLiteral("Comm Port ") + QString::number(in.commPortNumber);
        fx.enableSendButtons = true;
        p.lastStatus = 1;
    }
    switch (code) {
    case 2:
        p.text[3] = QStringLiteral("Sending Page(s)");
        break;
    case 3:
        fx.enableClockTimer = true;
        p.text[3] = QStringLiteral("Page(s) Sent");
        break;
    case 4:
        p.text[3] = QStringLiteral("Clearing PXT(s)");
        break;
    case 5:
        fx.enableClockTimer = true;
        p.text[3] = QStringLiteral("PXT(s) Cleared");
        break;
    case 6:
        p.text[3] = QStringLiteral("Clearing Editor(s)");
        break;
    case 7:
        fx.enableClockTimer = true;
        p.text[3] = QStringLiteral("Editor(s) Cleared");
        break;
    case 8:
        p.colour[1] = p.colour[2] = PanelColour::Red;
        p.text[1] = QStringLiteral("Offline");
        p.text[2] = in.linkOnline ? QStringLiteral("No PXT Detected") : QStringLiteral("Invalid CommPort");
        p.lastStatus = 8;
        break;
    case 9:
        p.colour[1] = PanelColour::Yellow;
        p.text[1] = QStringLiteral("Disabled");
        p.text[2].clear();
        p.lastStatus = 9;
        break;
    case 10:
        p.text[3] = QStringLiteral("Sending Setting(s)");
        break;
    case 11:
        p.text[3] = QStringLiteral("Setting(s) Sent");
        break;
    case 12:
        p.text[3] = QStringLiteral("Sending Text");
        break;
    case 13:
        p.text[3] = QStringLiteral("Text Sent");
        break;
    case 14:
        p.colour[3] = PanelColour::Green;
        p.text[3] = QStringLiteral("Page(s) Cloned");
        break;
    case 15:
        p.text[3] = QStringLiteral("Settings Cloned");
        break;
    case 16:
        p.colour[1] = PanelColour::Yellow;
        p.text[1] = QStringLiteral("Working Offline");
        p.text[2].clear();
        p.lastStatus = 16;
        break;
    default:
        break;
    }
    return fx;
}
