#include "Zelk.h"

#include <cstdio>

void Zelk::RecordError(int number, const QString& source)
{
    for (int s = slot::kErrorNumber; s <= slot::kErrorBlockEnd; ++s)
        table.clear(s);
    table.setInt32(slot::kErrorNumber, number);
    table.setText(slot::kErrorSource, source);
    ++errorsRecorded;
    std::fprintf(stderr, "zelk: error %d in %s\n", number, qPrintable(source));
}
