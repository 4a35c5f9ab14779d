#include "EffectInputs.h"

#include "core/NumericKeys.h"
#include "settings/AdjusterRules.h"
#include "settings/UpDown.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

constexpr int kRepeatMs = 150;

} // namespace

void DigitBoxes::watch(QLineEdit* box, std::function<void()> lostFocus)
{
    lostFocus_.insert(box, std::move(lostFocus));
    box->installEventFilter(this);
}

bool DigitBoxes::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box || !lostFocus_.contains(watched))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        return dropNumericKey(box, static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            lostFocus_.value(watched)();
    }
    return false;
}

SpinRepeat::SpinRepeat(UpDown* spinner, std::function<void(const QString&)> step)
    : QObject(spinner), spinner_(spinner), step_(std::move(step)), repeat_(new QTimer(this))
{
    repeat_->setInterval(kRepeatMs);
    connect(spinner, &UpDown::mouseDown, this, &SpinRepeat::press);
    connect(spinner, &UpDown::mouseUp, this, &SpinRepeat::release);
    connect(repeat_, &QTimer::timeout, this, [this] {
        // A spinner disabled or hidden while held never sees its release.
        if (!spinner_->isEnabled() || !spinner_->isVisible())
            release();
        else
            step_(direction_);
    });
}

void SpinRepeat::press(int y)
{
    direction_ = y < spinner_->height() / 2 ? adjust::kAdd : adjust::kSubtract;
    step_(direction_);
    repeat_->start();
}

void SpinRepeat::release()
{
    repeat_->stop();
}
