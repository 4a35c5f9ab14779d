#pragma once
// The titlers on one line: decodes what arrives, applies each frame to the titlers it reaches, answers the time and
// date questions, and keeps the log lines and the state dump.

#include "pxtsim/Addresses.h"
#include "pxtsim/FrameDecoder.h"
#include "pxtsim/Titler.h"

#include <QStringList>

#include <vector>

namespace pxtsim {

enum class ReplyMode {
    Normal,
    Silent,  // never answer
    Garbage, // answer with kGarbageReply
};

inline constexpr QByteArrayView kGarbageReply = "ERR?!#"; // six bytes, none a digit

// "000012.345": seconds since the simulator started.
QString formatElapsed(qint64 ms);

class TitlerBus
{
public:
    // clockSecs: what every titler's clock shows at nowMs 0, as secondsSince2000.
    TitlerBus(AddressSet played, ReplyMode mode, qint64 clockSecs, qint64 idleMs = kIdleFlushMs);

    // nowMs counts from the simulator's start. Returns the bytes to send back on the line.
    QByteArray receive(QByteArrayView bytes, qint64 nowMs);
    // Every question is answered with these bytes instead of the titler's clock (empty: the clock again).
    void setFixedReply(const QByteArray& reply) { fixedReply_ = reply; }
    void idle(qint64 nowMs);
    void flush();
    qint64 deadline() const { return decoder_.deadline(); }

    QStringList takeLog();
    // Every played titler that a frame has reached, by its own address or "00".
    QString dump(qint64 nowMs, int number) const;

    const Titler& titler(int address) const { return titlers_.at(address); }
    bool reached(int address) const { return reached_.test(address); }

private:
    QByteArray handle(const std::vector<DecoderEvent>& events);
    QByteArray answer(const Frame& frame, qint64 nowMs);
    void apply(const Frame& frame);
    QString logLine(const Frame& frame, QStringList notes) const;

    FrameDecoder decoder_;
    AddressSet played_;
    AddressSet reached_;
    ReplyMode mode_;
    QByteArray fixedReply_;
    std::vector<Titler> titlers_; // index = address; 0 unused
    QStringList log_;
    quint64 answeredSerial_ = 0;
    QString answerNote_;
    qint64 nowMs_ = 0;
};

} // namespace pxtsim
