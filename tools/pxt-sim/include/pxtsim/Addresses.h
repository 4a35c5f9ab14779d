#pragma once
// The set of titler addresses (1..99) the simulator plays, parsed from "1-99" or "1,3,5-8".

#include <QString>

#include <bitset>
#include <optional>

namespace pxtsim {

using AddressSet = std::bitset<100>; // bit N = titler N; bit 0 stays clear

std::optional<AddressSet> parseAddresses(const QString& text);

} // namespace pxtsim
