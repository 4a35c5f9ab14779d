#include "EffectsTab.h"

#include "effects/EffectsUi.h"
#include "effects/RandomRules.h"

#include "pages/EditorLine.h"
#include "pages/LineEditor.h"
#include "roster/RosterList.h"
#include "settings/NumberLabel.h"
#include "settings/UpDown.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace effects {

namespace {

template <typename T> T* named(T* w, const QString& name)
{
    w->setObjectName(name);
    return w;
}

QLabel* label(const QString& name, const QString& caption, QWidget* parent)
{
    return named(new QLabel(caption, parent), name);
}

QRadioButton* option(const QString& name, const QString& caption, QWidget* parent)
{
    return named(new QRadioButton(caption, parent), name);
}

QCheckBox* check(const QString& name, const QString& caption, QWidget* parent)
{
    return named(new QCheckBox(caption, parent), name);
}

// A two-digit number box with its spinner beside it.
QHBoxLayout* numberBox(QLineEdit*& box, UpDown*& spinner, const char* boxName, const char* spinName,
                       const QString& text, QWidget* parent)
{
    box = named(new QLineEdit(text, parent), QLatin1String(boxName));
    box->setMaxLength(2);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    spinner = named(new UpDown(parent), QLatin1String(spinName));
    spinner->setFixedHeight(box->sizeHint().height());
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(box);
    row->addWidget(spinner);
    return row;
}

QWidget* buildSequencerColumn(EffectsUi& ui, QWidget* parent)
{
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    ui.fraEffect = named(new QGroupBox(QStringLiteral("Effect"), column), QStringLiteral("fraEffect"));
    auto* effect = new QVBoxLayout(ui.fraEffect);
    ui.optRandom = option(QStringLiteral("optRandom"), QStringLiteral("Random"), ui.fraEffect);
    ui.optLineOnOff = option(QStringLiteral("optLineOnOff"), QStringLiteral("Line On/Off"), ui.fraEffect);
    ui.optLooping = option(QStringLiteral("optLooping"), QStringLiteral("Loop Screens"), ui.fraEffect);
    for (QWidget* o : {ui.optRandom, ui.optLineOnOff, ui.optLooping})
        effect->addWidget(o);
    ui.optRandom->setChecked(true);
    layout->addWidget(ui.fraEffect);

    auto* times = new QGridLayout;
    times->setHorizontalSpacing(6);
    ui.lblMin = label(QStringLiteral("lblMin"), QStringLiteral("Min"), column);
    ui.lblSec = label(QStringLiteral("lblSec"), QStringLiteral("Sec"), column);
    ui.lblTimeOn = label(QStringLiteral("lblTimeOn"), QStringLiteral("Time On"), column);
    ui.lblTimeOff = label(QStringLiteral("lblTimeOff"), QStringLiteral("Time Off"), column);
    times->addWidget(ui.lblMin, 0, 1, Qt::AlignCenter);
    times->addWidget(ui.lblSec, 0, 2, Qt::AlignCenter);
    times->addWidget(ui.lblTimeOn, 1, 0);
    times->addWidget(ui.lblTimeOff, 2, 0);
    const QString zero = QStringLiteral("00");
    times->addLayout(numberBox(ui.txtOnMin, ui.updOnMin, "txtOnMin", "updOnMin", zero, column), 1, 1);
    times->addLayout(numberBox(ui.txtOnSec, ui.updOnSec, "txtOnSec", "updOnSec", zero, column), 1, 2);
    times->addLayout(numberBox(ui.txtOffMin, ui.updOffMin, "txtOffMin", "updOffMin", zero, column), 2, 1);
    times->addLayout(numberBox(ui.txtOffSec, ui.updOffSec, "txtOffSec", "updOffSec", zero, column), 2, 2);
    times->setColumnStretch(3, 1);
    layout->addLayout(times);

    ui.lstEnabledTitlers = named(new RosterList(column), QStringLiteral("lstEnabledTitlers"));
    ui.lstEnabledTitlers->setToolTip(QStringLiteral("The titlers the effect runs on"));
    layout->addWidget(ui.lstEnabledTitlers, 1);
    return column;
}

// One outlined row of the loop status panel: a heading, then a caption and its value.
QFrame* statusBox(EffectsUi& ui, int shape, QLabel* heading, QLabel* caption, QLabel* value, QWidget* parent)
{
    auto* box = named(new QFrame(parent), QStringLiteral("shp1(%1)").arg(shape));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(6, 2, 6, 2);
    if (heading)
        row->addWidget(heading, 1);
    row->addWidget(caption);
    row->addWidget(value, heading ? 0 : 1);
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);
    QSizePolicy keep = box->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    box->setSizePolicy(keep);
    box->hide(); // until the loop layout shows the panel
    ui.shp1[std::size_t(shape)] = box;
    return box;
}

