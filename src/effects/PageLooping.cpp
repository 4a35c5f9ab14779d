#include "PageLooping.h"

#include "effects/EffectInputs.h"
#include "effects/Effects.h"
#include "effects/Sequencer.h"

#include "app/Zelk.h"
#include "core/Errors.h"
#include "core/FlagGuard.h"
#include "link/CommandProtocol.h"
#include "pages/EditorLine.h"
#include "pages/LineEditor.h"
#include "pages/PageView.h"
#include "roster/RosterList.h"
#include "settings/AdjusterRules.h"
#include "settings/DisplaySettings.h"
#include "transmit/Transmission.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

const QString kFirstPage = QStringLiteral("01");

// The system's colour number of a colour: red in the low byte, then green, then blue.
qint32 colourNumber(const QColor& c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

} // namespace

PageLooping::PageLooping(Zelk& z, Effects& fx) : z_(z), fx_(fx), ui_(fx.ui()) {}

void PageLooping::showClamped(QLineEdit* box, const QString& shown)
{
    if (shown == box->text())
        return;
    // The clamped number is final: with no page before the end page ("00") clamping it again would give "01", and
    // that "00" again, without end.
    FlagGuard showing(showing_);
    const int caret = box->cursorPosition();
    box->setText(shown);
    box->setCursorPosition(std::min(caret, int(shown.size())));
}

void PageLooping::connectControls()
{
    connect(ui_.optLooping, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optLooping_Click();
    });
    connect(ui_.txtStartPage, &QLineEdit::textChanged, this, &PageLooping::txtStartPage_Change);
    connect(ui_.txtEndPage, &QLineEdit::textChanged, this, &PageLooping::txtEndPage_Change);
    digits_ = new DigitBoxes(this);
    digits_->watch(ui_.txtStartPage, [this] { txtStartPage_Change(); });
    digits_->watch(ui_.txtEndPage, [this] { txtEndPage_Change(); });
    new SpinRepeat(ui_.updStartPage, [this](const QString& direction) { updStartPage_Step(direction); });
    new SpinRepeat(ui_.updEndPage, [this](const QString& direction) { updEndPage_Step(direction); });
    connect(ui_.chkLoop, &QCheckBox::clicked, this, &PageLooping::chkLoop_Click);
}

void PageLooping::showStatusPanel(bool enabled, const QColor& border)
{
    for (QWidget* w : std::initializer_list<QWidget*>{ui_.lblPageLabel, ui_.lblLoopNumLabel3, ui_.lblLoopCurPage,
                                                      ui_.lblAddress1, ui_.lblLoopAddLabel0, ui_.lblLoopTitlerLabel1,
                                                      ui_.lblLoopCurAdd, ui_.lblLoopTitlerName})
        w->setEnabled(enabled);
    for (int i : {5, 6, 7}) {
        QFrame* shape = ui_.shp1[std::size_t(i)];
        // The outline only: the labels inside are frames of another class and keep their own look.
        shape->setStyleSheet(QStringLiteral(".QFrame { border: 1px solid %1; }").arg(border.name()));
        shape->setVisible(true);
    }
}

int PageLooping::endPage() const
{
    return toInteger16(ui_.txtEndPage->text(), QStringLiteral("Loop: end page"));
}

