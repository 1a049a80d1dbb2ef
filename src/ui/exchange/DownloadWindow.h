#pragma once
// "Getting Configuration": the progress of a download, block by block, with
// "Cancel Transfer". It shows what the controller reports and holds no
// protocol of its own; the main window decides what the image becomes.
#include <QDialog>

class LinkOperation;
class QProgressBar;
class QPushButton;
class QStatusBar;

class DownloadWindow : public QDialog {
    Q_OBJECT
public:
    // Follows `transfer` until it ends, then closes.
    explicit DownloadWindow(LinkOperation &transfer, QWidget *parent = nullptr);

    // Escape and the close box cancel the transfer, as the button does.
    void reject() override;

private:
    LinkOperation &transfer_;
    QProgressBar *pgbStatus_;
    QStatusBar *sbBar_;
    QPushButton *cmdCancel_;
};
