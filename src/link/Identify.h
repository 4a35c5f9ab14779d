#pragma once
// "Identify Titlers" on the "Titler Names" tab: every enabled titler shows its own address and name in white, until
// "UnIdentify" puts back the page each one showed before, or clears it.

#include <QList>
#include <QObject>
#include <QString>

class Zelk;

struct IdentifyCommand
{
    QString code;
    QString param1;
    QString param2;
};

// The twelve commands that make one titler show its address on the fourth row and its name on the fifth, in white
// on a plain screen: time and date off, background on, display on, white, high contrast, 3x high and 1x wide
// characters, text positions 15, then the two rows.
QList<IdentifyCommand> identifyCommands(const QString& address, const QString& name);

class Identification : public QObject
{
public:
    // cmdIdentify must exist (the "Titler Names" panel is built).
    explicit Identification(Zelk& z);

    void cmdIdentify_Click();

    bool IdentifyActive = false; // the titlers show their identity; the button reads "UnIdentify"

private:
    void identify();
    // False when the link dropped in the middle, leaving titlers to be restored.
    bool unidentify();
    void restore(int address);
    QList<int> enabledTitlers() const;

    Zelk& z_;
    bool running_ = false; // a click that reaches the button while a run yields does nothing
};
