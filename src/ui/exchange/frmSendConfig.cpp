#include "frmSendConfig.h"

#include "MemoryImageModel.h"
#include "Prompter.h"
#include "UploadController.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace
{

QString stepText(UploadController::Phase phase)
{
    switch (phase) {
    case UploadController::Phase::Backup:
        return QStringLiteral("Step 1 of 4: reading the exchange's memory for the backup");
    case UploadController::Phase::Clearing:
    case UploadController::Phase::Writing:
    case UploadController::Phase::FinalWords:
        return QStringLiteral("Step 2 of 4: sending the new configuration");
    case UploadController::Phase::Verifying:
        return QStringLiteral("Step 3 of 4: reading it back to verify");
    case UploadController::Phase::Rebooting:
        return QStringLiteral("Step 4 of 4: rebooting the exchange");
    case UploadController::Phase::Idle:
        break;
    }
    return QString();
}

} // namespace

frmSendConfig::frmSendConfig(const MemoryImages &memory, QWidget *parent)
    : QDialog(parent), memory_(memory)
{
    setObjectName(QStringLiteral("frmSendConfig"));
    setWindowTitle(QStringLiteral("Sending Configuation"));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);

    backupModel_ = new MemoryImageModel(MemoryImageModel::Backup, this);
    currentModel_ = new MemoryImageModel(MemoryImageModel::New, this);
    vsBackup_ = makeGrid(backupModel_, "vsBackup");
    vsCurrent_ = makeGrid(currentModel_, "vsCurrent");
    labBackup_ = new QLabel(QStringLiteral("BACKUP"), this);
    labBackup_->setObjectName(QStringLiteral("labBackup"));
    labBackup_->setWordWrap(true);
    auto *labCurrent = new QLabel(QStringLiteral("NEW"), this);
    labCurrent->setObjectName(QStringLiteral("labCurrent"));
    for (QLabel *heading : {labBackup_, labCurrent}) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
    syncScrolling();

    labOverall_ = new QLabel(QStringLiteral("Overall Status"), this);
    labOverall_->setObjectName(QStringLiteral("labOverall"));
    labStep_ = new QLabel(this);
    labStep_->setObjectName(QStringLiteral("labStep"));
    pgbSection_ = new QProgressBar(this);
    pgbSection_->setObjectName(QStringLiteral("pgbSection"));
    pgbSection_->setRange(0, ExchMap::BlockCount - 1);
    labResult_ = new QLabel(this);
    labResult_->setObjectName(QStringLiteral("labResult"));
    labResult_->setWordWrap(true);
    labResult_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    labBackupFiles_ = new QLabel(this);
    labBackupFiles_->setObjectName(QStringLiteral("labBackupFiles"));
    labBackupFiles_->setWordWrap(true);
    labBackupFiles_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    labBackupFiles_->hide();
    cmdCancel_ = new QPushButton(QStringLiteral("Close"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);
    cmdCancel_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmSendConfig::reject);
    sbBar_ = new QStatusBar(this);
    sbBar_->setObjectName(QStringLiteral("sbBar"));
    sbBar_->setSizeGripEnabled(false);
    sbPanel_ = new QLabel(sbBar_);
    sbPanel_->setObjectName(QStringLiteral("sbBarPanel1"));
    sbBar_->addWidget(sbPanel_, 1);

    auto *grids = new QGridLayout;
    grids->addWidget(labBackup_, 0, 0);
    grids->addWidget(labCurrent, 0, 1);
    grids->addWidget(vsBackup_, 1, 0);
    grids->addWidget(vsCurrent_, 1, 1);
    grids->setRowStretch(1, 1);
    auto *progress = new QHBoxLayout;
    progress->addWidget(labOverall_);
    progress->addWidget(pgbSection_, 1);
    progress->addStretch(0);
    progress->addWidget(cmdCancel_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grids, 1);
    layout->addWidget(labStep_);
    layout->addLayout(progress);
    layout->addWidget(labBackupFiles_);
    layout->addWidget(labResult_);
    layout->addWidget(sbBar_);

    labStep_->hide();
    pgbSection_->hide();
    labOverall_->hide();
    // Both grids whole where the screen allows; on a small screen the window
    // fits it and the grids scroll sideways, together.
    const QRect screen = this->screen()->availableGeometry();
    const int whole = 2 * gridWidth_ + layout->spacing() + layout->contentsMargins().left() +
                      layout->contentsMargins().right();
    resize(std::min(whole, screen.width() - 40), std::min(600, screen.height() - 80));
}

QTableView *frmSendConfig::makeGrid(MemoryImageModel *model, const char *name)
{
    auto *grid = new QTableView(this);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setModel(model);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setAlternatingRowColors(false);
    const int cell = grid->fontMetrics().horizontalAdvance(QStringLiteral("FFW")) + 4;
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setDefaultSectionSize(cell);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const int width = cell * MemoryImageModel::BytesPerRow +
                      grid->fontMetrics().horizontalAdvance(QStringLiteral("00000W")) +
                      grid->verticalScrollBar()->sizeHint().width() + 2 * grid->frameWidth();
    grid->setMinimumWidth(width / 2);
    gridWidth_ = width;
    return grid;
}

