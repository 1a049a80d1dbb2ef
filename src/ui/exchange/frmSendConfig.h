#pragma once
// "Sending Configuation": the image being sent (NEW) beside what the
// exchange held before (BACKUP), differences coloured, and the progress of
// the upload through its steps: backup, clearing, writing, read-back and
// reboot. Without a transfer the same window is the raw-data view.
#include "MemoryImages.h"

#include <QDialog>

class MemoryImageModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTableView;
class UploadController;

class frmSendConfig : public QDialog {
    Q_OBJECT
public:
    frmSendConfig(const MemoryImages &memory, QWidget *parent = nullptr);

    // Fills both grids from the images; without a backup read yet the
    // BACKUP side says so and nothing is coloured.
    void ShowTable(bool hasBackup);
    // Follows `upload` to its end; the window stays open with the outcome.
    void follow(UploadController &upload);
    // The outcome line: "Verified", the blocks that differ, or why it failed.
    QString resultText() const;
    void setResult(const QString &text, bool good);
    bool isTransferring() const;
    // The backup files of this upload, shown under the progress.
    void setBackupFiles(const QStringList &paths);
    QStringList backupFiles() const { return backupFiles_; }

    // Escape, the close box and "Cancel Transfer": stop the upload, asking
    // first once the exchange's memory has been cleared.
    void reject() override;

signals:
    // The technician chose to stop an upload that had cleared the exchange.
    void stoppedAfterClearing();

private:
    QTableView *makeGrid(MemoryImageModel *model, const char *name);
    void syncScrolling();
    void finish(const QString &result, bool good);

    const MemoryImages &memory_;
    UploadController *upload_ = nullptr;
    MemoryImageModel *backupModel_;
    MemoryImageModel *currentModel_;
    QTableView *vsBackup_;
    QTableView *vsCurrent_;
    QLabel *labBackup_;
    QLabel *labOverall_;
    QLabel *labStep_;
    QLabel *labResult_;
    QProgressBar *pgbSection_;
    QPushButton *cmdCancel_;
    QStatusBar *sbBar_;
    QLabel *sbPanel_;
    QLabel *labBackupFiles_;
    QStringList backupFiles_;
    bool hasBackup_ = false;
    int gridWidth_ = 0; // one grid with all 16 columns showing
};
