#pragma once
// What every fuzz target shares: the entry point libFuzzer calls, and a check that stops the run with the input that
// broke it (libFuzzer keeps that input as a crash artifact).

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// The lines of a text file that hold more than blanks (a leading UTF-8 byte order mark is no part of the first).
inline qsizetype nonBlankLines(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    qsizetype lines = 0;
    for (qsizetype pos = 0; pos < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        if (!bytes.sliced(pos, end - pos).trimmed().isEmpty())
            ++lines;
        pos = end + 1;
    }
    return lines;
}
