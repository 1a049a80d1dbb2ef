#include "UploadController.h"

#include "BoardChange.h"
#include "BoardsController.h"
#include "CheckConfig.h"
#include "ExchangeImage.h"
#include "SerialLine.h"
#include "WrittenArea.h"
#include "SerialLink.h"

#include <QThread>
#include <numeric>

using namespace Serial;
using namespace ExchMap;

namespace
{
constexpr int LastStep = BlockCount - 1;
constexpr int FinalStep = ClearedBlocks; // the words after the cleared blocks
constexpr int FillId = -1;
constexpr int FinalWordsId = 100;
constexpr int RebootId = 101;
constexpr int ConfirmId = 102;
constexpr int ReadIdBase = 1000;  // block reads: 1000 + block
constexpr int BoardIdBase = 2000; // slot byte reads: 2000 + slot
constexpr int MaxRefusals = 3;    // per block, before the upload gives up
constexpr int ProcessorSlot = 1;

// Characters on the line for each part, which is what the time goes on.
constexpr int ByteReadCharacters = 5 + ByteReplyLength;
constexpr int BlockReadCharacters = 5 + BlockReplyLength;
constexpr int BlockWriteCharacters = 5 + 2 * BlockSize + 2 + 1;

enum Part { BoardsPart, BackupPart, WritesPart, ReadBackPart, PartCount };

QString blockStatus(const char *verb, int block)
{
    return QStringLiteral("%1 Block %2 of %3")
        .arg(QLatin1String(verb))
        .arg(block + 1)
        .arg(BlockCount);
}

bool isRefusal(const QByteArray &text)
{
    return text == QByteArray(1, Reply::Refused) || text == QByteArray(1, Reply::Timeout);
}

QString blockList(const QList<int> &blocks)
{
    QStringList numbers;
    for (int block : blocks)
        numbers.append(QString::number(block + 1));
    return numbers.join(QStringLiteral(", "));
}

QString differingMessage(const QList<int> &blocks)
{
    return QStringLiteral("The exchange does not hold what was sent: %1 %2 read back different, "
                          "twice.")
        .arg(blocks.size() == 1 ? QStringLiteral("block") : QStringLiteral("blocks"),
             blockList(blocks));
}

QString backupNotStoredMessage(const QString &reason)
{
    return QStringLiteral("The backup of the exchange's configuration could not be stored: %1")
        .arg(reason);
}
} // namespace

QString restartUncertainMessage()
{
    return QStringLiteral("The configuration was written and verified, but the exchange may not "
                          "have restarted: reboot it (Configuration > Reboot Exchange)");
}

QString unreliableBackupMessage()
{
    return QStringLiteral("The exchange's memory could not be read reliably; nothing was "
                          "written.");
}

QString partialConfigurationMessage()
{
    return QStringLiteral("The exchange now holds a cleared or partial configuration. Send the "
                          "configuration again, or restore the backup.");
}

UploadController::UploadController(SerialLink &link, MemoryImages &memory, QObject *parent)
    : LinkOperation(link, parent), m_memory(memory), m_reader(link, OwnerUpload, ReadIdBase)
{
    m_link.setReplyHandler(OwnerUpload,
                           [this](int id, const QByteArray &text) { onCompletion(id, text); }, this);
    connect(&m_link, &SerialLink::messageSent, this, &UploadController::onMessageSent);
    countRetriesOf(OwnerUpload);
    m_restartWatch.setSingleShot(true);
    connect(&m_restartWatch, &QTimer::timeout, this, [this] {
        if (isRunning() && m_phase == Phase::Rebooting)
            succeed();
    });
}

UploadController::~UploadController()
{
    m_link.removeReplyHandler(OwnerUpload, this);
    if (m_storing)
        m_storing->wait(); // the backup's files are written whole, never cut off
}

bool UploadController::start(const Configuration &config, QString *refusal)
{
    if (checkConfig(config).errorsFound) {
        if (refusal)
            *refusal = sendRefusalText();
        return false;
    }
    const ImageBuild build = buildExchMemory(config);
    for (int number : build.missingMembers)
        emit memberNotFound(number);
    m_targetBoards = config.SysConfig.Slots;
    m_reference = config;
    return launch(build.image, refusal);
}

