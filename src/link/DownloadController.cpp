#include "DownloadController.h"

#include "mdlSerial.h"

using namespace Serial;

namespace {
constexpr int Blocks = MemoryImages::Size / BlockBytes;
constexpr int Base = 0x6000;

QString blockStatus(int block)
{
    return QStringLiteral("Getting Block %1 of %2").arg(block + 1).arg(Blocks);
}
} // namespace

DownloadController::DownloadController(SerialLink &link, MemoryImages &memory, QObject *parent)
    : LinkOperation(link, parent), m_memory(memory)
{
    m_link.setReplyHandler(OwnerDownload,
                           [this](int id, const QByteArray &text) { onBlock(id, text); }, this);
}

DownloadController::~DownloadController()
{
    m_link.removeReplyHandler(OwnerDownload, this);
}

void DownloadController::start()
{
    m_link.SuspendTrace();
    m_link.QueueReset();
    m_block = 0;
    m_image = QByteArray(MemoryImages::Size, '\0');
    if (!begin())
        return;
    m_link.QueueEnterSetup();
    requestBlock();
}

void DownloadController::requestBlock()
{
    m_link.QueueReadBlock(OwnerDownload, m_block, Base + BlockBytes * m_block);
    emit progress(m_block, Blocks - 1, blockStatus(m_block));
}

void DownloadController::onBlock(int id, const QByteArray &text)
{
    // Only the block asked for counts; anything else is a stale reply.
    if (!isRunning() || id != m_block || text.size() < 2 * BlockBytes)
        return;
    const QByteArray bytes = QByteArray::fromHex(text.left(2 * BlockBytes));
    if (bytes.size() != BlockBytes) {
        fail(QStringLiteral("The exchange sent a block that cannot be read."));
        return;
    }
    m_image.replace(BlockBytes * m_block, BlockBytes, bytes);
    ++m_block;
    if (m_block < Blocks) {
        requestBlock();
        return;
    }
    m_memory.ExchMemory = m_image;
    m_memory.BackupMemory = m_image;
    emit imageReady(m_image);
    succeed();
}
