#pragma once
// The named controls of the "Effects" tab, as EffectsTab builds them; every part of the effects reaches them here.

#include "app/Zelk.h"

class LineLabel;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class NumberLabel;
class RosterList;
class UpDown;

struct EffectsUi
{
    // Effect choice and the sequencer
    QGroupBox* fraEffect = nullptr;
    QRadioButton *optRandom = nullptr, *optLineOnOff = nullptr, *optLooping = nullptr;
    QLabel *lblTimeOn = nullptr, *lblTimeOff = nullptr, *lblMin = nullptr, *lblSec = nullptr;
    QLineEdit *txtOnMin = nullptr, *txtOnSec = nullptr, *txtOffMin = nullptr, *txtOffSec = nullptr;
    UpDown *updOnMin = nullptr, *updOnSec = nullptr, *updOffMin = nullptr, *updOffSec = nullptr;
    RosterList* lstEnabledTitlers = nullptr;
    QPushButton *cmdStart = nullptr, *cmdStop = nullptr;

    // Random motion and Line On/Off
    QLabel* lblEnterTextHere = nullptr;
    QLineEdit* txtRandomText = nullptr;
    Controls<LineLabel, 10> lblRandomLineNum{};
    Controls<QLabel, 10> lblRandomDisp{};
    QGroupBox* fraRandomSize = nullptr;
    QRadioButton *optRandomSize1x = nullptr, *optRandomSize2x = nullptr;
    QRadioButton *optRandomSize1s = nullptr, *optRandomSize2s = nullptr;
    NumberLabel* lblRandomVPos = nullptr;
    UpDown* updRandomVPos = nullptr;
    QLabel *lblRandomVSplit = nullptr, *lblRandomVSize = nullptr;
    QGroupBox* fraRandomStyle = nullptr;
    QCheckBox *chkRandomLine = nullptr, *chkRandomHPos = nullptr;
    QCheckBox* chkBroadcastMode = nullptr;
    QLabel* lblBroadcastMode = nullptr;

    // Page looping and its status panel
    QGroupBox* fraLoopPages = nullptr;
    QLabel *lblStartPage = nullptr, *lblEndPage = nullptr;
    QLineEdit *txtStartPage = nullptr, *txtEndPage = nullptr;
    UpDown *updStartPage = nullptr, *updEndPage = nullptr;
    QCheckBox* chkLoop = nullptr;
    QLabel *lblPageLabel = nullptr, *lblLoopNumLabel3 = nullptr, *lblLoopCurPage = nullptr;
    QLabel *lblLoopTitlerLabel1 = nullptr, *lblLoopTitlerName = nullptr;
    QLabel *lblAddress1 = nullptr, *lblLoopAddLabel0 = nullptr, *lblLoopCurAdd = nullptr;
    Controls<QFrame, 8> shp1{}; // 5, 6 and 7: the outlines of the status panel
};
