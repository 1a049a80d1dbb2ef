#pragma once
// Configuration images for transfer tests.
#include "ExchangeMap.h"

#include <QByteArray>
#include <QRandomGenerator>

// A configuration image with something in most blocks, including a uniform
// one and empty ones, so fills, block writes and skipped blocks all occur.
// Its bytes are decimal digit pairs (numbers the exchange can hold), the
// group records are empty and the marker is in place.
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
    image[ExchMap::SystemMarker] = char(ExchMap::SystemMarkerBytes[0]);
    image[ExchMap::SystemMarker + 1] = char(ExchMap::SystemMarkerBytes[1]);
    return image;
}
