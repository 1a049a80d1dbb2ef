// The exchange side of the main window: the connection and its status
// field, and the Configuration menu's commands, each run as one operation
// on the line while everything else that talks to the exchange waits.
#include "MainWindow.h"

#include "CheckConfig.h"
#include "ConfigDocument.h"
#include "BoardsController.h"
#include "DefaultCabinet.h"
#include "DownloadController.h"
#include "ExchangeBackup.h"
#include "ExchangeConnection.h"
#include "ExchangeImage.h"
#include "ExchangeStatus.h"
#include "NavTree.h"
#include "Prompter.h"
#include "ServiceController.h"
#include "UploadController.h"
#include "TerminalWindow.h"
#include "DownloadWindow.h"
#include "PinPasswordDialog.h"
#include "UploadWindow.h"
#include "InstalledBoardsWindow.h"
#include "SplashScreen.h"
#include "ClockDialog.h"
#include "SerialLink.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QDir>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

namespace
{

const QString programTitle = QStringLiteral("helmWISE");

// "MV Test-20261206-101500" -> "MV Test": the system a backup file was taken for.
QString systemOfBackup(const QString &fileName)
{
    static const QRegularExpression stamp(QStringLiteral("-\\d{8}-\\d{6}(-\\d+)?$"));
    return QFileInfo(fileName).completeBaseName().remove(stamp);
}

// The status bar's connection field: a click asks for the module search.
class ConnectionField : public QLabel
{
  public:
    using QLabel::QLabel;
    std::function<void()> clicked;

  protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            clicked)
            clicked();
        QLabel::mouseReleaseEvent(event);
    }
};

} // namespace

void MainWindow::createExchange()
{
    exchange_ = new ExchangeConnection(this);
    exchangeStatus_ = new ExchangeStatus(status_, this);
    terminal_ = new TerminalWindow(*exchange_, this);
    auto *field = new ConnectionField(statusBar());
    field->clicked = [this] {
        if (exchange_->state() == ExchangeConnection::State::NoModule && !exchange_->isBusy())
            searchForModule();
    };
    connection_ = field;
    connection_->setObjectName(QStringLiteral("labConnection"));
    connection_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Connected: /dev/ttyACM0 ")));
    statusBar()->addPermanentWidget(connection_);
    connect(exchange_, &ExchangeConnection::stateChanged, this, &MainWindow::showConnectionState);
    connect(exchange_, &ExchangeConnection::busyChanged, this, &MainWindow::updateExchangeCommands);
    connect(exchange_, &ExchangeConnection::busyChanged, exchangeStatus_,
            &ExchangeStatus::lineBusy);
    connect(exchange_, &ExchangeConnection::disconnected, this, &MainWindow::onModuleLost);
    connect(&exchange_->link(), &SerialLink::notConnected, exchangeStatus_,
            &ExchangeStatus::showOutcome);
    showConnectionState();
}

void MainWindow::connectExchange(bool simulate, const QString &simulateFile)
{
    if (simulate) {
        QByteArray image = defaultCabinetImage();
        QString reason;
        if (!simulateFile.isEmpty() && !cabinetFromConfiguration(simulateFile, image, reason)) {
            prompter().message(this, QStringLiteral("Simulated Exchange"),
                               reason + QStringLiteral("\nThe simulator starts with its own small cabinet."),
                               QMessageBox::Warning);
            image = defaultCabinetImage();
        }
        exchange_->useSimulator(image);
        return;
    }
    exchange_->connectAtStart(moduleMessages(false));
}

ModuleMessages MainWindow::moduleMessages(bool notFoundBox)
{
    ModuleMessages messages;
    messages.splash = [](const QString &line) { splashMessage(line); };
    messages.critical = [this](const QString &title, const QString &text) {
        prompter().message(this, title, text, QMessageBox::Critical);
    };
    messages.notFoundBox = notFoundBox;
    return messages;
}

bool MainWindow::searchForModule()
{
    return exchange_->connectAtStart(moduleMessages(true));
}

