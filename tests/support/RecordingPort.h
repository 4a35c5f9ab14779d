#pragma once
// A serial port for tests: records every write with its time, can pretend the driver still holds bytes (a real
// port's queue, or a stalled line), and answers the time and date questions as a titler would.

#include "link/SerialPort.h"

#include <QElapsedTimer>
#include <QList>
#include <QSet>

// No Q_OBJECT: it only emits the signal it inherits, and header-only support files are not run through moc.
class RecordingPort : public SerialPort
{
public:
    struct Write
    {
        QByteArray bytes;
        qint64 atMs; // since the port was made
    };

    RecordingPort()
    {
        clock.start();
        for (int n = 1; n <= 4; ++n) // not an initializer list: GCC 12 warns wrongly on QSet's
            available.insert(n);
    }

    bool open(int n) override
    {
        if (!available.contains(n)) {
            error = QStringLiteral("no such device");
            return false;
        }
        isOpen_ = true;
        number = n;
        ++opens;
        return true;
    }
    void close() override { isOpen_ = false; }
    bool isOpen() const override { return isOpen_; }
    void setSettings(const QString& s) override
    {
        if (int b = baudOfSettings(s))
            baud_ = b;
        settings = s;
    }
    int baud() const override { return baud_; }
    bool write(const QByteArray& b) override
    {
        if (!isOpen_) {
            error = QStringLiteral("port is not open");
            return false;
        }
        writes.append({b, clock.elapsed()});
        lastWriteMs = clock.elapsed();
        queued += b.size();
        answer(b);
        return true;
    }
    // Bytes waiting drain at the line speed when drainAtLineSpeed is set; they never drain when stalled.
    qint64 bytesWaiting() override
    {
        ++waitingPolls;
        if (!isOpen_ || queued == 0)
            return 0;
        if (stalled)
            return queued;
        if (!drainAtLineSpeed) {
            queued = 0;
            return 0;
        }
        const qint64 sent = (clock.elapsed() - lastWriteMs) * baud_ / 10000;
        if (sent >= queued)
            queued = 0;
        return std::max<qint64>(0, queued - sent);
    }
    QByteArray readAll() override
    {
        QByteArray r = incoming;
        incoming.clear();
        return r;
    }
    QString errorText() const override { return error; }

    // Frames as the titlers see them: the byte stream cut at each ESC.
    QList<QByteArray> frames() const
    {
        QByteArray all;
        for (const auto& w : writes)
            all += w.bytes;
        QList<QByteArray> out;
        for (const QByteArray& part : all.split('\x1b'))
            if (!part.isEmpty())
                out.append(part);
        return out;
    }
    // The frames with the given code (all when empty), leaving out the time and date questions of the clock tick.
    QList<QByteArray> sent(const QByteArray& code = {}) const
    {
        QList<QByteArray> out;
        for (const QByteArray& f : frames())
            if (f.mid(2) != "38" && f.mid(2) != "43" && f.mid(2, code.size()) == code)
                out.append(f);
        return out;
    }
    void clearWrites() { writes.clear(); }
    void vanish()
    {
        isOpen_ = false;
        emit lost(QStringLiteral("device went away"));
    }

    QSet<int> available;
    QList<Write> writes;
    QByteArray incoming;
    QByteArray timeReply = "123456"; // what a titler answers to "38" (empty: silent)
    QByteArray dateReply = "120626"; // to "43"
    QSet<QByteArray> answeringAddresses; // empty: every single address answers
    bool drainAtLineSpeed = false;
    bool stalled = false;
    int opens = 0;
    int number = 0;
    int waitingPolls = 0;
    QString settings;
    QString error;
    QElapsedTimer clock;

private:
    void answer(const QByteArray& frame)
    {
        if (frame.size() != 5 || frame[0] != '\x1b')
            return;
        const QByteArray address = frame.mid(1, 2), c = frame.mid(3, 2);
        if (address == "00" || (!answeringAddresses.isEmpty() && !answeringAddresses.contains(address)))
            return;
        if (c == "38")
            incoming += timeReply;
        else if (c == "43")
            incoming += dateReply;
    }

    bool isOpen_ = false;
    int baud_ = 9600;
    qint64 queued = 0;
    qint64 lastWriteMs = 0;
};
