#include "WrittenArea.h"

#include "ExchangeMap.h"

using namespace ExchMap;

bool uploadWrites(int offset)
{
    return (offset >= 0 && offset < ClearedLength) ||
           (offset >= SystemMarker && offset < Password + PasswordLength) ||
           (offset >= Pin && offset < Pin + PinDigits);
}

bool writtenBytesMatch(int block, const QByteArray &sent, const QByteArray &reading)
{
    if (reading.size() != BlockSize || sent.size() != MemorySize)
        return false;
    const int first = block * BlockSize;
    for (int k = 0; k < BlockSize; ++k) {
        if (uploadWrites(first + k) && reading.at(k) != sent.at(first + k))
            return false;
    }
    return true;
}
