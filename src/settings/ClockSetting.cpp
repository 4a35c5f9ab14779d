#include "ClockSetting.h"

#include "app/Zelk.h"
#include "core/Errors.h"
#include "link/CommandProtocol.h"
#include "settings/ClockChecks.h"
#include "core/NumericKeys.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

namespace {

struct RowsText
{
    const char *pcName, *pcCaption, *keyboardName, *keyboardCaption, *entryName, *mask, *captionName, *captionText,
        *applyName;
    int slot;
};

const RowsText kTimeRows = {"optSetTimePC", "Set Time Equal PC", "optSetTimeKybd", "Set Time Via Kybd",
                            "mskUserTime",  "99:99:99;_",        "lblTimeEntry",   "hh:mm:ss",
                            "cmdSetTimePC", slot::kUserTime};
const RowsText kDateRows = {"optSetDatePC", "Set Date Equal PC", "optSetDateKybd", "Set Date Via Kybd",
                            "mskUserDate",  "99-99-99;_",        "lblDateEntry",   "mm-dd-yy",
                            "cmdSetDatePC", slot::kUserDate};

} // namespace

ClockSetting::ClockSetting(Zelk& z) : z_(z) {}

QWidget* ClockSetting::buildRows(QWidget* parent, bool time)
{
    const RowsText& t = time ? kTimeRows : kDateRows;
    Rows& rows = time ? time_ : date_;
    auto* area = new QWidget(parent);
    area->setObjectName(time ? QStringLiteral("setTimeArea") : QStringLiteral("setDateArea"));
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 2, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);

    auto option = [area](const char* name, const char* caption) {
        auto* o = new QRadioButton(QLatin1String(caption), area);
        o->setObjectName(QLatin1String(name));
        return o;
    };
    rows.fromPc = option(t.pcName, t.pcCaption);
    rows.fromKeyboard = option(t.keyboardName, t.keyboardCaption);
    auto* sources = new QButtonGroup(area);
    sources->addButton(rows.fromPc);
    sources->addButton(rows.fromKeyboard);

    rows.entry = new QLineEdit(area);
    rows.entry->setObjectName(QLatin1String(t.entryName));
    rows.entry->setInputMask(QLatin1String(t.mask));
    rows.entry->setFixedWidth(rows.entry->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 14);
    rows.entry->installEventFilter(this);
    rows.caption = new QLabel(QLatin1String(t.captionText), area);
    rows.caption->setObjectName(QLatin1String(t.captionName));

    auto* apply = new QPushButton(QStringLiteral("Apply"), area);
    apply->setObjectName(QLatin1String(t.applyName));
    apply->setAutoDefault(false);
    apply->setFixedWidth(std::max(rows.entry->width(), apply->fontMetrics().horizontalAdvance(apply->text()) + 16));
    (time ? z_.ui.cmdSetTimePC : z_.ui.cmdSetDatePC) = apply;

    // The caption stands over the entry as its column's heading and "Apply" under it: the group keeps the width
    // of the other settings.
    grid->addWidget(rows.fromPc, 0, 0);
    grid->addWidget(rows.caption, 0, 1, Qt::AlignHCenter | Qt::AlignBottom);
    grid->addWidget(rows.fromKeyboard, 1, 0);
    grid->addWidget(rows.entry, 1, 1);
    grid->addWidget(apply, 2, 1);
    grid->setColumnStretch(0, 1);

    // The window opens taking the computer's clock; the entry waits until the keyboard is chosen.
    rows.fromPc->setChecked(true);
    chooseSource(rows, false);
    connect(rows.fromKeyboard, &QRadioButton::toggled, this,
            [this, &rows](bool keyboard) { chooseSource(rows, keyboard); });
    const int slotIndex = t.slot;
    QLineEdit* entry = rows.entry;
    connect(entry, &QLineEdit::textChanged, this, [this, entry, slotIndex] {
        if (!z_.EventsSuppressed)
            z_.table.setText(slotIndex, entry->displayText()); // with its separators and blanks, as shown
    });
    connect(apply, &QPushButton::clicked, this, [this, time] { time ? cmdSetTimePC_Click() : cmdSetDatePC_Click(); });
    return area;
}

void ClockSetting::chooseSource(const Rows& rows, bool keyboard)
{
    if (z_.EventsSuppressed)
        return;
    rows.caption->setEnabled(keyboard);
    rows.entry->setEnabled(keyboard);
}

bool ClockSetting::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && !z_.EventsSuppressed && (watched == time_.entry || watched == date_.entry))
        return dropNumericKey(static_cast<QLineEdit*>(watched), static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

void ClockSetting::cmdSetTimePC_Click()
{
    apply(true);
}

void ClockSetting::cmdSetDatePC_Click()
{
    apply(false);
}

void ClockSetting::apply(bool time)
{
    if (z_.EventsSuppressed || !z_.protocol)
        return;
    const Rows& rows = time ? time_ : date_;
    const QString& c = time ? code::kSetTime : code::kSetDate;
    try {
        if (rows.fromPc->isChecked()) {
            const QDateTime now = z_.clock.now();
            const QString digits = time ? QLocale::c().toString(now.time(), QStringLiteral("hhmmss"))
                                        : QLocale::c().toString(now.date(), QStringLiteral("MMddyy"));
            QString address; // the titler on screen
            z_.protocol->SendCommand(address, c, digits);
            return;
        }
        const auto digits = time ? clockcheck::userTimeDigits(rows.entry->displayText())
                                 : clockcheck::userDateDigits(rows.entry->displayText());
        if (!digits) {
            showResult(time ? QStringLiteral("Invalid User Time") : QStringLiteral("Invalid User Date"));
            return;
        }
        const QString address = z_.ui.txtAddress ? z_.ui.txtAddress->text() : QString();
        // Said whether or not it went out: the link panel already shows an offline line or a disabled titler.
        z_.protocol->SendCommand(address, c, *digits);
        showResult(time ? QStringLiteral("PXT Time Set") : QStringLiteral("PXT Date Set"));
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void ClockSetting::showResult(const QString& text)
{
    if (QLabel* panel = z_.ui.lblProgStatus[3])
        panel->setText(text);
}
