#pragma once
// Configuration images for transfer tests.
#include "DefaultCabinet.h"
#include "ExchangeMap.h"

#include <QByteArray>
#include <QRandomGenerator>

// A configuration image with something in most blocks, including a uniform
// one and empty ones, so fills, block writes and skipped blocks all occur.
// Its bytes are decimal digit pairs (numbers the exchange can hold), the
// group records are empty, the marker is in place and the slot bytes name
// the simulator's default cabinet, so every busy image fits it.
inline QByteArray busyImage(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray image(ExchMap::MemorySize, '\0');
    for (int block = 0; block < ExchMap::BlockCount; ++block) {
        if (block % 5 == 4)
            continue; // empty
        for (int k = 0; k < ExchMap::BlockSize; ++k)
            image[block * ExchMap::BlockSize + k] =
                block == 7 ? char(0x5A) : char(random.bounded(10) << 4 | random.bounded(10));
    }
    const int groupArea = 16 * ExchMap::GroupRecordSize;
    image.replace(ExchMap::Groups, groupArea, QByteArray(groupArea, '\0'));
    image.replace(ExchMap::SlotCodes, ExchMap::SlotCodeCount,
                  defaultCabinetImage().mid(ExchMap::SlotCodes, ExchMap::SlotCodeCount));
    image[ExchMap::SystemMarker] = char(ExchMap::SystemMarkerBytes[0]);
    image[ExchMap::SystemMarker + 1] = char(ExchMap::SystemMarkerBytes[1]);
    return image;
}

// Blocks 0..61 the upload of `image` writes with a block write (not a fill).
inline int blockWrites(const QByteArray &image)
{
    int count = 0;
    for (int block = 0; block < ExchMap::ClearedBlocks; ++block) {
        const QByteArray bytes = image.mid(block * ExchMap::BlockSize, ExchMap::BlockSize);
        count += bytes.count(bytes.at(0)) != ExchMap::BlockSize;
    }
    return count;
}
