#pragma once
// Broadcast mode: every effect command goes once to "00" instead of to each chosen titler, with a warning that
// blinks (shown 1 s, hidden 0.5 s) on the Effects tab and on the titler name beside the editor.

#include <QObject>

class Effects;
struct EffectsUi;
class Zelk;

class BroadcastMode : public QObject
{
    Q_OBJECT
public:
    BroadcastMode(Zelk& z, Effects& fx);

    void connectControls();

    void chkBroadcastMode_Click();
    void tmrBlink_Timer();

    bool BlinkShown = false;

private:
    Zelk& z_;
    Effects& fx_;
    EffectsUi& ui_;
};
