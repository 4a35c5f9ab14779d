#include "TitlerClock.h"

#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "link/StatusLine.h"
#include "settings/ClockChecks.h"

namespace {

constexpr int kAttempts = 2;
constexpr int kStatusOnline = 1;
constexpr int kStatusNoTitler = 8;

const QString& codeOf(TitlerClock::Question q)
{
    return q == TitlerClock::Question::Time ? code::kAskTime : code::kAskDate;
}

} // namespace

TitlerClock::TitlerClock(Zelk& z) : z_(z)
{
    z_.titlerClock = this;
    pause_.setSingleShot(true);
    pause_.setTimerType(Qt::PreciseTimer); // the answer is taken when the pause is over, not before
    connect(&pause_, &QTimer::timeout, this, &TitlerClock::collect);
}

TitlerClock::~TitlerClock()
{
    if (z_.titlerClock == this)
        z_.titlerClock = nullptr;
}

QString TitlerClock::ReadTitlerTime()
{
    return settle(Question::Time, askAndWait(Question::Time), nullptr);
}

QString TitlerClock::ReadTitlerDate()
{
    return settle(Question::Date, askAndWait(Question::Date), nullptr);
}

QString TitlerClock::askAndWait(Question q)
{
    // A question still out would take this one's answer, or lose its own to the discard below.
    cancel();
    if (!z_.protocol)
        return {};
    QString reply;
    for (int i = 0; i < kAttempts; ++i) {
        z_.protocol->receivedText(); // whatever waited before the question is not the answer
        QString address;
        z_.protocol->SendCommand(address, codeOf(q));
        reply = z_.protocol->receivedText();
        if (reply.size() == clockcheck::kReplyLength)
            break;
    }
    return reply;
}

bool TitlerClock::ask(Question q, Answer answer)
{
    if (pending_ || z_.EventsSuppressed)
        return false;
    pending_ = Pending{q, 1, std::move(answer)};
    attempt();
    return true;
}

void TitlerClock::cancel()
{
    pause_.stop();
    pending_.reset();
}

void TitlerClock::attempt()
{
    QString address;
    bool asked = false;
    if (z_.protocol) {
        z_.protocol->receivedText();
        asked = z_.protocol->Ask(address, codeOf(pending_->question));
    }
    if (!asked) {
        // Not written (link down, titler disabled or filtered): no answer can come, so none is waited for.
        const Pending p = *pending_;
        pending_.reset();
        settle(p.question, QString(), p.answer);
        return;
    }
    pause_.start(std::max(1, z_.protocol->owedPauseMs()));
}

void TitlerClock::collect()
{
    if (!pending_ || !z_.protocol)
        return;
    if (z_.EventsSuppressed) {
        pending_.reset();
        return;
    }
    z_.protocol->waitOutOwedPause();
    const QString reply = z_.protocol->receivedText();
    if (reply.size() != clockcheck::kReplyLength && pending_->attempt < kAttempts) {
        ++pending_->attempt;
        attempt();
        return;
    }
    const Pending p = *pending_;
    pending_.reset();
    settle(p.question, reply, p.answer);
}

QString TitlerClock::settle(Question q, const QString& reply, const Answer& answer)
{
    const auto reading = q == Question::Time ? clockcheck::timeOfReply(reply) : clockcheck::dateOfReply(reply);
    // The reading is handed over before the status line yields, so that a tick running inside that yield finds
    // it; the flag is set after the yield, so that such a tick cannot leave it stale.
    if (answer)
        answer(reading.value_or(QString()));
    if (q == Question::Time && z_.status && !z_.EventsSuppressed)
        z_.status->ShowStatus(reading ? kStatusOnline : kStatusNoTitler);
    z_.ClockReadFailed = !reading;
    return reading.value_or(QString());
}
