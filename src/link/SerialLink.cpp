#include "SerialLink.h"

#include "core/Errors.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "link/PortAccess.h"
#include "link/SerialPort.h"
#include "link/StatusLine.h"
#include "settings/TitlerClock.h"
#include "core/Numbers.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <optional>

namespace {

QString settingsFor(const QString& baud)
{
    return baud + QStringLiteral(",n,8,1");
}

QLabel* namedLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

SerialLink::SerialLink(Zelk& z, SerialPort& port) : z_(z), port_(port)
{
    z_.link = this;
    QObject::connect(&port_, &SerialPort::lost, this,
                     [this](const QString& reason) { linkFailed(err::kDeviceIO, QStringLiteral("serial port: ") + reason); });
}

QWidget* SerialLink::buildPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* top = new QVBoxLayout(panel);

    auto* title = namedLabel("lblCommPortTitle", QStringLiteral("ZELK COMM PORT SETTINGS"), panel);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    top->addWidget(title);

    auto* row = new QHBoxLayout;
    auto* fraCommPort = new QGroupBox(QStringLiteral("Select CommPort"), panel);
    fraCommPort->setObjectName(QStringLiteral("fraCommPort"));
    auto* portBox = new QVBoxLayout(fraCommPort);
    for (int i = 1; i <= 4; ++i) {
        auto* o = new QRadioButton(QStringLiteral("CommPort %1").arg(i), fraCommPort);
        o->setObjectName(QStringLiteral("optCommPort(%1)").arg(i));
        z_.ui.optCommPort[std::size_t(i)] = o;
        portBox->addWidget(o);
        // clicked, not toggled: choosing the selected port again reopens it after a failure.
        QObject::connect(o, &QRadioButton::clicked, o, [this, i] { optCommPort_Click(i); });
    }
    z_.ui.optWorkOffline = new QRadioButton(QStringLiteral("Work Offline"), fraCommPort);
    z_.ui.optWorkOffline->setObjectName(QStringLiteral("optWorkOffline"));
    portBox->addWidget(z_.ui.optWorkOffline);
    QObject::connect(z_.ui.optWorkOffline, &QRadioButton::clicked, z_.ui.optWorkOffline,
                     [this] { optWorkOffline_Click(); });
    z_.ui.cmdAutoDetect = new QPushButton(QStringLiteral("Auto-Detect Ports"), fraCommPort);
    z_.ui.cmdAutoDetect->setObjectName(QStringLiteral("cmdAutoDetect"));
    portBox->addWidget(z_.ui.cmdAutoDetect);
    row->addWidget(fraCommPort);

    auto* fraBaudRate = new QGroupBox(QStringLiteral("Baud Rate"), panel);
    fraBaudRate->setObjectName(QStringLiteral("fraBaudRate"));
    auto* baudBox = new QVBoxLayout(fraBaudRate);
    auto speed = [&](QRadioButton*& slotRef, const char* name, const QString& caption, void (SerialLink::*handler)()) {
        slotRef = new QRadioButton(caption, fraBaudRate);
        slotRef->setObjectName(QLatin1String(name));
        baudBox->addWidget(slotRef);
        QObject::connect(slotRef, &QRadioButton::clicked, slotRef, [this, handler] { (this->*handler)(); });
    };
    speed(z_.ui.opt38400Baud, "opt38400Baud", QStringLiteral("38400"), &SerialLink::opt38400Baud_Click);
    speed(z_.ui.opt9600Baud, "opt9600Baud", QStringLiteral("9600"), &SerialLink::opt9600Baud_Click);
    speed(z_.ui.opt4800Baud, "opt4800Baud", QStringLiteral("4800"), &SerialLink::opt4800Baud_Click);
    z_.ui.opt9600Baud->setChecked(true);
    baudBox->addStretch();
    row->addWidget(fraBaudRate);

