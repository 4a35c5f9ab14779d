#pragma once
// Cuts the received byte stream into frames. A frame has no terminator, so it ends when the next ESC arrives or,
// for the last frame of a burst, when the line has been quiet for the idle delay.

#include "pxtsim/Protocol.h"

#include <vector>

namespace pxtsim {

struct DecoderEvent
{
    enum Type {
        CodeComplete, // address and code of an ESC frame have arrived (questions are answered here, at once)
        FrameEnd,     // a frame is complete: next ESC, idle flush or forced flush
    };
    Type type;
    Frame frame;
};

class FrameDecoder
{
public:
    explicit FrameDecoder(qint64 idleMs = kIdleFlushMs) : idleMs_(idleMs) {}

    void feed(QByteArrayView bytes, qint64 nowMs, std::vector<DecoderEvent>& out);
    // Ends the open frame if the line has been quiet for the idle delay.
    void idle(qint64 nowMs, std::vector<DecoderEvent>& out);
    // Ends the open frame now (dump, exit).
    void flush(std::vector<DecoderEvent>& out);
    // When idle() will have something to do, or -1.
    qint64 deadline() const { return unflushed_ ? lastByteMs_ + idleMs_ : -1; }

private:
    void feedByte(char byte, qint64 nowMs, std::vector<DecoderEvent>& out);
    void endFrame(std::vector<DecoderEvent>& out);

    qint64 idleMs_;
    QByteArray body_; // bytes after the ESC, or garbage before any ESC
    bool hasEsc_ = false;
    bool codeSeen_ = false;  // CodeComplete emitted or the code known to be bad
    bool unflushed_ = false; // bytes not yet part of an emitted FrameEnd
    bool emitted_ = false;   // this frame has been emitted once already
    int dropped_ = 0;
    quint64 serial_ = 0;
    qint64 startMs_ = 0;
    qint64 lastByteMs_ = 0;
};

} // namespace pxtsim
