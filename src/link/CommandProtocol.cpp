#include "CommandProtocol.h"

#include "core/Errors.h"
#include "app/Zelk.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "transmit/AddressBox.h"
#include "transmit/Transmission.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRadioButton>
#include <QLineEdit>
#include <QThread>

int pauseForCode(const QString& c, bool skipClearPause)
{
    static const QStringList paced = {QStringLiteral("24"), QStringLiteral("32"), QStringLiteral("36"),
                                      QStringLiteral("38"), QStringLiteral("41"), QStringLiteral("43"),
                                      QStringLiteral("48"), QStringLiteral("49")};
    if (paced.contains(c))
        return kQuestionPauseMs;
    if (c == code::kClear)
        return skipClearPause ? 0 : kClearPauseMs;
    return 0;
}

QString FormatParameter(QString& value, qint16 max, qint16 min, const QString& width)
{
    if (value.isEmpty())
        value = QStringLiteral("-1");
    qint16 n = toInteger16(value, QStringLiteral("FormatParameter"));
    if (n > max)
        n = max;
    else if (n < min)
        n = min;
    value = QString::number(n);
    int digits;
    if (width == QLatin1String("1"))
        digits = 1;
    else if (width == QLatin1String("2"))
        digits = 2;
    else if (width == QLatin1String("3"))
        digits = 3;
    else
        digits = int(width.size()); // a pattern of zeros of its own
    if (n < 0)
        return QLatin1Char('-') + QString::number(-int(n)).rightJustified(digits, QLatin1Char('0'));
    return QString::number(n).rightJustified(digits, QLatin1Char('0'));
}

bool firmwareBlocks(bool oldFirmware, int baud, QString& c, QString& param1)
{
    if (!oldFirmware)
        return false;
    bool blocked = false;
    if (c == code::kTimeFormat || c == code::kDateFormat) {
        const auto v = parseDecimal(param1);
        if (v && *v == 2) {
            c = code::kOldFormat2;
            param1.clear();
        } else if (v && *v == 3) {
            c = code::kOldFormat3;
            param1.clear();
        } else {
            blocked = true;
        }
    }
    // Old titlers understand only 9600 baud.
    if (baud == 38400 || baud == 4800)
        blocked = true;
    if (c.isEmpty())
        blocked = true;
    return blocked;
}

CommandProtocol::CommandProtocol(Zelk& z, SerialPort& port) : z_(z), port_(port)
{
    z_.protocol = this;
    lineClock_.start();
}

bool CommandProtocol::SendCommand(const QString& address, const QString& c, const QString& param1,
                                  const QString& param2)
{
    QString a = address;
    return SendCommand(a, c, param1, param2);
}

bool CommandProtocol::SendCommand(QString& address, QString c, QString param1, const QString& param2)
{
    return transmit(address, std::move(c), std::move(param1), param2, false);
}

bool CommandProtocol::Ask(QString& address, const QString& c)
{
    return transmit(address, c, QString(), QString(), true);
}

int CommandProtocol::owedPauseMs() const
{
    return int(std::max<qint64>(0, quietFromMs_ - lineClock_.elapsed()));
}

void CommandProtocol::waitOutOwedPause()
{
    sleepMs(owedPauseMs());
}

bool CommandProtocol::transmit(QString& address, QString c, QString param1, const QString& param2, bool owePause)
{
    if (z_.EventsSuppressed || z_.PageRefreshing || !z_.LinkOnline || heldYields_ > 0)
        return false;
    bool written = false;
    try {
        const bool question = c == code::kAskTime || c == code::kAskDate;
        const QString target = lineAddress(address, !question);
        // The caller gets back the address the command went to (for an empty one, the box's text).
        if (!target.isEmpty())
            address = target;
        else if (address.isEmpty() && z_.ui.txtAddress)
            address = z_.ui.txtAddress->text();

        // A command without a proper address is refused like any other: not written, but drained and paced.
        const bool write = !target.isEmpty() && (address == code::kBroadcast ||
                                                 (IsTitlerEnabled(address) && !FirmwareFilter(address, c, param1)));
        if (write) {
            waitOutOwedPause();
            const QString frame = z_.CommandPrefix + address + c + param1 + param2;
            if (!port_.write(frame.toLatin1())) {
                if (!z_.LinkOnline)
                    return false; // the port went away under this write, and that loss is recorded already
                throw RunTimeError{port_.isOpen() ? err::kDeviceIO : err::kPortNotOpen,
                                   QStringLiteral("SendCommand: ") + port_.errorText()};
            }
            written = true;
            ++framesWritten_;
            if (selectedBaud() == 38400)
                sleepMs(kFastLineGapMs);
        }
        drain();
        const int pause = pauseForCode(c, z_.SkipClearPause);
        if (!owePause)
            sleepMs(pause);
        else if (written)
            quietFromMs_ = lineClock_.elapsed() + pause;
    } catch (const RunTimeError& e) {
        if (e.number == err::kLineStalled && z_.link)
            z_.link->linkFailed(e.number, e.source); // a stuck line would cost a second per command for ever
        else
            z_.RecordError(e.number, e.source);
    }
    return written;
}

