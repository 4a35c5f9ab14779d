#include "Sequencer.h"

#include "effects/EffectInputs.h"
#include "effects/Effects.h"
#include "effects/PageLooping.h"
#include "effects/RandomMotion.h"

#include "app/AsRunLog.h"
#include "app/Shell.h"
#include "app/Zelk.h"
#include "core/Errors.h"
#include "core/FlagGuard.h"
#include "link/SerialLink.h"
#include "roster/RosterList.h"
#include "settings/AdjusterRules.h"
#include "settings/NumberLabel.h"
#include "settings/UpDown.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QThread>
#include <QTimer>

using effects::EffectAction;
using effects::EffectTimer;

namespace {

constexpr int kStopPauseMs = 250;
constexpr int kAddressChars = 2;

struct BoxRange
{
    int typedMin, typedMax; // what the box accepts
    int stepMin, stepMax;   // where its spinner wraps
};
// Minutes, on seconds, off seconds: an on period has at least a second.
constexpr BoxRange kRanges[] = {{0, 60, 0, 59}, {1, 60, 1, 59}, {0, 60, 0, 59}, {0, 60, 0, 59}};

// Each effect keeps its own times: on minutes, on seconds, off minutes, off seconds.
constexpr int kRandomSlots[] = {slot::kRandomOnMin, slot::kRandomOnSec, slot::kRandomOffMin, slot::kRandomOffSec};
constexpr int kLineSlots[] = {slot::kLineOnMin, slot::kLineOnSec, slot::kLineOffMin, slot::kLineOffSec};
constexpr int kLoopSlots[] = {slot::kLoopOnMin, slot::kLoopOnSec, slot::kLoopOffMin, slot::kLoopOffSec};

void setEnabled(QWidget* w, bool on)
{
    if (w)
        w->setEnabled(on);
}

} // namespace

Sequencer::Sequencer(Zelk& z, Effects& fx) : z_(z), fx_(fx), ui_(fx.ui()) {}

Sequencer::~Sequencer() = default;

void Sequencer::connectControls()
{
    connect(ui_.cmdStart, &QPushButton::clicked, this, &Sequencer::cmdStart_Click);
    connect(ui_.cmdStop, &QPushButton::clicked, this, &Sequencer::cmdStop_Click);
    connect(ui_.lstEnabledTitlers, &RosterList::rowClicked, this, &Sequencer::lstEnabledTitlers_Click);

    // Minute periods are counted tick by tick: a coarse timer's slack would add up over an hour's run.
    const std::pair<QTimer*, void (Sequencer::*)()> timers[] = {{z_.ui.tmrOnMin, &Sequencer::tmrOnMin_Timer},
                                                                {z_.ui.tmrOnSec, &Sequencer::tmrOnSec_Timer},
                                                                {z_.ui.tmrOffMin, &Sequencer::tmrOffMin_Timer},
                                                                {z_.ui.tmrOffSec, &Sequencer::tmrOffSec_Timer}};
    for (const auto& [t, handler] : timers) {
        if (!t)
            continue;
        t->setTimerType(Qt::PreciseTimer);
        connect(t, &QTimer::timeout, this, handler);
    }

    digits_ = new DigitBoxes(this);
    const std::pair<Box, UpDown*> spinners[] = {
        {OnMin, ui_.updOnMin}, {OnSec, ui_.updOnSec}, {OffMin, ui_.updOffMin}, {OffSec, ui_.updOffSec}};
    for (const auto& [b, spinner] : spinners) {
        connect(box(b), &QLineEdit::textChanged, this, [this, b = b] { timeBox_Change(b); });
        digits_->watch(box(b), [this, b = b] { timeBox_Change(b); });
        new SpinRepeat(spinner, [this, b = b](const QString& direction) { stepTimeBox(b, direction); });
    }
    if (z_.link)
        connect(z_.link, &SerialLink::linkLost, this, &Sequencer::onLinkLost);
}

QLineEdit* Sequencer::box(Box b) const
{
    QLineEdit* const boxes[] = {ui_.txtOnMin, ui_.txtOnSec, ui_.txtOffMin, ui_.txtOffSec};
    return boxes[b];
}

int Sequencer::slotFor(Box b) const
{
    switch (fx_.chosenMode()) {
    case Effects::Mode::Random:
        return kRandomSlots[b];
    case Effects::Mode::LineOnOff:
        return kLineSlots[b];
    case Effects::Mode::Looping:
        return kLoopSlots[b];
    case Effects::Mode::None:
        break;
    }
    return -1;
}