bool UploadController::startImage(const QByteArray &image, QString *refusal)
{
    // A backup names the boards it was taken from in its slot bytes.
    Configuration decoded = makeDefaultConfiguration();
    if (decodeExchMemory(image, decoded))
        m_targetBoards = decoded.SysConfig.Slots;
    m_reference = makeDefaultConfiguration();
    return launch(image, refusal);
}

bool UploadController::launch(const QByteArray &image, QString *refusal)
{
    const QString problem = configurationImageProblem(image);
    if (!problem.isEmpty()) {
        if (refusal)
            *refusal = QStringLiteral("This is not an exchange configuration: %1.").arg(problem);
        return false;
    }
    m_image = image;
    m_memory.ExchMemory = image;
    m_backup = QByteArray(ExchMap::MemorySize, '\0');
    m_backupFiles.clear();
    m_plan.clear();
    m_differing.clear();
    m_boards = defaultInstalledBoards();
    m_block = -1;
    m_refusals = 0;
    m_fillSent = false;
    m_fillAcknowledged = false;
    m_unreliableBackup = false;
    m_rereading = false;
    m_awaiting = Decision::None;
    int writes = 0;
    for (int block = 0; block < ClearedBlocks; ++block)
        writes += m_image.mid(block * BlockSize, BlockSize).count('\0') != BlockSize;
    const bool readsMemory = m_options.backup || m_options.dryRun;
    m_weights[BoardsPart] = BoardsController::SlotsRead * ByteReadCharacters;
    m_weights[BackupPart] = readsMemory ? 2 * BlockCount * BlockReadCharacters : 0;
    m_weights[WritesPart] = m_options.dryRun ? 0 : (writes + 1) * BlockWriteCharacters;
    m_weights[ReadBackPart] = m_options.verify && !m_options.dryRun
                                  ? BlockCount * BlockReadCharacters
                                  : ByteReadCharacters;
    m_link.suspendTrace();
    m_link.queueReset();
    if (!begin())
        return true;
    m_link.queueEnterSetup();
    readBoards();
    return true;
}

void UploadController::proceed()
{
    if (!isRunning() || m_awaiting == Decision::None)
        return;
    const Decision decided = m_awaiting;
    m_awaiting = Decision::None;
    // The technician may have taken a while: the exchange may have left its
    // setup mode meanwhile.
    m_link.queueEnterSetup();
    if (decided == Decision::Boards)
        startBackup();
    else
        startClearing();
}

void UploadController::hold(bool on)
{
    if (isRunning() || !on)
        m_link.setHeld(on);
}

QString UploadController::failureMessage(const QString &cause) const
{
    if (m_phase == Phase::Rebooting)
        return cause + u'\n' +
               (m_options.verify ? restartUncertainMessage()
                                 : QStringLiteral("The configuration was written, but the exchange "
                                                  "may not have restarted: reboot it "
                                                  "(Configuration > Reboot Exchange)"));
    if (exchangeDisturbed())
        return cause + u'\n' + partialConfigurationMessage();
    if (m_unreliableBackup)
        return cause + u'\n' + unreliableBackupMessage();
    if (m_phase <= Phase::Clearing)
        return cause + QStringLiteral("\nNothing was written to the exchange.");
    return cause;
}

QString UploadController::retryText(int id, int attempt) const
{
    QString what;
    if (id >= BoardIdBase)
        what = QStringLiteral("slot %1").arg(id - BoardIdBase);
    else if (id >= ReadIdBase)
        what = QStringLiteral("block %1 of %2").arg(id - ReadIdBase + 1).arg(BlockCount);
    else if (id >= 0 && id < BlockCount)
        what = QStringLiteral("block %1 of %2").arg(id + 1).arg(BlockCount);
    else if (id == FillId)
        what = QStringLiteral("the clearing of the memory");
    else
        what = QStringLiteral("the last words");
    return QStringLiteral("Retrying %1 (retry %2)").arg(what).arg(attempt);
}

void UploadController::stopped()
{
    m_restartWatch.stop();
    m_awaiting = Decision::None;
    m_link.setHeld(false);
    setPhase(Phase::Idle);
}