QWidget* buildStatusPanel(EffectsUi& ui, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 4, 0, 0);
    column->setSpacing(3);
    ui.lblPageLabel = label(QStringLiteral("lblPageLabel"), QStringLiteral("Current Text Page"), panel);
    ui.lblLoopNumLabel3 = label(QStringLiteral("lblLoopNumLabel(3)"), QStringLiteral("Number"), panel);
    ui.lblLoopCurPage = label(QStringLiteral("lblLoopCurPage"), QStringLiteral("01"), panel);
    ui.lblLoopTitlerLabel1 = label(QStringLiteral("lblLoopTitlerLabel(1)"), QStringLiteral("Name"), panel);
    ui.lblLoopTitlerName = label(QStringLiteral("lblLoopTitlerName"), QString(), panel);
    ui.lblAddress1 = label(QStringLiteral("lblAddress(1)"), QStringLiteral("Is Being Sent To"), panel);
    ui.lblLoopAddLabel0 = label(QStringLiteral("lblLoopAddLabel(0)"), QStringLiteral("Address"), panel);
    ui.lblLoopCurAdd = label(QStringLiteral("lblLoopCurAdd"), QStringLiteral("01"), panel);
    column->addWidget(statusBox(ui, 5, ui.lblPageLabel, ui.lblLoopNumLabel3, ui.lblLoopCurPage, panel));
    column->addWidget(statusBox(ui, 6, nullptr, ui.lblLoopTitlerLabel1, ui.lblLoopTitlerName, panel));
    column->addWidget(statusBox(ui, 7, ui.lblAddress1, ui.lblLoopAddLabel0, ui.lblLoopCurAdd, panel));
    return panel;
}

