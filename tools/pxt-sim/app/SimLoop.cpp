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
#include <sys/ioctl.h>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace pxtsim;

namespace {

constexpr qint64 kHangupBackoffUs = 100'000; // how long to leave a hung-up master alone before polling it again
constexpr qint64 kDefaultBaud = 9600;        // pacing speed while the line has none set
constexpr int kReadChunk = 4096;

class Simulator
{
public:
    explicit Simulator(const SimOptions& options)
        : options_(options), start_(std::chrono::steady_clock::now()),
          bus_(options.titlers, options.replies, wallClockSecs())
    {
        bus_.setFixedReply(options.fixedReply);
    }

    int run();

private:
    static qint64 wallClockSecs();
    qint64 nowUs() const;
    void readMaster(qint64 now);
    bool handleSignals(); // false when the simulator should end
    void writeLog();
    void writeDump();

    const SimOptions& options_;
    std::chrono::steady_clock::time_point start_;
    TitlerBus bus_;
    PtyLink link_;
    QFile log_;
    int signalFd_ = -1;
    int dumps_ = 0;
    qint64 nextByteUs_ = 0; // pacing: when the next byte may be read
    qint64 hangupUntilUs_ = 0;
};

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

int Simulator::run()
{
    sigset_t caught;
    sigemptyset(&caught);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1})
        sigaddset(&caught, s);
    sigprocmask(SIG_BLOCK, &caught, nullptr);
    signalFd_ = signalfd(-1, &caught, SFD_NONBLOCK | SFD_CLOEXEC);
    std::signal(SIGPIPE, SIG_IGN);

    if (!options_.logPath.isEmpty()) {
        log_.setFileName(options_.logPath);
        if (!log_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "pxt-sim: cannot write %s\n", qPrintable(options_.logPath));
            return 1;
        }
    }
    QString error;
    if (signalFd_ < 0 || !link_.open(options_.link, &error)) {
        std::fprintf(stderr, "pxt-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::fprintf(stderr, "pxt-sim: titlers %s on %s (slave %s)%s\n", qPrintable(options_.titlersText),
                 qPrintable(options_.link), qPrintable(link_.slaveName()), options_.pace ? ", paced" : "");

    for (;;) {
        qint64 now = nowUs();
        // Bytes still waiting on the master mean the line was never quiet (a late wake-up, or pacing): no idle end.
        int pending = 0;
        if (::ioctl(link_.master(), FIONREAD, &pending) != 0)
            pending = 0;
        if (pending == 0)
            bus_.idle(now / 1000);
        writeLog();

        const bool hungUp = now < hangupUntilUs_;
        const bool paceWait = options_.pace && now < nextByteUs_;
        qint64 wakeUs = -1;
        const auto wakeAt = [&](qint64 us) {
            if (us >= 0 && (wakeUs < 0 || us < wakeUs))
                wakeUs = us;
        };
        if (bus_.deadline() >= 0 && pending == 0)
            wakeAt(bus_.deadline() * 1000);
        if (hungUp)
            wakeAt(hangupUntilUs_);
        if (paceWait)
            wakeAt(nextByteUs_);

        pollfd fds[2] = {{signalFd_, POLLIN, 0}, {hungUp || paceWait ? -1 : link_.master(), POLLIN, 0}};
        timespec timeout{};
        if (wakeUs >= 0) {
            const qint64 wait = qMax<qint64>(0, wakeUs - now);
            timeout = {static_cast<time_t>(wait / 1'000'000), static_cast<long>(wait % 1'000'000) * 1000};
        }
        const int ready = ppoll(fds, 2, wakeUs >= 0 ? &timeout : nullptr, nullptr);
        if (ready < 0 && errno != EINTR) {
            std::perror("pxt-sim: poll");
            return 1;
        }
        now = nowUs();
        if (fds[1].revents & POLLIN)
            readMaster(now);
        else if (fds[1].revents & (POLLHUP | POLLERR))
            hangupUntilUs_ = now + kHangupBackoffUs;
        if ((fds[0].revents & POLLIN) && !handleSignals())
            break;
    }
    bus_.flush();
    writeLog();
    writeDump();
    link_.removeLink();
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
    const QByteArray reply = bus_.receive(QByteArrayView(buffer, n), now / 1000);
    if (!reply.isEmpty() && ::write(link_.master(), reply.constData(), static_cast<size_t>(reply.size())) < 0)
        std::fprintf(stderr, "pxt-sim: reply lost\n");
    writeLog();
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
    if (lines.isEmpty() || !log_.isOpen())
        return;
    for (const QString& line : lines)
        log_.write(line.toUtf8() + '\n');
    log_.flush();
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

} // namespace

int runSimulator(const SimOptions& options)
{
    Simulator simulator(options);
    return simulator.run();
}