void UploadController::setPhase(Phase phase)
{
    if (m_phase == phase)
        return;
    m_phase = phase;
    emit phaseChanged(phase);
}

void UploadController::report(double done, const QString &status)
{
    Part part = BoardsPart;
    switch (m_phase) {
    case Phase::Idle:
    case Phase::Boards:
        break;
    case Phase::Backup:
    case Phase::Plan:
        part = BackupPart;
        break;
    case Phase::Clearing:
    case Phase::Writing:
    case Phase::FinalWords:
        part = WritesPart;
        break;
    case Phase::Verifying:
    case Phase::Rebooting:
        part = ReadBackPart;
        break;
    }
    const double total = std::accumulate(std::begin(m_weights), std::end(m_weights), 0.0);
    const double before = std::accumulate(m_weights, m_weights + part, 0.0);
    const int value = int(ProgressMaximum * (before + done * m_weights[part]) / total + 0.5);
    emit progress(std::min(value, int(ProgressMaximum)), ProgressMaximum, status);
}

void UploadController::onMessageSent(int owner, int)
{
    // The first write to leave is the clearing fill.
    if (isRunning() && owner == OwnerUpload && m_phase >= Phase::Clearing)
        m_fillSent = true;
}

void UploadController::onCompletion(int id, const QByteArray &text)
{
    if (!isRunning())
        return;
    switch (m_phase) {
    case Phase::Boards:
        onBoard(id - BoardIdBase, text);
        break;
    case Phase::Backup:
        if (takeReading(id, text))
            onBackupBlock();
        break;
    case Phase::Clearing:
    case Phase::Writing:
        onWriteAcknowledged(id, text);
        break;
    case Phase::FinalWords:
        // The words have no reply of their own: a read behind them proves
        // the exchange took everything sent before it.
        if (id == FinalWordsId)
            confirmFinalWords();
        else if (id == ConfirmId)
            reboot();
        break;
    case Phase::Verifying:
        if (takeReading(id, text))
            onVerifyBlock();
        break;
    case Phase::Rebooting:
        if (id == RebootId)
            watchRestart();
        break;
    case Phase::Plan:
    case Phase::Idle:
        break;
    }
}

void UploadController::readBoards()
{
    setPhase(Phase::Boards);
    for (int slot = 0; slot < BoardsController::SlotsRead; ++slot)
        m_link.queueReadByte(OwnerUpload, BoardIdBase + slot,
                             ExchMap::address(ExchMap::SlotCodes + slot));
    report(0, QStringLiteral("Reading the boards in the cabinet"));
}

void UploadController::onBoard(int slot, const QByteArray &text)
{
    if (slot < 0 || slot >= BoardsController::SlotsRead)
        return;
    if (slot != ProcessorSlot) // the cabinet's own, whatever it reports
        m_boards[size_t(slot)] = int16_t(boardFromSlotReply(text));
    report(double(slot + 1) / BoardsController::SlotsRead,
           QStringLiteral("Reading the boards in the cabinet"));
    if (slot + 1 < BoardsController::SlotsRead)
        return;
    Configuration wanted = makeDefaultConfiguration();
    wanted.SysConfig.Slots = m_targetBoards;
    const QList<SlotDifference> differences = cabinetDifferences(wanted, m_boards);
    if (differences.isEmpty()) {
        startBackup();
        return;
    }
    if (!m_options.ignoreBoards)
        m_awaiting = Decision::Boards;
    emit boardsDiffer(differences);
    if (isRunning() && !m_options.ignoreBoards)
        return; // until proceed() or cancel()
    if (isRunning())
        startBackup();
}

void UploadController::startBackup()
{
    if (!m_options.backup && !m_options.dryRun) {
        startClearing();
        return;
    }
    setPhase(Phase::Backup);
    // A backup is only worth keeping when every block read the same twice:
    // two bit errors can cancel out in a block's checksum.
    m_reader.setVerifyReads(true);
    m_reader.request(0);
    report(0, blockStatus("Reading", 0));
}