void MainWindow::showConnectionState()
{
    connection_->setText(exchange_->stateText());
    switch (exchange_->state()) {
    case ExchangeConnection::State::NoModule:
        connection_->setToolTip(QStringLiteral("No Programming Module is open; the search "
                                               "repeats every 10 seconds. Click to search now."));
        break;
    case ExchangeConnection::State::Simulated:
        connection_->setToolTip(
            QStringLiteral("A simulated exchange inside helmWISE, not the ship's exchange."));
        break;
    default:
        connection_->setToolTip(QString());
        break;
    }
    // A click on the field asks for the search while no module is open.
    connection_->setCursor(exchange_->state() == ExchangeConnection::State::NoModule
                               ? Qt::PointingHandCursor
                               : Qt::ArrowCursor);
    if (connectSimulator_)
        connectSimulator_->setChecked(exchange_->isSimulated());
    updateExchangeCommands();
}

void MainWindow::updateExchangeCommands()
{
    const bool ready = exchange_->isOpen() && !exchange_->isBusy();
    for (QAction *action : std::as_const(exchangeActions_))
        action->setEnabled(ready);
    if (QMenu *config = findChild<QMenu *>(QStringLiteral("mnuConfig")))
        config->menuAction()->setEnabled(ready);
    if (connectSimulator_)
        connectSimulator_->setEnabled(!exchange_->isBusy() &&
                                      exchange_->state() != ExchangeConnection::State::Connected);
}

void MainWindow::onModuleLost(const QString &reason)
{
    exchangeStatus_->showOutcome(
        lineLostMessage(reason) +
        QStringLiteral(" The search for the Programming Module repeats every 10 seconds."));
}

bool MainWindow::exchangeReady(const QString &title)
{
    if (exchange_->isBusy()) {
        exchangeStatus_->showOutcome(
            title + QStringLiteral(": wait until the exchange command running now has ended."));
        return false;
    }
    // Asked for the exchange without a module: the search runs at once and
    // says what it found.
    return exchange_->isOpen() || searchForModule();
}

QString MainWindow::backupFolder() const
{
    return backupFolder_.isEmpty() ? defaultBackupFolder() : backupFolder_;
}

void MainWindow::connectSimulator(bool on)
{
    if (exchange_->isBusy()) {
        showConnectionState();
        return;
    }
    if (on)
        exchange_->useSimulator(defaultCabinetImage());
    else
        exchange_->useModule();
}

void MainWindow::getConfig()
{
    const QString title = QStringLiteral("Get Configuration");
    if (!exchangeReady(title))
        return;
    // The download replaces the configuration: unsaved work is offered for saving first.
    commitPanes();
    if (!askToSave(QStringLiteral("Do you wish to save the current file")))
        return;
    readExchange(title, [this](const QByteArray &image) { takeDownloadedImage(image); });
}

bool MainWindow::readExchange(const QString &title,
                           const std::function<void(const QByteArray &)> &take)
{
    auto *download = new DownloadController(exchange_->link(), exchange_->memory());
    if (!exchange_->claim(download)) {
        delete download;
        return false;
    }
    download->setVerifyReads(verifyDownload_->isChecked());
    auto *window = new DownloadWindow(*download, this);
    download->setParent(window);
    connect(download, &DownloadController::imageReady, this, take);
    connect(download, &LinkOperation::failed, this, [this, title](const QString &message) {
        // Told once the link has finished its own handling of the failure.
        QTimer::singleShot(0, this, [this, title, message] {
            prompter().message(this, title,
                               QStringLiteral("The configuration could not be read from the "
                                              "exchange:\n") +
                                   message +
                                   QStringLiteral("\nThe configuration in the editor is unchanged."),
                               QMessageBox::Critical);
        });
    });
    connect(download, &LinkOperation::cancelled, this, [this, title] {
        exchangeStatus_->showOutcome(
            title + QStringLiteral(" cancelled: the configuration in the editor is unchanged."));
    });
    window->show();
    download->start();
    return true;
}

void MainWindow::sendConfig()
{
    const QString title = QStringLiteral("Send Configuration");
    // A field still being typed is part of what is sent.
    commitPanes();
    runCheck();
    if (lastCheck_.errorsFound) {
        prompter().message(this, title, sendRefusalText(), QMessageBox::Critical);
        return;
    }
    if (!exchangeReady(title))
        return;
    const Configuration config = doc_.config;
    runUpload(title, config.SysConfig.Name,
              [this, config](UploadController &upload, QString *refusal) {
                  connect(&upload, &UploadController::memberNotFound, this, [this](int) {
                      prompter().message(this, programTitle,
                                         QStringLiteral("Can not find extension"));
                  });
                  return upload.start(config, refusal);
              });
}