effects::PeriodBoxes Sequencer::boxes() const
{
    return {ui_.txtOnMin->text(), ui_.txtOnSec->text(), ui_.txtOffMin->text(), ui_.txtOffSec->text()};
}

bool Sequencer::overtaken(int generation) const
{
    return z_.EventsSuppressed || generation != generation_;
}

// ---- Start and Stop -----------------------------------------------------------------------------------------------

namespace {

QString effectName(Effects::Mode mode)
{
    switch (mode) {
    case Effects::Mode::Looping:
        return QStringLiteral("page looping");
    case Effects::Mode::Random:
        return QStringLiteral("random motion");
    case Effects::Mode::LineOnOff:
        return QStringLiteral("line on/off");
    default:
        return QStringLiteral("none");
    }
}

} // namespace

void Sequencer::cmdStart_Click()
{
    Start();
}

void Sequencer::cmdStop_Click()
{
    Stop();
}

void Sequencer::Start()
{
    // One run at a time: a Start that reaches here while a run or its last action is still under way is ignored.
    if (z_.EventsSuppressed || running_ || busy_)
        return;
    FlagGuard busy(busy_);
    try {
        const int generation = ++generation_;
        running_ = true;
        runLink_.emplace(z_.LinkOnline);
        // A new run's first period is never cut short by the count of a run stopped before.
        counters = {};
        ui_.cmdStop->setEnabled(true);
        // Cleared before the locking yields, so that a Stop pressed meanwhile holds.
        z_.StopRequested = false;
        SetEffectControlsEnabled(false);
        if (generation != generation_)
            return;

        const Effects::Mode mode = fx_.chosenMode();
        if (mode == Effects::Mode::Looping && ui_.txtStartPage->text() <= ui_.txtEndPage->text()) {
            qint16 first = toInteger16(ui_.txtStartPage->text(), QStringLiteral("Start: start page"));
            if (first < 1 || first > slot::kPages) {
                // An end page of 01 leaves no start page: there is nothing to show.
                z_.dialogs.message(z_.ui.frmZELK, QMessageBox::Warning, QStringLiteral("ZELK Loop Screens"),
                                   QStringLiteral("No Pages to Loop: the End Page must come after the Start Page"));
                Stop();
                return;
            }
            fx_.looping().LoopShowPage(first);
        } else if (mode == Effects::Mode::Random) {
            const QString text = ui_.txtRandomText->text();
            if (text.count(QLatin1Char(' ')) == text.size()) {
                z_.dialogs.message(z_.ui.frmZELK, QMessageBox::Warning, QStringLiteral("ZELK Random Motion"),
                                   QStringLiteral("No Random Text to Display"));
                Stop();
                return;
            }
            fx_.random().sendRandomStartCommands();
            // Stopped while the start commands went out: the clearing is done, and no text may follow it.
            if (generation == generation_)
                fx_.random().RandomStep();
        } else if (mode == Effects::Mode::LineOnOff) {
            fx_.random().sendLineStartCommands();
            if (generation == generation_)
                fx_.random().RandomStep();
        } else {
            Stop();
            return;
        }
        // Stopped while the first on action ran: no timer may start after that.
        if (generation != generation_ || z_.StopRequested || z_.EventsSuppressed)
            return;

        if (z_.asRun)
            z_.asRun->record(QString(), QStringLiteral("effect start (%1)").arg(effectName(mode)));
        const effects::StartPlan plan = effects::startPlan(boxes());
        z_.ui.tmrOnSec->setInterval(plan.onSecMs);
        z_.ui.tmrOffSec->setInterval(plan.offSecMs);
        enableTimer(plan.first);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
        if (running_)
            Stop(); // a run that could not start must not leave the tab locked
    }
}

