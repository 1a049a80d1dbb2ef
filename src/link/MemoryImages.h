#pragma once
// The two configuration images the link keeps for the raw-data view:
// ExchMemory, the image last sent or downloaded, and BackupMemory, the image
// of the last download, which the comparison colours are measured against.
#include "ExchangeMap.h"

#include <QByteArray>

struct MemoryImages {
    QByteArray ExchMemory = QByteArray(ExchMap::MemorySize, '\0');
    QByteArray BackupMemory = QByteArray(ExchMap::MemorySize, '\0');
};
