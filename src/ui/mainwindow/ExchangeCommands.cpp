#include "ExchangeCommands.h"

#include "AppSettings.h"
#include "BoardsController.h"
#include "CheckConfig.h"
#include "ClockDialog.h"
#include "ConfigDocument.h"
#include "DefaultCabinet.h"
#include "DownloadController.h"
#include "DownloadWindow.h"
#include "ExchangeBackup.h"
#include "ExchangeConnection.h"
#include "ExchangeImage.h"
#include "ExchangeStatus.h"
#include "FileCommands.h"
#include "InstalledBoardsWindow.h"
#include "PinPasswordDialog.h"
#include "Prompter.h"
#include "SerialLink.h"
#include "ServiceController.h"
#include "SplashScreen.h"
#include "TerminalWindow.h"
#include "UploadController.h"
#include "UploadWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
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

ExchangeCommands::ExchangeCommands(ConfigDocument &doc, FileCommands &files, QMainWindow &window,
                                   QLabel &status)
    : QObject(&window), doc_(doc), files_(files), window_(window)
{
    exchange_ = new ExchangeConnection(this);
    status_ = new ExchangeStatus(&status, this);
    terminal_ = new TerminalWindow(*exchange_, &window);
    simulator_ = new QAction(QStringLiteral("Connect to &Simulator"), this);
    simulator_->setObjectName(QStringLiteral("mnuToolsSimulator"));
    simulator_->setCheckable(true);
    simulator_->setToolTip(
        QStringLiteral("Work with a simulated exchange inside helmWISE, for training"));
    connect(simulator_, &QAction::triggered, this, &ExchangeCommands::connectSimulator);
    auto *field = new ConnectionField(window.statusBar());
    field->clicked = [this] {
        if (exchange_->state() == ExchangeConnection::State::NoModule && !exchange_->isBusy())
            searchForModule();
    };
    connection_ = field;
    connection_->setObjectName(QStringLiteral("labConnection"));
    connection_->setMinimumWidth(
        window.fontMetrics().horizontalAdvance(QStringLiteral("Connected: /dev/ttyACM0 ")));
    window.statusBar()->addPermanentWidget(connection_);
    connect(exchange_, &ExchangeConnection::stateChanged, this,
            &ExchangeCommands::showConnectionState);
    connect(exchange_, &ExchangeConnection::busyChanged, this, &ExchangeCommands::updateCommands);
    connect(exchange_, &ExchangeConnection::busyChanged, status_, &ExchangeStatus::lineBusy);
    connect(exchange_, &ExchangeConnection::disconnected, this, &ExchangeCommands::onModuleLost);
    connect(&exchange_->link(), &SerialLink::notConnected, status_, &ExchangeStatus::showOutcome);
    showConnectionState();
}

ExchangeCommands::~ExchangeCommands()
{
    // The connection goes while the field and the actions it keeps in step still stand.
    delete exchange_;
}

void ExchangeCommands::addLineCommand(QAction *action)
{
    lineCommands_ << action;
    updateCommands();
}

void ExchangeCommands::connectAtStart(bool simulate, const QString &simulateFile)
{
    if (simulate) {
        QByteArray image = defaultCabinetImage();
        QString reason;
        if (!simulateFile.isEmpty() && !cabinetFromConfiguration(simulateFile, image, reason)) {
            prompter().message(
                &window_, QStringLiteral("Simulated Exchange"),
                reason + QStringLiteral("\nThe simulator starts with its own small cabinet."),
                QMessageBox::Warning);
            image = defaultCabinetImage();
        }
        exchange_->useSimulator(image);
        return;
    }
    exchange_->connectAtStart(moduleMessages(false));
}

ModuleMessages ExchangeCommands::moduleMessages(bool notFoundBox)
{
    ModuleMessages messages;
    messages.splash = [](const QString &line) { splashMessage(line); };
    messages.critical = [this](const QString &title, const QString &text) {
        prompter().message(&window_, title, text, QMessageBox::Critical);
    };
    messages.notFoundBox = notFoundBox;
    return messages;
}

