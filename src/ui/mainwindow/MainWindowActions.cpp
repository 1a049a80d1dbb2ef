// Menus and toolbar of the main window.
#include "MainWindow.h"

#include "AppSettings.h"

#include "ConfigDocument.h"
#include "HistoryShortcuts.h"
#include "Icons.h"
#include "PortList.h"
#include "ReportView.h"
#include "TerminalWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace
{

QAction *makeAction(QObject *parent, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// An item whose window this program does not have yet: present, never pretending.
QAction *comingLater(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(false);
    return action;
}

} // namespace

void MainWindow::createActions()
{
    // Shared by menu and toolbar so the two always agree.
    auto *open = makeAction(this, "mnuFileOpen", QStringLiteral("&Open..."));
    open->setIcon(appIcon(QStringLiteral("Load")));
    open->setToolTip(QStringLiteral("Open configuration from disk"));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, files_, &FileCommands::open);

    auto *save = makeAction(this, "mnuFileSave", QStringLiteral("&Save"));
    save->setIcon(appIcon(QStringLiteral("Save")));
    save->setToolTip(QStringLiteral("Save configuration to disk"));
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, files_, &FileCommands::save);

    // The step to undo or redo is named in the item ("&Undo Extension 01.3 Name").
    undo_ = makeAction(this, "mnuEditUndo", QStringLiteral("&Undo"));
    undo_->setIcon(appIcon(QStringLiteral("Undo")));
    undo_->setShortcut(QKeySequence::Undo);
    connect(undo_, &QAction::triggered, this, &MainWindow::editUndo);
    redo_ = makeAction(this, "mnuEditRedo", QStringLiteral("&Redo"));
    redo_->setIcon(appIcon(QStringLiteral("Redo")));
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(redo_, &QAction::triggered, this, &MainWindow::editRedo);
    QUndoStack *stack = doc_.undoStack();
    auto follow = [](QAction *action, const QString &caption, const QString &step) {
        action->setText(step.isEmpty() ? caption : caption + QLatin1Char(' ') + step);
        action->setToolTip(QString(action->text()).remove(QLatin1Char('&')));
    };
    connect(stack, &QUndoStack::undoTextChanged, undo_,
            [this, follow](const QString &step) { follow(undo_, QStringLiteral("&Undo"), step); });
    connect(stack, &QUndoStack::redoTextChanged, redo_,
            [this, follow](const QString &step) { follow(redo_, QStringLiteral("&Redo"), step); });
    connect(stack, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);
    follow(undo_, QStringLiteral("&Undo"), stack->undoText());
    follow(redo_, QStringLiteral("&Redo"), stack->redoText());
    undo_->setEnabled(stack->canUndo());
    redo_->setEnabled(stack->canRedo());
    keepHistoryShortcuts(this, {undo_, redo_});

    cut_ = makeAction(this, "mnuEditCut", QStringLiteral("Cu&t"));
    cut_->setShortcut(QKeySequence::Cut);
    connect(cut_, &QAction::triggered, this, &MainWindow::editCut);
    copy_ = makeAction(this, "mnuEditCopy", QStringLiteral("&Copy"));
    copy_->setIcon(appIcon(QStringLiteral("Copy")));
    copy_->setToolTip(QStringLiteral("Copy"));
    copy_->setShortcut(QKeySequence::Copy);
    connect(copy_, &QAction::triggered, this, &MainWindow::editCopy);
    paste_ = makeAction(this, "mnuEditPaste", QStringLiteral("&Paste"));
    paste_->setIcon(appIcon(QStringLiteral("Paste")));
    paste_->setToolTip(QStringLiteral("Paste"));
    paste_->setShortcut(QKeySequence::Paste);
    connect(paste_, &QAction::triggered, this, &MainWindow::editPaste);

    viewModes_ = new QActionGroup(this);
    viewModes_->setExclusive(true);
    const char *captions[] = {"Lar&ge Icons", "S&mall Icons", "&List", "&Details"};
    const char *images[] = {"View Large Icons", "View Small Icons", "View List", "View Details"};
    for (int mode = 0; mode < 4; ++mode) {
        QAction *action = makeAction(this, "mnuListViewMode", QString::fromLatin1(captions[mode]));
        action->setObjectName(QStringLiteral("mnuListViewMode") + QString::number(mode));
        action->setIcon(appIcon(QString::fromLatin1(images[mode])));
        action->setToolTip(QString::fromLatin1(images[mode]));
        action->setCheckable(true);
        viewModes_->addAction(action);
        connect(action, &QAction::triggered, this, [this, mode] { setListViewMode(mode); });
        modeActions_ << action;
    }
}