void MainWindow::restoreBackup()
{
    const QString title = QStringLiteral("Restore Exchange Backup");
    if (!exchangeReady(title))
        return;
    Prompt prompt;
    prompt.kind = Prompt::OpenFile;
    prompt.title = title;
    prompt.filter = QStringLiteral("Exchange Backups (*.bin);;All Files (*)");
    prompt.proposedName = backupFolder();
    prompt.newestFirst = true;
    const QString name = prompter().chooseFile(this, prompt);
    if (name.isEmpty())
        return;
    QFile file(name);
    const bool opened = file.open(QIODevice::ReadOnly);
    // Only an image of exactly the exchange's size is read, whatever the file holds.
    const QByteArray image =
        opened && file.size() == ExchMap::MemorySize ? file.readAll() : QByteArray();
    if (image.size() != ExchMap::MemorySize) {
        prompter().failure(this, title, QStringLiteral("Unable to restore"), name,
                           opened ? QStringLiteral("The file holds %1 bytes; an exchange backup "
                                                   "holds %2.")
                                        .arg(file.size())
                                        .arg(ExchMap::MemorySize)
                                  : file.errorString());
        return;
    }
    if (const QString problem = configurationImageProblem(image); !problem.isEmpty()) {
        prompter().failure(
            this, title, QStringLiteral("Unable to restore"), name,
            QStringLiteral("This is not an exchange configuration: %1.").arg(problem));
        return;
    }
    if (!prompter().confirmRisky(this, title,
                                 QStringLiteral("Send the backup %1 to the exchange?\nIt replaces "
                                                "the configuration the exchange holds now.")
                                     .arg(QFileInfo(name).fileName())))
        return;
    runUpload(title, systemOfBackup(name), [image](UploadController &upload, QString *refusal) {
        return upload.startImage(image, refusal);
    });
}

void MainWindow::runUpload(const QString &title, const QString &systemName,
                        const std::function<bool(UploadController &, QString *)> &start)
{
    auto *upload = new UploadController(exchange_->link(), exchange_->memory());
    if (!exchange_->claim(upload)) {
        delete upload;
        return;
    }
    auto *window = new UploadWindow(exchange_->memory(), this);
    upload->setParent(window);
    // The technician sees the plan and says Send before anything is written.
    UploadOptions options;
    options.confirmPlan = true;
    upload->setOptions(options);
    window->follow(*upload);
    // What the exchange held is kept on disk before anything is written.
    const QString folder = backupFolder();
    upload->setBackupSink([folder, systemName](const QByteArray &image, QString *error) {
        const BackupFiles files = writeExchangeBackup(folder, systemName, image);
        *error = files.error;
        return files.paths;
    });
    connect(upload, &UploadController::backupRead, this, [this] { backupShown_ = true; });
    connect(upload, &LinkOperation::finished, this, [this, title] {
        exchangeStatus_->showOutcome(
            title + QStringLiteral(": the exchange holds the new configuration (verified)."));
    });
    connect(upload, &LinkOperation::failed, this, [this, title, window](const QString &message) {
        QPointer<UploadWindow> shown(window);
        QTimer::singleShot(0, this, [this, title, message, shown] {
            QString text = message;
            if (shown && !shown->backupFiles().isEmpty())
                text += QStringLiteral("\nThe backup taken before this upload: ") +
                        QDir::toNativeSeparators(shown->backupFiles().constFirst());
            prompter().message(shown ? static_cast<QWidget *>(shown.data()) : this, title, text,
                               QMessageBox::Critical);
        });
    });
    window->show();
    QString refusal;
    if (!start(*upload, &refusal)) {
        exchange_->abandon(upload);
        window->setResult(QStringLiteral("Nothing was sent.") +
                              (refusal.isEmpty() ? QString() : u' ' + refusal),
                          false);
    }
}

void MainWindow::showRawData()
{
    auto *window = new UploadWindow(exchange_->memory(), this);
    window->showTable(backupShown_);
    window->show();
}

