#pragma once
// The bytes of the configuration memory an upload writes: everything below
// the system marker (cleared by the fill, then written), the marker and the
// password, and the four PIN bytes. Every other byte, the slot codes the cabinet
// reports among them, is the exchange's own.
#include <QByteArray>

bool uploadWrites(int offset);

// Whether `reading`, one block read back, holds what the upload of `sent`
// (a whole image) wrote there.
bool writtenBytesMatch(int block, const QByteArray &sent, const QByteArray &reading);
