#include "DownloadWindow.h"

#include "ExchangeMap.h"
#include "LinkOperation.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

DownloadWindow::DownloadWindow(LinkOperation &transfer, QWidget *parent)
    : QDialog(parent), transfer_(transfer)
{
    setObjectName(QStringLiteral("frmGetConfig"));
    setWindowTitle(QStringLiteral("Getting Configuration From Exchange"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    pgbStatus_ = new QProgressBar(this);
    pgbStatus_->setObjectName(QStringLiteral("pgbStatus"));
    pgbStatus_->setRange(0, ExchMap::BlockCount - 1);
    pgbStatus_->setValue(0);
    pgbStatus_->setMinimumWidth(360);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel Transfer"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel_, &QPushButton::clicked, this, &DownloadWindow::reject);
    sbBar_ = new QStatusBar(this);
    sbBar_->setObjectName(QStringLiteral("sbBar"));
    sbBar_->setSizeGripEnabled(false);
    auto *panel = new QLabel(sbBar_);
    panel->setObjectName(QStringLiteral("sbBarPanel1"));
    sbBar_->addWidget(panel, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pgbStatus_);
    layout->addWidget(cmdCancel_, 0, Qt::AlignHCenter);
    layout->addWidget(sbBar_);

    connect(&transfer_, &LinkOperation::progress, this,
            [this, panel](int value, int maximum, const QString &status) {
                setWindowTitle(QStringLiteral("Getting Configuration"));
                pgbStatus_->setRange(0, maximum);
                pgbStatus_->setValue(value);
                panel->setText(status);
            });
    for (auto ending : {&LinkOperation::finished, &LinkOperation::cancelled})
        connect(&transfer_, ending, this, &QDialog::accept);
    connect(&transfer_, &LinkOperation::failed, this, &QDialog::accept);
}

void DownloadWindow::reject()
{
    if (transfer_.isRunning())
        transfer_.cancel();
    QDialog::reject();
}
