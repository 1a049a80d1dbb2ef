#include "MainWindow.h"

#include "AppSettings.h"
#include "ConfigDocument.h"
#include "ErrorList.h"
#include "LinkOperation.h"
#include "ExtensionPane.h"
#include "FindBar.h"
#include "GroupPane.h"
#include "HelpWindow.h"
#include "Icons.h"
#include "NavTree.h"
#include "PortGrid.h"
#include "PortList.h"
#include "ReportView.h"
#include "SystemPane.h"
#include "TieLinePane.h"
#include "Twips.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

MainWindow::MainWindow(ConfigDocument &doc, QWidget *parent) : QMainWindow(parent), doc_(doc)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(appIcon(QStringLiteral("System")));
    setWindowTitle(QStringLiteral("helmWISE - New Configuration"));
    // Narrower than 3000 twips the window has no room for tree and list.
    setMinimumSize(twipsToPixels(3000), twipsToPixels(3000));
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    status_ = new QLabel(bar);
    status_->setObjectName(QStringLiteral("Status"));
    bar->addWidget(status_, 1);
    setStatusBar(bar);
    files_ = new FileCommands(doc_, this);
    connect(files_, &FileCommands::commitRequested, this, &MainWindow::commitPanes);
    connect(files_, &FileCommands::configurationReplaced, this,
            &MainWindow::afterConfigurationReplaced);
    connect(files_, &FileCommands::saved, this, &MainWindow::setTitleForFile);
    connect(files_, &FileCommands::statusMessage, this, &MainWindow::setStatus);
    exchange_ = new ExchangeCommands(doc_, *files_, *this, *status_);
    connect(exchange_, &ExchangeCommands::configurationReplaced, this,
            &MainWindow::afterConfigurationReplaced);
    createViews();
    createActions();
    createMenus();
    createToolBar();

    connect(&doc_, &ConfigDocument::edited, this, &MainWindow::onEdited);
    connect(&doc_, &ConfigDocument::restored, this, &MainWindow::onRestored);
    // Undoing back to the saved configuration takes the "*" away again.
    connect(&doc_, &ConfigDocument::changedFlagChanged, this, [this](bool changed) {
        if (!changed)
            setTitleForFile();
    });
    // Cut, copy and paste follow the focus: a text field, or the details grid.
    connect(qApp, &QApplication::focusChanged, this, &MainWindow::updateEditActions);
    updateEditActions();
    // Placed where it was left before it is first shown.
    restoreWindowSettings();
}

MainWindow::~MainWindow()
{
    // Closing a window of our own moves the focus; by now the views that
    // the edit actions look at are going, so stop following the focus.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    // Windows following an operation, and the operations, go before the
    // link they run on.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (child->isWindow())
            delete child;
    qDeleteAll(findChildren<LinkOperation *>());
    delete exchange_;
}

