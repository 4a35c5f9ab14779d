#include "Orders.h"

#include "app/AsRunLog.h"
#include "app/Shell.h"
#include "app/Zelk.h"
#include "core/FlagGuard.h"
#include "core/Numbers.h"
#include "effects/Effects.h"
#include "effects/EffectsUi.h"
#include "link/CommandProtocol.h"
#include "link/LinkWatch.h"
#include "link/StatusLine.h"
#include "pages/PageView.h"
#include "settings/DisplaySettings.h"
#include "transmit/Transmission.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocalSocket>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

constexpr int kMaxClients = 8;
constexpr int kRetryMs = 500; // a handed-over file waits this long for a running send to end

const QString kStop = QStringLiteral("Stop");
const QString kSend = QStringLiteral("Send");

// The peer is this user (the socket's own permissions say so too; this holds where they are not enforced).
bool peerIsThisUser(QLocalSocket* socket)
{
#ifdef Q_OS_LINUX
    ucred cred{};
    socklen_t size = sizeof cred;
    if (getsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &size) != 0)
        return false;
    return cred.uid == getuid();
#else
    Q_UNUSED(socket);
    return true;
#endif
}

// A page file a second start may hand over. The peer is this user (checked on connecting), so a file this user can
// read is opened on nobody else's behalf, whoever owns it (a colleague's show in a shared folder).
QString pageFileRefusal(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("not a readable file");
    return {};
}

bool says(const QPushButton* b, const QString& caption)
{
    return b && b->text() == caption;
}

} // namespace

Orders::Orders(Zelk& z) : z_(z)
{
    z_.orders = this;
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.setMaxPendingConnections(kMaxClients);
    connect(&server_, &QLocalServer::newConnection, this, &Orders::accept);
}

Orders::~Orders()
{
    server_.close();
    if (z_.orders == this)
        z_.orders = nullptr;
}

bool Orders::listen(const QString& settingsFolder)
{
    const QString path =
        orders::socketPath(settingsFolder, QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    // This copy holds the lock: a socket left there belongs to a copy that is gone.
    QLocalServer::removeServer(path);
    if (server_.listen(path))
        return true;
    qWarning("ZELK: orders cannot be taken at %s: %s", qPrintable(path), qPrintable(server_.errorString()));
    return false;
}

void Orders::accept()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (findChildren<QLocalSocket*>().size() > kMaxClients || !peerIsThisUser(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readOrder(socket); });
        // A line never finished is answered and let go; the socket is not kept open by a silent client.
        QTimer::singleShot(orders::kOrderWaitMs, socket, [socket] {
            if (socket->property("answered").toBool())
                return;
            socket->setProperty("answered", true);
            socket->write("REFUSED incomplete order\n");
            socket->disconnectFromServer();
        });
        if (socket->bytesAvailable() > 0)
            readOrder(socket);
    }
}

void Orders::readOrder(QLocalSocket* socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll(); // one order per connection; whatever follows is dropped
        return;
    }
    QByteArray line = socket->property("line").toByteArray();
    line += socket->read(orders::kMaxOrderBytes + 1 - line.size());
    const qsizetype end = line.indexOf('\n');
    if (end < 0 && line.size() <= orders::kMaxOrderBytes) {
        socket->setProperty("line", line);
        return; // more to come
    }
    socket->setProperty("answered", true);
    // A send takes a while; the client may go meanwhile, and its socket with it.
    const QPointer<QLocalSocket> alive(socket);
    QByteArray answer;
    if (end < 0) {
        answer = "REFUSED order too long\n";
    } else if (end + 1 < line.size() || socket->bytesAvailable() > 0) {
        answer = "REFUSED one order per connection\n";
    } else {
        const orders::Parsed parsed = orders::parse(line.left(end));
        answer = parsed.order ? run(*parsed.order) : "REFUSED " + parsed.error.toUtf8() + '\n';
    }
    if (!alive)
        return;
    socket->readAll();
    socket->write(answer);
    socket->disconnectFromServer();
}

QByteArray Orders::run(const orders::Order& order)
{
    QString refused;
    switch (order.word) {
    case orders::Word::Front:
        bringToFront();
        break;
    case orders::Word::Open:
        refused = pageFileRefusal(order.path);
        if (refused.isEmpty()) {
            handedOver_ << order.path;
            QTimer::singleShot(0, this, &Orders::askNext);
        }
        break;
    case orders::Word::Send:
        refused = sendPages(order.pages);
        break;
    case orders::Word::Clear:
        refused = clearTitler(order.address);
        break;
    }
    return refused.isEmpty() ? QByteArray("OK\n") : "REFUSED " + refused.toUtf8() + '\n';
}

QString Orders::busyReason() const
{
    if (z_.EventsSuppressed)
        return QStringLiteral("ZELK is closing");
    // Until the window is up, start-up (and the page file it may send) is not over.
    if (!z_.ui.frmZELK || !z_.ui.frmZELK->isVisible())
        return QStringLiteral("ZELK is starting");
    if (asking_ || QApplication::activeModalWidget())
        return QStringLiteral("the operator is answering a question");
    const Ui& ui = z_.ui;
    const bool effectRuns = z_.effects && z_.effects->ui().cmdStop && z_.effects->ui().cmdStop->isEnabled();
    const bool settingsRun = z_.displaySettings && z_.displaySettings->sendingAll();
    if (running_ || z_.TransmissionActive || z_.PageRefreshing || z_.PortScanActive || z_.SendStopRequested ||
        says(ui.cmdSend, kStop) || says(ui.cmdClearPxt, kStop) || effectRuns || settingsRun ||
        (z_.protocol && z_.protocol->lineHeld()))
        return QStringLiteral("a send is running");
    return {};
}