bool ExchangeCommands::searchForModule()
{
    return exchange_->connectAtStart(moduleMessages(true));
}

void ExchangeCommands::showConnectionState()
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
    simulator_->setChecked(exchange_->isSimulated());
    updateCommands();
}

void ExchangeCommands::updateCommands()
{
    const bool ready = exchange_->isOpen() && !exchange_->isBusy();
    for (QAction *action : std::as_const(lineCommands_))
        action->setEnabled(ready);
    simulator_->setEnabled(!exchange_->isBusy() &&
                           exchange_->state() != ExchangeConnection::State::Connected);
}

void ExchangeCommands::onModuleLost(const QString &reason)
{
    status_->showOutcome(
        lineLostMessage(reason) +
        QStringLiteral(" The search for the Programming Module repeats every 10 seconds."));
}

bool ExchangeCommands::lineReady(const QString &title)
{
    if (exchange_->isBusy()) {
        status_->showOutcome(
            title + QStringLiteral(": wait until the exchange command running now has ended."));
        return false;
    }
    // Asked for the exchange without a module: the search runs at once and
    // says what it found.
    return exchange_->isOpen() || searchForModule();
}

QString ExchangeCommands::backupFolder() const
{
    return backupFolder_.isEmpty() ? defaultBackupFolder() : backupFolder_;
}

void ExchangeCommands::connectSimulator(bool on)
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

void ExchangeCommands::getConfig()
{
    const QString title = QStringLiteral("Get Configuration");
    if (!lineReady(title))
        return;
    // The download replaces the configuration: unsaved work is offered for saving first.
    if (!files_.askToSave(QStringLiteral("Do you wish to save the current file")))
        return;
    readExchange(title, [this](const QByteArray &image) { takeDownloadedImage(image); });
}

bool ExchangeCommands::readExchange(const QString &title,
                                    const std::function<void(const QByteArray &)> &take)
{
    auto *download = new DownloadController(exchange_->link(), exchange_->memory());
    if (!exchange_->claim(download)) {
        delete download;
        return false;
    }
    download->setVerifyReads(AppSettings::readTwiceToVerify());
    auto *window = new DownloadWindow(*download, &window_);
    download->setParent(window);
    connect(download, &DownloadController::imageReady, this, take);
    connect(download, &LinkOperation::failed, this, [this, title](const QString &message) {
        // Told once the link has finished its own handling of the failure.
        QTimer::singleShot(0, this, [this, title, message] {
            prompter().message(
                &window_, title,
                QStringLiteral("The configuration could not be read from the "
                               "exchange:\n") +
                    message + QStringLiteral("\nThe configuration in the editor is unchanged."),
                QMessageBox::Critical);
        });
    });
    connect(download, &LinkOperation::cancelled, this, [this, title] {
        status_->showOutcome(
            title + QStringLiteral(" cancelled: the configuration in the editor is unchanged."));
    });
    window->show();
    download->start();
    return true;
}

void ExchangeCommands::sendConfig(bool errorsFound)
{
    const QString title = QStringLiteral("Send Configuration");
    if (errorsFound) {
        prompter().message(&window_, title, sendRefusalText(), QMessageBox::Critical);
        return;
    }
    if (!lineReady(title))
        return;
    const Configuration config = doc_.config;
    runUpload(title, config.SysConfig.Name,
              [this, config](UploadController &upload, QString *refusal) {
                  connect(&upload, &UploadController::memberNotFound, this, [this](int) {
                      prompter().message(&window_, programTitle,
                                         QStringLiteral("Can not find extension"));
                  });
                  return upload.start(config, refusal);
              });
}

