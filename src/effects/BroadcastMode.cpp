#include "BroadcastMode.h"

#include "effects/Effects.h"
#include "effects/RandomMotion.h"

#include "app/Shell.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

const QString kWarning = QStringLiteral("Broadcast Mode - ALL PXT-12's");
constexpr int kFirstBlinkMs = 10;
constexpr int kShownMs = 1000;
constexpr int kHiddenMs = 500;

bool visible(const QWidget* w)
{
    return w && w->isVisible();
}

} // namespace

BroadcastMode::BroadcastMode(Zelk& z, Effects& fx) : z_(z), fx_(fx), ui_(fx.ui()) {}

void BroadcastMode::connectControls()
{
    connect(ui_.chkBroadcastMode, &QCheckBox::clicked, this, &BroadcastMode::chkBroadcastMode_Click);
    if (z_.ui.tmrBlink)
        connect(z_.ui.tmrBlink, &QTimer::timeout, this, &BroadcastMode::tmrBlink_Timer);
}

void BroadcastMode::chkBroadcastMode_Click()
{
    if (z_.EventsSuppressed || fx_.chosenMode() == Effects::Mode::Looping)
        return;
    ui_.lblBroadcastMode->setEnabled(true);
    if (ui_.chkBroadcastMode->isChecked()) {
        z_.ui.tmrBlink->setInterval(kFirstBlinkMs); // the first blink follows at once
        z_.ui.tmrBlink->start();
    } else {
        z_.ui.tmrBlink->stop();
        ui_.lblBroadcastMode->setVisible(false);
    }
    fx_.random().ShowRandomSetup();
}

void BroadcastMode::tmrBlink_Timer()
{
    if (z_.EventsSuppressed)
        return;
    Ui& ui = z_.ui;
    QTimer* blink = ui.tmrBlink;
    const int tab = z_.shell ? z_.shell->selectedTab() : 1;
    if (fx_.chosenMode() == Effects::Mode::Looping && tab == 2) {
        blink->stop();
        ui_.lblBroadcastMode->setVisible(false);
        ui_.chkBroadcastMode->setChecked(false);
        // The name beside the page is the titler's again (the warning may have been left on it).
        if (ui.lblTitlerName && ui.txtAddress) {
            const QString address = ui.txtAddress->text();
            ui.lblTitlerName->setText(address == code::kBroadcast ? QString() : Effects::titlerName(z_, address));
            QPalette pal = ui.lblTitlerName->palette();
            pal.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::ButtonText));
            ui.lblTitlerName->setPalette(pal);
        }
        return;
    }
    const bool addressBroadcast = ui.txtAddress && ui.txtAddress->text() == code::kBroadcast;
    if (ui.lblTitlerName && (visible(ui.framain[1]) || (visible(ui.framain[2]) && addressBroadcast))) {
        if (BlinkShown) {
            ui.lblTitlerName->clear();
            BlinkShown = false;
            blink->setInterval(kHiddenMs);
        } else {
            ui.lblTitlerName->setText(kWarning);
            QPalette pal = ui.lblTitlerName->palette();
            pal.setColor(QPalette::WindowText, Qt::black);
            ui.lblTitlerName->setPalette(pal);
            BlinkShown = true;
            blink->setInterval(kShownMs);
        }
    }
    if (visible(ui.framain[3]) && ui_.chkBroadcastMode->isChecked()) {
        ui_.lblBroadcastMode->setVisible(!BlinkShown);
        BlinkShown = !BlinkShown;
        blink->setInterval(BlinkShown ? kShownMs : kHiddenMs);
    }
}