    auto* state = new QGroupBox(panel);
    auto* grid = new QGridLayout(state);
    grid->addWidget(namedLabel("lblStatus", QStringLiteral("Port Status:"), state), 0, 0);
    z_.ui.lblPortStatus = namedLabel("lblPortStatus", QString(), state);
    grid->addWidget(z_.ui.lblPortStatus, 0, 1);
    grid->addWidget(namedLabel("lblPXTStatus", QStringLiteral("PXT Status:"), state), 1, 0);
    z_.ui.lblPXTStatusInfo = namedLabel("lblPXTStatusInfo", QString(), state);
    grid->addWidget(z_.ui.lblPXTStatusInfo, 1, 1);
    // The port table that auto-detection fills: one row per port, whether it opens and whether a titler answers.
    auto* table = new QGridLayout;
    table->addWidget(namedLabel("lblPortAvailable", QStringLiteral("Available"), state), 0, 1, Qt::AlignCenter);
    table->addWidget(namedLabel("lblPxtDetected", QStringLiteral("PXT Detected"), state), 0, 2, Qt::AlignCenter);
    for (int i = 1; i <= 4; ++i) {
        const QByteArray index = "(" + QByteArray::number(i) + ")";
        table->addWidget(namedLabel(QByteArray("lblCommPort" + index).constData(), QStringLiteral("Comm %1").arg(i),
                                    state),
                         i, 0);
        for (const char* name : {"lblAvailable", "lblConnected"}) {
            QLabel* cell = namedLabel(QByteArray(name + index).constData(), QString(), state);
            cell->setFrameShape(QFrame::Panel);
            cell->setFrameShadow(QFrame::Sunken);
            cell->setAlignment(Qt::AlignCenter);
            cell->setMinimumWidth(60);
            table->addWidget(cell, i, name[3] == 'A' ? 1 : 2);
        }
    }
    grid->addLayout(table, 2, 0, 1, 2);
    grid->addWidget(namedLabel("lblNotifyOfPort", QString(), state), 3, 0, 1, 2);
    grid->addWidget(namedLabel("lblPortHint", QString(), state), 4, 0, 1, 2); // why a port would not open
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    row->addWidget(state, 1);
    top->addLayout(row);
    top->addStretch();

    updatePortTooltips();
    return panel;
}

void SerialLink::updatePortTooltips()
{
    for (int i = 1; i <= 4; ++i)
        if (auto* o = z_.ui.optCommPort[std::size_t(i)])
            o->setToolTip(portaccess::optionTip(port_.deviceName(i)));
}

void SerialLink::optCommPort_Click(int index)
{
    if (z_.EventsSuppressed)
        return;
    if (port_.isOpen())
        port_.close();
    if (!port_.open(index)) {
        z_.table.setInt16(slot::kSavedCommPort, qint16(index));
        const QString why = port_.errorText();
        if (auto* o = z_.ui.optCommPort[std::size_t(index)])
            o->setToolTip(portaccess::optionTip(port_.deviceName(index), why));
        z_.RecordError(err::kPortUnavailable, QStringLiteral("optCommPort_Click: ") + why);
        if (z_.ui.lblPortStatus) {
            z_.ui.lblPortStatus->setText(QStringLiteral("Port Unavailable"));
            z_.ui.lblPortStatus->setToolTip(why);
        }
        if (z_.ui.lblPXTStatusInfo)
            z_.ui.lblPXTStatusInfo->setText(QStringLiteral("Select Another Port"));
        z_.LinkOnline = false;
        if (z_.status)
            z_.status->showPortUnavailable();
        if (z_.status && port_.refusal() != portaccess::Refusal::None)
            z_.status->showNote(portaccess::statusNote(port_.refusal()), why);
        return;
    }
    portOpened(index);
}