void frmSendConfig::syncScrolling()
{
    // The two images scroll together, so a row always faces the same row.
    for (auto [from, to] : {std::pair{vsBackup_, vsCurrent_}, std::pair{vsCurrent_, vsBackup_}}) {
        connect(from->verticalScrollBar(), &QScrollBar::valueChanged, to->verticalScrollBar(),
                &QScrollBar::setValue);
        connect(from->horizontalScrollBar(), &QScrollBar::valueChanged,
                to->horizontalScrollBar(), &QScrollBar::setValue);
    }
}

void frmSendConfig::ShowTable(bool hasBackup)
{
    hasBackup_ = hasBackup;
    backupModel_->setImages(memory_.BackupMemory, memory_.ExchMemory, hasBackup);
    currentModel_->setImages(memory_.BackupMemory, memory_.ExchMemory, hasBackup);
    if (hasBackup) {
        labBackup_->setText(QStringLiteral("BACKUP"));
        labBackup_->setToolTip(QString());
    } else {
        labBackup_->setText(QStringLiteral("BACKUP (nothing read from the exchange yet: get the "
                                           "configuration or send one to compare)"));
    }
}

void frmSendConfig::follow(UploadController &upload)
{
    upload_ = &upload;
    setWindowModality(Qt::WindowModal);
    cmdCancel_->setText(QStringLiteral("Cancel Transfer"));
    labStep_->show();
    pgbSection_->show();
    labOverall_->show();
    setResult(QString(), true);
    ShowTable(false);
    connect(&upload, &UploadController::phaseChanged, this,
            [this](UploadController::Phase phase) { labStep_->setText(stepText(phase)); });
    connect(&upload, &LinkOperation::progress, this,
            [this](int value, int maximum, const QString &status) {
                pgbSection_->setRange(0, maximum);
                pgbSection_->setValue(value);
                if (!status.isEmpty())
                    sbPanel_->setText(status);
            });
    connect(&upload, &UploadController::backupRead, this, [this] { ShowTable(true); });
    connect(&upload, &LinkOperation::finished, this, [this] {
        finish(QStringLiteral("Verified: the exchange holds the new configuration and is "
                              "rebooting."),
               true);
    });
    connect(&upload, &LinkOperation::failed, this,
            [this](const QString &message) { finish(message, false); });
    connect(&upload, &LinkOperation::cancelled, this, [this] {
        finish(upload_ && upload_->exchangeDisturbed()
                   ? QStringLiteral("Transfer cancelled. ") + partialConfigurationMessage()
                   : QStringLiteral("Transfer cancelled before anything was written: the "
                                    "exchange is unchanged."),
               false);
    });
}

void frmSendConfig::finish(const QString &result, bool good)
{
    setResult(result, good);
    cmdCancel_->setText(QStringLiteral("Close"));
    // The sent image is what the NEW side shows from now on.
    currentModel_->setImages(memory_.BackupMemory, memory_.ExchMemory, hasBackup_);
    backupModel_->setImages(memory_.BackupMemory, memory_.ExchMemory, hasBackup_);
}

void frmSendConfig::setResult(const QString &text, bool good)
{
    labResult_->setText(text);
    QPalette palette = labResult_->palette();
    palette.setColor(QPalette::WindowText, good ? palette.color(QPalette::WindowText)
                                                : QColor(0xC0, 0, 0));
    labResult_->setPalette(good ? QPalette() : palette);
    QFont font = labResult_->font();
    font.setBold(!text.isEmpty());
    labResult_->setFont(font);
}

void frmSendConfig::setBackupFiles(const QStringList &paths)
{
    backupFiles_ = paths;
    labBackupFiles_->setText(QStringLiteral("Backup of what the exchange held: ") +
                             QDir::toNativeSeparators(paths.value(0)));
    labBackupFiles_->setVisible(!paths.isEmpty());
}

QString frmSendConfig::resultText() const
{
    return labResult_->text();
}

bool frmSendConfig::isTransferring() const
{
    return upload_ && upload_->isRunning();
}

void frmSendConfig::reject()
{
    if (isTransferring()) {
        if (upload_->exchangeDisturbed()) {
            const auto answer = prompter().question(
                this, QStringLiteral("Cancel Transfer"),
                QStringLiteral("The exchange will be left with a partial configuration: its "
                               "memory has been cleared and not all of the new configuration "
                               "has been written.\nStop the transfer anyway?"),
                QMessageBox::Yes | QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return;
            emit stoppedAfterClearing();
        }
        upload_->cancel();
        return; // the window stays to show what happened
    }
    QDialog::reject();
}
