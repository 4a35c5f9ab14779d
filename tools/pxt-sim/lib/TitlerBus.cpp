#include "pxtsim/TitlerBus.h"

#include "pxtsim/Text.h"

namespace pxtsim {

namespace {

int addressValue(const QByteArray& address)
{
    return (address[0] - '0') * 10 + (address[1] - '0');
}

QString shownParams(const Frame& frame)
{
    if (frame.kind != FrameKind::Command)
        return QLatin1Char('|') + readable(frame.params) + QLatin1Char('|');
    const QByteArrayView p(frame.params);
    if (frame.code == kWriteText && p.size() >= 3 && isDigits(p.first(3)))
        return QString::fromLatin1(p.first(3)) + QStringLiteral(" |") + readable(p.sliced(3)) + QLatin1Char('|');
    if (p.isEmpty())
        return {};
    if (isDigits(p))
        return QString::fromLatin1(p);
    return QLatin1Char('|') + readable(p) + QLatin1Char('|');
}

QString pair(const char* key, const QString& value)
{
    return QLatin1String(key) + QLatin1Char(' ') + (value.isEmpty() ? QStringLiteral("-") : value);
}

QString withColons(const QByteArray& six)
{
    return QString::fromLatin1(six.left(2) + ':' + six.mid(2, 2) + ':' + six.mid(4, 2));
}

QString withSlashes(const QByteArray& six)
{
    return QString::fromLatin1(six.left(2) + '/' + six.mid(2, 2) + '/' + six.mid(4, 2));
}

} // namespace

QString formatElapsed(qint64 ms)
{
    return QStringLiteral("%1.%2").arg(ms / 1000, 6, 10, QLatin1Char('0')).arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

TitlerBus::TitlerBus(AddressSet played, ReplyMode mode, qint64 clockSecs, qint64 idleMs)
    : decoder_(idleMs), played_(played), mode_(mode), titlers_(100, Titler(clockSecs, 0))
{
    played_.reset(0);
}

QByteArray TitlerBus::receive(QByteArrayView bytes, qint64 nowMs)
{
    nowMs_ = nowMs;
    std::vector<DecoderEvent> events;
    decoder_.feed(bytes, nowMs, events);
    return handle(events);
}

void TitlerBus::idle(qint64 nowMs)
{
    nowMs_ = nowMs;
    std::vector<DecoderEvent> events;
    decoder_.idle(nowMs, events);
    handle(events);
}

void TitlerBus::flush()
{
    std::vector<DecoderEvent> events;
    decoder_.flush(events);
    handle(events);
}

QStringList TitlerBus::takeLog()
{
    QStringList lines;
    lines.swap(log_);
    return lines;
}

QByteArray TitlerBus::handle(const std::vector<DecoderEvent>& events)
{
    QByteArray replies;
    for (const DecoderEvent& event : events) {
        if (event.type == DecoderEvent::CodeComplete)
            replies += answer(event.frame, nowMs_);
        else
            apply(event.frame);
    }
    return replies;
}

QByteArray TitlerBus::answer(const Frame& frame, qint64 nowMs)
{
    const bool time = frame.code == kAskTime;
    if (!time && frame.code != kAskDate)
        return {};
    // Only a single titler answers: replies from many at once would collide on the line.
    const int address = addressValue(frame.address);
    if (frame.address == kBroadcast || !played_.test(address))
        return {};
    answeredSerial_ = frame.serial;
    QByteArray reply;
    if (mode_ == ReplyMode::Silent) {
        answerNote_ = QStringLiteral("silent");
        return {};
    }
    if (mode_ == ReplyMode::Garbage)
        reply = kGarbageReply.toByteArray();
    else if (!fixedReply_.isEmpty())
        reply = fixedReply_;
    else
        reply = time ? titlers_[address].timeReply(nowMs) : titlers_[address].dateReply(nowMs);
    answerNote_ = QStringLiteral("reply ") + readable(reply);
    return reply;
}

void TitlerBus::apply(const Frame& frame)
{
    QStringList notes;
    if (frame.continued)
        notes << QStringLiteral("continued");
    if (frame.kind == FrameKind::Garbage) {
        notes << QStringLiteral("garbage");
    } else {
        const int address = addressValue(frame.address);
        AddressSet targets;
        if (frame.address == kBroadcast)
            targets = played_;
        else if (played_.test(address))
            targets.set(address);
        else
            notes << QStringLiteral("not played");
        reached_ |= targets;
        if (frame.kind == FrameKind::UnknownCode) {
            notes << QStringLiteral("unknown code");
        } else {
            const Titler::Check check = Titler::checkParams(frame);
            if (!check.note.isEmpty())
                notes << check.note;
            for (int a = 1; check.apply && a < 100; ++a) {
                if (targets.test(a))
                    titlers_[a].apply(frame, nowMs_);
            }
        }
    }
    if (frame.serial == answeredSerial_ && frame.hasEsc && !answerNote_.isEmpty())
        notes << answerNote_;
    if (frame.dropped > 0)
        notes << QStringLiteral("%1 bytes dropped").arg(frame.dropped);
    log_ << logLine(frame, notes);
}

QString TitlerBus::logLine(const Frame& frame, QStringList notes) const
{
    QStringList fields{formatElapsed(frame.startMs)};
    if (frame.kind == FrameKind::Garbage)
        fields << QStringLiteral("--") << QStringLiteral("??");
    else
        fields << QString::fromLatin1(frame.address)
               << (frame.kind == FrameKind::Command ? QString::fromLatin1(frame.code) : QStringLiteral("??"));
    const QString params = shownParams(frame);
    if (!params.isEmpty())
        fields << params;
    for (const QString& note : notes)
        fields << QLatin1Char('[') + note + QLatin1Char(']');
    return fields.join(QLatin1Char(' '));
}

QString TitlerBus::dump(qint64 nowMs, int number) const
{
    const QString border = QStringLiteral("  +") + QString(kColumns, QLatin1Char('-')) + QLatin1Char('+');
    QStringList lines;
    lines << QStringLiteral("pxt-sim dump %1 at %2 (%3 titlers)")
                 .arg(number)
                 .arg(formatElapsed(nowMs))
                 .arg((reached_ & played_).count());
    for (int a = 1; a < 100; ++a) {
        if (!reached_.test(a) || !played_.test(a))
            continue;
        const Titler& t = titlers_[a];
        lines << QString() << QStringLiteral("titler %1").arg(a, 2, 10, QLatin1Char('0'));
        lines << QStringLiteral("  ") + QStringList{pair("display", t.display), pair("background", t.background),
                                                    pair("characters", t.characters), pair("contrast", t.contrast)}
                                            .join(QStringLiteral("  "));
        lines << QStringLiteral("  ") + QStringList{pair("hsize", t.hsize), pair("vsize", t.vsize),
                                                    pair("hpos", t.hpos), pair("vpos", t.vpos)}
                                            .join(QStringLiteral("  "));
        lines << QStringLiteral("  ") + QStringList{pair("time", t.timeDisplay), pair("timepos", t.timePosition),
                                                    pair("timeformat", t.timeFormat),
                                                    pair("clock", withColons(t.timeReply(nowMs)))}
                                            .join(QStringLiteral("  "));
        lines << QStringLiteral("  ") + QStringList{pair("date", t.dateDisplay), pair("datepos", t.datePosition),
                                                    pair("dateformat", t.dateFormat),
                                                    pair("calendar", withSlashes(t.dateReply(nowMs)))}
                                            .join(QStringLiteral("  "));
        lines << QStringLiteral("  ") + pair("oldformat", t.oldFormat);
        lines << border;
        for (int row = 1; row <= kRows; ++row)
            lines << QStringLiteral("  |") + t.row(row) + QLatin1Char('|');
        lines << border;
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace pxtsim