void MainWindow::takeDownloadedImage(const QByteArray &image)
{
    Configuration downloaded = doc_.config;
    if (!decodeExchMemory(image, downloaded)) {
        prompter().message(this, QStringLiteral("Get Configuration"),
                           QStringLiteral("The exchange sent an image that cannot be read."),
                           QMessageBox::Critical);
        return;
    }
    backupShown_ = true;
    // The exchange's configuration is not the file that was open: it starts
    // unnamed and unsaved, so Save never puts generated names over that file.
    doc_.replaceConfiguration(downloaded, QStringLiteral("Get Configuration"));
    setTitleForFile();
    afterConfigurationReplaced();
    exchangeStatus_->showOutcome(QStringLiteral("Configuration read from the exchange."));
}

void MainWindow::setTiePin()
{
    if (exchangeReady(QStringLiteral("Set Tie PIN")))
        openServiceDialog(new PinPasswordDialog(*exchange_, PinPasswordDialog::Pin, this));
}

void MainWindow::setPassword()
{
    if (exchangeReady(QStringLiteral("Set Password")))
        openServiceDialog(new PinPasswordDialog(*exchange_, PinPasswordDialog::Password, this));
}

void MainWindow::setDateAndTime()
{
    if (exchangeReady(QStringLiteral("Set Date and Time")))
        openServiceDialog(new ClockDialog(*exchange_, this));
}

void MainWindow::openServiceDialog(ServiceDialog *dialog)
{
    connect(dialog, &ServiceDialog::confirmed, exchangeStatus_, &ExchangeStatus::showOutcome);
    dialog->open();
}

ServiceController *MainWindow::startServiceCommand(const QString &title, const QString &failureLead)
{
    auto *service = new ServiceController(exchange_->link(), this);
    if (!exchange_->claim(service)) {
        delete service;
        return nullptr;
    }
    connect(service, &LinkOperation::failed, this, [this, title, failureLead](const QString &message) {
        QTimer::singleShot(0, this, [this, title, failureLead, message] {
            prompter().message(this, title, failureLead + message, QMessageBox::Warning);
        });
    });
    for (auto ending : {&LinkOperation::finished, &LinkOperation::cancelled})
        connect(service, ending, service, &QObject::deleteLater);
    connect(service, &LinkOperation::failed, service, &QObject::deleteLater);
    return service;
}

void MainWindow::getVersion()
{
    const QString title = QStringLiteral("Get Version");
    if (!exchangeReady(title))
        return;
    ServiceController *service =
        startServiceCommand(title, QStringLiteral("The firmware version could not be read:\n"));
    if (!service)
        return;
    connect(service, &ServiceController::valueRead, this, [this](const QString &text) {
        QTimer::singleShot(0, this, [this, text] { prompter().message(this, programTitle, text); });
    });
    exchangeStatus_->showProgress(QStringLiteral("Asking the exchange for its firmware version…"));
    service->readVersion();
}

void MainWindow::rebootExchange()
{
    const QString title = QStringLiteral("Reboot Exchange");
    if (!exchangeReady(title))
        return;
    if (!prompter().confirmRisky(this, programTitle,
                                 QStringLiteral("Are you sure you want to reboot the tidelex?")))
        return;
    ServiceController *service =
        startServiceCommand(title, QStringLiteral("The exchange could not be rebooted:\n"));
    if (!service)
        return;
    connect(service, &LinkOperation::finished, this, [this] {
        exchangeStatus_->showOutcome(QStringLiteral("The exchange has been told to reboot."));
    });
    service->reboot();
}

void MainWindow::showInstalledBoards()
{
    if (!exchangeReady(QStringLiteral("Show Installed Boards")))
        return;
    // One Slots Display: asked again, the open one reads the cabinet afresh.
    InstalledBoardsWindow *window = nullptr;
    for (InstalledBoardsWindow *open : findChildren<InstalledBoardsWindow *>(Qt::FindDirectChildrenOnly)) {
        if (open->isVisible())
            window = open;
    }
    const bool created = !window;
    if (created) {
        window = new InstalledBoardsWindow(doc_, exchange_->link(), this);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (!exchange_->claim(&window->operation())) {
        if (created)
            delete window;
        return;
    }
    window->show();
    window->raise();
    window->askExchange();
}
