// The text import reader on any bytes: every non-blank line is a record or a counted skip, and every record lands on
// a page and a line that exist.

#include "FuzzCheck.h"
#include "app/TextImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TextImportResult result = decodeTextImport(bytes);
    FUZZ_CHECK(result.skipped == result.problems.size());
    for (const TextImportRecord& r : result.records) {
        FUZZ_CHECK(r.page >= 1 && r.page <= 99);
        FUZZ_CHECK(r.line >= 1 && r.line <= 9);
    }

    QByteArrayView body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);
    qsizetype lines = 0;
    for (qsizetype pos = 0; pos < body.size();) {
        qsizetype end = body.indexOf('\n', pos);
        if (end < 0)
            end = body.size();
        if (!body.sliced(pos, end - pos).trimmed().isEmpty())
            ++lines;
        pos = end + 1;
    }
    FUZZ_CHECK(result.records.size() + result.skipped == lines);
    return 0;
}
