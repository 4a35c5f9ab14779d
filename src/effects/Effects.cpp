#include "Effects.h"

#include "effects/BroadcastMode.h"
#include "effects/EffectsTab.h"
#include "effects/PageLooping.h"
#include "effects/RandomMotion.h"
#include "effects/Sequencer.h"

#include "app/Zelk.h"
#include "roster/RosterRules.h"

#include <QCheckBox>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>

Effects::Effects(Zelk& z)
    : z_(z), sequencer_(std::make_unique<Sequencer>(z, *this)), random_(std::make_unique<RandomMotion>(z, *this)),
      looping_(std::make_unique<PageLooping>(z, *this)), broadcast_(std::make_unique<BroadcastMode>(z, *this))
{
    z_.effects = this;
}

Effects::~Effects() = default;

QWidget* Effects::buildPanel(QWidget* parent)
{
    QWidget* panel = effects::buildTab(ui_, parent);
    z_.ui.cmdStart = ui_.cmdStart;
    // Connected after the controls took their opening state, which is no operator's choice to store.
    sequencer_->connectControls();
    random_->connectControls();
    looping_->connectControls();
    broadcast_->connectControls();
    return panel;
}

Effects::Mode Effects::chosenMode() const
{
    if (ui_.optLooping && ui_.optLooping->isChecked())
        return Mode::Looping;
    if (ui_.optLineOnOff && ui_.optLineOnOff->isChecked())
        return Mode::LineOnOff;
    if (ui_.optRandom && ui_.optRandom->isChecked())
        return Mode::Random;
    return Mode::None;
}

QString Effects::titlerName(const Zelk& z, const QString& address)
{
    bool isNumber = false;
    const int a = address.toInt(&isNumber);
    const QListWidget* names = z.ui.lstTitlerNames;
    if (!isNumber || a < 1 || a > slot::kPages || !names || !names->item(a - 1) || !names->item(a - 1)->isSelected())
        return {};
    return roster::namePart(names->item(a - 1)->text());
}

void Effects::ShowEffectsTab()
{
    if (z_.EventsSuppressed)
        return;
    sequencer_->FillEffectTitlers();
    if (ui_.chkBroadcastMode->isChecked() && z_.ui.tmrBlink)
        z_.ui.tmrBlink->start();
    // Choosing an option is its click, which lays the tab out; an option chosen already is laid out here.
    switch (z_.table.toInt(slot::kEffectMode)) {
    case 1:
        ui_.optRandom->setChecked(true);
        random_->ShowRandomSetup();
        break;
    case 2:
        ui_.optLineOnOff->setChecked(true);
        random_->ShowRandomSetup();
        break;
    case 3:
        ui_.optLooping->setChecked(true);
        looping_->LoopSetup();
        break;
    default:
        break;
    }
}

void Effects::AfterTabSwitch()
{
    // Reloading the page on a tab change runs the address handling, which stops the blink for a titler's own
    // address; broadcast mode lasts until it is unticked, and so does its warning.
    if (!z_.EventsSuppressed && ui_.chkBroadcastMode->isChecked() && z_.ui.tmrBlink && !z_.ui.tmrBlink->isActive())
        z_.ui.tmrBlink->start();
}

void Effects::StopForShutdown()
{
    if (sequencer_->running())
        sequencer_->Stop();
}
