#include "UploadController.h"

#include "CheckConfig.h"
#include "ExchangeImage.h"
#include "mdlSerial.h"

using namespace Serial;

namespace {
constexpr int Base = 0x6000;
constexpr int LastFilledBlock = 61; // the fill clears blocks 0..61 (7936 bytes)
constexpr int FinalStep = 62;
constexpr int FinalWordsId = 100;
constexpr int RebootId = 101;
constexpr int MaxRefusals = 3;      // per block, before the upload gives up

QString blockStatus(int block)
{
    return QStringLiteral("Sending Block %1 of 64").arg(block + 1);
}

bool isRefusal(const QByteArray &text)
{
    return text == QByteArray(1, RxRefused) || text == QByteArray(1, RxTimeout);
}
} // namespace

UploadController::UploadController(SerialLink &link, MemoryImages &memory, QObject *parent)
    : LinkOperation(link, parent), m_memory(memory)
{
    m_link.setReplyHandler(OwnerUpload,
                           [this](int id, const QByteArray &text) { onCompletion(id, text); }, this);
}

UploadController::~UploadController()
{
    m_link.removeReplyHandler(OwnerUpload, this);
}

bool UploadController::start(const Configuration &config, QString *refusal)
{
    if (CheckConfig(config).ErrorsFound) {
        if (refusal)
            *refusal = sendRefusalText();
        return false;
    }
    const ImageBuild build = BuildExchMemory(config);
    for (int number : build.missingMembers)
        emit memberNotFound(number);
    return startImage(build.image);
}

bool UploadController::startImage(const QByteArray &image)
{
    if (image.size() != MemoryImages::Size)
        return false;
    m_image = image;
    m_memory.ExchMemory = image;
    m_link.SuspendTrace();
    m_link.QueueReset();
    m_block = -1;
    m_refusals = 0;
    m_finalQueued = false;
    if (!begin())
        return true;
    m_link.QueueEnterSetup();
    emit progress(0, 63, QString());
    m_link.QueueFill(OwnerUpload, -1, Base, BlockBytes * (LastFilledBlock + 1), 0);
    return true;
}

void UploadController::onCompletion(int id, const QByteArray &text)
{
    if (!isRunning())
        return;
    if (id == RebootId) {
        // The reboot has gone out: everything is on the line.
        succeed();
        return;
    }
    if (id == FinalWordsId)
        return;
    if (id != m_block)
        return; // a stale completion
    if (isRefusal(text)) {
        // The exchange did not take the fill or the block: send it again
        // rather than leave a hole in its memory.
        if (++m_refusals > MaxRefusals) {
            fail(m_block < 0 ? QStringLiteral("The exchange refused to clear its memory.")
                             : QStringLiteral("The exchange refused block %1.").arg(m_block + 1));
            return;
        }
        if (m_block < 0)
            m_link.QueueFill(OwnerUpload, -1, Base, BlockBytes * (LastFilledBlock + 1), 0);
        else
            queueBlock(m_block);
        return;
    }
    m_refusals = 0;
    sendNextBlock();
}

void UploadController::sendNextBlock()
{
    ++m_block;
    while (m_block <= LastFilledBlock &&
           m_image.mid(m_block * BlockBytes, BlockBytes).count('\0') == BlockBytes)
        ++m_block;
    if (m_block > LastFilledBlock) {
        sendFinalWords();
        return;
    }
    queueBlock(m_block);
    emit progress(m_block, 63, blockStatus(m_block));
}

void UploadController::queueBlock(int block)
{
    const QByteArray bytes = m_image.mid(block * BlockBytes, BlockBytes);
    const int address = Base + block * BlockBytes;
    if (bytes.count(bytes.at(0)) == BlockBytes)
        m_link.QueueFill(OwnerUpload, block, address, BlockBytes,
                         static_cast<unsigned char>(bytes.at(0)));
    else
        m_link.QueueWriteBlock(OwnerUpload, block, address, bytes);
}

void UploadController::sendFinalWords()
{
    if (m_finalQueued)
        return;
    m_finalQueued = true;
    m_block = FinalStep;
    emit progress(FinalStep, 63, blockStatus(FinalStep));
    auto at = [this](int offset) { return static_cast<unsigned char>(m_image.at(offset)); };
    m_link.QueueWriteWord(OwnerUpload, FinalWordsId, 0x7F00, at(7936), at(7937), false);
    m_link.QueueWriteWord(OwnerUpload, FinalWordsId, 0x7F02, at(7938), at(7939), false);
    m_link.QueueWriteWord(OwnerUpload, FinalWordsId, 0x7F04, at(7940), at(7941), false);
    m_link.QueueWriteWord(OwnerUpload, FinalWordsId, 0x7FA0, at(8096), at(8097), true);
    m_link.QueueReboot(OwnerUpload, RebootId);
}
