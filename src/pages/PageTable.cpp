#include "PageTable.h"

#include <QtGlobal>

const Value& PageTable::at(int s) const
{
    static const Value empty;
    Q_ASSERT(slot::valid(s));
    return slot::valid(s) ? slots_[std::size_t(s)] : empty;
}

void PageTable::set(int s, const Value& v)
{
    Q_ASSERT(slot::valid(s));
    if (slot::valid(s))
        slots_[std::size_t(s)] = v;
}

void PageTable::clearAll()
{
    slots_.fill(Value());
}
