#include "ClockChecks.h"

#include <algorithm>

namespace clockcheck {

namespace {

bool allDigits(const QString& s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

QString pairsJoined(const QString& six, QChar separator)
{
    return six.left(2) + separator + six.mid(2, 2) + separator + six.mid(4, 2);
}

std::optional<QString> typedDigits(const QString& typed, qint64 earliest, qint64 latest)
{
    QString digits;
    for (QChar c : typed)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    if (digits.size() < kReplyLength || digits.size() > 18) // more than any number fits is no time either
        return std::nullopt;
    const qint64 value = digits.toLongLong();
    if (value < earliest || value > latest)
        return std::nullopt;
    return digits;
}

} // namespace

std::optional<QString> timeOfReply(const QString& reply)
{
    const QString six = reply.left(kReplyLength);
    if (six.size() != kReplyLength || !allDigits(six) || six.toLongLong() > kLatestTime)
        return std::nullopt;
    return pairsJoined(six, QLatin1Char(':'));
}

std::optional<QString> dateOfReply(const QString& reply)
{
    const QString six = reply.right(kReplyLength);
    if (six.size() != kReplyLength || !allDigits(six))
        return std::nullopt;
    return pairsJoined(six, QLatin1Char('/'));
}

std::optional<QString> userTimeDigits(const QString& typed)
{
    return typedDigits(typed, 0, kLatestTime);
}

std::optional<QString> userDateDigits(const QString& typed)
{
    return typedDigits(typed, kEarliestDate, kLatestDate);
}

} // namespace clockcheck