void MainWindow::createViews()
{
    tree_ = new NavTree(this);
    tree_->setMinimumWidth(twipsToPixels(1500));
    connect(tree_, &NavTree::nodeClicked, this, &MainWindow::showNode);
    connect(tree_, &NavTree::nodeRenamed, this, &MainWindow::onRenamed);

    views_ = new QStackedWidget(this);
    views_->setObjectName(QStringLiteral("views"));
    views_->setMinimumSize(twipsToPixels(1500), twipsToPixels(1500));
    list_ = new PortList(views_);
    connect(list_, &PortList::openRecord, this, &MainWindow::navigateTo);
    grid_ = new PortGrid(doc_, views_);
    connect(grid_, &PortGrid::openRecord, this, &MainWindow::navigateTo);
    report_ = new ReportView(doc_, views_);
    if (report_->objectName().isEmpty())
        report_->setObjectName(QStringLiteral("vspReport"));
    connect(report_, &ReportView::printRequested, this, &MainWindow::printReport);
    connect(report_, &ReportView::pdfRequested, this, &MainWindow::saveReport);
    auto *system = new SystemPane(doc_);
    // In the order of PaneKind.
    panes_ = {new TieLinePane(doc_), new ExtensionPane(doc_), new GroupPane(doc_), system};
    for (int i = 0; i < PaneKinds; ++i) {
        vspData_[i] = new QScrollArea(views_);
        vspData_[i]->setObjectName(panes_[i]->objectName() + QStringLiteral("Frame"));
        vspData_[i]->setWidgetResizable(true);
        // Tab from the tree goes straight to the pane's first field, not to
        // its scrolling frame, which shows no sign of having the focus.
        vspData_[i]->setFocusPolicy(Qt::NoFocus);
        vspData_[i]->setWidget(panes_[i]);
    }
    for (QWidget *view : {static_cast<QWidget *>(list_), static_cast<QWidget *>(grid_),
                          static_cast<QWidget *>(report_)})
        views_->addWidget(view);
    for (QScrollArea *area : vspData_)
        views_->addWidget(area);

    auto forwardStatus = [this](const QString &text) { setStatus(text); };
    auto forwardNode = [this](const QString &key, const QString &) {
        tree_->refreshNode(doc_.config, key);
    };
    for (EditPane *pane : panes_) {
        connect(pane, &EditPane::statusMessage, this, forwardStatus);
        connect(pane, &EditPane::nodeTextChanged, this, forwardNode);
    }
    connect(grid_, &PortGrid::statusMessage, this, forwardStatus);
    connect(system, &SystemPane::openRecord, this, &MainWindow::navigateTo);
    connect(system, &SystemPane::boardsChanged, this, [this] {
        buildTree();
        showSystemPane();
    });

    errorArea_ = new QWidget(this);
    errorArea_->setObjectName(QStringLiteral("errorArea"));
    errorArea_->setMinimumHeight(twipsToPixels(1000));
    auto *labConfErrors = new QLabel(QStringLiteral("Configuration Errors"), errorArea_);
    labConfErrors->setObjectName(QStringLiteral("labConfErrors"));
    errors_ = new ErrorList(errorArea_);
    connect(errors_, &ErrorList::navigate, this, &MainWindow::navigateTo);
    auto *errorLayout = new QVBoxLayout(errorArea_);
    errorLayout->setContentsMargins(0, 4, 0, 0);
    errorLayout->setSpacing(2);
    errorLayout->addWidget(labConfErrors);
    errorLayout->addWidget(errors_, 1);

    // The two splitter bars: between tree and right-hand area, and above the error list.
    vSplitter_ = new QSplitter(Qt::Vertical, this);
    vSplitter_->setObjectName(QStringLiteral("imgSpError"));
    // The find bar sits above whichever view is shown.
    auto *rightArea = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(rightArea);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    findBar_ = new FindBar(rightArea);
    connect(findBar_, &FindBar::searchChanged, this, &MainWindow::applyFind);
    connect(findBar_, &FindBar::openFirstMatch, this, &MainWindow::openFirstFound);
    connect(findBar_, &FindBar::closed, this, [this] {
        applyFind(QString());
        currentView()->setFocus();
    });
    rightLayout->addWidget(findBar_);
    rightLayout->addWidget(views_, 1);
    vSplitter_->addWidget(rightArea);
    vSplitter_->addWidget(errorArea_);
    vSplitter_->setChildrenCollapsible(false);
    vSplitter_->setStretchFactor(0, 1);
    hSplitter_ = new QSplitter(Qt::Horizontal, this);
    hSplitter_->setObjectName(QStringLiteral("imgSplitter"));
    hSplitter_->addWidget(tree_);
    hSplitter_->addWidget(vSplitter_);
    hSplitter_->setChildrenCollapsible(false);
    hSplitter_->setStretchFactor(1, 1);
    setCentralWidget(hSplitter_);
}

