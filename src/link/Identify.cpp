#include "Identify.h"

#include "app/Zelk.h"
#include "core/Errors.h"
#include "core/FlagGuard.h"
#include "core/Numbers.h"
#include "link/CommandProtocol.h"
#include "link/LinkWatch.h"
#include "pages/PageView.h"
#include "roster/RosterRules.h"
#include "settings/DisplaySettings.h"
#include "transmit/Transmission.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cmath>

namespace {

const QString kIdentify = QStringLiteral("Identify Titlers");
const QString kUnIdentify = QStringLiteral("UnIdentify");

} // namespace

QList<IdentifyCommand> identifyCommands(const QString& address, const QString& name)
{
    return {{QStringLiteral("35"), {}, {}},
            {QStringLiteral("40"), {}, {}},
            {QStringLiteral("09"), {}, {}},
            {code::kDisplayOn, {}, {}},
            {QStringLiteral("11"), {}, {}},
            {QStringLiteral("173"), {}, {}},
            {QStringLiteral("473"), {}, {}},
            {QStringLiteral("451"), {}, {}},
            {code::kVPosition, QStringLiteral("15"), {}},
            {code::kHPosition, QStringLiteral("15"), {}},
            {code::kWriteText, QStringLiteral("061"), address}, // the fourth row
            {code::kWriteText, QStringLiteral("081"), name}};   // the fifth row
}

Identification::Identification(Zelk& z) : z_(z)
{
    if (z_.ui.cmdIdentify)
        connect(z_.ui.cmdIdentify, &QPushButton::clicked, this, [this] { cmdIdentify_Click(); });
}

void Identification::cmdIdentify_Click()
{
    if (z_.EventsSuppressed || running_ || !z_.protocol)
        return;
    FlagGuard busy(running_);
    // Each titler's commands reach it unbroken: nothing else goes on the line until the run ends.
    const CommandProtocol::LineHold hold(*z_.protocol);
    try {
        if (!IdentifyActive) {
            identify();
            IdentifyActive = true; // even cut short: some titlers may show their identity now
        } else if (unidentify()) {
            IdentifyActive = false;
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
    z_.SkipClearPause = false;
    if (!z_.EventsSuppressed && z_.ui.cmdIdentify)
        z_.ui.cmdIdentify->setText(IdentifyActive ? kUnIdentify : kIdentify);
}

QList<int> Identification::enabledTitlers() const
{
    QList<int> out;
    if (const QListWidget* list = z_.ui.lstTitlerNames)
        for (int r = 0; r < list->count() && r < roster::kTitlers; ++r)
            if (list->item(r)->isSelected())
                out.append(r + 1);
    return out;
}

void Identification::identify()
{
    const LinkWatch link(z_.LinkOnline);
    CommandProtocol& p = *z_.protocol;
    p.SendCommand(code::kBroadcast, code::kDisplayOff);
    p.SendCommand(code::kBroadcast, code::kClear);
    for (const int a : enabledTitlers()) {
        if (z_.EventsSuppressed || link.lost())
            return;
        QString number = QString::number(a);
        const QString address = FormatParameter(number, 99, 1, QStringLiteral("2"));
        QListWidget* list = z_.ui.lstTitlerNames;
        list->setCurrentRow(a - 1); // the roster's list moves its current row without touching the ticks
        const QString name = roster::namePart(list->item(a - 1)->text()).toUpper();
        {
            FlagGuard skip(z_.SkipClearPause);
            for (const IdentifyCommand& c : identifyCommands(address, name))
                p.SendCommand(address, c.code, c.param1, c.param2);
        }
    }
    if (!z_.EventsSuppressed && !link.lost())
        p.SendCommand(code::kBroadcast, code::kDisplayOn);
}

bool Identification::unidentify()
{
    const LinkWatch link(z_.LinkOnline);
    z_.protocol->SendCommand(code::kBroadcast, code::kDisplayOff);
    z_.protocol->SendCommand(code::kBroadcast, code::kClear);
    bool complete = true;
    for (const int a : enabledTitlers()) {
        if (z_.EventsSuppressed || link.lost()) {
            complete = false;
            break;
        }
        restore(a); // yields through the page view and the status line
    }
    if (z_.EventsSuppressed)
        return false;
    if (z_.ui.txtPageNumber)
        z_.ui.txtPageNumber->setText(QStringLiteral("1"));
    if (z_.pageView)
        z_.pageView->ShowPage();
    return complete && !link.lost();
}

void Identification::restore(int a)
{
    const QString address = twoDigits(a);
    const QString shown = z_.table.text(slot::titler(slot::kTitlerShownPageBlock, a));
    const auto page = parseDecimal(shown);
    // Only a page that exists is put back; anything else in the slot means the titler showed none.
    if (!page || *page < 1 || *page > slot::kPages || *page != std::floor(*page)) {
        z_.protocol->SendCommand(address, code::kClear);
        return;
    }
    if (z_.ui.txtPageNumber)
        z_.ui.txtPageNumber->setText(shown);
    if (z_.pageView)
        z_.pageView->ShowPage();
    // The titler's own address, whatever address the page itself names.
    if (z_.transmission)
        z_.transmission->SendPageLines(address, 0);
    if (z_.displaySettings)
        z_.displaySettings->SendSettings(address, QString(), QString());
}
