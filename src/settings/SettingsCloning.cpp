#include "SettingsCloning.h"

#include "app/AsRunLog.h"
#include "app/Shell.h"
#include "app/Zelk.h"
#include "core/Errors.h"
#include "core/FlagGuard.h"
#include "core/Numbers.h"
#include "link/LinkWatch.h"
#include "link/StatusLine.h"
#include "settings/DisplaySettings.h"
#include "core/NumericKeys.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

namespace {

constexpr int kStatusSendingSettings = 10;
constexpr int kStatusSettingsSent = 11;
constexpr int kStatusSettingsCloned = 15;
constexpr int kRangeMessage = 101;

} // namespace

void cloneSettings(PageTable& table, int sourceBase, int from, int to)
{
    // Pages outside 1..99 do not exist; their "slots" are the program's own tables.
    for (int p = std::max(from, 1); p <= std::min(to, slot::kPages); ++p)
        for (int k = slot::kFirstSetting; k <= slot::kLastSetting; ++k) {
            const Value v = table.at(sourceBase + k);
            table.set(slot::page(p, k), v);
            table.set(slot::page(p, k + slot::kSettingsCopyOffset), v);
        }
}

SettingsCloning::SettingsCloning(Zelk& z) : z_(z) {}

QWidget* SettingsCloning::build(QWidget* parent)
{
    auto* frame = new QGroupBox(QStringLiteral("Clone Setup"), parent);
    frame->setObjectName(QStringLiteral("fraCloneSetup"));
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    auto box = [&](QLineEdit*& member, const char* name, const char* labelName, const char* caption, int row) {
        auto* label = new QLabel(QLatin1String(caption), frame);
        label->setObjectName(QLatin1String(labelName));
        member = new QLineEdit(frame);
        member->setObjectName(QLatin1String(name));
        member->setMaxLength(2);
        member->setAlignment(Qt::AlignCenter);
        member->setFixedWidth(member->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
        member->installEventFilter(this);
        grid->addWidget(label, row, 0);
        grid->addWidget(member, row, 1);
    };
    box(start_, "txtCloneStart", "lblCloneStart", " Start Page", 0);
    box(end_, "txtCloneEnd", "lblCloneEnd", " End Page", 1);

    auto button = [&](QPushButton*& member, const char* name, const QString& caption, int row) {
        member = new QPushButton(caption, frame);
        member->setObjectName(QLatin1String(name));
        member->setAutoDefault(false);
        grid->addWidget(member, row, 2);
    };
    QPushButton* clone = nullptr;
    button(clone, "cmdCloneSettings", QStringLiteral("Clone"), 0);
    button(z_.ui.cmdCloneSettingsSend, "cmdCloneSettingsSend", QStringLiteral("Clone && Send"), 1);
    grid->setColumnStretch(3, 1);
    connect(clone, &QPushButton::clicked, this, &SettingsCloning::cmdCloneSettings_Click);
    connect(z_.ui.cmdCloneSettingsSend, &QPushButton::clicked, this, &SettingsCloning::cmdCloneSettingsSend_Click);
    return frame;
}

bool SettingsCloning::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == start_ || watched == end_) && !z_.EventsSuppressed) {
        auto* box = static_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::KeyPress)
            return dropNumericKey(box, static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusOut) {
            // Another window taking the focus (a message box, a menu) is not the operator leaving the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                box == start_ ? txtCloneStart_LostFocus() : txtCloneEnd_LostFocus();
        }
    }
    return QObject::eventFilter(watched, event);
}

void SettingsCloning::txtCloneStart_LostFocus()
{
    if (z_.EventsSuppressed || !z_.shell)
        return;
    QString value = start_->text();
    start_->setText(
        z_.shell->ValidateNumber(value, 99, 1, QStringLiteral("2"), slot::kCloneSettingsStart, kRangeMessage));
    z_.table.setText(slot::kCloneSettingsStart, start_->text());
}

void SettingsCloning::txtCloneEnd_LostFocus()
{
    if (z_.EventsSuppressed || !z_.shell)
        return;
    if (!end_->text().isEmpty()) {
        QString value = end_->text();
        end_->setText(
            z_.shell->ValidateNumber(value, 99, 1, QStringLiteral("2"), slot::kCloneSettingsEnd, kRangeMessage));
    }
    z_.table.setText(slot::kCloneSettingsEnd, end_->text());
}

std::pair<int, int> SettingsCloning::range() const
{
    return {toInteger16(start_->text(), QStringLiteral("cmdCloneSettings_Click: start page")),
            toInteger16(end_->text(), QStringLiteral("cmdCloneSettings_Click: end page"))};
}

void SettingsCloning::showStatus(int c)
{
    if (z_.status)
        z_.status->ShowStatus(c);
}

void SettingsCloning::cmdCloneSettings_Click()
{
    if (z_.EventsSuppressed)
        return;
    try {
        const auto [from, to] = range();
        cloneSettings(z_.table, z_.CurrentPageBase, from, to);
        showStatus(kStatusSettingsCloned);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void SettingsCloning::cmdCloneSettingsSend_Click()
{
    // A click that comes in while the pages are being sent must not start a second round inside the first.
    if (z_.EventsSuppressed || sending_ || !z_.displaySettings)
        return;
    FlagGuard running(sending_);
    const LinkWatch link(z_.LinkOnline);
    const int source = z_.CurrentPageBase; // the page clicked on, whatever the status line's yield lets in
    showStatus(kStatusSendingSettings);    // before the range is read: a range that cannot be read ends here
    try {
        const auto [from, to] = range();
        cloneSettings(z_.table, source, from, to); // the copies are made whether or not anything can be sent
        int unsent = 0; // the first page left unsent because the operator moved to another page
        {
            // The status line holds still and the clock asks nothing while the pages go out; a send already
            // running keeps its own hold.
            std::optional<FlagGuard> active;
            if (!z_.TransmissionActive)
                active.emplace(z_.TransmissionActive);
            for (int p = std::max(from, 1); p <= std::min(to, slot::kPages); ++p) {
                // Each page is sent as the page on view, which it equals: the round ends if the operator moves to
                // another page, or the line goes. A setting changed meanwhile is copied again before it goes out.
                if (z_.CurrentPageBase != source)
                    unsent = p;
                if (unsent || z_.EventsSuppressed || !z_.LinkOnline)
                    break;
                cloneSettings(z_.table, source, p, p);
                const QString address = z_.table.text(slot::page(p, slot::kAddress));
                const quint64 frames = asrun::framesWritten(z_);
                z_.displaySettings->SendSettings(address, QString(), QString());
                asrun::noteIfSent(z_, frames, address, QStringLiteral("settings"), p);
                QCoreApplication::processEvents();
            }
        }
        if (unsent && z_.status)
            z_.status->showNote(QStringLiteral("Sending Stopped"),
                                QStringLiteral("Another page was chosen during Clone & Send: pages %1 to %2 have the "
                                               "settings but were not sent.")
                                    .arg(twoDigits(unsent), twoDigits(std::min(to, slot::kPages))));
        else if (z_.status)
            z_.status->showDone(kStatusSettingsSent, link);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}
