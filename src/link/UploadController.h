#pragma once
// Writing a configuration into the exchange, safely:
//   Backup      read the 64 blocks the exchange holds now, every block until
//               two readings agree, and hand them to the backup sink
//               (nothing is written when that fails);
//   Clearing    enter setup and clear the area with one fill;
//   Writing     every block that is not all zero (a fill when all its bytes
//               are equal);
//   FinalWords  the marker and password words and the four PIN bytes;
//   Verifying   read the written area back and compare it with the image
//               sent (with verification off, one read confirms the words);
//   Rebooting   the reboot goes out last, and the line is watched until the
//               byte has surely left: a line that dies then may have taken
//               the reboot with it.
// Success means every write was acknowledged or read back and the reboot
// left on a line that stayed up. Refused while the checker finds errors.
#include "BlockReader.h"
#include "LinkOperation.h"
#include "MemoryImages.h"

#include <QByteArray>
#include <QList>
#include <QTimer>
#include <functional>

struct Configuration;

struct UploadOptions {
    bool backup = true; // read what the exchange holds before writing
    bool verify = true; // read the written area back before the reboot
};

// Stores the backup image (files, say); false with the reason in *error
// stops the upload before anything is written.
using BackupSink = std::function<bool(const QByteArray &image, QString *error)>;

// Said after any failure or cancel once the clearing fill has gone out.
QString partialConfigurationMessage();
// Said when everything was written and verified but the line failed while
// the reboot was going out.
QString restartUncertainMessage();
// Said when the backup's blocks never read the same twice.
QString unreliableBackupMessage();

class UploadController : public LinkOperation
{
    Q_OBJECT
  public:
    enum class Phase { Idle, Backup, Clearing, Writing, FinalWords, Verifying, Rebooting };
    Q_ENUM(Phase)

    UploadController(SerialLink &link, MemoryImages &memory, QObject *parent = nullptr);
    ~UploadController() override;

    void setOptions(const UploadOptions &options) { m_options = options; }
    UploadOptions options() const { return m_options; }
    void setBackupSink(BackupSink sink) { m_sink = std::move(sink); }

    // Checks and encodes the configuration, then sends it. While the checker
    // finds errors nothing is built or sent: false, with the refusal in
    // *refusal. Group members that match no active extension are reported
    // through memberNotFound() and the rest is sent.
    bool start(const Configuration &config, QString *refusal = nullptr);
    // Sends a ready image, a backup being restored, say. An image that is not
    // an exchange's configuration memory (configurationImageProblem) is
    // refused with false and the reason in *refusal; nothing is sent.
    bool startImage(const QByteArray &image, QString *refusal = nullptr);

    Phase phase() const { return m_phase; }
    // True once the clearing fill has gone out on a line that stayed up: from
    // then on the exchange holds a cleared or partial configuration until the
    // upload succeeds. A fill the exchange never acknowledged before its line
    // went away did not reach it.
    bool exchangeDisturbed() const { return m_fillAcknowledged || (m_fillSent && !lineWentAway()); }
    // Blocks (0..63) whose read-back differed from the image sent.
    QList<int> differingBlocks() const { return m_differing; }
    // -1 before the first block, then the block being written.
    int block() const { return m_block; }

  signals:
    // "Can not find extension": a group member with no active extension.
    void memberNotFound(int number);
    void phaseChanged(UploadController::Phase phase);
    // The 8192 bytes the exchange held before this upload; also kept as
    // BackupMemory.
    void backupRead(const QByteArray &image);
    // The written area read back equal to the image sent.
    void verified();

  private:
    QString failureMessage(const QString &cause) const override;
    void stopped() override;
    void setPhase(Phase phase);
    void onCompletion(int id, const QByteArray &text);
    void onMessageSent(int owner, int id);
    bool takeReading(int id, const QByteArray &text);
    void onBackupBlock();
    void storeBackup();
    void startClearing();
    void onWriteAcknowledged(int id, const QByteArray &text);
    void sendNextBlock();
    void queueBlock(int block);
    void sendFinalWords();
    void confirmFinalWords();
    void onVerifyBlock();
    void reboot();
    void watchRestart();

    MemoryImages &m_memory;
    BlockReader m_reader;
    UploadOptions m_options;
    BackupSink m_sink;
    Phase m_phase = Phase::Idle;
    QByteArray m_image;
    QByteArray m_backup;
    QList<int> m_differing;
    int m_block = -1;
    int m_refusals = 0;
    bool m_fillSent = false;
    bool m_fillAcknowledged = false;
    bool m_unreliableBackup = false;
    bool m_rereading = false; // a read-back block that differed is being read again
    QTimer m_restartWatch;
};