void SerialLink::portOpened(int index)
{
    lostUntilChosen_ = false;
    // The other ports keep the reason they last failed with.
    if (auto* o = z_.ui.optCommPort[std::size_t(index)])
        o->setToolTip(portaccess::optionTip(port_.deviceName(index)));
    if (z_.ui.lblPortStatus) {
        z_.ui.lblPortStatus->setText(QStringLiteral("Port Available"));
        z_.ui.lblPortStatus->setToolTip(port_.deviceName(index));
    }
    z_.LinkOnline = true;
    z_.CommPortNumber = qint16(index);
    z_.table.setInt16(slot::kSavedCommPort, qint16(index));
    if (z_.status)
        z_.status->ShowStatus(1);
    EnableSendControls(true);
}

void SerialLink::linkFailed(int errorNumber, const QString& reason)
{
    // Recorded once: with the port closed and the link offline nothing more is written, so no further errors follow
    // until the operator picks a port.
    port_.close();
    z_.RecordError(errorNumber, reason);
    if (z_.EventsSuppressed)
        return;
    z_.LinkOnline = false;
    lostUntilChosen_ = true;
    // Working offline the link was down already; the operator's choice stays on the screen.
    if (z_.ui.optWorkOffline && z_.ui.optWorkOffline->isChecked()) {
        emit linkLost();
        return;
    }
    if (z_.ui.lblPortStatus) {
        z_.ui.lblPortStatus->setText(QStringLiteral("Port Unavailable"));
        z_.ui.lblPortStatus->setToolTip(reason);
    }
    if (z_.ui.lblPXTStatusInfo)
        z_.ui.lblPXTStatusInfo->setText(QStringLiteral("Select Another Port"));
    if (z_.status)
        z_.status->showPortUnavailable();
    emit linkLost();
}

void SerialLink::optWorkOffline_Click()
{
    if (z_.EventsSuppressed)
        return;
    z_.LinkOnline = false;
    if (z_.ui.lblPortStatus)
        z_.ui.lblPortStatus->setText(QStringLiteral("Working Offline"));
    if (z_.ui.lblPXTStatusInfo)
        z_.ui.lblPXTStatusInfo->clear();
    if (z_.status)
        z_.status->ShowStatus(16);
    EnableSendControls(false);
}

void SerialLink::chooseSpeed(const QString& baud)
{
    if (z_.EventsSuppressed)
        return;
    port_.setSettings(settingsFor(baud));
    z_.table.setText(slot::kSavedBaudRate, baud);
}

void SerialLink::opt4800Baud_Click()
{
    chooseSpeed(QStringLiteral("4800"));
}

void SerialLink::opt9600Baud_Click()
{
    chooseSpeed(QStringLiteral("9600"));
}

void SerialLink::opt38400Baud_Click()
{
    chooseSpeed(QStringLiteral("38400"));
}

