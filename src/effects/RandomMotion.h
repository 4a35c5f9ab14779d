#pragma once
// Random motion and Line On/Off: the random text moved to a randomly chosen screen line at each on period and taken
// away at each off period, the line selector with its preview, the random size and vertical position, and the
// layout of the tab for these two effects.

#include "effects/RandomRules.h"

#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <functional>

class Effects;
class QCheckBox;
class QKeyEvent;
struct EffectsUi;
class Zelk;

class RandomMotion : public QObject
{
    Q_OBJECT
public:
    RandomMotion(Zelk& z, Effects& fx);

    void connectControls();

    // The on and the off action of Random and Line On/Off.
    void RandomStep();
    void RandomClear();
    // Sent by Start before the first step.
    void sendRandomStartCommands();
    void sendLineStartCommands();

    qint16 RandomInt(int count, int base);
    QString RandomHorizontalText();
    void ShowRandomSetup();

    void optRandom_Click();
    void optLineOnOff_Click();
    void txtRandomText_Change();
    // True when the key is used up.
    bool txtRandomText_KeyPress(QKeyEvent* key);
    void lblRandomLineNum_Click(int line);
    void optRandomSize_Click(const QString& sizeCode);
    void lblRandomVPos_Change();
    void updRandomVPos_Step(const QString& direction);
    void chkRandomHPos_Click();
    void chkRandomLine_Click();

    // Tests draw from their own sequence instead of the generator: values in [0, 1).
    void setRandomSource(std::function<double()> source) { source_ = std::move(source); }

    qint16 LastRandomLine = 0;
    qint16 PreviousRandomLine = 0;
    effects::Shifts shifts;
    bool OldFirmwarePresent = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool broadcast() const;
    // Runs send(address) for each selected row of lstEnabledTitlers in list order, yielding after every row, until
    // the run under `generation` is overtaken or the link is lost; false when it ended early.
    bool forEachSelected(int generation, const std::function<void(const QString&)>& send);
    void send(const QString& address, const QString& code, const QString& p1 = {}, const QString& p2 = {});
    int vPosMax() const;
    void chooseSize(const QString& sizeCode);
    void setLineColours(const std::function<qint32(int)>& colourOf);
    void setCheck(QCheckBox* box, bool on, void (RandomMotion::*click)());

    Zelk& z_;
    Effects& fx_;
    EffectsUi& ui_;
    int stepLine_ = 0;        // the line of the step under way
    QStringList stepReached_; // the titlers it has written so far
    QRandomGenerator generator_;
    std::function<double()> source_;
};
