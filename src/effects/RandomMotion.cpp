#include "RandomMotion.h"

#include "effects/EffectInputs.h"
#include "effects/Effects.h"
#include "effects/Sequencer.h"

#include "app/Zelk.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "link/CommandProtocol.h"
#include "link/LinkWatch.h"
#include "pages/CharFilter.h"
#include "pages/EditorLine.h"
#include "pages/LineEditor.h"
#include "roster/RosterList.h"
#include "settings/AdjusterRules.h"
#include "settings/NumberLabel.h"
#include "settings/UpDown.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

struct RandomSize
{
    const char* code;
    int vPosMax;
};
// 1x, 2x, 1s, 2s: the vertical size code and how far down the text may go with it.
constexpr RandomSize kSizes[] = {{"471", 64}, {"472", 64}, {"475", 80}, {"476", 40}};

const QString kLineSize1x = QStringLiteral("451");
const QString kLineVPos = QStringLiteral("27");
const QString kLineHPos = QStringLiteral("16");

// What a titler gets of a preview text: capitals, and the editor's block space as the titler's block.
QString forTitler(const QString& caption)
{
    QString text = caption.toUpper();
    text.replace(QChar(editor::kBlockSpace), QChar(1));
    return text;
}

} // namespace

RandomMotion::RandomMotion(Zelk& z, Effects& fx)
    : z_(z), fx_(fx), ui_(fx.ui()), generator_(quint32(z.clock.now().toMSecsSinceEpoch()))
{
    // Seeded once: seeding again from the clock at every draw gives the same number within one clock tick.
    source_ = [this] { return generator_.generateDouble(); };
}

void RandomMotion::connectControls()
{
    EffectsUi& ui = ui_;
    auto onSelected = [this](QRadioButton* o, std::function<void()> handler) {
        connect(o, &QRadioButton::toggled, this, [handler](bool on) {
            if (on)
                handler();
        });
    };
    onSelected(ui.optRandom, [this] { optRandom_Click(); });
    onSelected(ui.optLineOnOff, [this] { optLineOnOff_Click(); });
    QRadioButton* const sizes[] = {ui.optRandomSize1x, ui.optRandomSize2x, ui.optRandomSize1s, ui.optRandomSize2s};
    for (int i = 0; i < 4; ++i) {
        const QString code = QLatin1String(kSizes[i].code);
        onSelected(sizes[i], [this, code] { optRandomSize_Click(code); });
    }
    connect(ui.txtRandomText, &QLineEdit::textChanged, this, &RandomMotion::txtRandomText_Change);
    ui.txtRandomText->installEventFilter(this);
    for (int n = 1; n <= effects::kScreenLines; ++n)
        connect(ui.lblRandomLineNum[std::size_t(n)], &LineLabel::clicked, this,
                [this, n] { lblRandomLineNum_Click(n); });
    connect(ui.lblRandomVPos, &NumberLabel::changed, this, &RandomMotion::lblRandomVPos_Change);
    new SpinRepeat(ui.updRandomVPos, [this](const QString& direction) { updRandomVPos_Step(direction); });
    connect(ui.chkRandomHPos, &QCheckBox::clicked, this, &RandomMotion::chkRandomHPos_Click);
    connect(ui.chkRandomLine, &QCheckBox::clicked, this, &RandomMotion::chkRandomLine_Click);
}

bool RandomMotion::broadcast() const
{
    return ui_.chkBroadcastMode->isChecked();
}

void RandomMotion::send(const QString& address, const QString& code, const QString& p1, const QString& p2)
{
    if (z_.protocol)
        z_.protocol->SendCommand(address, code, p1, p2);
}

bool RandomMotion::forEachSelected(int generation, const std::function<void(const QString&)>& sendTo)
{
    const Sequencer& sequencer = fx_.sequencer();
    const LinkWatch link(z_.LinkOnline);
    for (int row = 0; row < ui_.lstEnabledTitlers->count(); ++row) {
        if (sequencer.overtaken(generation) || link.lost())
            return false;
        if (sequencer.IsTitlerSelected(row))
            sendTo(ui_.lstEnabledTitlers->item(row)->text().left(2));
        QCoreApplication::processEvents();
    }
    return true;
}

qint16 RandomMotion::RandomInt(int count, int base)
{
    return effects::randomInt(count, base, source_());
}

// ---- the on and off actions ---------------------------------------------------------------------------------------