bool UploadController::takeReading(int id, const QByteArray &text)
{
    switch (m_reader.take(id, text)) {
    case BlockReader::Outcome::Done:
        return true;
    case BlockReader::Outcome::Unreadable:
        m_unreliableBackup = m_phase == Phase::Backup;
        fail(unreadableBlockMessage(m_reader.block()));
        return false;
    case BlockReader::Outcome::Disagree:
        m_unreliableBackup = m_phase == Phase::Backup;
        fail(disagreeingReadingsMessage(m_reader.block()));
        return false;
    case BlockReader::Outcome::NotMine:
    case BlockReader::Outcome::NeedMore:
        break;
    }
    return false;
}

void UploadController::onBackupBlock()
{
    const int block = m_reader.block();
    m_backup.replace(block * BlockSize, BlockSize, m_reader.bytes());
    if (block < LastStep) {
        m_reader.request(block + 1);
        report(double(block + 1) / BlockCount, blockStatus("Reading", block + 1));
        return;
    }
    m_memory.BackupMemory = m_backup;
    emit backupRead(m_backup);
    if (!isRunning())
        return; // cancelled by whoever took the backup
    if (m_options.dryRun)
        offerPlan();
    else
        storeBackup();
}

void UploadController::storeBackup()
{
    if (!m_sink) {
        onBackupStored({}, {});
        return;
    }
    // Off the line's thread: the files take a while on a slow disk, and the
    // line and the window must not wait for them.
    report(1, QStringLiteral("Storing the backup"));
    struct Outcome {
        QStringList files;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    m_storing.reset(QThread::create([sink = m_sink, image = m_backup, outcome] {
        outcome->files = sink(image, &outcome->error);
    }));
    connect(m_storing.get(), &QThread::finished, this,
            [this, outcome] { onBackupStored(outcome->files, outcome->error); });
    m_storing->start();
}

void UploadController::onBackupStored(const QStringList &files, const QString &error)
{
    if (!isRunning())
        return;
    if (!error.isEmpty()) {
        fail(backupNotStoredMessage(error));
        return;
    }
    m_backupFiles = files;
    if (!files.isEmpty())
        emit backupStored(files);
    if (isRunning())
        offerPlan();
}

void UploadController::offerPlan()
{
    setPhase(Phase::Plan);
    // Both sides through the same decoding, with the cabinet's own slot
    // bytes, so only what the exchange will really change shows.
    QByteArray next = m_image;
    next.replace(SlotCodes, SlotCodeCount, m_backup.mid(SlotCodes, SlotCodeCount));
    Configuration held = m_reference;
    Configuration sent = m_reference;
    decodeExchMemory(m_backup, held);
    decodeExchMemory(next, sent);
    // Decoded names are made from the numbers: they say nothing new.
    DiffOptions options;
    options.ignoreNames = true;
    m_plan = compareConfigurations(held, sent, options);
    const bool waits = m_options.confirmPlan && !m_options.dryRun;
    if (waits) {
        m_awaiting = Decision::Plan;
        report(1, QStringLiteral("Waiting for the go-ahead"));
    }
    emit planReady(m_plan);
    if (!isRunning() || waits)
        return;
    if (m_options.dryRun)
        succeed();
    else
        startClearing();
}

void UploadController::startClearing()
{
    m_reader.setVerifyReads(false);
    setPhase(Phase::Clearing);
    m_block = -1;
    m_refusals = 0;
    report(0, QStringLiteral("Clearing the configuration memory"));
    m_link.queueFill(OwnerUpload, FillId, BaseAddress, ClearedLength, 0);
}

void UploadController::onWriteAcknowledged(int id, const QByteArray &text)
{
    if (id != m_block)
        return; // a stale completion
    if (!isRefusal(text)) {
        m_fillAcknowledged = true;
        m_refusals = 0;
        sendNextBlock();
        return;
    }
    // The exchange did not take the fill or the block: send it again rather
    // than leave a hole in its memory.
    if (++m_refusals > MaxRefusals) {
        fail(m_block < 0 ? QStringLiteral("The exchange refused to clear its memory.")
                         : QStringLiteral("The exchange refused block %1.").arg(m_block + 1));
        return;
    }
    const QString what = m_block < 0
        ? QStringLiteral("the clearing of the memory")
        : QStringLiteral("block %1 of %2").arg(m_block + 1).arg(BlockCount);
    tellResend(QStringLiteral("The exchange refused %1: sending it again (retry %2)")
                  .arg(what)
                  .arg(m_refusals));
    if (m_block < 0)
        m_link.queueFill(OwnerUpload, FillId, BaseAddress, ClearedLength, 0);
    else
        queueBlock(m_block);
}

void UploadController::sendNextBlock()
{
    setPhase(Phase::Writing);
    ++m_block;
    while (m_block < ClearedBlocks &&
           m_image.mid(m_block * BlockSize, BlockSize).count('\0') == BlockSize)
        ++m_block;
    if (m_block >= ClearedBlocks) {
        sendFinalWords();
        return;
    }
    queueBlock(m_block);
    report(double(m_block) / FinalStep, blockStatus("Sending", m_block));
}

void UploadController::queueBlock(int block)
{
    const QByteArray bytes = m_image.mid(block * BlockSize, BlockSize);
    const int address = blockAddress(block);
    if (bytes.count(bytes.at(0)) == BlockSize)
        m_link.queueFill(OwnerUpload, block, address, BlockSize,
                         static_cast<unsigned char>(bytes.at(0)));
    else
        m_link.queueWriteBlock(OwnerUpload, block, address, bytes);
}

void UploadController::sendFinalWords()
{
    setPhase(Phase::FinalWords);
    m_block = FinalStep;
    report(1, blockStatus("Sending", FinalStep));
    // The marker and the password, a word at a time, then all four PIN bytes
    // (a restored backup holds the PIN as digit bytes; a half-written PIN is
    // one nobody set), the last word's completion saying they have gone out.
    auto writeWord = [this](int offset, bool completion) {
        auto at = [this](int k) { return static_cast<unsigned char>(m_image.at(k)); };
        m_link.queueWriteWord(OwnerUpload, FinalWordsId, address(offset), at(offset),
                              at(offset + 1), completion);
    };
    for (int offset = SystemMarker; offset < Password + PasswordLength; offset += WordSize)
        writeWord(offset, false);
    writeWord(Pin, false);
    writeWord(Pin + WordSize, true);
}

void UploadController::confirmFinalWords()
{
    if (!m_options.verify) {
        m_link.queueReadByte(OwnerUpload, ConfirmId, PinAddress);
        return;
    }
    setPhase(Phase::Verifying);
    m_reader.request(0);
    report(0, blockStatus("Verifying", 0));
}

void UploadController::onVerifyBlock()
{
    const int block = m_reader.block();
    const bool matches = writtenBytesMatch(block, m_image, m_reader.bytes());
    if (!matches && !m_rereading) {
        // A line error can make a good block look different: read it until
        // two readings agree before calling it different.
        m_rereading = true;
        m_reader.setVerifyReads(true);
        m_reader.request(block);
        return;
    }
    if (!matches)
        m_differing.append(block);
    m_rereading = false;
    m_reader.setVerifyReads(false);
    if (block < LastStep) {
        m_reader.request(block + 1);
        report(double(block + 1) / BlockCount, blockStatus("Verifying", block + 1));
        return;
    }
    if (!m_differing.isEmpty()) {
        fail(differingMessage(m_differing));
        return;
    }
    emit verified();
    if (isRunning())
        reboot();
}

void UploadController::reboot()
{
    setPhase(Phase::Rebooting);
    report(1, QStringLiteral("Rebooting the exchange"));
    m_link.queueReboot(OwnerUpload, RebootId);
}

void UploadController::watchRestart()
{
    // The reboot has no reply. It counts as gone only once it has left the
    // port and the line has stayed up for as long as the last bytes need to
    // cross it, plus the time a vanished device takes to be noticed.
    constexpr int BytesInFlight = 64; // what an adapter may still hold
    constexpr int NoticeMs = 500;
    m_link.line()->drain(lineTimeMs(BytesInFlight) + NoticeMs);
    if (isRunning())
        m_restartWatch.start(lineTimeMs(BytesInFlight) + NoticeMs);
}