void Sequencer::Stop()
{
    if (z_.EventsSuppressed)
        return;
    ++generation_;
    if (running_ && z_.asRun)
        z_.asRun->record(QString(), QStringLiteral("effect stop"));
    running_ = false;
    // Disabled first as well, so that no tick runs the clearing a second time while this one yields.
    stopTimers();
    z_.StopRequested = true;
    try {
        if (fx_.chosenMode() == Effects::Mode::Looping) {
            fx_.looping().LoopPause();
        } else {
            fx_.random().RandomClear();
            for (QWidget* w : {static_cast<QWidget*>(ui_.lstEnabledTitlers), static_cast<QWidget*>(ui_.txtRandomText),
                               static_cast<QWidget*>(ui_.lblEnterTextHere)})
                setEnabled(w, true);
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
    if (z_.EventsSuppressed)
        return;
    SetEffectControlsEnabled(true);
    stopTimers();
    QCoreApplication::processEvents();
    QThread::msleep(kStopPauseMs);
    QCoreApplication::processEvents();
    // A run started again during the pause keeps its Stop button.
    if (!running_ && !z_.EventsSuppressed)
        ui_.cmdStop->setEnabled(false);
}

void Sequencer::onLinkLost()
{
    // The loss is recorded once by the link; the effect only ends, and the tab is the operator's again.
    if (running_)
        Stop();
}

void Sequencer::SetEffectControlsEnabled(bool enabled)
{
    if (z_.EventsSuppressed)
        return;
    const Effects::Mode mode = fx_.chosenMode();
    setEnabled(z_.ui.tabMain, enabled);
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui_.txtOnMin, ui_.txtOnSec, ui_.txtOffMin, ui_.txtOffSec, ui_.updOnMin,
                                         ui_.updOnSec, ui_.updOffMin, ui_.updOffSec, ui_.cmdStart})
        setEnabled(w, enabled);
    lockFileActions(!enabled);
    for (QWidget* w : std::initializer_list<QWidget*>{ui_.optRandom, ui_.lblMin, ui_.lblSec, ui_.lblTimeOn,
                                                      ui_.lblTimeOff, ui_.lstEnabledTitlers, ui_.txtRandomText,
                                                      ui_.lblEnterTextHere, ui_.optLooping, ui_.optLineOnOff})
        setEnabled(w, enabled);
    setEnabled(ui_.optRandomSize2s, enabled && !fx_.random().OldFirmwarePresent);
    for (QWidget* w : std::initializer_list<QWidget*>{ui_.optRandomSize1s, ui_.optRandomSize1x, ui_.optRandomSize2x,
                                                      ui_.lblStartPage, ui_.lblEndPage, ui_.txtStartPage,
                                                      ui_.txtEndPage, ui_.chkLoop})
        setEnabled(w, enabled);
    setEnabled(ui_.chkRandomLine, enabled && mode != Effects::Mode::LineOnOff);
    setEnabled(ui_.chkRandomHPos, enabled);
    if (enabled && mode == Effects::Mode::Looping)
        fx_.looping().LoopSetup();
    for (QWidget* w : {static_cast<QWidget*>(ui_.lblRandomVPos), static_cast<QWidget*>(ui_.lblRandomVSplit),
                       static_cast<QWidget*>(ui_.lblRandomVSize)})
        setEnabled(w, enabled);
    // Broadcast mode switched during a run would leave the last text on the titlers that the clearing no longer
    // reaches (and its layout would hand the titler list back); a spinner would change the box it sits beside.
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui_.chkBroadcastMode, ui_.updRandomVPos, ui_.updStartPage, ui_.updEndPage})
        setEnabled(w, enabled);
    QCoreApplication::processEvents();
}

void Sequencer::lockFileActions(bool locked)
{
    // The File menu with its items (their keys as well) and the toolbar's file buttons, which are the same by
    // another way. Only what this lock disabled is enabled again.
    if (!locked) {
        for (const QPointer<QAction>& a : std::exchange(lockedFileActions_, {}))
            if (a)
                a->setEnabled(true);
        return;
    }
    QWidget* window = z_.ui.frmZELK;
    if (!window)
        return;
    QList<QAction*> file;
    if (auto* menu = window->findChild<QMenu*>(QStringLiteral("mnuFile")))
        file << menu->menuAction() << menu->actions();
    for (const char* name : {"tbNew", "tbOpen", "tbSave"})
        if (auto* a = window->findChild<QAction*>(QLatin1String(name)))
            file << a;
    for (QAction* a : file)
        if (a->isEnabled()) {
            a->setEnabled(false);
            lockedFileActions_.append(a);
        }
}

// ---- timers -------------------------------------------------------------------------------------------------------

QTimer* Sequencer::timer(EffectTimer which) const
{
    switch (which) {
    case EffectTimer::OnMin:
        return z_.ui.tmrOnMin;
    case EffectTimer::OnSec:
        return z_.ui.tmrOnSec;
    case EffectTimer::OffMin:
        return z_.ui.tmrOffMin;
    case EffectTimer::OffSec:
        return z_.ui.tmrOffSec;
    case EffectTimer::None:
        break;
    }
    return nullptr;
}

void Sequencer::enableTimer(EffectTimer which)
{
    // A timer of interval 0 stays quiet (only stored times can ask for one); Qt would fire it at every turn.
    if (QTimer* t = timer(which); t && t->interval() > 0)
        t->start();
}

