#include "SimLoop.h"

#include "PtyLink.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace pxtsim;

namespace {

constexpr qint64 kHangupBackoffUs = 100'000; // how long to leave a hung-up master alone before polling it again
constexpr qint64 kDefaultBaud = 9600;        // pacing speed while the line has none set
constexpr int kReadChunk = 4096;

} // namespace

Simulator::Simulator(const SimOptions& options)
    : options_(options), start_(std::chrono::steady_clock::now()),
      bus_(options.titlers, options.replies, wallClockSecs())
{
    bus_.setFixedReply(options.fixedReply);
}

qint64 Simulator::wallClockSecs()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QTime t = now.time();
    return secondsSince2000(now.date().year(), now.date().month(), now.date().day(), t.hour(), t.minute(), t.second());
}

qint64 Simulator::nowUs() const
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_).count();
}

namespace {

sigset_t caughtSignals()
{
    sigset_t caught;
    sigemptyset(&caught);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1})
        sigaddset(&caught, s);
    return caught;
}

} // namespace

void Simulator::blockSignals()
{
    const sigset_t caught = caughtSignals();
    pthread_sigmask(SIG_BLOCK, &caught, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool Simulator::start()
{
    blockSignals();
    const sigset_t caught = caughtSignals();
    signalFd_ = signalfd(-1, &caught, SFD_NONBLOCK | SFD_CLOEXEC);

    if (!options_.logPath.isEmpty()) {
        log_.setFileName(options_.logPath);
        if (!log_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "pxt-sim: cannot write %s\n", qPrintable(options_.logPath));
            return false;
        }
    }
    QString error;
    if (signalFd_ < 0 || !link_.open(options_.link, &error)) {
        std::fprintf(stderr, "pxt-sim: %s\n", qPrintable(error));
        return false;
    }
    std::fprintf(stderr, "pxt-sim: titlers %s on %s (slave %s)%s\n", qPrintable(options_.titlersText),
                 qPrintable(options_.link), qPrintable(link_.slaveName()), options_.pace ? ", paced" : "");
    return true;
}

Simulator::Wait Simulator::prepare()
{
    const qint64 now = nowUs();
    // Bytes still waiting on the master mean the line was never quiet (a late wake-up, or pacing): no idle end.
    int pending = 0;
    if (::ioctl(link_.master(), FIONREAD, &pending) != 0)
        pending = 0;
    if (pending == 0)
        bus_.idle(now / 1000);
    writeLog();

    const bool hungUp = now < hangupUntilUs_;
    const bool paceWait = options_.pace && now < nextByteUs_;
    Wait wait;
    const auto wakeAt = [&](qint64 us) {
        if (us >= 0 && (wait.wakeUs < 0 || us < wait.wakeUs))
            wait.wakeUs = us;
    };
    if (bus_.deadline() >= 0 && pending == 0)
        wakeAt(bus_.deadline() * 1000);
    if (hungUp)
        wakeAt(hangupUntilUs_);
    if (paceWait)
        wakeAt(nextByteUs_);
    if (!delayed_.empty())
        wakeAt(delayed_.front().dueUs);
    wait.watchMaster = !hungUp && !paceWait;
    return wait;
}

bool Simulator::serve(short signalEvents, short masterEvents)
{
    const qint64 now = nowUs();
    sendDueReplies(now);
    if (masterEvents & POLLIN)
        readMaster(now);
    else if (masterEvents & (POLLHUP | POLLERR))
        hangupUntilUs_ = now + kHangupBackoffUs;
    return !(signalEvents & POLLIN) || handleSignals();
}

void Simulator::finish()
{
    bus_.flush();
    writeLog();
    writeDump();
    link_.removeLink();
}

int Simulator::run()
{
    if (!start())
        return 1;
    for (;;) {
        const Wait wait = prepare();
        pollfd fds[2] = {{signalFd_, POLLIN, 0}, {wait.watchMaster ? link_.master() : -1, POLLIN, 0}};
        timespec timeout{};
        if (wait.wakeUs >= 0) {
            const qint64 left = qMax<qint64>(0, wait.wakeUs - nowUs());
            timeout = {static_cast<time_t>(left / 1'000'000), static_cast<long>(left % 1'000'000) * 1000};
        }
        const int ready = ppoll(fds, 2, wait.wakeUs >= 0 ? &timeout : nullptr, nullptr);
        if (ready < 0 && errno != EINTR) {
            std::perror("pxt-sim: poll");
            return 1;
        }
        if (!serve(fds[0].revents, fds[1].revents))
            break;
    }
    finish();
    return 0;
}

void Simulator::readMaster(qint64 now)
{
    qint64 count = kReadChunk;
    qint64 intervalUs = 0;
    if (options_.pace) {
        const int baud = link_.baud();
        // Ten bits a character: start, eight data bits, stop.
        intervalUs = 10'000'000 / (baud > 0 ? baud : kDefaultBaud);
        if (nextByteUs_ < now - intervalUs)
            nextByteUs_ = now; // an idle line earns no credit for a later burst
        count = qMin<qint64>(kReadChunk, 1 + (now - nextByteUs_) / intervalUs);
    }
    char buffer[kReadChunk];
    const ssize_t n = ::read(link_.master(), buffer, static_cast<size_t>(count));
    if (n <= 0) {
        if (n == 0 || (errno != EAGAIN && errno != EINTR))
            hangupUntilUs_ = now + kHangupBackoffUs; // EIO: no slave open; never spin on it
        return;
    }
    nextByteUs_ += n * intervalUs;
    sendReply(bus_.receive(QByteArrayView(buffer, n), now / 1000), now);
    writeLog();
}

void Simulator::sendReply(QByteArray reply, qint64 now)
{
    if (options_.halfReply)
        reply.truncate(reply.size() / 2);
    if (reply.isEmpty())
        return;
    if (options_.replyDelayMs > 0) {
        delayed_.push_back({now + options_.replyDelayMs * 1000, reply});
        return;
    }
    if (::write(link_.master(), reply.constData(), static_cast<size_t>(reply.size())) < 0)
        std::fprintf(stderr, "pxt-sim: reply lost\n");
}

void Simulator::sendDueReplies(qint64 now)
{
    while (!delayed_.empty() && delayed_.front().dueUs <= now) {
        const QByteArray& bytes = delayed_.front().bytes;
        if (::write(link_.master(), bytes.constData(), static_cast<size_t>(bytes.size())) < 0)
            std::fprintf(stderr, "pxt-sim: reply lost\n");
        delayed_.erase(delayed_.begin());
    }
}

bool Simulator::handleSignals()
{
    signalfd_siginfo info{};
    bool keepRunning = true;
    while (::read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        if (info.ssi_signo == SIGUSR1) {
            bus_.flush();
            writeLog();
            writeDump();
        } else {
            keepRunning = false;
        }
    }
    return keepRunning;
}

void Simulator::writeLog()
{
    const QStringList lines = bus_.takeLog();
    if (lines.isEmpty())
        return;
    if (log_.isOpen()) {
        for (const QString& line : lines)
            log_.write(line.toUtf8() + '\n');
        log_.flush();
    }
    if (logListener_)
        logListener_(lines);
}

void Simulator::writeDump()
{
    const QByteArray text = bus_.dump(nowUs() / 1000, ++dumps_).toUtf8();
    if (options_.dumpPath.isEmpty()) {
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
        std::fflush(stdout);
        return;
    }
    // Written whole and then renamed, so a reader never sees half a dump.
    QSaveFile file(options_.dumpPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        std::fprintf(stderr, "pxt-sim: cannot write %s\n", qPrintable(options_.dumpPath));
}

int runSimulator(const SimOptions& options)
{
    Simulator simulator(options);
    return simulator.run();
}