void PageLooping::LoopShowPage(qint16& page)
{
    if (z_.EventsSuppressed)
        return;
    try {
        const int generation = fx_.sequencer().generation();
        z_.TransmissionActive = true;
        showStatusPanel(true, Qt::black);
        if (page == 0)
            page = qint16(LastLoopPage + 1);
        if (endPage() < page) {
            if (!ui_.chkLoop->isChecked()) {
                fx_.sequencer().Stop();
                return;
            }
            page = toInteger16(ui_.txtStartPage->text(), QStringLiteral("Loop: start page"));
        }
        // Only pages 1..99 exist; the slots around them are the program's own tables.
        if (page < 1 || page > slot::kPages) {
            fx_.sequencer().Stop();
            return;
        }
        Ui& ui = z_.ui;
        ui.txtPageNumber->setText(QString::number(page));
        if (z_.pageView)
            z_.pageView->ShowPage();
        // Stopped while the page loaded: nothing of it has gone out yet, and nothing will.
        if (fx_.sequencer().overtaken(generation))
            return;

        const QString address = ui.txtAddress->text();
        ui_.lblLoopCurPage->setText(ui.txtPageNumber->text());
        // Taken from the roster: the name label beside the editor follows the address only on the editor tabs.
        ui_.lblLoopTitlerName->setText(Effects::titlerName(z_, address));
        ui_.lblLoopCurAdd->setText(address);

        // Once a page has begun to go out it goes out whole: display off, lines, settings, display on.
        if (z_.protocol)
            z_.protocol->SendCommand(address, code::kDisplayOff);
        if (z_.transmission)
            z_.transmission->SendPageLines(address, 0);
        if (z_.displaySettings)
            z_.displaySettings->SendSettings(address, QString(), QString());
        if (!fx_.sequencer().overtaken(generation))
            for (int n = 1; n <= slot::kLines; ++n)
                ui_.lblRandomDisp[std::size_t(n)]->setText(ui.txtMain[std::size_t(n)]->text());
        if (z_.protocol && ui.optDisplayOn && ui.optDisplayOn->isChecked())
            z_.protocol->SendCommand(address, code::kDisplayOn);
        LastLoopPage = page;
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void PageLooping::LoopPause()
{
    if (z_.EventsSuppressed)
        return;
    for (int n = 1; n <= slot::kLines; ++n)
        ui_.lblRandomDisp[std::size_t(n)]->clear();
    z_.TransmissionActive = false;
}

void PageLooping::LoopSetup()
{
    if (z_.EventsSuppressed)
        return;
    EffectsUi& ui = ui_;
    ui.chkBroadcastMode->setVisible(false); // Loop Screens never broadcasts
    ui.lblBroadcastMode->setVisible(false);
    ui.fraRandomSize->setVisible(false);
    ui.fraLoopPages->setVisible(true);
    for (QWidget* w : std::initializer_list<QWidget*>{ui.lstEnabledTitlers, ui.lblEnterTextHere, ui.txtRandomText})
        w->setEnabled(false);
    showStatusPanel(false, QApplication::palette().color(QPalette::Disabled, QPalette::WindowText));
    ui.lblLoopCurPage->setText(kFirstPage);
    ui.lblLoopCurAdd->setText(kFirstPage);
    ui.lblLoopTitlerName->clear();
    const qint32 buttonFace = colourNumber(QApplication::palette().color(QPalette::Button));
    for (int n = 1; n <= slot::kLines; ++n)
        setLineLabelState(ui.lblRandomLineNum[std::size_t(n)], buttonFace);
    ui.chkRandomLine->setEnabled(false);
    ui.chkRandomHPos->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{ui.fraLoopPages, ui.lblStartPage, ui.lblEndPage, ui.txtStartPage,
                                                      ui.txtEndPage, ui.chkLoop})
        w->setEnabled(true);
    // The end page first: the start page is clamped below it, and must not be clamped below the one shown before.
    ui.txtEndPage->setText(z_.table.text(slot::kLoopEndPage));
    ui.txtStartPage->setText(z_.table.text(slot::kLoopStartPage));
    ui.chkLoop->setChecked(z_.table.toInt(slot::kLoopEnabled) != 0);
    const int times[] = {slot::kLoopOnMin, slot::kLoopOnSec, slot::kLoopOffMin, slot::kLoopOffSec};
    QLineEdit* const boxes[] = {ui.txtOnMin, ui.txtOnSec, ui.txtOffMin, ui.txtOffSec};
    for (int i = 0; i < 4; ++i)
        boxes[i]->setText(z_.table.text(times[i]));
}

void PageLooping::optLooping_Click()
{
    if (z_.EventsSuppressed)
        return;
    z_.table.setInt16(slot::kEffectMode, 3);
    ui_.chkRandomLine->setChecked(false);
    ui_.chkRandomHPos->setChecked(false);
    LoopSetup();
}

// ---- the range ----------------------------------------------------------------------------------------------------

void PageLooping::txtEndPage_Change()
{
    if (z_.EventsSuppressed || showing_)
        return;
    try {
        QString value = ui_.txtEndPage->text();
        const QString shown = FormatParameter(value, slot::kPages, 1, QStringLiteral("2"));
        z_.table.setText(slot::kLoopEndPage, shown);
        showClamped(ui_.txtEndPage, shown);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void PageLooping::txtStartPage_Change()
{
    if (z_.EventsSuppressed || showing_)
        return;
    try {
        QString value = ui_.txtStartPage->text();
        const QString shown = FormatParameter(value, qint16(endPage() - 1), 1, QStringLiteral("2"));
        z_.table.setText(slot::kLoopStartPage, shown);
        showClamped(ui_.txtStartPage, shown);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void PageLooping::updEndPage_Step(const QString& direction)
{
    if (z_.EventsSuppressed)
        return;
    try {
        ui_.txtEndPage->setText(StepParameter(ui_.txtEndPage->text(), slot::kPages, 1, 2, direction));
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void PageLooping::updStartPage_Step(const QString& direction)
{
    if (z_.EventsSuppressed)
        return;
    try {
        ui_.txtStartPage->setText(StepParameter(ui_.txtStartPage->text(), endPage() - 1, 1, 2, direction));
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void PageLooping::chkLoop_Click()
{
    if (!z_.EventsSuppressed)
        z_.table.setInt16(slot::kLoopEnabled, ui_.chkLoop->isChecked() ? 1 : 0);
}
