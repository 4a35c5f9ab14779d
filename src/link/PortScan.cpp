#include "PortScan.h"

#include "app/Zelk.h"
#include "core/Errors.h"
#include "core/FlagGuard.h"
#include "core/Numbers.h"
#include "link/CommandProtocol.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "link/StatusLine.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kPasses = 21; // questions on the remembered address before a port counts as silent

const QString kYes = QStringLiteral("Yes");
const QString kNo = QStringLiteral("No");

} // namespace

PortScan::PortScan(Zelk& z, SerialPort& port) : z_(z), port_(port)
{
    QPushButton* button = z_.ui.cmdAutoDetect;
    if (!button)
        return;
    QWidget* panel = button->window();
    auto label = [panel](const QString& name) { return panel->findChild<QLabel*>(name); };
    for (int i = 1; i <= 4; ++i) {
        const QString index = QStringLiteral("(%1)").arg(i);
        rows_[std::size_t(i)] = {label(QStringLiteral("lblCommPort") + index),
                                 label(QStringLiteral("lblAvailable") + index),
                                 label(QStringLiteral("lblConnected") + index)};
        for (QLabel* cell : {rows_[std::size_t(i)].available, rows_[std::size_t(i)].connected})
            if (cell)
                cell->setAutoFillBackground(true);
    }
    notify_ = label(QStringLiteral("lblNotifyOfPort"));
    hint_ = label(QStringLiteral("lblPortHint"));
    if (hint_)
        hint_->setWordWrap(true);
    portAvailable_ = label(QStringLiteral("lblPortAvailable"));
    pxtDetected_ = label(QStringLiteral("lblPxtDetected"));
    connect(button, &QPushButton::clicked, this, [this] { cmdAutoDetect_Click(); });
}