void MainWindow::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("mnuBar"));
    auto find = [this](const char *name) {
        return findChild<QAction *>(QString::fromLatin1(name));
    };

    // Commands that talk to the exchange: enabled while the line is open and free.
    auto lineItem = [this](QAction *action, const char *name) {
        action->setObjectName(QString::fromLatin1(name));
        exchange_->addLineCommand(action);
    };

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction *fileNewAction =
        file->addAction(QStringLiteral("&New..."), files_, &FileCommands::newSystem);
    fileNewAction->setObjectName(QStringLiteral("mnuFileNew"));
    fileNewAction->setShortcut(QKeySequence::New);
    file->addAction(find("mnuFileOpen"));
    file->addSeparator();
    file->addAction(find("mnuFileSave"));
    QAction *saveAs = file->addAction(QStringLiteral("Save &As..."), files_, &FileCommands::saveAs);
    saveAs->setObjectName(QStringLiteral("mnuFileSaveAs"));
    // Spelt out: the platform's standard keys for Save As and Quit are empty on Windows.
    saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addAction(QStringLiteral("Sa&ve Report..."), this, &MainWindow::saveReport)
        ->setObjectName(QStringLiteral("mnuFileSaveReport"));
    file->addSeparator();
    file->addAction(QStringLiteral("E&xport..."), files_, &FileCommands::exportLists)
        ->setObjectName(QStringLiteral("mnuFileExport"));
    lineItem(file->addAction(QStringLiteral("Restore Exchange &Backup..."), exchange_,
                             &ExchangeCommands::restoreBackup),
             "mnuFileRestore");

    file->addSeparator();
    file->addAction(QStringLiteral("Co&mpare With File\u2026"), this, &MainWindow::compareWithFile)
        ->setObjectName(QStringLiteral("mnuFileCompare"));
    file->addSeparator();
    QAction *print = file->addAction(QStringLiteral("&Print..."), this, &MainWindow::printReport);
    print->setObjectName(QStringLiteral("mnuFilePrint"));
    print->setShortcut(QKeySequence::Print);
    file->addSeparator();
    files_->addRecentFiles(file);
    QAction *exit = file->addAction(QStringLiteral("&Exit"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("mnuFileExit"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    edit->addAction(undo_);
    edit->addAction(redo_);
    edit->addSeparator();
    edit->addAction(cut_);
    edit->addAction(copy_);
    edit->addAction(paste_);
    edit->addSeparator();
    QAction *findItem = edit->addAction(QStringLiteral("&Find"), this, &MainWindow::editFind);
    findItem->setObjectName(QStringLiteral("mnuEditFind"));
    findItem->setShortcut(QKeySequence::Find);

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    view->addAction(QStringLiteral("Cl&ass Rights"), this, &MainWindow::showClassRights)
        ->setObjectName(QStringLiteral("mnuEditClass"));
    view->addSeparator();
    viewToolbar_ = view->addAction(QStringLiteral("&Toolbar"));
    viewToolbar_->setObjectName(QStringLiteral("mnuViewToolbar"));
    viewToolbar_->setCheckable(true);
    viewToolbar_->setChecked(true);
    viewStatusBar_ = view->addAction(QStringLiteral("Status &Bar"));
    viewStatusBar_->setObjectName(QStringLiteral("mnuViewStatusBar"));
    viewStatusBar_->setCheckable(true);
    viewStatusBar_->setChecked(true);
    connect(viewStatusBar_, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });
    viewConfError_ = view->addAction(QStringLiteral("&Configuration Errors"));
    viewConfError_->setObjectName(QStringLiteral("mnuViewConfError"));
    viewConfError_->setCheckable(true);
    viewConfError_->setChecked(true);
    connect(viewConfError_, &QAction::triggered, this, &MainWindow::setErrorListShown);
    view->addAction(QStringLiteral("Raw Data"), exchange_, &ExchangeCommands::showRawData)
        ->setObjectName(QStringLiteral("mnuViewRaw"));
    view->addSeparator();
    for (QAction *mode : modeActions_)
        view->addAction(mode);
    view->addSeparator();
    comingLater(view, "mnuViewArrange", QStringLiteral("Arrange &Icons"));
    view->addSeparator();
    comingLater(view, "mnuViewRefresh", QStringLiteral("&Refresh"));
    viewBar3_ = view->addSeparator();
    viewBar3_->setObjectName(QStringLiteral("mnuViewBar3"));
    const char *sortCaptions[] = {"Show sorted by Name", "Show sorted by Number",
                                  "Show sorted by Type", "Show sorted by Board",
                                  "Show all ext. options"};
    for (int n = 1; n <= 5; ++n) {
        QAction *option = view->addAction(QString::fromLatin1(sortCaptions[n - 1]));
        option->setObjectName(QStringLiteral("mnuViewSort") + QString::number(n));
        option->setCheckable(true);
        // The shown report follows its options at once.
        connect(option, &QAction::triggered, this, [this] {
            const int number = report_->currentReport();
            if (number >= 0 && currentView() == report_)
                showReportNode(number);
        });
        sortActions_ << option;
    }

    // Everything that talks to the exchange.
    QMenu *config = bar->addMenu(QStringLiteral("&Configuration"));
    config->setObjectName(QStringLiteral("mnuConfig"));
    exchange_->addLineCommand(config->menuAction());
    auto exchangeItem = [&](const char *name, const QString &caption,
                            void (ExchangeCommands::*slot)()) {
        lineItem(config->addAction(caption, exchange_, slot), name);
    };
    exchangeItem("mnuConfigGet", QStringLiteral("&Get Configuration"),
                 &ExchangeCommands::getConfig);
    lineItem(config->addAction(QStringLiteral("&Send Configuration"), this,
                               [this] {
                                   // A field still being typed is part of what is sent.
                                   commitPanes();
                                   runCheck();
                                   exchange_->sendConfig(lastCheck_.errorsFound);
                               }),
             "mnuConfigSend");
    QAction *verify = config->addAction(QStringLiteral("Read Twice to &Verify"));
    verify->setCheckable(true);
    verify->setToolTip(
        QStringLiteral("Read every block twice and take it only when both readings agree"));
    verify->setChecked(AppSettings::readTwiceToVerify());
    connect(verify, &QAction::toggled, this, &AppSettings::setReadTwiceToVerify);
    lineItem(verify, "mnuConfigVerify");
    lineItem(config->addAction(QStringLiteral("Co&mpare with Exchange"), this,
                               &MainWindow::compareWithExchange),
             "mnuConfigCompare");
    config->addSeparator();
    exchangeItem("mnuConfigBoards", QStringLiteral("Show &Installed Boards"),
                 &ExchangeCommands::showInstalledBoards);
    config->addSeparator();
    exchangeItem("mnuConfigSetDate", QStringLiteral("Set &Date and Time"),
                 &ExchangeCommands::setDateAndTime);
    exchangeItem("mnuConfigPIN", QStringLiteral("Set &Tie PIN"), &ExchangeCommands::setTiePin);
    exchangeItem("mnuConfigPass", QStringLiteral("Set &Password"), &ExchangeCommands::setPassword);
    config->addSeparator();
    exchangeItem("mnuToolsVersion", QStringLiteral("Get Version"), &ExchangeCommands::getVersion);
    exchangeItem("mnuToolsReboot", QStringLiteral("&Reboot Exchange"),
                 &ExchangeCommands::rebootExchange);

    QMenu *tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    tools->addAction(QStringLiteral("&Terminal Window"), exchange_, &ExchangeCommands::showTerminal)
        ->setObjectName(QStringLiteral("mnuToolsTerm"));
    tools->addAction(exchange_->simulatorAction());

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction *contents =
        help->addAction(QStringLiteral("&Contents"), this, [this] { showHelpWindow(false); });
    contents->setObjectName(QStringLiteral("mnuHelpContents"));
    contents->setShortcut(QKeySequence::HelpContents);
    help->addAction(QStringLiteral("&Search For Help On..."), this,
                    [this] { showHelpWindow(true); })
        ->setObjectName(QStringLiteral("mnuHelpSearch"));
    help->addSeparator();
    help->addAction(QStringLiteral("&About"), this, &MainWindow::showAbout)
        ->setObjectName(QStringLiteral("mnuHelpAbout"));
}

void MainWindow::createToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("tbToolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    auto find = [this](const char *name) {
        return findChild<QAction *>(QString::fromLatin1(name));
    };
    bar->addAction(find("mnuFileOpen"));
    bar->addAction(find("mnuFileSave"));
    bar->addSeparator();
    bar->addAction(undo_);
    bar->addAction(redo_);
    bar->addSeparator();
    bar->addAction(copy_);
    bar->addAction(paste_);
    bar->addSeparator();
    for (QAction *mode : modeActions_)
        bar->addAction(mode);
    connect(viewToolbar_, &QAction::toggled, bar, &QWidget::setVisible);
}

void MainWindow::hideReportOptions(bool hidden)
{
    viewBar3_->setVisible(!hidden);
    for (QAction *option : sortActions_)
        option->setVisible(!hidden);
}
