#include "DownloadController.h"

#include "SerialLink.h"

using namespace Serial;
using ExchMap::BlockCount;
using ExchMap::BlockSize;

namespace
{
QString blockStatus(int block)
{
    return QStringLiteral("Getting Block %1 of %2").arg(block + 1).arg(BlockCount);
}
} // namespace

DownloadController::DownloadController(SerialLink &link, MemoryImages &memory, QObject *parent)
    : LinkOperation(link, parent), m_memory(memory), m_reader(link, OwnerDownload)
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
    m_link.suspendTrace();
    m_link.queueReset();
    m_block = 0;
    m_image = QByteArray(ExchMap::MemorySize, '\0');
    if (!begin())
        return;
    m_link.queueEnterSetup();
    requestBlock();
}

void DownloadController::requestBlock()
{
    m_reader.request(m_block);
    emit progress(m_block, BlockCount - 1, blockStatus(m_block));
}

void DownloadController::onBlock(int id, const QByteArray &text)
{
    if (!isRunning())
        return;
    switch (m_reader.take(id, text)) {
    case BlockReader::Outcome::NotMine:
    case BlockReader::Outcome::NeedMore:
        return;
    case BlockReader::Outcome::Unreadable:
        fail(unreadableBlockMessage(m_block));
        return;
    case BlockReader::Outcome::Disagree:
        fail(disagreeingReadingsMessage(m_block));
        return;
    case BlockReader::Outcome::Done:
        break;
    }
    m_image.replace(BlockSize * m_block, BlockSize, m_reader.bytes());
    ++m_block;
    if (m_block < BlockCount) {
        requestBlock();
        return;
    }
    m_memory.ExchMemory = m_image;
    m_memory.BackupMemory = m_image;
    emit imageReady(m_image);
    succeed();
}
