#pragma once
// The main window's side of the exchange: the connection to the
// Programming Module (or the built-in simulator) and its field in the
// status bar, and the commands that talk to the exchange: Get and Send
// Configuration, Restore Exchange Backup, the installed boards, the clock,
// the tie PIN and password, the firmware version, the reboot and the
// traffic terminal. Each runs as one operation on the line while everything
// else that talks to the exchange waits; what it asks or tells goes through
// the Prompter, how it ended to the status field.
#include <QList>
#include <QObject>

#include <functional>

class ConfigDocument;
class ExchangeConnection;
class ExchangeStatus;
class FileCommands;
class QAction;
class QLabel;
class QMainWindow;
class ServiceController;
class ServiceDialog;
class TerminalWindow;
class UploadController;
struct ModuleMessages;

class ExchangeCommands : public QObject
{
    Q_OBJECT
  public:
    // The windows the commands open are `window`'s; their outcome is told in
    // `status`, and the connection in a field of the window's status bar.
    // Get Configuration asks `files` to keep unsaved work.
    ExchangeCommands(ConfigDocument &doc, FileCommands &files, QMainWindow &window, QLabel &status);
    ~ExchangeCommands() override;

    ExchangeConnection &connection() { return *exchange_; }
    // The traffic terminal, created hidden.
    TerminalWindow &terminal() { return *terminal_; }
    // "Connect to Simulator", checked while the simulator stands in.
    QAction *simulatorAction() const { return simulator_; }
    // A command that needs the exchange: enabled while the line is open and free.
    void addLineCommand(QAction *action);

    // The start-up module search, or the built-in simulator starting as the
    // cabinet `simulateFile` describes (the default cabinet when empty). Run
    // once, after the load step. Without a module no box stands in the way
    // at start: the status field says it, and the search goes on quietly.
    void connectAtStart(bool simulate, const QString &simulateFile = QString());
    // The module search at once, telling what it finds (a module in use, or
    // none at all); true when the line is open afterwards.
    bool searchForModule();
    // Whether the command `title` may use the line now: a busy line is told
    // in the status field, a missing module makes the search run at once.
    bool lineReady(const QString &title);
    // Reads the exchange's memory in the download window under `title` and
    // hands the image to `take`; failures and cancelling are told. False
    // when the line could not be had.
    bool readExchange(const QString &title, const std::function<void(const QByteArray &)> &take);
    // Where upload backups go; "backups" under the program's data folder
    // unless set otherwise (tests keep theirs in a scratch folder).
    void setBackupFolder(const QString &folder) { backupFolder_ = folder; }
    QString backupFolder() const;
    // The window closes: a transfer still running is stopped once the
    // technician agrees (false: the window stays), and the terminal closes.
    bool closeDown();

    void getConfig();
    // Sends the open configuration, refused when its check found errors.
    void sendConfig(bool errorsFound);
    void restoreBackup();
    void showRawData();
    void setTiePin();
    void setPassword();
    void setDateAndTime();
    void getVersion();
    void rebootExchange();
    // The boards the exchange reports, beside the configuration's.
    void showInstalledBoards();
    void connectSimulator(bool on);
    void showTerminal();

  signals:
    // Get Configuration put the exchange's configuration in place of the open one.
    void configurationReplaced();

  private:
    void updateCommands();
    void showConnectionState();
    void onModuleLost(const QString &reason);
    // What the module search tells: start-up lines, and boxes (the closing
    // not-found box only when `notFoundBox`).
    ModuleMessages moduleMessages(bool notFoundBox);
    void takeDownloadedImage(const QByteArray &image);
    // A service command on its own controller, holding the line; its failure
    // is told under `title`. Null while another command runs.
    ServiceController *startServiceCommand(const QString &title, const QString &failureLead);
    // Opens a PIN, password or clock dialog; what it sets is told in the status field.
    void openServiceDialog(ServiceDialog *dialog);
    // The upload window and its controller for `image` (a configuration's,
    // or a backup being restored), with the backup kept under `systemName`.
    // `start` returns false with the reason when nothing could be sent.
    void runUpload(const QString &title, const QString &systemName,
                   const std::function<bool(UploadController &, QString *)> &start);

    ConfigDocument &doc_;
    FileCommands &files_;
    QMainWindow &window_;
    ExchangeConnection *exchange_ = nullptr;
    ExchangeStatus *status_ = nullptr;
    TerminalWindow *terminal_ = nullptr;
    QLabel *connection_ = nullptr;
    QAction *simulator_ = nullptr;
    QList<QAction *> lineCommands_;
    // A download or an upload's backup has filled the BACKUP image.
    bool backupShown_ = false;
    QString backupFolder_;
};