void RandomMotion::RandomStep()
{
    if (z_.EventsSuppressed)
        return;
    try {
        const int generation = fx_.sequencer().generation();
        std::array<bool, effects::kScreenLines + 1> usable{};
        for (int n = 1; n <= effects::kScreenLines; ++n)
            usable[std::size_t(n)] = lineLabelState(ui_.lblRandomLineNum[std::size_t(n)]) == slot::kLineOn;
        const int line =
            effects::chooseLine(usable, LastRandomLine, PreviousRandomLine, [this] { return RandomInt(9, 1); });

        if (LastRandomLine >= 1 && LastRandomLine <= effects::kScreenLines)
            ui_.lblRandomDisp[std::size_t(LastRandomLine)]->clear();
        const QString caption = ui_.chkRandomHPos->isChecked() ? RandomHorizontalText() : ui_.txtRandomText->text();
        ui_.lblRandomDisp[std::size_t(line)]->setText(caption);
        const QString text = forTitler(caption);
        const QString cell = effects::cellNumber(line);
        const QString last = QString::number(LastRandomLine);
        const QString next = QString::number(line);

        if (broadcast()) {
            send(code::kBroadcast, code::kLineOff, last);
            send(code::kBroadcast, code::kWriteText, cell, text);
        } else {
            // Stop may come between two titlers; it then takes this new line from those written so far.
            stepLine_ = line;
            stepReached_.clear();
            forEachSelected(generation, [&](const QString& address) {
                send(address, code::kLineOff, last);
                send(address, code::kLineOff, next);
                send(address, code::kWriteText, cell, text);
                stepReached_.append(address);
            });
            stepLine_ = 0;
            stepReached_.clear();
        }
        PreviousRandomLine = LastRandomLine;
        LastRandomLine = qint16(line);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void RandomMotion::RandomClear()
{
    if (z_.EventsSuppressed)
        return;
    try {
        const QString last = QString::number(LastRandomLine);
        if (broadcast())
            send(code::kBroadcast, code::kLineOff, last);
        else
            forEachSelected(fx_.sequencer().generation(),
                            [&](const QString& address) { send(address, code::kLineOff, last); });
        // A step stopped half-way: the titlers it reached show its new line as well.
        const QStringList reached = std::exchange(stepReached_, {});
        for (const QString& address : reached)
            send(address, code::kLineOff, QString::number(stepLine_));
        if (z_.EventsSuppressed)
            return;
        for (int n = 1; n <= effects::kScreenLines; ++n)
            ui_.lblRandomDisp[std::size_t(n)]->clear();
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void RandomMotion::sendRandomStartCommands()
{
    if (z_.EventsSuppressed)
        return;
    const QString vPos = ui_.lblRandomVPos->text();
    const QString size = z_.table.text(slot::kRandomSizeCode);
    if (broadcast()) {
        send(code::kBroadcast, code::kVPosition, QString(), vPos);
        send(code::kBroadcast, size);
        return;
    }
    forEachSelected(fx_.sequencer().generation(), [&](const QString& address) {
        send(address, size);
        send(address, code::kVPosition, QString(), vPos);
    });
}

void RandomMotion::sendLineStartCommands()
{
    if (z_.EventsSuppressed)
        return;
    const QString size = z_.table.text(slot::kRandomSizeCode);
    auto start = [&](const QString& address) {
        send(address, kLineSize1x);
        send(address, size);
        send(address, code::kVPosition, QString(), kLineVPos);
        send(address, code::kHPosition, QString(), kLineHPos);
    };
    if (broadcast())
        start(code::kBroadcast);
    else
        forEachSelected(fx_.sequencer().generation(), start);
}

QString RandomMotion::RandomHorizontalText()
{
    return effects::horizontalText(ui_.txtRandomText->text(), shifts,
                                   [this](int count) { return RandomInt(count, 0); });
}

// ---- layout -------------------------------------------------------------------------------------------------------

void RandomMotion::setLineColours(const std::function<qint32(int)>& colourOf)
{
    for (int n = 1; n <= effects::kScreenLines; ++n)
        setLineLabelState(ui_.lblRandomLineNum[std::size_t(n)], colourOf(n));
}

void RandomMotion::setCheck(QCheckBox* box, bool on, void (RandomMotion::*click)())
{
    // Setting a box is a click of it, as when the operator does it.
    box->setChecked(on);
    (this->*click)();
}

void RandomMotion::ShowRandomSetup()
{
    if (z_.EventsSuppressed)
        return;
    try {
        EffectsUi& ui = ui_;
        ui.chkLoop->setEnabled(false);
        ui.chkBroadcastMode->setVisible(true);
        ui.fraLoopPages->setVisible(false);
        ui.fraLoopPages->setEnabled(false);
        ui.fraRandomSize->setVisible(true);
        ui.lblEnterTextHere->setEnabled(true);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 ui.lblStartPage, ui.lblEndPage, ui.lblPageLabel, ui.lblLoopNumLabel3, ui.lblLoopCurPage,
                 ui.lblAddress1, ui.lblLoopAddLabel0, ui.lblLoopTitlerLabel1, ui.lblLoopCurAdd, ui.lblLoopTitlerName})
            w->setEnabled(false);
        ui.lstEnabledTitlers->setEnabled(true);
        ui.txtRandomText->setEnabled(true);
        ui.txtStartPage->setEnabled(false);
        ui.txtEndPage->setEnabled(false);

        ui.txtRandomText->setText(z_.table.text(slot::kRandomText));
        ui.lblRandomVPos->setText(z_.table.text(slot::kRandomVPos));

        OldFirmwarePresent = false;
        for (int a = 1; a <= slot::kPages && z_.protocol; ++a) {
            const QString address = twoDigits(a);
            QString none, noParam;
            if (z_.protocol->IsTitlerEnabled(address) && z_.protocol->FirmwareFilter(address, none, noParam)) {
                OldFirmwarePresent = true;
                break;
            }
        }
        ui.optRandomSize2s->setEnabled(!OldFirmwarePresent);
        chooseSize(z_.table.text(slot::kRandomSizeCode));

        const int times[2][4] = {{slot::kRandomOnMin, slot::kRandomOnSec, slot::kRandomOffMin, slot::kRandomOffSec},
                                 {slot::kLineOnMin, slot::kLineOnSec, slot::kLineOffMin, slot::kLineOffSec}};
        auto showTimes = [&](const int(&s)[4]) {
            QLineEdit* const boxes[] = {ui.txtOnMin, ui.txtOnSec, ui.txtOffMin, ui.txtOffSec};
            for (int i = 0; i < 4; ++i)
                boxes[i]->setText(z_.table.text(s[i]));
        };
        const Effects::Mode mode = fx_.chosenMode();
        if (mode == Effects::Mode::Random) {
            ui.chkRandomHPos->setEnabled(true);
            ui.chkRandomLine->setEnabled(true);
            ui.fraRandomStyle->setEnabled(true);
            showTimes(times[0]);
            setCheck(ui.chkRandomHPos, z_.table.toInt(slot::kRandomHPos) != 0, &RandomMotion::chkRandomHPos_Click);
            setCheck(ui.chkRandomLine, true, &RandomMotion::chkRandomLine_Click);
            setLineColours([this](int n) { return z_.table.toInt(slot::kRandomLineState1 + n - 1); });
        } else if (mode == Effects::Mode::LineOnOff) {
            ui.chkRandomHPos->setEnabled(true);
            setCheck(ui.chkRandomHPos, z_.table.toInt(slot::kLineHPos) != 0, &RandomMotion::chkRandomHPos_Click);
            setCheck(ui.chkRandomLine, false, &RandomMotion::chkRandomLine_Click);
            ui.chkRandomLine->setEnabled(false);
            showTimes(times[1]);
            const int on = z_.table.toInt(slot::kLineOnOffLine);
            setLineColours([on](int n) { return n == on ? slot::kLineOn : slot::kLineOff; });
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void RandomMotion::chooseSize(const QString& sizeCode)
{
    QRadioButton* const sizes[] = {ui_.optRandomSize1x, ui_.optRandomSize2x, ui_.optRandomSize1s, ui_.optRandomSize2s};
    for (int i = 0; i < 4; ++i) {
        if (sizeCode != QLatin1String(kSizes[i].code))
            continue;
        if (sizes[i]->isChecked())
            optRandomSize_Click(sizeCode); // selecting it again is still its click
        else
            sizes[i]->setChecked(true);
    }
}

void RandomMotion::optRandom_Click()
{
    if (z_.EventsSuppressed)
        return;
    z_.table.setInt16(slot::kEffectMode, 1);
    ShowRandomSetup();
}

void RandomMotion::optLineOnOff_Click()
{
    if (z_.EventsSuppressed)
        return;
    z_.table.setInt16(slot::kEffectMode, 2);
    ShowRandomSetup();
}

// ---- the random text and the line selector ------------------------------------------------------------------------

bool RandomMotion::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_.txtRandomText && event->type() == QEvent::KeyPress)
        return txtRandomText_KeyPress(static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

bool RandomMotion::txtRandomText_KeyPress(QKeyEvent* key)
{
    if (z_.EventsSuppressed)
        return false;
    const QString typed = key->text();
    if (typed.isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Delete ||
        key->key() == Qt::Key_Escape)
        return false;
    const int c = editor::FilterChar(typed.at(0).unicode(), z_.editor && z_.editor->BlockSpaceMode);
    if (c == 0)
        return true;
    if (c == 8 || c == 13)
        return false;
    QLineEdit* box = ui_.txtRandomText;
    if (c != '.' && !box->hasSelectedText() && box->cursorPosition() < box->text().size())
        box->setSelection(box->cursorPosition(), 1); // typing overwrites
    box->insert(QString(QChar(char16_t(c))));
    return true;
}

void RandomMotion::txtRandomText_Change()
{
    if (z_.EventsSuppressed)
        return;
    QLineEdit* box = ui_.txtRandomText;
    if (box->text().size() < effects::kScreenWidth) {
        const int caret = box->cursorPosition();
        box->setText(editor::padLine(box->text())); // its own change handling stores it
        box->setCursorPosition(caret);
        return;
    }
    z_.table.setText(slot::kRandomText, box->text());
}

void RandomMotion::lblRandomLineNum_Click(int line)
{
    if (z_.EventsSuppressed)
        return;
    const Effects::Mode mode = fx_.chosenMode();
    if (mode == Effects::Mode::Random) {
        QLabel* label = ui_.lblRandomLineNum[std::size_t(line)];
        const qint32 colour = lineLabelState(label) == slot::kLineOn ? slot::kLineOff : slot::kLineOn;
        setLineLabelState(label, colour);
        z_.table.setInt32(slot::kRandomLineState1 + line - 1, colour);
    } else if (mode == Effects::Mode::LineOnOff) {
        setLineColours([line](int n) { return n == line ? slot::kLineOn : slot::kLineOff; });
        z_.table.setInt16(slot::kLineOnOffLine, qint16(line));
    }
}

// ---- size, vertical position and style ----------------------------------------------------------------------------

int RandomMotion::vPosMax() const
{
    QRadioButton* const sizes[] = {ui_.optRandomSize1x, ui_.optRandomSize2x, ui_.optRandomSize1s, ui_.optRandomSize2s};
    for (int i = 0; i < 4; ++i)
        if (sizes[i]->isChecked())
            return kSizes[i].vPosMax;
    return kSizes[0].vPosMax;
}

void RandomMotion::optRandomSize_Click(const QString& sizeCode)
{
    if (z_.EventsSuppressed)
        return;
    try {
        z_.table.setText(slot::kRandomSizeCode, sizeCode);
        QString value = ui_.lblRandomVPos->text();
        ui_.lblRandomVPos->setText(FormatParameter(value, qint16(vPosMax()), 1, QStringLiteral("2")));
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void RandomMotion::lblRandomVPos_Change()
{
    if (z_.EventsSuppressed)
        return;
    try {
        QString value = ui_.lblRandomVPos->text();
        const QString shown = FormatParameter(value, qint16(vPosMax()), 1, QStringLiteral("2"));
        ui_.lblRandomVPos->setText(shown); // announces nothing when it is already so
        z_.table.setText(slot::kRandomVPos, shown);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void RandomMotion::updRandomVPos_Step(const QString& direction)
{
    if (z_.EventsSuppressed)
        return;
    try {
        ui_.lblRandomVPos->setText(StepParameter(ui_.lblRandomVPos->text(), vPosMax(), 1, 2, direction));
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void RandomMotion::chkRandomHPos_Click()
{
    if (z_.EventsSuppressed)
        return;
    const qint16 value = ui_.chkRandomHPos->isChecked() ? 1 : 0;
    const Effects::Mode mode = fx_.chosenMode();
    if (mode == Effects::Mode::Random)
        z_.table.setInt16(slot::kRandomHPos, value);
    else if (mode == Effects::Mode::LineOnOff)
        z_.table.setInt16(slot::kLineHPos, value);
}

void RandomMotion::chkRandomLine_Click()
{
    if (z_.EventsSuppressed || fx_.chosenMode() != Effects::Mode::Random)
        return;
    // Random always moves between lines; the box only shows it.
    if (!ui_.chkRandomLine->isChecked())
        ui_.chkRandomLine->setChecked(true);
    z_.table.setInt16(slot::kRandomLine, 1);
}