void CommandProtocol::drain()
{
    qint64 waiting = port_.bytesWaiting();
    if (waiting == 0)
        return;
    // A stalled line must not freeze the program: allow the time the bytes need at the line speed, plus a second.
    const int baud = selectedBaud() > 0 ? selectedBaud() : 9600;
    const qint64 boundMs = waiting * 10 * 1000 / baud + 1000;
    QElapsedTimer t;
    t.start();
    while ((waiting = port_.bytesWaiting()) != 0) {
        if (t.elapsed() > boundMs)
            throw RunTimeError{err::kLineStalled, QStringLiteral("SendCommand: %1 bytes still waiting after %2 ms")
                                                      .arg(waiting)
                                                      .arg(t.elapsed())};
        sleepMs(1);
    }
}

void CommandProtocol::sleepMs(int ms)
{
    if (ms > 0)
        QThread::msleep(ulong(ms));
}

bool CommandProtocol::titlerRowSelected(bool versionList, int address) const
{
    if (address < 1 || address > 99)
        return false;
    const QListWidget* list = versionList ? z_.ui.lstTitlerVersion : z_.ui.lstTitlerNames;
    if (list) {
        const QListWidgetItem* row = list->item(address - 1);
        return row && row->isSelected();
    }
    // Until the roster lists exist their slots serve.
    return z_.table.toBool(slot::titler(versionList ? slot::kTitlerVersionBlock : slot::kTitlerEnabledBlock, address));
}

bool CommandProtocol::IsTitlerEnabled(const QString& address) const
{
    if (address.isEmpty())
        return false;
    const auto v = parseDecimal(address);
    if (!v)
        return false;
    if (*v <= 0)
        return true;
    return titlerRowSelected(false, int(roundHalfEven(*v)));
}

bool CommandProtocol::FirmwareFilter(const QString& address, QString& c, QString& param1) const
{
    if (z_.EventsSuppressed || address.isEmpty())
        return false;
    const auto v = parseDecimal(address);
    if (!v || *v <= 0)
        return true;
    if (!titlerRowSelected(true, int(roundHalfEven(*v))))
        return false;
    return firmwareBlocks(true, selectedBaud(), c, param1);
}

QString CommandProtocol::lineAddress(const QString& address, bool settleBox)
{
    if (isTitlerAddress(address))
        return address;
    QLineEdit* box = z_.ui.txtAddress;
    if (!box)
        return {};
    const bool fromBox = address.isEmpty() || address == box->text();
    // A box that settling cannot mend (an empty stored address) is refused quietly after its first message, not
    // once more for every command of a send.
    if (fromBox && settleBox && !isTitlerAddress(box->text()) && box->text() != unsettled_ && z_.transmission) {
        z_.transmission->addressBox().txtAddress_LostFocus();
        unsettled_ = isTitlerAddress(box->text()) ? std::nullopt : std::optional<QString>(box->text());
    }
    const QString shown = box->text();
    if (!isTitlerAddress(shown))
        return {};
    if (fromBox)
        return shown;
    // A sequence that read the box before the first of its commands settled it still means the settled titler.
    const auto a = parseDecimal(address);
    return a && *a == double(shown.toInt()) ? shown : QString();
}

bool CommandProtocol::writeRaw(const QByteArray& bytes)
{
    if (heldYields_ > 0)
        return false;
    waitOutOwedPause();
    if (!port_.write(bytes)) {
        if (!z_.LinkOnline)
            return false; // the loss of the port is recorded already
        z_.RecordError(port_.isOpen() ? err::kDeviceIO : err::kPortNotOpen,
                       QStringLiteral("write: ") + port_.errorText());
        return false;
    }
    ++framesWritten_;
    return true;
}

void yieldToEvents(Zelk& z)
{
    if (z.protocol)
        z.protocol->yieldToEvents();
    else
        QCoreApplication::processEvents();
}

void CommandProtocol::yieldToEvents()
{
    if (holds_ == 0) {
        QCoreApplication::processEvents();
        return;
    }
    ++heldYields_;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    --heldYields_;
}

QString CommandProtocol::receivedText()
{
    return QString::fromLatin1(port_.readAll());
}

int CommandProtocol::selectedBaud() const
{
    if (z_.ui.opt38400Baud && z_.ui.opt38400Baud->isChecked())
        return 38400;
    if (z_.ui.opt4800Baud && z_.ui.opt4800Baud->isChecked())
        return 4800;
    if (z_.ui.opt9600Baud)
        return 9600;
    return port_.baud();
}
