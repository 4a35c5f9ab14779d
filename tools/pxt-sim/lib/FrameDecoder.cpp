#include "pxtsim/FrameDecoder.h"

namespace pxtsim {

void FrameDecoder::feed(QByteArrayView bytes, qint64 nowMs, std::vector<DecoderEvent>& out)
{
    for (char byte : bytes)
        feedByte(byte, nowMs, out);
}

void FrameDecoder::feedByte(char byte, qint64 nowMs, std::vector<DecoderEvent>& out)
{
    lastByteMs_ = nowMs;
    if (byte == kEsc) {
        endFrame(out);
        body_.clear();
        hasEsc_ = true;
        codeSeen_ = false;
        emitted_ = false;
        dropped_ = 0;
        ++serial_;
        startMs_ = nowMs;
        // An ESC alone is a frame too (an empty, broken one) until the next byte says more.
        unflushed_ = true;
        return;
    }
    if (!unflushed_ && !emitted_)
        startMs_ = nowMs;
    unflushed_ = true;
    if (body_.size() >= kMaxFrameBytes) {
        ++dropped_;
        return;
    }
    body_.append(byte);
    if (!hasEsc_ || codeSeen_ || body_.size() < 2)
        return;
    if (!isDigits(QByteArrayView(body_).first(2))) {
        codeSeen_ = true;
        return;
    }
    const int length = knownCodeLength(QByteArrayView(body_).sliced(2));
    if (length == 0)
        return;
    codeSeen_ = true;
    if (length > 0) {
        Frame frame = classifyFrame(body_, true);
        frame.startMs = startMs_;
        frame.serial = serial_;
        out.push_back({DecoderEvent::CodeComplete, frame});
    }
}

void FrameDecoder::endFrame(std::vector<DecoderEvent>& out)
{
    if (!unflushed_)
        return;
    Frame frame = classifyFrame(body_, hasEsc_);
    frame.startMs = startMs_;
    frame.continued = emitted_;
    frame.dropped = dropped_;
    frame.serial = serial_;
    out.push_back({DecoderEvent::FrameEnd, frame});
    unflushed_ = false;
    emitted_ = true;
    if (!hasEsc_) {
        // Garbage has no frame to continue: the next stray bytes are a new chunk.
        body_.clear();
        emitted_ = false;
        dropped_ = 0;
    }
}

void FrameDecoder::idle(qint64 nowMs, std::vector<DecoderEvent>& out)
{
    if (unflushed_ && nowMs - lastByteMs_ >= idleMs_)
        endFrame(out);
}

void FrameDecoder::flush(std::vector<DecoderEvent>& out)
{
    endFrame(out);
}

} // namespace pxtsim
