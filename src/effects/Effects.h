#pragma once
// The "Effects" tab as one subsystem: it builds the tab, owns the sequencer and the three effects, and is what the
// rest of the window calls (the tab change, the shutdown).

#include "effects/EffectsUi.h"

#include <QObject>
#include <memory>

class BroadcastMode;
class PageLooping;
class RandomMotion;
class Sequencer;
class QWidget;
class Zelk;

class Effects : public QObject
{
    Q_OBJECT
public:
    enum class Mode { None, Random, LineOnOff, Looping };

    explicit Effects(Zelk& z);
    ~Effects() override;

    // The contents of framain(3); registers cmdStart with the window.
    QWidget* buildPanel(QWidget* parent);

    // The tab change to "Effects": the titler list rebuilt, the blink resumed, the stored effect laid out.
    void ShowEffectsTab();
    // After any tab change: broadcast mode keeps its warning blinking whatever tab the page reload left.
    void AfterTabSwitch();
    // Shutdown: a running effect is stopped as Stop Effect does.
    void StopForShutdown();

    // The effect chosen by the option buttons.
    Mode chosenMode() const;
    // The name of the titler at address as the roster shows it; empty for a titler not enabled.
    static QString titlerName(const Zelk& z, const QString& address);

    EffectsUi& ui() { return ui_; }
    Sequencer& sequencer() { return *sequencer_; }
    RandomMotion& random() { return *random_; }
    PageLooping& looping() { return *looping_; }
    BroadcastMode& broadcast() { return *broadcast_; }

private:
    Zelk& z_;
    EffectsUi ui_;
    std::unique_ptr<Sequencer> sequencer_;
    std::unique_ptr<RandomMotion> random_;
    std::unique_ptr<PageLooping> looping_;
    std::unique_ptr<BroadcastMode> broadcast_;
};