QString Orders::refusal() const
{
    if (const QString busy = busyReason(); !busy.isEmpty())
        return busy;
    if (!z_.LinkOnline || (z_.ui.optWorkOffline && z_.ui.optWorkOffline->isChecked()))
        return QStringLiteral("offline");
    return {};
}

QString Orders::sendPages(const QList<int>& pages)
{
    if (const QString why = refusal(); !why.isEmpty())
        return why;
    if (!z_.transmission || !z_.pageView || !z_.protocol || !z_.ui.txtPageNumber || !z_.ui.cmdSend)
        return QStringLiteral("ZELK cannot send now");
    // All refused before anything goes out: automation must not get half of what it asked for without knowing.
    for (int p : pages) {
        if (p < 1 || p > slot::kPages)
            return QStringLiteral("no such page: %1").arg(p);
        const QString address = z_.table.text(slot::page(p, slot::kAddress));
        if (!z_.protocol->IsTitlerEnabled(address))
            return QStringLiteral("the titler of page %1 (%2) is not enabled").arg(p).arg(address);
    }

    const FlagGuard running(running_);
    const LinkWatch link(z_.LinkOnline);
    const QString onView = z_.ui.txtPageNumber->text();
    auto show = [this](const QString& page) {
        z_.ui.txtPageNumber->setText(page);
        z_.pageView->ShowPage();
    };
    // As the operator's Send looks: "Stop" on the button stops the order before its next page.
    z_.ui.cmdSend->setText(kStop);
    int sent = 0;
    for (int p : pages) {
        if (z_.SendStopRequested || z_.EventsSuppressed || link.lost())
            break;
        show(QString::number(p));
        z_.PageRefreshing = false;
        if (z_.ui.txtAddress && z_.ui.txtAddress->text() == code::kBroadcast)
            z_.transmission->SendPageLines(code::kBroadcast, 0); // only the text reaches every titler
        else
            z_.transmission->SendPages(QStringLiteral("Current"));
        ++sent;
    }
    if (z_.EventsSuppressed)
        return QStringLiteral("ZELK is closing");
    const bool stopped = z_.SendStopRequested;
    z_.ui.cmdSend->setText(kSend);
    z_.SendStopRequested = false;
    z_.PageRefreshing = false;
    show(onView); // the operator keeps the page they were on
    if (z_.status)
        z_.status->showDone(3, link);
    if (link.lost() || !z_.LinkOnline)
        return QStringLiteral("the link was lost after %1 of %2 pages").arg(sent).arg(pages.size());
    if (stopped && sent < pages.size())
        return QStringLiteral("stopped by the operator after %1 of %2 pages").arg(sent).arg(pages.size());
    return {};
}

QString Orders::clearTitler(const QString& address)
{
    if (const QString why = refusal(); !why.isEmpty())
        return why;
    if (!z_.protocol)
        return QStringLiteral("ZELK cannot send now");
    if (address != code::kBroadcast && !z_.protocol->IsTitlerEnabled(address))
        return QStringLiteral("titler %1 is not enabled").arg(address);
    const FlagGuard running(running_);
    const LinkWatch link(z_.LinkOnline);
    if (z_.status)
        z_.status->ShowStatus(4);
    QString target = address;
    const bool written = z_.protocol->SendCommand(target, code::kClear);
    if (written && z_.asRun)
        z_.asRun->record(target, QStringLiteral("clear"));
    if (z_.EventsSuppressed)
        return QStringLiteral("ZELK is closing");
    if (z_.status)
        z_.status->showDone(5, link);
    if (!written)
        return QStringLiteral("the clear could not be sent");
    // What the titler showed is gone.
    for (int a = 1; a <= 99; ++a)
        if (address == code::kBroadcast || a == address.toInt())
            z_.table.setText(slot::titler(slot::kTitlerShownPageBlock, a), QString());
    return {};
}

void Orders::bringToFront()
{
    QWidget* w = z_.ui.frmZELK;
    if (!w || z_.EventsSuppressed)
        return;
    w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    w->show();
    w->raise();
    w->activateWindow();
}

void Orders::askNext()
{
    if (handedOver_.isEmpty() || asking_ || z_.EventsSuppressed)
        return;
    // A running send finishes first; its pages must not be replaced under it.
    if (!busyReason().isEmpty()) {
        QTimer::singleShot(kRetryMs, this, &Orders::askNext);
        return;
    }
    const QString path = handedOver_.takeFirst();
    bringToFront();
    bool open = false;
    {
        const FlagGuard asking(asking_);
        open = z_.dialogs.message(
                   z_.ui.frmZELK, QMessageBox::Question, QStringLiteral("PXT-12 ZELK"),
                   QStringLiteral("Open %1? Its pages replace the pages now open.").arg(QFileInfo(path).fileName()),
                   QMessageBox::Open | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Open;
    }
    // Looked at again: the file may have changed hands while the question was open.
    if (open && !z_.EventsSuppressed && z_.shell && pageFileRefusal(path).isEmpty())
        z_.shell->openCommandLineFile(path);
    if (!handedOver_.isEmpty())
        QTimer::singleShot(0, this, &Orders::askNext);
}