void Sequencer::stopTimers()
{
    for (QTimer* t : {z_.ui.tmrOnMin, z_.ui.tmrOnSec, z_.ui.tmrOffMin, z_.ui.tmrOffSec})
        if (t)
            t->stop();
}

void Sequencer::tmrOnMin_Timer()
{
    timerTick(EffectTimer::OnMin);
}

void Sequencer::tmrOnSec_Timer()
{
    timerTick(EffectTimer::OnSec);
}

void Sequencer::tmrOffMin_Timer()
{
    timerTick(EffectTimer::OffMin);
}

void Sequencer::tmrOffSec_Timer()
{
    timerTick(EffectTimer::OffSec);
}

void Sequencer::timerTick(EffectTimer which)
{
    if (z_.EventsSuppressed)
        return;
    try {
        if (z_.StopRequested) {
            if (QTimer* t = timer(which))
                t->stop();
            Stop();
            return;
        }
        // A tick that comes while the last action still sends is skipped: actions never run inside each other.
        if (busy_)
            return;
        if (running_ && runLink_ && runLink_->lost()) {
            Stop();
            return;
        }
        FlagGuard busy(busy_);
        const int generation = generation_;
        const effects::HandOver h = effects::handOver(which, boxes(), counters, false);
        runAction(h.action);
        if (generation != generation_ || z_.StopRequested || z_.EventsSuppressed)
            return;
        enableTimer(h.enable);
        if (QTimer* t = timer(h.disable))
            t->stop();
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void Sequencer::runAction(EffectAction action)
{
    const bool looping = ui_.optLooping->isChecked();
    if (action == EffectAction::On) {
        if (looping) {
            qint16 next = 0; // the page after the last one shown
            fx_.looping().LoopShowPage(next);
        } else {
            fx_.random().RandomStep();
        }
    } else if (action == EffectAction::Off) {
        if (looping)
            fx_.looping().LoopPause();
        else
            fx_.random().RandomClear();
    }
}

// ---- time boxes ---------------------------------------------------------------------------------------------------

void Sequencer::timeBox_Change(Box b)
{
    if (z_.EventsSuppressed || !z_.shell)
        return;
    const int s = slotFor(b);
    if (s < 0)
        return;
    QLineEdit* e = box(b);
    QString value = e->text();
    const BoxRange& r = kRanges[b];
    const QString shown =
        z_.shell->ValidateNumber(value, qint16(r.typedMax), qint16(r.typedMin), QStringLiteral("2"), s, 101);
    if (shown != e->text()) {
        const int caret = e->cursorPosition();
        e->setText(shown);
        e->setCursorPosition(std::min(caret, int(shown.size())));
    }
}

void Sequencer::stepTimeBox(Box b, const QString& direction)
{
    if (z_.EventsSuppressed)
        return;
    const BoxRange& r = kRanges[b];
    try {
        box(b)->setText(StepParameter(box(b)->text(), r.stepMax, r.stepMin, 2, direction));
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

// ---- target titlers -----------------------------------------------------------------------------------------------

void Sequencer::FillEffectTitlers()
{
    if (z_.EventsSuppressed)
        return;
    QListWidget* list = ui_.lstEnabledTitlers;
    while (list->count() > 0)
        delete list->takeItem(0);
    const QListWidget* names = z_.ui.lstTitlerNames;
    if (!names)
        return;
    for (int row = 0; row < std::min(names->count(), slot::kPages); ++row) {
        const QListWidgetItem* titler = names->item(row);
        if (!titler->isSelected())
            continue;
        auto* item = new QListWidgetItem(titler->text(), list);
        const int address = titler->text().left(kAddressChars).toInt();
        if (address >= 1 && address <= slot::kPages && z_.table.toBool(slot::titler(slot::kEffectTitlerBlock, address)))
            item->setSelected(true);
    }
}

void Sequencer::lstEnabledTitlers_Click()
{
    if (z_.EventsSuppressed)
        return;
    const QListWidgetItem* item = ui_.lstEnabledTitlers->currentItem();
    if (!item)
        return;
    const int address = item->text().left(kAddressChars).toInt();
    if (address >= 1 && address <= slot::kPages)
        z_.table.setBool(slot::titler(slot::kEffectTitlerBlock, address), item->isSelected());
}

bool Sequencer::IsTitlerSelected(int row) const
{
    const QListWidgetItem* item = ui_.lstEnabledTitlers->item(row);
    return item && item->isSelected();
}