void MainWindow::placeErrorSplitter()
{
    // The error list takes the lower fifth of the window, or 1000 twips of a small one.
    const int inner =
        vSplitter_->height() > 0 ? vSplitter_->height() : height() - statusBar()->height();
    const int top = inner < twipsToPixels(6000) ? inner - twipsToPixels(1000) : inner - inner / 5;
    vSplitter_->setSizes({std::max(top, 1), std::max(inner - top, 1)});
    const int treeWidth = std::clamp(width() / 3, twipsToPixels(1500), twipsToPixels(4200));
    hSplitter_->setSizes({treeWidth, std::max(width() - treeWidth, 1)});
}

void MainWindow::restoreWindowSettings()
{
    const AppSettings::WindowSettings w = AppSettings::readWindowSettings();
    const QRect saved = w.Placed ? QRect(twipsToPixels(w.Left), twipsToPixels(w.Top),
                                         twipsToPixels(w.Width), twipsToPixels(w.Height))
                                 : QRect();
    QList<QRect> screens;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        screens << primary->availableGeometry();
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            screens << screen->availableGeometry();
    }
    const QRect placed = placeMainWindow(saved, screens, minimumSize());
    move(placed.topLeft());
    resize(placed.size());
    if (w.Maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::restoreSplitters()
{
    const AppSettings::WindowSettings w = AppSettings::readWindowSettings();
    // Before the first layout the splitters have no size yet: the window's stands in.
    if (w.TreeWidth > 0) {
        const int total = hSplitter_->isVisible() ? hSplitter_->width() : width();
        const int tree = twipsToPixels(w.TreeWidth);
        hSplitter_->setSizes({tree, std::max(total - tree, 1)});
    }
    if (w.ErrorsHeight > 0) {
        const int total =
            vSplitter_->isVisible() ? vSplitter_->height() : height() - statusBar()->height();
        const int errors = twipsToPixels(w.ErrorsHeight);
        vSplitter_->setSizes({std::max(total - errors, 1), errors});
    }
}

void MainWindow::storeWindowSettings()
{
    AppSettings::WindowSettings w;
    w.Left = pixelsToTwips(pos().x());
    w.Top = pixelsToTwips(pos().y());
    w.Width = pixelsToTwips(width());
    w.Height = pixelsToTwips(height());
    w.ShowErrors = viewConfError_->isChecked() ? 1 : 0;
    w.ViewMode = viewMode_;
    w.Maximized = isMaximized() ? 1 : 0;
    w.TreeWidth = pixelsToTwips(hSplitter_->sizes().value(0));
    w.ErrorsHeight = pixelsToTwips(vSplitter_->sizes().value(1));
    AppSettings::writeWindowSettings(w, !(isMinimized() || isMaximized()));
}

void MainWindow::loadStep(const QString &commandLine)
{
    files_->openAtStart(commandLine);
    hideReportOptions(true);
    const AppSettings::WindowSettings w = AppSettings::readWindowSettings();
    setErrorListShown(w.ShowErrors == 1);
    placeErrorSplitter();
    restoreSplitters();
    setListViewMode(std::clamp(w.ViewMode, 0, 3));
}

void MainWindow::setErrorListShown(bool shown)
{
    viewConfError_->setChecked(shown);
    errorArea_->setVisible(shown);
}

void MainWindow::setStatus(const QString &text)
{
    status_->setText(text);
}

void MainWindow::setTitleForFile()
{
    setWindowTitle(doc_.currentFile().isEmpty()
                       ? QStringLiteral("helmWISE - New Configuration")
                       : QStringLiteral("helmWISE - ") + doc_.currentFile());
}

void MainWindow::afterConfigurationReplaced()
{
    setTitleForFile();
    report_->clearReport();
    buildTree();
    showSystemPane();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!files_->askToSave(QStringLiteral("Do you wish to save the file")) ||
        !exchange_->closeDown()) {
        event->ignore();
        return;
    }
    if (help_)
        help_->close();
    storeWindowSettings();
    event->accept();
}
