#include "AddressBox.h"

#include "app/Shell.h"
#include "app/Zelk.h"
#include "core/NumericKeys.h"
#include "link/CommandProtocol.h"
#include "link/StatusLine.h"
#include "transmit/Transmission.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

constexpr int kBlinkMs = 10;
constexpr int kNameStart = 5; // a roster row is the address, three blanks, then the name
constexpr int kNameWidth = 20;

int selectedTab(const Zelk& z)
{
    return z.shell ? z.shell->selectedTab() : 1;
}

} // namespace

AddressBox::AddressBox(Zelk& z) : z_(z) {}

QWidget* AddressBox::build(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("addressBox"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);

    auto* caption = new QLabel(QStringLiteral("Address"), panel);
    caption->setObjectName(QStringLiteral("Label5"));
    auto* box = new QLineEdit(panel);
    box->setObjectName(QStringLiteral("txtAddress"));
    box->setMaxLength(2);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    caption->setBuddy(box);
    row->addWidget(caption);
    row->addWidget(box);
    row->addStretch(1);

    z_.ui.txtAddress = box;
    box->installEventFilter(this);
    connect(box, &QLineEdit::textChanged, this, [this] { txtAddress_Change(); });
    return panel;
}

QWidget* AddressBox::buildTitlerName(QWidget* parent)
{
    auto* name = new QLabel(parent);
    name->setObjectName(QStringLiteral("lblTitlerName"));
    name->setMinimumWidth(name->fontMetrics().horizontalAdvance(QString(kNameWidth, QLatin1Char('W'))) * 3 / 4);
    z_.ui.lblTitlerName = name;
    return name;
}

void AddressBox::showAddress(const QString& address)
{
    QLineEdit* box = z_.ui.txtAddress;
    if (!box)
        return;
    if (box->text() == address)
        txtAddress_Change();
    else
        box->setText(address);
}

QString AddressBox::validated(const QString& text)
{
    QString value = text;
    if (!z_.shell)
        return value;
    return z_.shell->ValidateNumber(value, 99, 0, QStringLiteral("2"), z_.pageSlot(slot::kAddress), 101);
}

void AddressBox::txtAddress_Change()
{
    if (z_.EventsSuppressed)
        return;
    const int tab = selectedTab(z_);
    if (tab != 1 && tab != 2)
        return;
    Ui& ui = z_.ui;
    QLineEdit* box = ui.txtAddress;
    if (ui.lblTitlerName)
        ui.lblTitlerName->clear();

    if (box->text() == code::kBroadcast) {
        // Everything typed now reaches every titler: the warning blinks.
        if (ui.tmrBlink) {
            ui.tmrBlink->setInterval(kBlinkMs);
            ui.tmrBlink->start();
        }
        if (z_.status)
            z_.status->ShowStatus(10);
        z_.table.setText(z_.pageSlot(slot::kAddress), code::kBroadcast);
        return;
    }
    if (ui.tmrBlink)
        ui.tmrBlink->stop();
    if (ui.lblTitlerName) {
        QPalette pal = ui.lblTitlerName->palette();
        pal.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::ButtonText));
        ui.lblTitlerName->setPalette(pal);
    }

    if (box->text().size() == 2 || box->cursorPosition() >= 2) {
        const QString shown = validated(box->text());
        if (shown != box->text()) {
            box->setText(shown); // its own change handling does the rest for the corrected address
            return;
        }
        showTitlerName(shown);
    }

    const QString address = box->text();
    const bool enabled = z_.protocol && z_.protocol->IsTitlerEnabled(address);
    const bool idle = !ui.cmdSend || ui.cmdSend->text() != QLatin1String("Stop");
    if (idle && enabled && z_.transmission) {
        if (ui.optTimeOn && ui.optTimeOn->isChecked())
            z_.transmission->SetTimePreviewVisible(QStringLiteral("On"));
        if (ui.optDateOn && ui.optDateOn->isChecked())
            z_.transmission->SetDatePreviewVisible(QStringLiteral("On"));
    }

    if (z_.protocol) {
        QString none, noParam;
        z_.OldFirmwareTitler = z_.protocol->FirmwareFilter(address, none, noParam);
    }
    if (z_.status)
        z_.status->setVerStatus(z_.OldFirmwareTitler ? QStringLiteral("Below 3.30") : QStringLiteral("3.30 and Above"));

    for (int k = slot::kFirstSetting; k <= slot::kLastSetting; ++k)
        z_.table.set(z_.pageSlot(k + slot::kSettingsCopyOffset), z_.table.at(z_.pageSlot(k)));
}

void AddressBox::showTitlerName(const QString& address)
{
    if (!z_.protocol || !z_.protocol->IsTitlerEnabled(address))
        return;
    const int a = int(roundHalfEven(parseDecimal(address).value_or(0)));
    if (a < 1 || a > 99)
        return;
    QString row;
    if (QListWidget* list = z_.ui.lstTitlerNames; list && list->item(a - 1)) {
        list->setCurrentRow(a - 1, QItemSelectionModel::NoUpdate); // the enabled ticks stay as they are
        row = list->item(a - 1)->text();
    } else {
        row = z_.table.text(slot::titler(slot::kTitlerNameBlock, a));
    }
    if (z_.ui.lblTitlerName)
        z_.ui.lblTitlerName->setText(row.mid(kNameStart, kNameWidth));
}

bool AddressBox::txtAddress_KeyPress(QKeyEvent* key)
{
    if (z_.EventsSuppressed)
        return false;
    return dropNumericKey(z_.ui.txtAddress, key);
}

void AddressBox::txtAddress_LostFocus()
{
    if (z_.EventsSuppressed)
        return;
    QLineEdit* box = z_.ui.txtAddress;
    const QString shown = validated(box->text());
    if (shown != box->text())
        box->setText(shown);
}

bool AddressBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == z_.ui.txtAddress) {
        if (event->type() == QEvent::KeyPress)
            return txtAddress_KeyPress(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusOut) {
            // Another window taking the focus (a message box, a menu) is not the operator leaving the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                txtAddress_LostFocus();
        }
    }
    return QObject::eventFilter(watched, event);
}
