#include "WrittenArea.h"

#include "ExchangeImage.h"

namespace
{
constexpr int FilledBytes = 62 * ExchBlockSize; // blocks 0..61
constexpr int MarkerAndPasswordEnd = ExchLayout::Password + ExchLayout::PasswordLength;
} // namespace

bool uploadWrites(int offset)
{
    return (offset >= 0 && offset < FilledBytes) ||
           (offset >= ExchLayout::SystemMarker && offset < MarkerAndPasswordEnd) ||
           (offset >= ExchLayout::Pin && offset < ExchLayout::Pin + 2);
}

bool writtenBytesMatch(int block, const QByteArray &sent, const QByteArray &reading)
{
    if (reading.size() != ExchBlockSize || sent.size() != ExchMemorySize)
        return false;
    const int first = block * ExchBlockSize;
    for (int k = 0; k < ExchBlockSize; ++k) {
        if (uploadWrites(first + k) && reading.at(k) != sent.at(first + k))
            return false;
    }
    return true;
}
