#pragma once
// The main window: the navigation tree on the left, the list, grid, pane or
// report on the right, the error list below, menus, toolbar and status bar.
// It owns the file commands and keeps the title, the error list and the
// tree highlights in step with the configuration.
#include "CheckConfig.h"
#include "EditPane.h"
#include "ListTexts.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

class ConfigDocument;
class ExchangeConnection;
class ExchangeStatus;
struct ModuleMessages;
class ServiceController;
class ServiceDialog;
class UploadController;
class TerminalWindow;
class ErrorList;
class FindBar;
class HelpWindow;
class NavTree;
class PortGrid;
class PortList;
class QActionGroup;
class QLabel;
class QScrollArea;
class QSplitter;
class QStackedWidget;
class ReportView;
class CompareWindow;
class NewSystemDialog;

class MainWindow : public QMainWindow
{
    Q_OBJECT
  public:
    explicit MainWindow(ConfigDocument &doc, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The load step: recent files, the file named on the command line (or a
    // new configuration), view options. (The constructor restores the
    // window's placement.)
    void loadStep(const QString &commandLine);

    // File operations.
    bool doLoadFile(const QString &fileName, bool fromRecentOrTemplate);
    void newConfiguration();
    bool fileSave();
    bool doSaveAs();
    void fileNew();
    void fileOpen();
    void openRecent(const QString &path);
    void doExport();
    void saveReport();
    void printReport();
    void buildMRU();
    // File > Compare With File and Configuration > Compare with Exchange:
    // the differences in a window of their own; the open configuration stays.
    void compareWithFile();
    void compareWithExchange();

    // Edit menu: undo and redo of the document's steps; cut, copy and paste
    // on the focused field or the details grid; find.
    void editUndo();
    void editRedo();
    void editCut();
    void editCopy();
    void editPaste();
    void editFind();
    // Narrows the list, grid and tree to the records matching `text`.
    void applyFind(const QString &text);

    // Tree, views and check.
    void buildTree();
    void runCheck();
    void showNode(const QString &key);
    void navigateTo(const QString &reference);
    void showList(ListCategory category);
    void setListViewMode(int mode);
    int listViewMode() const { return viewMode_; }
    void setErrorListShown(bool shown);
    bool errorsFound() const { return lastCheck_.errorsFound; }
    const CheckResult &lastCheck() const { return lastCheck_; }
    // The right-hand view now shown (its objectName: "lvPorts", "vspData1"...).
    QWidget *currentView() const;
    ConfigDocument &document() { return doc_; }

    // The exchange: the start-up module search, or the built-in simulator
    // starting as the cabinet `simulateFile` describes (the default cabinet
    // when empty). Run once, after the load step. Without a module no box
    // stands in the way at start: the status field says it, and the search
    // goes on quietly.
    void connectExchange(bool simulate, const QString &simulateFile = QString());
    // The module search at once, telling what it finds (a module in use, or
    // none at all); true when the line is open afterwards. Run when the
    // technician asks for the exchange while no module is open.
    bool searchForModule();
    ExchangeConnection &exchange() { return *exchange_; }
    // The traffic terminal, created hidden with the window.
    TerminalWindow &terminal() { return *terminal_; }

    // Configuration menu commands.
    void getConfig();
    void sendConfig();
    void showRawData();
    void restoreBackup();
    void setTiePin();
    void setPassword();
    void setDateAndTime();
    void getVersion();
    void rebootExchange();
    // The boards the exchange reports, beside the configuration's (InstalledBoardsWindow).
    void showInstalledBoards();
    void connectSimulator(bool on);
    // Where upload backups go; "backups" under the program's data folder
    // unless set otherwise (tests keep theirs in a scratch folder).
    void setBackupFolder(const QString &folder) { backupFolder_ = folder; }
    QString backupFolder() const;

    // The file a new configuration starts from; "default.TWZ" beside the program.
    static void setTemplateFile(const QString &path);
    static QString templateFile();
    // How the New System dialog is run (tests answer it without a window).
    using NewSystemRunner = std::function<int(NewSystemDialog &)>;
    static void setNewSystemRunner(NewSystemRunner runner);

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    void createViews();
    void createActions();
    void createMenus();
    void createToolBar();
    void placeErrorSplitter();
    void restoreWindowSettings();
    void restoreSplitters();
    void storeWindowSettings();
    void setTitleForFile();
    void setStatus(const QString &text);
    void showView(QWidget *view);
    // The editing pane of a kind of record, and the one on view (null for none).
    EditPane *pane(PaneKind kind) const { return panes_[size_t(kind)]; }
    EditPane *shownPane() const;
    void showPane(PaneKind kind, int index);
    void showSystemPane();
    void showReportNode(int number);
    void hideReportOptions(bool hidden);
    void commitPanes();
    void afterConfigurationReplaced();
    void newSystemMade(const Configuration &made);
    // The save question; false when the command must stop.
    bool askToSave(const QString &question);
    bool writeTo(const QString &fileName, const QString &action);
    void onRenamed(const QString &key, const QString &text);
    void onEdited();
    void moveInHistory(bool back);
    // An undo or redo: every view shows the configuration again.
    void onRestored(const QString &key);
    void refreshCurrentView();
    bool showRestoredRecord(const QString &key);
    void updateEditActions();
    void openFirstFound();
    void showComparison(const Configuration &other, const QString &otherName,
                        const QString &title, bool ignoreNames);
    void showHelpWindow(bool search);
    void showClassRights();
    void showAbout();
    // Exchange side of the window (MainWindowExchange.cpp).
    void createExchange();
    void updateExchangeCommands();
    void showConnectionState();
    void onModuleLost(const QString &reason);
    bool exchangeReady(const QString &title);
    // What the module search tells: start-up lines, and boxes (the closing
    // not-found box only when `notFoundBox`).
    ModuleMessages moduleMessages(bool notFoundBox);
    void takeDownloadedImage(const QByteArray &image);
    // Reads the exchange's memory in the download window under `title` and
    // hands the image to `take`; failures and cancelling are told. False
    // when the line could not be had.
    bool readExchange(const QString &title, const std::function<void(const QByteArray &)> &take);
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
    CheckResult lastCheck_;
    int viewMode_ = 0;

    NavTree *tree_ = nullptr;
    PortList *list_ = nullptr;
    PortGrid *grid_ = nullptr;
    ReportView *report_ = nullptr;
    // By kind of record: the editing pane vspData n and its scrolling frame.
    std::array<EditPane *, PaneKinds> panes_{};
    std::array<QScrollArea *, PaneKinds> vspData_{};
    QStackedWidget *views_ = nullptr;
    QSplitter *vSplitter_ = nullptr;
    QSplitter *hSplitter_ = nullptr;
    QWidget *errorArea_ = nullptr;
    ErrorList *errors_ = nullptr;
    QLabel *status_ = nullptr;
    QLabel *connection_ = nullptr;
    ExchangeConnection *exchange_ = nullptr;
    ExchangeStatus *exchangeStatus_ = nullptr;
    TerminalWindow *terminal_ = nullptr;
    QList<QAction *> exchangeActions_;
    QAction *connectSimulator_ = nullptr;
    QAction *verifyDownload_ = nullptr;
    // A download or an upload's backup has filled the BACKUP image.
    bool backupShown_ = false;
    QString backupFolder_;
    QPointer<HelpWindow> help_;
    QPointer<CompareWindow> compare_;
    FindBar *findBar_ = nullptr;

    QActionGroup *viewModes_ = nullptr;
    QList<QAction *> modeActions_;
    QList<QAction *> sortActions_;
    QList<QAction *> mruActions_;
    QAction *viewBar3_ = nullptr;
    QAction *mruBar_ = nullptr;
    QAction *viewToolbar_ = nullptr;
    QAction *viewStatusBar_ = nullptr;
    QAction *viewConfError_ = nullptr;
    QAction *undo_ = nullptr;
    QAction *redo_ = nullptr;
    QAction *cut_ = nullptr;
    QAction *copy_ = nullptr;
    QAction *paste_ = nullptr;
};
