#pragma once
// The simulator: the line, the titlers, the frame log and the dump. The headless loop is poll() on the pty master and
// a signalfd, nothing else; the monitor window drives the same two steps from its own event loop.

#include "PtyLink.h"
#include "pxtsim/TitlerBus.h"

#include <QFile>
#include <QString>

#include <chrono>
#include <functional>
#include <vector>

struct SimOptions
{
    QString link;
    QString titlersText;
    pxtsim::AddressSet titlers;
    pxtsim::ReplyMode replies = pxtsim::ReplyMode::Normal;
    QByteArray fixedReply; // answers every question when not empty
    qint64 replyDelayMs = 0; // answers leave this long after the question
    bool halfReply = false;  // only the first half of every answer leaves
    bool pace = false;
    QString logPath;
    QString dumpPath;
};

class Simulator
{
public:
    explicit Simulator(const SimOptions& options);
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The signals the simulator reads from its signalfd; blocked before any thread starts, so none of them kills it.
    static void blockSignals();
    // Opens the log, the signal descriptor and the pty; false (said on stderr) when one of them cannot be made.
    bool start();

    // What to wait for next: the master readable (when watchMaster), a signal, or the time wakeUs (none when < 0).
    struct Wait
    {
        bool watchMaster = true;
        qint64 wakeUs = -1;
    };
    // Ends a frame the quiet line has completed and writes the log; then says what to wait for.
    Wait prepare();
    // Acts on what poll() reported for the signal descriptor and the master. False when a signal ends the simulator.
    bool serve(short signalEvents, short masterEvents);
    // Ends the open frame, writes the log and the dump, removes the link.
    void finish();

    // The headless loop: runs until SIGTERM, SIGINT or SIGHUP; returns the exit code.
    int run();

    int masterFd() const { return link_.master(); }
    int signalFd() const { return signalFd_; }
    qint64 nowUs() const;
    const pxtsim::TitlerBus& bus() const { return bus_; }
    // Called with every batch of log lines as they are written.
    void setLogListener(std::function<void(const QStringList&)> listener) { logListener_ = std::move(listener); }

private:
    static qint64 wallClockSecs();
    void readMaster(qint64 now);
    bool handleSignals(); // false when the simulator should end
    void writeLog();
    void writeDump();
    void sendReply(QByteArray reply, qint64 now);
    void sendDueReplies(qint64 now);

    const SimOptions& options_;
    std::chrono::steady_clock::time_point start_;
    pxtsim::TitlerBus bus_;
    PtyLink link_;
    QFile log_;
    std::function<void(const QStringList&)> logListener_;
    int signalFd_ = -1;
    int dumps_ = 0;
    qint64 nextByteUs_ = 0; // pacing: when the next byte may be read
    qint64 hangupUntilUs_ = 0;
    struct DelayedReply
    {
        qint64 dueUs;
        QByteArray bytes;
    };
    std::vector<DelayedReply> delayed_; // in the order they are due
};

// Runs the headless simulator; returns the exit code.
int runSimulator(const SimOptions& options);
