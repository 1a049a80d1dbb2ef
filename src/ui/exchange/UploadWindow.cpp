#include "UploadWindow.h"

#include "BoardChange.h"
#include "DifferenceTree.h"
#include "Equipment.h"
#include "MemoryImageModel.h"
#include "Prompter.h"
#include "UploadController.h"

#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{

using Phase = UploadController::Phase;

QString stepText(Phase phase)
{
    switch (phase) {
    case Phase::Boards:
        return QStringLiteral("Step 1 of 6: reading the boards in the cabinet");
    case Phase::Backup:
        return QStringLiteral("Step 2 of 6: reading the exchange's memory for the backup");
    case Phase::Plan:
        return QStringLiteral("Step 3 of 6: what the exchange will change");
    case Phase::Clearing:
    case Phase::Writing:
    case Phase::FinalWords:
        return QStringLiteral("Step 4 of 6: sending the new configuration");
    case Phase::Verifying:
        return QStringLiteral("Step 5 of 6: reading it back to verify");
    case Phase::Rebooting:
        return QStringLiteral("Step 6 of 6: rebooting the exchange");
    case Phase::Idle:
        break;
    }
    return QString();
}

enum ChangesPage { WaitingPage, BoardsPage, PlanPage };

// A label that keeps room for `lines` lines, so the window does not jump
// as its text comes and goes.
QLabel *steadyLabel(QWidget *parent, const char *name, int lines)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(lines > 1);
    label->setMinimumHeight(lines * label->fontMetrics().lineSpacing());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A swatch of a marking colour with its meaning, for the legend.
QLabel *legendEntry(QWidget *parent, ByteChange change, const QString &meaning)
{
    const QColor colour = changeColour(change);
    auto *label = new QLabel(parent);
    label->setText(QStringLiteral("<span style=\"background-color:%1; color:#000000\">"
                                  "&nbsp;00&nbsp;</span> %2")
                       .arg(colour.name(), meaning.toHtmlEscaped()));
    return label;
}

} // namespace

