// The simulator's side of the line on any bytes: the frame decoder cuts the same frames however the bytes are split,
// and a line of titlers applies them, answers questions and dumps its state without fault.

#include "FuzzCheck.h"

#include <pxtsim/DumpReader.h>
#include <pxtsim/FrameDecoder.h>
#include <pxtsim/ScreenPicture.h>
#include <pxtsim/TitlerBus.h>

#include <vector>

using namespace pxtsim;

namespace {

// Chunk sizes and pauses from the input itself, so that a crash replays exactly.
class Splitter
{
public:
    explicit Splitter(QByteArrayView seed) : state_(0x9E3779B9u)
    {
        for (char c : seed)
            state_ = state_ * 31u + quint8(c);
    }
    quint32 next(quint32 bound)
    {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) % bound;
    }

private:
    quint32 state_;
};

QByteArray frameKey(const Frame& f)
{
    return QByteArray::number(int(f.kind)) + '|' + f.address + '|' + f.code + '|' + f.params + '|' + f.raw + '|' +
           QByteArray::number(f.dropped) + '|' + QByteArray::number(f.hasEsc);
}

std::vector<QByteArray> ends(const std::vector<DecoderEvent>& events)
{
    std::vector<QByteArray> out;
    for (const DecoderEvent& e : events)
        if (e.type == DecoderEvent::FrameEnd)
            out.push_back(frameKey(e.frame));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArrayView seed = bytes.first(qMin<qsizetype>(4, bytes.size()));

    // Without quiet gaps, the frames do not depend on how the bytes arrive.
    std::vector<DecoderEvent> whole, split;
    FrameDecoder a, b;
    a.feed(bytes, 0, whole);
    a.flush(whole);
    Splitter chunks(seed);
    for (qsizetype pos = 0; pos < bytes.size();) {
        const qsizetype n = qMin<qsizetype>(1 + chunks.next(40), bytes.size() - pos);
        b.feed(bytes.sliced(pos, n), 0, split);
        pos += n;
    }
    b.flush(split);
    FUZZ_CHECK(ends(whole) == ends(split));
    for (const DecoderEvent& e : whole)
        FUZZ_CHECK(e.frame.raw.size() <= kMaxFrameBytes);

    // A line of titlers fed in bursts with pauses, some past the idle flush.
    for (ReplyMode mode : {ReplyMode::Normal, ReplyMode::Garbage}) {
        TitlerBus bus(*parseAddresses(QStringLiteral("1-99")), mode, 800000000);
        Splitter timing(seed);
        qint64 now = 0;
        for (qsizetype pos = 0; pos < bytes.size();) {
            const qsizetype n = qMin<qsizetype>(1 + timing.next(64), bytes.size() - pos);
            const QByteArray reply = bus.receive(bytes.sliced(pos, n), now);
            FUZZ_CHECK(reply.size() % 6 == 0);
            pos += n;
            now += timing.next(30);
            bus.idle(now);
        }
        bus.flush();
        const QStringList log = bus.takeLog();
        for (const QString& line : log)
            FUZZ_CHECK(line.size() >= 13);
        const QString dump = bus.dump(now, 1);
        const auto titlers = readDump(dump);
        for (int address = 1; address <= 99; ++address) {
            if (!bus.reached(address))
                continue;
            const QString key = QStringLiteral("%1").arg(address, 2, 10, QLatin1Char('0'));
            FUZZ_CHECK(titlers.contains(key) && titlers[key].rows.size() == kRows);
            const ScreenPicture picture = screenPicture(bus.titler(address), now);
            for (const QString& row : picture.rows)
                FUZZ_CHECK(row.size() == kColumns);
        }
    }
    return 0;
}
