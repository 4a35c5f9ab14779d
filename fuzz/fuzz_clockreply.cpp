// The checks of a titler's time and date replies, and of the time and date an operator types, on any bytes as the
// port hands them over: a reading is either refused or well-formed and in range.

#include "FuzzCheck.h"
#include "settings/ClockChecks.h"

#include <QString>

namespace {

bool digitsAt(const QString& s, std::initializer_list<int> at)
{
    for (int i : at)
        if (i >= s.size() || !s[i].isDigit() || s[i].unicode() > '9')
            return false;
    return true;
}

void checkReading(const QString& reply)
{
    if (const auto time = clockcheck::timeOfReply(reply)) {
        FUZZ_CHECK(time->size() == 8 && digitsAt(*time, {0, 1, 3, 4, 6, 7}));
        FUZZ_CHECK(time->at(2) == QLatin1Char(':') && time->at(5) == QLatin1Char(':'));
        QString digits = *time;
        digits.remove(QLatin1Char(':'));
        FUZZ_CHECK(digits.toLongLong() <= clockcheck::kLatestTime);
        FUZZ_CHECK(reply.startsWith(digits));
    }
    if (const auto date = clockcheck::dateOfReply(reply)) {
        FUZZ_CHECK(date->size() == 8 && digitsAt(*date, {0, 1, 3, 4, 6, 7}));
        QString digits = *date;
        digits.remove(QLatin1Char('/'));
        FUZZ_CHECK(reply.endsWith(digits));
    }
    if (const auto typed = clockcheck::userTimeDigits(reply)) {
        FUZZ_CHECK(typed->size() >= clockcheck::kReplyLength && typed->toLongLong() <= clockcheck::kLatestTime);
    }
    if (const auto typed = clockcheck::userDateDigits(reply)) {
        const qint64 n = typed->toLongLong();
        FUZZ_CHECK(n >= clockcheck::kEarliestDate && n <= clockcheck::kLatestDate);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The port's bytes as the program reads them, and as an editor holding UTF-8 would.
    checkReading(QString::fromLatin1(bytes));
    checkReading(QString::fromUtf8(bytes));
    return 0;
}
