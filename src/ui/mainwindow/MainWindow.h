#pragma once
// The main window: the navigation tree on the left, the list, grid, pane or
// report on the right, the error list below, menus, toolbar and status bar.
// It wires menus, views and status bar to the file and exchange commands,
// and keeps the title, the error list and the tree highlights in step with
// the configuration.
#include "CheckConfig.h"
#include "EditPane.h"
#include "ExchangeCommands.h"
#include "FileCommands.h"
#include "ListTexts.h"

#include <QMainWindow>
#include <QPointer>
#include <array>

class ConfigDocument;
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

    // The commands of the File menu and those that talk to the exchange.
    FileCommands &fileCommands() { return *files_; }
    ExchangeCommands &exchangeCommands() { return *exchange_; }
    ExchangeConnection &exchange() { return exchange_->connection(); }
    TerminalWindow &terminal() { return exchange_->terminal(); }

    void saveReport();
    void printReport();
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
    // Another configuration is open: title, tree, check and system pane anew.
    void afterConfigurationReplaced();
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
    FileCommands *files_ = nullptr;
    ExchangeCommands *exchange_ = nullptr;
    QPointer<HelpWindow> help_;
    QPointer<CompareWindow> compare_;
    FindBar *findBar_ = nullptr;

    QActionGroup *viewModes_ = nullptr;
    QList<QAction *> modeActions_;
    QList<QAction *> sortActions_;
    QAction *viewBar3_ = nullptr;
    QAction *viewToolbar_ = nullptr;
    QAction *viewStatusBar_ = nullptr;
    QAction *viewConfError_ = nullptr;
    QAction *undo_ = nullptr;
    QAction *redo_ = nullptr;
    QAction *cut_ = nullptr;
    QAction *copy_ = nullptr;
    QAction *paste_ = nullptr;
};