void ExchangeCommands::restoreBackup()
{
    const QString title = QStringLiteral("Restore Exchange Backup");
    if (!lineReady(title))
        return;
    Prompt prompt;
    prompt.kind = Prompt::OpenFile;
    prompt.title = title;
    prompt.filter = QStringLiteral("Exchange Backups (*.bin);;All Files (*)");
    prompt.proposedName = backupFolder();
    prompt.newestFirst = true;
    const QString name = prompter().chooseFile(&window_, prompt);
    if (name.isEmpty())
        return;
    QFile file(name);
    const bool opened = file.open(QIODevice::ReadOnly);
    // Only an image of exactly the exchange's size is read, whatever the file holds.
    const QByteArray image =
        opened && file.size() == ExchMap::MemorySize ? file.readAll() : QByteArray();
    if (image.size() != ExchMap::MemorySize) {
        prompter().failure(&window_, title, QStringLiteral("Unable to restore"), name,
                           opened ? QStringLiteral("The file holds %1 bytes; an exchange backup "
                                                   "holds %2.")
                                        .arg(file.size())
                                        .arg(ExchMap::MemorySize)
                                  : file.errorString());
        return;
    }
    if (const QString problem = configurationImageProblem(image); !problem.isEmpty()) {
        prompter().failure(
            &window_, title, QStringLiteral("Unable to restore"), name,
            QStringLiteral("This is not an exchange configuration: %1.").arg(problem));
        return;
    }
    if (!prompter().confirmRisky(&window_, title,
                                 QStringLiteral("Send the backup %1 to the exchange?\nIt replaces "
                                                "the configuration the exchange holds now.")
                                     .arg(QFileInfo(name).fileName())))
        return;
    runUpload(title, systemOfBackup(name), [image](UploadController &upload, QString *refusal) {
        return upload.startImage(image, refusal);
    });
}

