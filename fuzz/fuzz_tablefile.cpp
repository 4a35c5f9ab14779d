// The table file reader ("ZELK.ini" and page files) on any bytes: every non-blank line is either stored or reported,
// and what was stored writes out and reads back the same.

#include "FuzzCheck.h"
#include "app/TableFile.h"
#include "pages/PageTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    PageTable table;
    const TableReadReport report = decodeTable(table, bytes, QStringLiteral("fuzz.zlk"));
    FUZZ_CHECK(report.opened);

    const qsizetype lines = nonBlankLines(bytes);
    FUZZ_CHECK(report.records + report.errors.size() == lines);
    for (const TableFileError& e : report.errors)
        FUZZ_CHECK(e.number != 0 && !e.source.isEmpty());

    // Whatever was read is written whole, and the written file reads back without a fault to the same bytes.
    const QByteArray written = encodeTable(table);
    PageTable again;
    const TableReadReport second = decodeTable(again, written);
    FUZZ_CHECK(second.errors.isEmpty());
    FUZZ_CHECK(second.records == slot::kLast);
    FUZZ_CHECK(encodeTable(again) == written);
    return 0;
}