void SerialLink::OpenConfiguredPort()
{
    if (z_.EventsSuppressed)
        return;
    try {
        const qint32 n = z_.table.toInt(slot::kSavedCommPort);
        z_.CommPortNumber = qint16(n);
        const QString baud = z_.table.text(slot::kSavedBaudRate);
        QRadioButton* speedOption = baud == QLatin1String("4800")    ? z_.ui.opt4800Baud
                                    : baud == QLatin1String("9600")  ? z_.ui.opt9600Baud
                                    : baud == QLatin1String("38400") ? z_.ui.opt38400Baud
                                                                     : nullptr;
        if (baudOfSettings(settingsFor(baud)) != 0) {
            port_.setSettings(settingsFor(baud));
            if (speedOption)
                speedOption->setChecked(true);
        }
        if (n < 1 || n > 4)
            throw RunTimeError{err::kSubscriptOutOfRange,
                               QStringLiteral("OpenConfiguredPort: no CommPort %1").arg(n)};
        // The operator chose to work offline, or the port was lost and waits for the operator to choose it again: a
        // file read meanwhile must not put the link back online.
        if ((z_.ui.optWorkOffline && z_.ui.optWorkOffline->isChecked()) || lostUntilChosen_)
            return;
        if (!port_.isOpen()) {
            if (!port_.open(int(n)))
                throw RunTimeError{err::kPortUnavailable, QStringLiteral("OpenConfiguredPort: ") + port_.errorText()};
            z_.LinkOnline = true;
            QRadioButton* option = z_.ui.optCommPort[std::size_t(n)];
            if (option && !option->isChecked()) {
                option->setChecked(true);
                optCommPort_Click(int(n));
            } else if (option) {
                portOpened(int(n)); // the screen must say what the link now is, not what a failed click left there
            }
        } else {
            z_.LinkOnline = true;
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void SerialLink::FillTitlerLists()
{
    if (z_.EventsSuppressed)
        return;
    QListWidget* names = z_.ui.lstTitlerNames;
    QListWidget* versions = z_.ui.lstTitlerVersion;
    // The slots are the source here: the rebuild must not reach the handlers that store ticks into them (clearing
    // the rows would store every tick as gone).
    std::optional<QSignalBlocker> quiet[2];
    int i = 0;
    for (QListWidget* l : {names, versions})
        if (l) {
            quiet[i++].emplace(l->selectionModel());
            l->clear();
        }
    for (int a = 1; a <= 99; ++a) {
        const QString text = z_.table.text(slot::titler(slot::kTitlerNameBlock, a));
        for (QListWidget* l : {names, versions})
            if (l)
                l->addItem(text);
    }
    for (int a = 1; a <= 99; ++a) {
        if (names)
            names->item(a - 1)->setSelected(z_.table.toBool(slot::titler(slot::kTitlerEnabledBlock, a)));
        if (versions)
            versions->item(a - 1)->setSelected(z_.table.toBool(slot::titler(slot::kTitlerVersionBlock, a)));
    }
    for (QListWidget* l : {names, versions})
        if (l)
            l->viewport()->update();
}

QString SerialLink::ReadTitlerTime()
{
    return z_.titlerClock ? z_.titlerClock->ReadTitlerTime() : QString();
}

void SerialLink::CheckTitlerOnline()
{
    if (z_.EventsSuppressed || !z_.LinkOnline || z_.PortScanActive)
        return;
    if (!ReadTitlerTime().isEmpty()) {
        if (z_.ui.lblPXTStatusInfo)
            z_.ui.lblPXTStatusInfo->setText(QStringLiteral("PXT Online"));
        QCoreApplication::processEvents();
        return;
    }
    for (int n = 1; n <= 99; ++n) {
        if (z_.EventsSuppressed || z_.PortScanActive)
            return;
        const QString address = twoDigits(n);
        const bool portUsable = !z_.ui.lblPortStatus || z_.ui.lblPortStatus->text() != QLatin1String("Port Unavailable");
        if (portUsable && z_.protocol->IsTitlerEnabled(address)) {
            z_.protocol->SendCommand(address, code::kAskTime);
            if (!z_.protocol->receivedText().isEmpty()) {
                QCoreApplication::processEvents();
                return;
            }
        }
        if (z_.ui.lblPXTStatusInfo)
            z_.ui.lblPXTStatusInfo->setText(QStringLiteral("No PXT Detected"));
        if (z_.status)
            z_.status->ShowStatus(8);
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
}

void SerialLink::EnableSendControls(bool enabled)
{
    if (z_.EventsSuppressed)
        return;
    for (QWidget* w : std::initializer_list<QWidget*>{
             z_.ui.optSendManual, z_.ui.optSendContinuous, z_.ui.optSendEOL, z_.ui.cmdIdentify, z_.ui.cmdStart,
             z_.ui.cmdSend, z_.ui.cmdClearPxt, z_.ui.cmdCloneSettingsSend, z_.ui.cmdSendAllSettings,
             z_.ui.cmdSendSettings, z_.ui.cmdSetDatePC, z_.ui.cmdSetTimePC})
        if (w)
            w->setEnabled(enabled);
}
