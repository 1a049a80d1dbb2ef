#pragma once
// The bytes of the configuration memory an upload writes: blocks 0..61
// whole (cleared by the fill, then written), the marker and password at
// offsets 7936..7941 and the PIN word at 8096..8097. Every other byte, the
// slot codes the cabinet reports among them, is the exchange's own.
#include <QByteArray>

bool uploadWrites(int offset);

// Whether `reading`, the 128 bytes of block 0..63 read back, holds what the
// upload of `sent` (8192 bytes) wrote there.
bool writtenBytesMatch(int block, const QByteArray &sent, const QByteArray &reading);