UploadWindow::UploadWindow(const MemoryImages &memory, QWidget *parent)
    : QDialog(parent), memory_(memory)
{
    setObjectName(QStringLiteral("frmSendConfig"));
    setWindowTitle(QStringLiteral("Raw Data"));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);

    backupModel_ = new MemoryImageModel(MemoryImageModel::Backup, this);
    currentModel_ = new MemoryImageModel(MemoryImageModel::New, this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->addTab(makeChangesPage(), QStringLiteral("&Changes"));
    tabs_->addTab(makeRawPage(), QStringLiteral("&Raw Data"));
    tabs_->setCurrentIndex(1);

    labStep_ = steadyLabel(this, "labStep", 1);
    labOverall_ = new QLabel(QStringLiteral("Overall Status"), this);
    labOverall_->setObjectName(QStringLiteral("labOverall"));
    pgbSection_ = new QProgressBar(this);
    pgbSection_->setObjectName(QStringLiteral("pgbSection"));
    pgbSection_->setRange(0, UploadController::ProgressMaximum);
    labResult_ = steadyLabel(this, "labResult", 3);
    labBackupFiles_ = steadyLabel(this, "labBackupFiles", 1);
    labRetries_ = new QLabel(this);
    labRetries_->setObjectName(QStringLiteral("labRetries"));
    cmdSend_ = new QPushButton(QStringLiteral("&Send"), this);
    cmdSend_->setObjectName(QStringLiteral("cmdSend"));
    cmdSend_->setAutoDefault(false);
    cmdSend_->hide();
    connect(cmdSend_, &QPushButton::clicked, this, [this] {
        cmdSend_->hide();
        cmdCancel_->setDefault(false);
        if (upload_)
            upload_->proceed();
    });
    cmdCancel_ = new QPushButton(QStringLiteral("Close"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);
    cmdCancel_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(cmdCancel_, &QPushButton::clicked, this, &UploadWindow::reject);
    sbBar_ = new QStatusBar(this);
    sbBar_->setObjectName(QStringLiteral("sbBar"));
    sbBar_->setSizeGripEnabled(false);
    sbPanel_ = new QLabel(sbBar_);
    sbPanel_->setObjectName(QStringLiteral("sbBarPanel1"));
    sbBar_->addWidget(sbPanel_, 1);
    sbBar_->addPermanentWidget(labRetries_);

    auto *progress = new QHBoxLayout;
    progress->addWidget(labOverall_);
    progress->addWidget(pgbSection_, 1);
    progress->addStretch(0);
    progress->addWidget(cmdSend_);
    progress->addWidget(cmdCancel_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(labStep_);
    layout->addWidget(tabs_, 1);
    layout->addLayout(progress);
    layout->addWidget(labBackupFiles_);
    layout->addWidget(labResult_);
    layout->addWidget(sbBar_);

    showTransfer(false);
    // Both grids whole where the screen allows; on a small screen the window
    // fits it and the grids scroll sideways, together.
    const QRect screen = this->screen()->availableGeometry();
    const int whole = 2 * gridWidth_ + 3 * layout->spacing() + layout->contentsMargins().left() +
                      layout->contentsMargins().right() +
                      4 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    resize(std::min(whole, screen.width() - 40), std::min(620, screen.height() - 80));
}

QWidget *UploadWindow::makeChangesPage()
{
    changes_ = new QStackedWidget(this);
    changes_->setObjectName(QStringLiteral("changes"));
    auto *waiting = new QLabel(
        QStringLiteral("What the exchange will change is listed here once its boards and its "
                       "memory have been read. Nothing is written before you press Send."),
        changes_);
    waiting->setWordWrap(true);
    waiting->setAlignment(Qt::AlignCenter);
    vsBoards_ = new QTreeWidget(changes_);
    vsBoards_->setObjectName(QStringLiteral("vsBoards"));
    vsBoards_->setRootIsDecorated(false);
    vsBoards_->setHeaderLabels(
        {QStringLiteral("Slot"), QStringLiteral("Configuration"), QStringLiteral("Exchange")});
    vsPlan_ = new DifferenceTree(QStringLiteral("Exchange now"), QStringLiteral("After sending"),
                                 changes_);
    vsPlan_->setObjectName(QStringLiteral("vsPlan"));
    changes_->insertWidget(WaitingPage, waiting);
    changes_->insertWidget(BoardsPage, vsBoards_);
    changes_->insertWidget(PlanPage, vsPlan_);

    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    labChanges_ = steadyLabel(page, "labChanges", 3);
    layout->addWidget(labChanges_);
    layout->addWidget(changes_, 1);
    return page;
}

QWidget *UploadWindow::makeRawPage()
{
    auto *page = new QWidget(this);
    vsBackup_ = makeGrid(backupModel_, "vsBackup");
    vsCurrent_ = makeGrid(currentModel_, "vsCurrent");
    labBackup_ = new QLabel(QStringLiteral("BACKUP"), page);
    labBackup_->setObjectName(QStringLiteral("labBackup"));
    labBackup_->setWordWrap(true);
    auto *labCurrent = new QLabel(QStringLiteral("NEW"), page);
    labCurrent->setObjectName(QStringLiteral("labCurrent"));
    for (QLabel *heading : {labBackup_, labCurrent}) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
    syncScrolling();
    auto *next = new QPushButton(QStringLiteral("&Next Difference"), page);
    next->setObjectName(QStringLiteral("cmdNextDifference"));
    next->setAutoDefault(false);
    connect(next, &QPushButton::clicked, this, &UploadWindow::showNextDifference);

    auto *legend = new QHBoxLayout;
    legend->addWidget(legendEntry(page, ByteChange::Changed, QStringLiteral("changed")));
    legend->addWidget(legendEntry(page, ByteChange::Removed, QStringLiteral("removed (now 00)")));
    legend->addWidget(legendEntry(page, ByteChange::Added, QStringLiteral("added (was 00)")));
    legend->addStretch(1);
    legend->addWidget(next);
    auto *grids = new QGridLayout(page);
    grids->addWidget(labBackup_, 0, 0);
    grids->addWidget(labCurrent, 0, 1);
    grids->addWidget(vsBackup_, 1, 0);
    grids->addWidget(vsCurrent_, 1, 1);
    grids->addLayout(legend, 2, 0, 1, 2);
    grids->setRowStretch(1, 1);
    return page;
}

QTableView *UploadWindow::makeGrid(MemoryImageModel *model, const char *name)
{
    auto *grid = new QTableView(this);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setModel(model);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setAlternatingRowColors(false);
    grid->setShowGrid(false);
    // Two digits a cell, tight: both grids whole beside each other on a
    // 1024-pixel screen.
    const QFontMetrics digits(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const int margin =
        2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
    const int cell = digits.horizontalAdvance(QStringLiteral("FF")) + margin + 4;
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setMinimumSectionSize(cell);
    grid->horizontalHeader()->setDefaultSectionSize(cell);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(digits.height() + 2);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const int width = cell * MemoryImageModel::BytesPerRow +
                      digits.horizontalAdvance(QStringLiteral("0000")) + 12 +
                      grid->verticalScrollBar()->sizeHint().width() + 2 * grid->frameWidth();
    grid->setMinimumWidth(width / 2);
    gridWidth_ = width;
    return grid;
}

void UploadWindow::showTransfer(bool on)
{
    const QList<QWidget *> transferOnly{labStep_, labOverall_, pgbSection_, labBackupFiles_,
                                        labResult_};
    for (QWidget *widget : transferOnly)
        widget->setVisible(on);
    tabs_->tabBar()->setVisible(on); // a raw-data view has nothing else to show
}

void UploadWindow::syncScrolling()
{
    // The two images scroll together, so a row always faces the same row.
    for (auto [from, to] : {std::pair{vsBackup_, vsCurrent_}, std::pair{vsCurrent_, vsBackup_}}) {
        connect(from->verticalScrollBar(), &QScrollBar::valueChanged, to->verticalScrollBar(),
                &QScrollBar::setValue);
        connect(from->horizontalScrollBar(), &QScrollBar::valueChanged,
                to->horizontalScrollBar(), &QScrollBar::setValue);
    }
}

void UploadWindow::showNextDifference()
{
    if (!hasBackup_)
        return;
    const QModelIndex at = vsCurrent_->currentIndex();
    const int after = at.isValid() ? at.row() * MemoryImageModel::BytesPerRow + at.column() : -1;
    const int offset = nextDifferingOffset(memory_.BackupMemory, memory_.ExchMemory, after);
    if (offset < 0) {
        sbPanel_->setText(QStringLiteral("The two images are the same."));
        return;
    }
    const int row = offset / MemoryImageModel::BytesPerRow;
    const int column = offset % MemoryImageModel::BytesPerRow;
    for (QTableView *grid : {vsBackup_, vsCurrent_}) {
        grid->setCurrentIndex(grid->model()->index(row, column));
        grid->scrollTo(grid->model()->index(row, column), QAbstractItemView::PositionAtCenter);
    }
    sbPanel_->setText(QStringLiteral("Difference at offset %1 (address %2)")
                          .arg(offset, 4, 16, QLatin1Char('0'))
                          .arg(ExchMap::address(offset), 4, 16, QLatin1Char('0'))
                          .toUpper());
}

void UploadWindow::showTable(bool hasBackup)
{
    hasBackup_ = hasBackup;
    // Nothing read yet: the BACKUP side stays empty rather than show bytes
    // it has no claim to.
    const QByteArray backup = hasBackup ? memory_.BackupMemory : QByteArray();
    backupModel_->setImages(backup, memory_.ExchMemory, hasBackup);
    currentModel_->setImages(backup, memory_.ExchMemory, hasBackup);
    labBackup_->setText(hasBackup ? QStringLiteral("BACKUP")
                                  : QStringLiteral("BACKUP (nothing read from the exchange yet)"));
}

void UploadWindow::follow(UploadController &upload)
{
    upload_ = &upload;
    setWindowTitle(QStringLiteral("Sending Configuration"));
    setWindowModality(Qt::WindowModal);
    cmdCancel_->setText(QStringLiteral("Cancel Transfer"));
    showTransfer(true);
    tabs_->setCurrentIndex(0);
    changes_->setCurrentIndex(WaitingPage);
    pgbSection_->setValue(0);
    setResult(QString(), true);
    showTable(false);
    connect(&upload, &UploadController::phaseChanged, this,
            [this](Phase phase) { labStep_->setText(stepText(phase)); });
    connect(&upload, &LinkOperation::progress, this,
            [this](int value, int maximum, const QString &status) {
                pgbSection_->setRange(0, maximum);
                pgbSection_->setValue(value);
                if (!status.isEmpty())
                    sbPanel_->setText(status);
            });
    connect(&upload, &LinkOperation::retrying, this, [this](const QString &status, int retries) {
        sbPanel_->setText(status);
        labRetries_->setText(QStringLiteral("Replies asked for again: %1").arg(retries));
    });
    connect(&upload, &UploadController::boardsDiffer, this, &UploadWindow::showBoards);
    connect(&upload, &UploadController::backupRead, this, [this] { showTable(true); });
    connect(&upload, &UploadController::backupStored, this, &UploadWindow::setBackupFiles);
    connect(&upload, &UploadController::planReady, this, &UploadWindow::showPlan);
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

void UploadWindow::showBoards(const QList<SlotDifference> &differences)
{
    vsBoards_->clear();
    for (const SlotDifference &d : differences)
        new QTreeWidgetItem(vsBoards_, {slotTitle(d.slot), boardTypeName(d.configured),
                                        boardTypeName(d.installed)});
    for (int column = 0; column < vsBoards_->columnCount(); ++column)
        vsBoards_->resizeColumnToContents(column);
    changes_->setCurrentIndex(BoardsPage);
    tabs_->setCurrentIndex(0);
    labChanges_->setText(
        QStringLiteral("The exchange's cabinet holds other boards than this configuration is "
                       "made for, so it would not work there. Nothing has been written. Cancel, "
                       "or Send Anyway if the cabinet is about to be changed to match."));
    if (upload_ && upload_->awaiting() == UploadController::Decision::Boards)
        awaitDecision(QStringLiteral("Send &Anyway"));
}

void UploadWindow::showPlan()
{
    if (!upload_)
        return;
    const QList<Difference> plan = upload_->plan();
    vsPlan_->showDifferences(plan);
    changes_->setCurrentIndex(PlanPage);
    tabs_->setCurrentIndex(0);
    labChanges_->setText(
        plan.isEmpty()
            ? QStringLiteral("No differences: the exchange already holds this configuration. "
                             "Send writes it again.")
            : QStringLiteral("%1 in %2: what the exchange holds now, and what it will hold "
                             "after sending.")
                  .arg(countedDifferences(plan.size()), differenceSummary(plan)));
    if (upload_->awaiting() == UploadController::Decision::Plan)
        awaitDecision(QStringLiteral("&Send"));
}

void UploadWindow::awaitDecision(const QString &sendText)
{
    cmdSend_->setText(sendText);
    cmdSend_->show();
    // Enter stops: the exchange is only written on a deliberate Send.
    cmdCancel_->setDefault(true);
    cmdCancel_->setFocus();
    sbPanel_->setText(QStringLiteral("Waiting for your decision: nothing has been written."));
}

void UploadWindow::finish(const QString &result, bool good)
{
    setResult(result, good);
    cmdSend_->hide();
    cmdCancel_->setDefault(false);
    cmdCancel_->setText(QStringLiteral("Close"));
    // The sent image is what the NEW side shows from now on.
    showTable(hasBackup_);
}

void UploadWindow::setResult(const QString &text, bool good)
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

void UploadWindow::setBackupFiles(const QStringList &paths)
{
    backupFiles_ = paths;
    labBackupFiles_->setText(paths.isEmpty()
                                 ? QString()
                                 : QStringLiteral("Backup of what the exchange held: ") +
                                       QDir::toNativeSeparators(paths.value(0)));
}

QString UploadWindow::resultText() const
{
    return labResult_->text();
}

bool UploadWindow::isTransferring() const
{
    return upload_ && upload_->isRunning();
}

QString UploadWindow::stopQuestion() const
{
    switch (upload_->phase()) {
    case Phase::Clearing:
    case Phase::Writing:
    case Phase::FinalWords:
        return QStringLiteral("The exchange will be left with a partial configuration: its "
                              "memory has been cleared and not all of the new configuration has "
                              "been written.\nStop the transfer anyway?");
    case Phase::Verifying:
        return QStringLiteral("Everything has been written; only the check that reads it back "
                              "is unfinished, and the exchange has not been rebooted yet.\nStop "
                              "the check anyway?");
    case Phase::Rebooting:
        return QStringLiteral("Everything has been written and verified; the reboot is going "
                              "out. Stopped now, the exchange may need a reboot (Configuration > "
                              "Reboot Exchange).\nStop anyway?");
    default:
        return QStringLiteral("Nothing has been written to the exchange yet: stopping now leaves "
                              "it as it is.\nStop the transfer?");
    }
}

void UploadWindow::reject()
{
    if (!isTransferring()) {
        QDialog::reject();
        return;
    }
    if (upload_->awaiting() == UploadController::Decision::None) {
        // The transfer waits while the question is open, so the answer
        // never comes after the end.
        upload_->hold(true);
        Prompt prompt;
        prompt.kind = Prompt::Question;
        prompt.title = QStringLiteral("Cancel Transfer");
        prompt.text = stopQuestion();
        prompt.icon = QMessageBox::Question;
        prompt.buttons = QMessageBox::Yes | QMessageBox::No;
        prompt.defaultButton = QMessageBox::No; // Enter keeps the transfer going
        const auto answer = prompter().ask(this, prompt);
        upload_->hold(false);
        if (answer != QMessageBox::Yes || !isTransferring())
            return;
    }
    if (upload_->exchangeDisturbed())
        emit stoppedAfterClearing();
    upload_->cancel();
    // The window stays to show what happened.
}
