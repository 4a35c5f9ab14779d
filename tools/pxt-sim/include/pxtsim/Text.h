#pragma once
// Readable rendering of the bytes a titler receives, shared by the log and the dump.

#include <QByteArrayView>
#include <QString>

namespace pxtsim {

constexpr char16_t kBlockGlyph = u'\u2588';  // shown for kBlockByte
constexpr char16_t kUnprintable = u'\u00b7'; // shown for control bytes other than kBlockByte

// Printable ASCII as it is, the block byte as kBlockGlyph, bytes 160..255 as Latin-1, anything else as kUnprintable.
QString readable(QByteArrayView bytes);

} // namespace pxtsim
