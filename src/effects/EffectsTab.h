#pragma once
// The layout of the "Effects" tab: builds every control with its name and caption into the EffectsUi registry, in
// its opening state. What the controls do is wired by the sequencer and the effects.

class QWidget;
struct EffectsUi;

namespace effects {

QWidget* buildTab(EffectsUi& ui, QWidget* parent);

} // namespace effects
