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

    const qsizetype lines = nonBlankLines(bytes);
    FUZZ_CHECK(result.records.size() + result.skipped == lines);
    return 0;
}
