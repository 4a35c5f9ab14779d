#pragma once
// The built-in contents of a new page table, and the rule that keeps each page's settings copies in step.

#include "core/Numbers.h"

#include <QString>

class PageTable;

// An empty screen line: twenty spaces.
QString blankLine();

// Writes every slot that has a default, in the table's own order; slots without a default are left as they are.
void fillDefaults(PageTable& table);
// Every page's settings (offsets 21..35) copied into their copy slots (offsets 36..50).
void copySettingsToCopySlots(PageTable& table);
