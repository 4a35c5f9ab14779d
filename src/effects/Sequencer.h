#pragma once
// The effect sequencer: Start Effect and Stop Effect, the four effect timers handing over between on and off
// periods, the on/off time boxes with their spinners, the list of target titlers, and the locking of the tab's
// inputs while an effect runs. The effects themselves (what an on and an off period do) are RandomMotion and
// PageLooping.

#include "effects/TimerRules.h"
#include "link/LinkWatch.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class Effects;
class DigitBoxes;
class QAction;
class QLineEdit;
class QTimer;
struct EffectsUi;
class Zelk;

class Sequencer : public QObject
{
    Q_OBJECT
public:
    Sequencer(Zelk& z, Effects& fx);
    ~Sequencer() override;

    // Connects the sequencer's controls and timers once the tab is built.
    void connectControls();

    void cmdStart_Click();
    void cmdStop_Click();
    void Start();
    void Stop();
    void SetEffectControlsEnabled(bool enabled);
    void FillEffectTitlers();
    void lstEnabledTitlers_Click();
    // Whether row `row` (from 0) of lstEnabledTitlers is selected.
    bool IsTitlerSelected(int row) const;

    // The timers' ticks.
    void tmrOnMin_Timer();
    void tmrOnSec_Timer();
    void tmrOffMin_Timer();
    void tmrOffSec_Timer();

    // An effect runs from Start to Stop.
    bool running() const { return running_; }
    // Counts every Start and Stop: a sequence that began under another count has been overtaken and ends.
    int generation() const { return generation_; }
    // True when a sequence begun under `generation` must end now: stopped, restarted or shutting down.
    bool overtaken(int generation) const;

    effects::MinuteCounters counters;

private:
    enum Box { OnMin, OnSec, OffMin, OffSec };
    void timerTick(effects::EffectTimer which);
    void runAction(effects::EffectAction action);
    QTimer* timer(effects::EffectTimer which) const;
    void enableTimer(effects::EffectTimer which);
    void stopTimers();
    effects::PeriodBoxes boxes() const;
    QLineEdit* box(Box b) const;
    int slotFor(Box b) const;
    void timeBox_Change(Box b);
    void stepTimeBox(Box b, const QString& direction);
    void onLinkLost();
    void lockFileActions(bool locked);

    Zelk& z_;
    Effects& fx_;
    EffectsUi& ui_;
    DigitBoxes* digits_ = nullptr;
    bool running_ = false;
    bool busy_ = false;                // an on or off action (or Start's) is under way
    std::optional<LinkWatch> runLink_; // the link the run began with
    QList<QPointer<QAction>> lockedFileActions_;
    int generation_ = 0;
};
