#include "OrderClient.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTextStream>

namespace orders {

namespace {

constexpr int kConnectMs = 3000;
constexpr int kHandOverAnswerMs = 500;

bool connectTo(QLocalSocket& socket, const QString& settingsFolder)
{
    socket.connectToServer(
        socketPath(settingsFolder, QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)));
    return socket.waitForConnected(kConnectMs);
}

} // namespace

int runOrder(const Parsed& parsed, const QString& settingsFolder, QTextStream& err)
{
    if (!parsed.order) {
        err << "zelk: " << parsed.error << Qt::endl;
        return kRefused;
    }
    QLocalSocket socket;
    if (!connectTo(socket, settingsFolder)) {
        err << "zelk: no running copy of ZELK for " << QDir::toNativeSeparators(settingsFolder) << Qt::endl;
        return kNoRunningCopy;
    }
    socket.write(encode(*parsed.order));
    QByteArray answer;
    const QDeadlineTimer deadline(kAnswerWaitMs);
    while (!answer.contains('\n') && !deadline.hasExpired()) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(int(std::min<qint64>(deadline.remainingTime(), 1000)))) {
            if (socket.state() != QLocalSocket::ConnectedState)
                break;
            continue;
        }
        answer += socket.readAll();
    }
    answer += socket.readAll();
    const QString line = QString::fromUtf8(answer.left(answer.indexOf('\n')));
    if (line == QLatin1String("OK"))
        return kDone;
    if (line.startsWith(QLatin1String("REFUSED ")))
        err << "zelk: refused: " << line.mid(8) << Qt::endl;
    else
        err << "zelk: the running copy gave no answer" << Qt::endl;
    return kRefused;
}

bool handOver(const QString& settingsFolder, const QString& pageFile)
{
    QLocalSocket socket;
    if (!connectTo(socket, settingsFolder))
        return false;
    Order order;
    order.word = pageFile.isEmpty() ? Word::Front : Word::Open;
    order.path = QDir::cleanPath(pageFile);
    // The running copy is not asked about a file that is not there: the window only comes to the front, and the
    // one who started this copy is told here.
    if (order.word == Word::Open && !QFileInfo(order.path).isFile()) {
        QTextStream(stderr) << "zelk: " << QDir::toNativeSeparators(order.path) << ": no such page file" << Qt::endl;
        order.word = Word::Front;
    }
    socket.write(encode(order));
    // The order must have left before this copy ends. A refusal is told to the one who started this copy; the answer
    // is awaited only briefly (the running copy may be this very thread's, in a test).
    const bool sent = socket.waitForBytesWritten(kConnectMs) || socket.bytesToWrite() == 0;
    if (sent && socket.waitForReadyRead(kHandOverAnswerMs)) {
        const QByteArray answer = socket.readAll();
        if (answer.startsWith("REFUSED "))
            QTextStream(stderr) << "zelk: the running copy refused " << QDir::toNativeSeparators(order.path) << ": "
                                << QString::fromUtf8(answer.mid(8)).trimmed() << Qt::endl;
    }
    socket.disconnectFromServer();
    return sent;
}

} // namespace orders