QWidget* buildScreenColumn(EffectsUi& ui, QWidget* parent)
{
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const int textWidth = QFontMetrics(fixed).horizontalAdvance(QString(kScreenWidth, QLatin1Char('W')));

    ui.lblEnterTextHere =
        label(QStringLiteral("lblEnterTextHere"), QStringLiteral("Enter Text to Be Displayed"), column);
    layout->addWidget(ui.lblEnterTextHere);
    ui.txtRandomText = named(new QLineEdit(column), QStringLiteral("txtRandomText"));
    ui.txtRandomText->setFont(fixed);
    ui.txtRandomText->setMaxLength(kScreenWidth);
    ui.txtRandomText->setFixedWidth(textWidth + 12);
    ui.lblEnterTextHere->setBuddy(ui.txtRandomText);

    auto* screen = new QGridLayout;
    screen->setHorizontalSpacing(3);
    screen->setVerticalSpacing(1);
    screen->addWidget(ui.txtRandomText, 0, 1);
    for (int n = 1; n <= kScreenLines; ++n) {
        auto* number = named(new LineLabel(QString::number(n), column), QStringLiteral("lblRandomLineNum(%1)").arg(n));
        number->setFrameShape(QFrame::Box);
        number->setFixedWidth(number->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 8);
        setLineLabelState(number, slot::kLineOn);
        ui.lblRandomLineNum[std::size_t(n)] = number;
        auto* shown = label(QStringLiteral("lblRandomDisp(%1)").arg(n), QString(), column);
        shown->setFont(fixed);
        shown->setFixedWidth(textWidth + 12);
        shown->setIndent(6);
        shown->setAutoFillBackground(true);
        QPalette pal = shown->palette();
        pal.setColor(QPalette::Window, Qt::black);
        pal.setColor(QPalette::WindowText, Qt::white);
        shown->setPalette(pal);
        ui.lblRandomDisp[std::size_t(n)] = shown;
        screen->addWidget(number, n, 0);
        screen->addWidget(shown, n, 1);
    }
    screen->setColumnStretch(2, 1);
    layout->addLayout(screen);
    layout->addWidget(buildStatusPanel(ui, column));
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    ui.cmdStart = named(new QPushButton(QStringLiteral("Start Effect"), column), QStringLiteral("cmdStart"));
    ui.cmdStop = named(new QPushButton(QStringLiteral("Stop Effect"), column), QStringLiteral("cmdStop"));
    for (QPushButton* b : {ui.cmdStart, ui.cmdStop}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    ui.cmdStop->setEnabled(false);
    layout->addLayout(buttons);
    return column;
}

QGroupBox* buildSizeFrame(EffectsUi& ui, QWidget* parent)
{
    auto* frame = named(new QGroupBox(QStringLiteral("Random Disp. Size"), parent), QStringLiteral("fraRandomSize"));
    auto* grid = new QGridLayout(frame);
    ui.lblRandomVSize = label(QStringLiteral("lblRandomVSize"), QStringLiteral("V-Size"), frame);
    grid->addWidget(ui.lblRandomVSize, 0, 0, 1, 2);
    ui.optRandomSize1x = option(QStringLiteral("optRandomSize1x"), QStringLiteral("1x"), frame);
    ui.optRandomSize2x = option(QStringLiteral("optRandomSize2x"), QStringLiteral("2x"), frame);
    ui.optRandomSize1s = option(QStringLiteral("optRandomSize1s"), QStringLiteral("1s"), frame);
    ui.optRandomSize2s = option(QStringLiteral("optRandomSize2s"), QStringLiteral("2s"), frame);
    grid->addWidget(ui.optRandomSize1x, 1, 0);
    grid->addWidget(ui.optRandomSize2x, 1, 1);
    grid->addWidget(ui.optRandomSize1s, 2, 0);
    grid->addWidget(ui.optRandomSize2s, 2, 1);

    ui.lblRandomVSplit = label(QStringLiteral("lblRandomVSplit"), QStringLiteral("V-Pos"), frame);
    ui.lblRandomVPos = named(new NumberLabel(QString(), frame), QStringLiteral("lblRandomVPos"));
    ui.lblRandomVPos->setFrameShape(QFrame::Panel);
    ui.lblRandomVPos->setFrameShadow(QFrame::Sunken);
    ui.lblRandomVPos->setAlignment(Qt::AlignCenter);
    ui.lblRandomVPos->setFixedWidth(ui.lblRandomVPos->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 10);
    ui.updRandomVPos = named(new UpDown(frame), QStringLiteral("updRandomVPos"));
    auto* vPos = new QHBoxLayout;
    vPos->setSpacing(0);
    vPos->addWidget(ui.lblRandomVSplit);
    vPos->addSpacing(6);
    vPos->addWidget(ui.lblRandomVPos);
    vPos->addWidget(ui.updRandomVPos);
    vPos->addStretch(1);
    grid->addLayout(vPos, 3, 0, 1, 2);
    return frame;
}

QGroupBox* buildLoopFrame(EffectsUi& ui, QWidget* parent)
{
    auto* frame = named(new QGroupBox(QStringLiteral("Looping Setup"), parent), QStringLiteral("fraLoopPages"));
    auto* grid = new QGridLayout(frame);
    ui.lblStartPage = label(QStringLiteral("lblStartPage"), QStringLiteral("Start Page"), frame);
    ui.lblEndPage = label(QStringLiteral("lblEndPage"), QStringLiteral("End Page"), frame);
    const QString first = QStringLiteral("01");
    grid->addWidget(ui.lblStartPage, 0, 0);
    grid->addLayout(numberBox(ui.txtStartPage, ui.updStartPage, "txtStartPage", "updStartPage", first, frame), 0, 1);
    grid->addWidget(ui.lblEndPage, 1, 0);
    grid->addLayout(numberBox(ui.txtEndPage, ui.updEndPage, "txtEndPage", "updEndPage", first, frame), 1, 1);
    ui.chkLoop = check(QStringLiteral("chkLoop"), QStringLiteral("Loop"), frame);
    grid->addWidget(ui.chkLoop, 2, 0, 1, 2);
    grid->setColumnStretch(2, 1);
    // Until the loop layout takes them.
    ui.chkLoop->setEnabled(false);
    frame->setEnabled(false);
    frame->hide();
    return frame;
}

QWidget* buildOptionsColumn(EffectsUi& ui, QWidget* parent)
{
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    ui.fraRandomSize = buildSizeFrame(ui, column);
    ui.fraLoopPages = buildLoopFrame(ui, column);
    layout->addWidget(ui.fraRandomSize);
    layout->addWidget(ui.fraLoopPages);

    ui.fraRandomStyle = named(new QGroupBox(QStringLiteral("Random Style"), column), QStringLiteral("fraRandomStyle"));
    auto* style = new QVBoxLayout(ui.fraRandomStyle);
    ui.chkRandomLine = check(QStringLiteral("chkRandomLine"), QStringLiteral("Random Vert."), ui.fraRandomStyle);
    ui.chkRandomHPos = check(QStringLiteral("chkRandomHPos"), QStringLiteral("Random Horz."), ui.fraRandomStyle);
    ui.chkRandomLine->setChecked(true);
    style->addWidget(ui.chkRandomLine);
    style->addWidget(ui.chkRandomHPos);
    layout->addWidget(ui.fraRandomStyle);

    ui.chkBroadcastMode = check(QStringLiteral("chkBroadcastMode"), QStringLiteral("Broadcast Mode"), column);
    layout->addWidget(ui.chkBroadcastMode);
    ui.lblBroadcastMode =
        label(QStringLiteral("lblBroadcastMode"), QStringLiteral("Broadcast Mode - ALL PXT-12's"), column);
    QFont bold = ui.lblBroadcastMode->font();
    bold.setBold(true);
    ui.lblBroadcastMode->setFont(bold);
    QPalette warning = ui.lblBroadcastMode->palette();
    warning.setColor(QPalette::WindowText, Qt::red);
    ui.lblBroadcastMode->setPalette(warning);
    ui.lblBroadcastMode->setWordWrap(true);
    QSizePolicy keep = ui.lblBroadcastMode->sizePolicy();
    keep.setRetainSizeWhenHidden(true); // blinking must not move the controls around it
    ui.lblBroadcastMode->setSizePolicy(keep);
    ui.lblBroadcastMode->hide();
    layout->addWidget(ui.lblBroadcastMode);
    layout->addStretch(1);
    return column;
}

} // namespace

QWidget* buildTab(EffectsUi& ui, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("effectsPanel"));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(8);
    grid->addWidget(buildSequencerColumn(ui, panel), 0, 0);
    grid->addWidget(buildScreenColumn(ui, panel), 0, 1);
    grid->addWidget(buildOptionsColumn(ui, panel), 0, 2);
    grid->setColumnStretch(0, 1);
    return panel;
}

} // namespace effects
