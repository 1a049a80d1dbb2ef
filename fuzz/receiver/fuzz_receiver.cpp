// Feeds arbitrary reply streams to the receiver while a block read, byte
// reads and writes wait on the queue. Whatever arrives, a completion handed
// to an owner must be a well-formed reply: a block read only ever delivers
// 258 hexadecimal digits whose sum checks, a byte read two digits.
//
// Input: the first byte picks what is queued; then pieces, each a length
// byte followed by that many received bytes; a length byte above 0xF0 is an
// output tick instead (which sends a resend request when one is due).
#include "FakeSerialLine.h"
#include "SerialLink.h"

#include <QCoreApplication>
#include <cstdlib>

using namespace Serial;
using namespace ExchMap;

namespace {

bool allHex(const QByteArray &text)
{
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    FakeSerialLine line;
    line.open(QStringLiteral("fuzz"));
    SerialLink link(&line);
    link.setPumping(false);
    link.setResendInterval(0);

    int blocks = 0;
    link.setReplyHandler(OwnerDownload, [&](int id, const QByteArray &text) {
        check(text.size() == BlockReplyLength && allHex(text) && blockChecksumOk(text));
        check(id == blocks);
        ++blocks;
        if (blocks < BlockCount)
            link.queueReadBlock(OwnerDownload, blocks, blockAddress(blocks));
    });
    link.setReplyHandler(OwnerPin, [&](int id, const QByteArray &text) {
        check(id == -1 ? text.isEmpty() : text.size() == ByteReplyLength && allHex(text));
    });
    link.setReplyHandler(OwnerUpload, [&](int, const QByteArray &text) {
        check(text.size() <= 1);
    });

    const uint8_t plan = data[0];
    if (plan & 1)
        link.queueReadByte(OwnerPin, 1, PinAddress);
    if (plan & 2)
        link.queueWriteBlock(OwnerUpload, 3, blockAddress(3), QByteArray(BlockSize, char(plan)));
    if (plan & 4)
        link.queueWriteByte(OwnerPin, -1, PinAddress + 1, plan, true);
    if (plan & 8)
        link.queueFill(OwnerUpload, -1, BaseAddress, ClearedLength, 0);
    link.queueReadBlock(OwnerDownload, 0, BaseAddress);
    if (plan & 16)
        link.queueReadByte(OwnerPin, 2, PinAddress + 2);
    link.pumpOutput();

    size_t pos = 1;
    while (pos < size) {
        const uint8_t length = data[pos++];
        if (length > 0xF0) {
            link.pumpOutput();
            continue;
        }
        const size_t take = std::min<size_t>(length, size - pos);
        link.receiveText(QByteArray(reinterpret_cast<const char *>(data + pos), qsizetype(take)));
        pos += take;
        check(link.readIndex() >= 0 && link.readIndex() < QueueSize);
        check(link.receiveCount() >= 0 && link.receiveCount() <= RxBufferSize);
    }
    if (plan & 32) {
        link.queueReset();
        check(link.isIdle());
    }
    return 0;
}