void ExchangeCommands::runUpload(const QString &title, const QString &systemName,
                                 const std::function<bool(UploadController &, QString *)> &start)
{
    auto *upload = new UploadController(exchange_->link(), exchange_->memory());
    if (!exchange_->claim(upload)) {
        delete upload;
        return;
    }
    auto *window = new UploadWindow(exchange_->memory(), &window_);
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
        status_->showOutcome(
            title + QStringLiteral(": the exchange holds the new configuration (verified)."));
    });
    connect(upload, &LinkOperation::failed, this, [this, title, window](const QString &message) {
        QPointer<UploadWindow> shown(window);
        QTimer::singleShot(0, this, [this, title, message, shown] {
            QString text = message;
            if (shown && !shown->backupFiles().isEmpty())
                text += QStringLiteral("\nThe backup taken before this upload: ") +
                        QDir::toNativeSeparators(shown->backupFiles().constFirst());
            prompter().message(shown ? static_cast<QWidget *>(shown.data()) : &window_, title, text,
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

void ExchangeCommands::showRawData()
{
    auto *window = new UploadWindow(exchange_->memory(), &window_);
    window->showTable(backupShown_);
    window->show();
}

void ExchangeCommands::takeDownloadedImage(const QByteArray &image)
{
    Configuration downloaded = doc_.config;
    if (!decodeExchMemory(image, downloaded)) {
        prompter().message(&window_, QStringLiteral("Get Configuration"),
                           QStringLiteral("The exchange sent an image that cannot be read."),
                           QMessageBox::Critical);
        return;
    }
    backupShown_ = true;
    // The exchange's configuration is not the file that was open: it starts
    // unnamed and unsaved, so Save never puts generated names over that file.
    doc_.replaceConfiguration(downloaded, QStringLiteral("Get Configuration"));
    emit configurationReplaced();
    status_->showOutcome(QStringLiteral("Configuration read from the exchange."));
}

void ExchangeCommands::setTiePin()
{
    if (lineReady(QStringLiteral("Set Tie PIN")))
        openServiceDialog(new PinPasswordDialog(*exchange_, PinPasswordDialog::Pin, &window_));
}

void ExchangeCommands::setPassword()
{
    if (lineReady(QStringLiteral("Set Password")))
        openServiceDialog(new PinPasswordDialog(*exchange_, PinPasswordDialog::Password, &window_));
}

void ExchangeCommands::setDateAndTime()
{
    if (lineReady(QStringLiteral("Set Date and Time")))
        openServiceDialog(new ClockDialog(*exchange_, &window_));
}

void ExchangeCommands::openServiceDialog(ServiceDialog *dialog)
{
    connect(dialog, &ServiceDialog::confirmed, status_, &ExchangeStatus::showOutcome);
    dialog->open();
}

ServiceController *ExchangeCommands::startServiceCommand(const QString &title,
                                                         const QString &failureLead)
{
    auto *service = new ServiceController(exchange_->link(), this);
    if (!exchange_->claim(service)) {
        delete service;
        return nullptr;
    }
    connect(
        service, &LinkOperation::failed, this, [this, title, failureLead](const QString &message) {
            QTimer::singleShot(0, this, [this, title, failureLead, message] {
                prompter().message(&window_, title, failureLead + message, QMessageBox::Warning);
            });
        });
    for (auto ending : {&LinkOperation::finished, &LinkOperation::cancelled})
        connect(service, ending, service, &QObject::deleteLater);
    connect(service, &LinkOperation::failed, service, &QObject::deleteLater);
    return service;
}

void ExchangeCommands::getVersion()
{
    const QString title = QStringLiteral("Get Version");
    if (!lineReady(title))
        return;
    ServiceController *service =
        startServiceCommand(title, QStringLiteral("The firmware version could not be read:\n"));
    if (!service)
        return;
    connect(service, &ServiceController::valueRead, this, [this](const QString &text) {
        QTimer::singleShot(0, this,
                           [this, text] { prompter().message(&window_, programTitle, text); });
    });
    status_->showProgress(QStringLiteral("Asking the exchange for its firmware version…"));
    service->readVersion();
}

void ExchangeCommands::rebootExchange()
{
    const QString title = QStringLiteral("Reboot Exchange");
    if (!lineReady(title))
        return;
    if (!prompter().confirmRisky(&window_, programTitle,
                                 QStringLiteral("Are you sure you want to reboot the tidelex?")))
        return;
    ServiceController *service =
        startServiceCommand(title, QStringLiteral("The exchange could not be rebooted:\n"));
    if (!service)
        return;
    connect(service, &LinkOperation::finished, this, [this] {
        status_->showOutcome(QStringLiteral("The exchange has been told to reboot."));
    });
    service->reboot();
}

void ExchangeCommands::showInstalledBoards()
{
    if (!lineReady(QStringLiteral("Show Installed Boards")))
        return;
    // One Slots Display: asked again, the open one reads the cabinet afresh.
    InstalledBoardsWindow *window = nullptr;
    for (InstalledBoardsWindow *open :
         window_.findChildren<InstalledBoardsWindow *>(Qt::FindDirectChildrenOnly)) {
        if (open->isVisible())
            window = open;
    }
    const bool created = !window;
    if (created) {
        window = new InstalledBoardsWindow(doc_, exchange_->link(), &window_);
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

void ExchangeCommands::showTerminal()
{
    terminal_->show();
    terminal_->raise();
    terminal_->activateWindow();
}

bool ExchangeCommands::closeDown()
{
    if (exchange_->isBusy()) {
        QString question = QStringLiteral("A transfer with the exchange is still running; "
                                          "closing stops it.");
        const auto *upload = qobject_cast<const UploadController *>(exchange_->running());
        if (upload && upload->exchangeDisturbed())
            question += u'\n' + partialConfigurationMessage();
        if (!prompter().confirmRisky(&window_, programTitle,
                                     question + QStringLiteral("\nClose anyway?")))
            return false;
        exchange_->running()->cancel();
    }
    terminal_->setAppClosing(true);
    terminal_->close();
    return true;
}