void PortScan::cmdAutoDetect_Click()
{
    // The button is disabled while a scan runs; the flag also keeps the clock tick's questions off the ports.
    if (z_.EventsSuppressed || z_.PortScanActive)
        return;
    FlagGuard scanning(z_.PortScanActive);
    try {
        DetectedPort = 0;
        startTable();
        for (int p = 1; p <= 4; ++p) {
            bool available = false, connected = false;
            ProbePort(p, available, connected);
            if (z_.EventsSuppressed)
                return; // the window is closing under the scan
            showRow(p, available, connected);
            if (connected)
                DetectedPort = qint16(p);
            QCoreApplication::processEvents();
            if (z_.EventsSuppressed)
                return;
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
    finish();
}

void PortScan::startTable()
{
    Ui& ui = z_.ui;
    ui.cmdAutoDetect->setEnabled(false);
    if (ui.lblPortStatus)
        ui.lblPortStatus->clear();
    if (ui.lblPXTStatusInfo)
        ui.lblPXTStatusInfo->clear();
    for (QLabel* heading : {pxtDetected_, portAvailable_})
        if (heading)
            heading->show();
    if (notify_) {
        notify_->setText(QStringLiteral("Scanning Ports - Please Wait"));
        QPalette pal = notify_->palette();
        pal.setColor(QPalette::WindowText, Qt::black);
        notify_->setPalette(pal);
        notify_->show();
    }
    refused_.clear();
    if (hint_)
        hint_->clear();
    for (int i = 1; i <= 4; ++i) {
        const Row& row = rows_[std::size_t(i)];
        for (QLabel* cell : {row.available, row.connected}) {
            if (!cell)
                continue;
            QPalette pal = cell->palette();
            pal.setColor(QPalette::Window, pal.color(QPalette::Button));
            cell->setPalette(pal);
            cell->clear();
            cell->setToolTip({});
        }
        if (row.commPort)
            row.commPort->show();
    }
    for (int i = 1; i <= 4; ++i)
        if (QRadioButton* o = ui.optCommPort[std::size_t(i)])
            o->setEnabled(false);
    if (ui.optWorkOffline)
        ui.optWorkOffline->setEnabled(false);
}

void PortScan::showRow(int port, bool available, bool connected)
{
    const Row& row = rows_[std::size_t(port)];
    if (row.available)
        row.available->setText(available ? kYes : kNo);
    if (row.connected)
        row.connected->setText(connected ? kYes : kNo);
}

void PortScan::finish()
{
    if (z_.EventsSuppressed)
        return;
    Ui& ui = z_.ui;
    for (int i = 1; i <= 4; ++i) {
        QRadioButton* o = ui.optCommPort[std::size_t(i)];
        if (!o)
            continue;
        o->setEnabled(true);
        // An exclusive option cannot be unchecked directly.
        o->setAutoExclusive(false);
        o->setChecked(false);
        o->setAutoExclusive(true);
    }
    if (notify_)
        notify_->clear();

    if (DetectedPort == 0) {
        if (notify_)
            notify_->setText(QStringLiteral("No PXT detected - Check PXT is enabled in 'Titler Names' tab"));
        const bool workingOffline = ui.optWorkOffline && ui.optWorkOffline->isChecked();
        // The probes went online on the ports they opened: an operator working offline stays offline, and a scan
        // that left no port open cannot be online. The status line says that nothing answered, not what it showed
        // before the scan.
        if (workingOffline || !port_.isOpen())
            z_.LinkOnline = false;
        if (z_.status && !workingOffline)
            z_.status->ShowStatus(8);
        // Why nothing answered may be a port this user could not open.
        if (const auto why = portaccess::worst(refused_); z_.status && why != portaccess::Refusal::None)
            z_.status->showNote(portaccess::statusNote(why), portaccess::tableHint(refused_));
    } else {
        if (notify_)
            notify_->setText(QStringLiteral("PXT detected on Comm Port %1").arg(DetectedPort));
        // As the operator's click: the port's click handling opens it and shows the link online.
        if (QRadioButton* o = ui.optCommPort[std::size_t(DetectedPort)])
            o->click();
    }
    if (z_.EventsSuppressed)
        return;

    ui.cmdAutoDetect->setEnabled(true);
    if (ui.lblPortStatus)
        ui.lblPortStatus->show();
    if (ui.lblPXTStatusInfo)
        ui.lblPXTStatusInfo->show();
    for (QLabel* heading : {portAvailable_, pxtDetected_})
        if (heading)
            heading->setEnabled(true);
    if (ui.optWorkOffline)
        ui.optWorkOffline->setEnabled(true);
}

void PortScan::noteRefusal(int port)
{
    const QString device = port_.deviceName(port);
    const QString why = port_.errorText();
    if (QRadioButton* o = z_.ui.optCommPort[std::size_t(port)])
        o->setToolTip(portaccess::optionTip(device, why));
    if (QLabel* cell = rows_[std::size_t(port)].available)
        cell->setToolTip(why);
    if (port_.refusal() == portaccess::Refusal::None)
        return; // a missing device needs no hint
    refused_.append({port, device, port_.refusal()});
    if (hint_)
        hint_->setText(portaccess::tableHint(refused_));
}

bool PortScan::portServes()
{
    return !z_.EventsSuppressed && z_.LinkOnline && port_.isOpen() && port_.bytesWaiting() == 0;
}

bool PortScan::askTime(QString& address)
{
    z_.protocol->SendCommand(address, code::kAskTime);
    return !z_.protocol->receivedText().isEmpty();
}

void PortScan::ProbePort(int port, bool& available, bool& connected)
{
    available = false;
    connected = false;
    if (z_.EventsSuppressed || !z_.protocol)
        return;
    if (port_.isOpen())
        port_.close();
    if (!port_.open(port)) {
        noteRefusal(port);
        return;
    }
    if (QRadioButton* o = z_.ui.optCommPort[std::size_t(port)])
        o->setToolTip(portaccess::optionTip(port_.deviceName(port)));
    // A port that failed earlier in the scan said "Port Unavailable": this one is open.
    if (z_.ui.lblPortStatus)
        z_.ui.lblPortStatus->clear();
    if (z_.ui.lblPXTStatusInfo)
        z_.ui.lblPXTStatusInfo->clear();
    port_.readAll(); // what reached the port before this probe answers nothing asked now
    z_.LinkOnline = true;
    available = true;

    for (int pass = 0; pass < kPasses && !connected; ++pass) {
        // An empty remembered address asks the titler on screen and remembers that address.
        connected = askTime(LastAnsweringAddress);
        if (!portServes())
            return;
        for (int a = 1; a <= 99 && !connected; ++a) {
            QString address = twoDigits(a);
            if (z_.protocol->IsTitlerEnabled(address)) {
                connected = askTime(address);
                if (connected)
                    LastAnsweringAddress = address;
                if (!portServes())
                    return;
            }
            if (!connected)
                QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
        if (!portServes())
            return;
    }
}
