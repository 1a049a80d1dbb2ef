#pragma once
// The two 8192-byte images the link keeps for the raw-data view:
// ExchMemory, the image last sent or downloaded, and BackupMemory, the image
// of the last download, which the comparison colours are measured against.
#include <QByteArray>

struct MemoryImages {
    static constexpr int Size = 8192;
    QByteArray ExchMemory = QByteArray(Size, '\0');
    QByteArray BackupMemory = QByteArray(Size, '\0');
};
