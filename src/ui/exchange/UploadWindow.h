#pragma once
// "Sending Configuration": an upload followed from the first look at the
// cabinet to the reboot. It shows one progress for the whole upload, stops
// for the technician where the cabinet's boards differ from the
// configuration's and once the plan of what will change is known (Cancel is
// the default both times), and keeps the outcome on screen. The Raw Data tab
// shows the image being sent (NEW) beside what the exchange held (BACKUP),
// differences coloured. Without a transfer the same window is the "Raw
// Data" view.
#include "MemoryImages.h"

#include <QDialog>

class DifferenceTree;
class MemoryImageModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTreeWidget;
class UploadController;
struct SlotDifference;

class UploadWindow : public QDialog {
    Q_OBJECT
public:
    UploadWindow(const MemoryImages &memory, QWidget *parent = nullptr);

    // Fills both grids from the images; without a backup read yet the
    // BACKUP side is empty and says so, and nothing is coloured.
    void showTable(bool hasBackup);
    // Follows `upload` to its end; the window stays open with the outcome.
    void follow(UploadController &upload);
    // The outcome line: "Verified", the blocks that differ, or why it failed.
    QString resultText() const;
    void setResult(const QString &text, bool good);
    bool isTransferring() const;
    // The backup files of this upload, shown under the progress.
    void setBackupFiles(const QStringList &paths);
    QStringList backupFiles() const { return backupFiles_; }

    // Escape, the close box and "Cancel Transfer": stop the upload, after a
    // question that says what stopping leaves behind at this step (the
    // transfer waits while it is open). While the upload waits for a
    // decision, Cancel is that decision and asks nothing.
    void reject() override;

signals:
    // The technician chose to stop an upload that had cleared the exchange.
    void stoppedAfterClearing();

private:
  QWidget *makeChangesPage();
  QWidget *makeRawPage();
  QTableView *makeGrid(MemoryImageModel *model, const char *name);
  void showTransfer(bool on);
  void syncScrolling();
  void showNextDifference();
  void showBoards(const QList<SlotDifference> &differences);
  void showPlan();
  void awaitDecision(const QString &sendText);
  void finish(const QString &result, bool good);
  QString stopQuestion() const;

  const MemoryImages &memory_;
  UploadController *upload_ = nullptr;
  MemoryImageModel *backupModel_;
  MemoryImageModel *currentModel_;
  QTabWidget *tabs_;
  QStackedWidget *changes_;
  QLabel *labChanges_;
  QTreeWidget *vsBoards_;
  DifferenceTree *vsPlan_;
  QTableView *vsBackup_;
  QTableView *vsCurrent_;
  QLabel *labBackup_;
  QLabel *labOverall_;
  QLabel *labStep_;
  QLabel *labResult_;
  QLabel *labRetries_;
  QProgressBar *pgbSection_;
  QPushButton *cmdSend_;
  QPushButton *cmdCancel_;
  QStatusBar *sbBar_;
  QLabel *sbPanel_;
  QLabel *labBackupFiles_;
  QStringList backupFiles_;
  bool hasBackup_ = false;
  int gridWidth_ = 0; // one grid with all 16 columns showing
};
