#pragma once
// Writing a configuration into the exchange, looking before it leaps:
//   Boards      read the boards the cabinet holds (slots 0..16); when a line
//               slot's board differs from the configuration's, wait for a
//               decision (nothing has been written);
//   Backup      read the 64 blocks the exchange holds now, every block until
//               two readings agree, and store them (on a thread of their
//               own; nothing is written when that fails);
//   Plan        the differences between what the exchange holds and what
//               will be sent, record by record; wait for a decision when
//               asked to (a dry run ends here);
//   Clearing    clear the area with one fill;
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
#include "BoardChange.h"
#include "ConfigDiff.h"
#include "Configuration.h"
#include "LinkOperation.h"
#include "MemoryImages.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

class QThread;

struct UploadOptions {
    bool backup = true;        // read what the exchange holds and store it before writing
    bool verify = true;        // read the written area back before the reboot
    bool ignoreBoards = false; // go on when the cabinet's boards differ from the configuration
    bool confirmPlan = false;  // wait for proceed() once the plan is known
    bool dryRun = false;       // end once the plan is known: nothing written, nothing stored
};

// Stores the backup image (files, say) and returns the files written; a
// reason in *error stops the upload before anything is written. Runs on a
// thread of its own: it must not touch widgets.
using BackupSink = std::function<QStringList(const QByteArray &image, QString *error)>;

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
    enum class Phase {
        Idle,
        Boards,
        Backup,
        Plan,
        Clearing,
        Writing,
        FinalWords,
        Verifying,
        Rebooting
    };
    Q_ENUM(Phase)
    // What the upload is waiting for the technician to decide.
    enum class Decision { None, Boards, Plan };
    Q_ENUM(Decision)

    static constexpr int ProgressMaximum = 1000; // progress() counts the whole upload in these

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
    // Sends a ready image, a backup being restored, say; its slot bytes say
    // which boards it was taken from. An image that is not an exchange's
    // configuration memory (configurationImageProblem) is refused with
    // false and the reason in *refusal; nothing is sent.
    bool startImage(const QByteArray &image, QString *refusal = nullptr);

    // Goes on past the decision waited for (boardsDiffer, planReady).
    void proceed();
    Decision awaiting() const { return m_awaiting; }
    // Holds the transfer while a question is open: nothing new is sent
    // until it is let go (a reply already asked for is still taken).
    void hold(bool on);

    Phase phase() const { return m_phase; }
    // True once the clearing fill has gone out on a line that stayed up: from
    // then on the exchange holds a cleared or partial configuration until the
    // upload succeeds. A fill the exchange never acknowledged before its line
    // went away did not reach it.
    bool exchangeDisturbed() const { return m_fillAcknowledged || (m_fillSent && !lineWentAway()); }
    // Blocks (0..63) whose read-back differed from the image sent.
    QList<int> differingBlocks() const { return m_differing; }
    // The boards read, the backup's files and the plan, once known.
    const InstalledBoardList &installedBoards() const { return m_boards; }
    QStringList backupFiles() const { return m_backupFiles; }
    QList<Difference> plan() const { return m_plan; }

  signals:
    // "Can not find extension": a group member with no active extension.
    void memberNotFound(int number);
    void phaseChanged(UploadController::Phase phase);
    // The line slots whose board differs from the configuration's; unless
    // boards are ignored the upload waits for proceed() or cancel().
    void boardsDiffer(const QList<SlotDifference> &differences);
    // The 8192 bytes the exchange held before this upload; also kept as
    // BackupMemory.
    void backupRead(const QByteArray &image);
    // The backup is on disk.
    void backupStored(const QStringList &files);
    // What the exchange will change, as record and field differences between
    // what it holds and what is sent (empty: nothing). With confirmPlan the
    // upload waits for proceed() or cancel().
    void planReady(const QList<Difference> &differences);
    // The written area read back equal to the image sent.
    void verified();

  private:
    QString failureMessage(const QString &cause) const override;
    QString retryText(int id, int attempt) const override;
    void stopped() override;
    void setPhase(Phase phase);
    bool launch(const QByteArray &image, QString *refusal);
    void report(double done, const QString &status);
    void onCompletion(int id, const QByteArray &text);
    void onMessageSent(int owner, int id);
    void readBoards();
    void onBoard(int slot, const QByteArray &text);
    void startBackup();
    bool takeReading(int id, const QByteArray &text);
    void onBackupBlock();
    void storeBackup();
    void onBackupStored(const QStringList &files, const QString &error);
    void offerPlan();
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
    Decision m_awaiting = Decision::None;
    bool m_waited = false; // a decision was waited for: the exchange may have left setup
    QByteArray m_image;
    Configuration m_reference;           // its classes name the classes of decoded images
    InstalledBoardList m_targetBoards{}; // the boards the image was made for
    InstalledBoardList m_boards{};
    QByteArray m_backup;
    QStringList m_backupFiles;
    QList<Difference> m_plan;
    QList<int> m_differing;
    std::unique_ptr<QThread> m_storing;
    double m_weights[4] = {}; // boards, backup, writes, read-back: characters on the line
    int m_block = -1;
    int m_refusals = 0;
    bool m_fillSent = false;
    bool m_fillAcknowledged = false;
    bool m_unreliableBackup = false;
    bool m_rereading = false; // a read-back block that differed is being read again
    QTimer m_restartWatch;
};
