// The main window's right-hand views, the tree, the error list and the
// report commands.
#include "MainWindow.h"

#include "ConfigDocument.h"
#include "Equipment.h"
#include "ErrorList.h"
#include "HelpWindow.h"
#include "NavTree.h"
#include "PortGrid.h"
#include "PortList.h"
#include "ReportView.h"
#include "ClassRightsDialog.h"
#include "Prompter.h"
#include "SplashScreen.h"

#include <QAction>
#include <QDir>
#include <QScrollArea>
#include <QStackedWidget>

void MainWindow::buildTree()
{
    tree_->buildTree(doc_.config);
    runCheck();
}

void MainWindow::runCheck()
{
    lastCheck_ = checkConfig(doc_.config);
    errors_->showFindings(lastCheck_.findings);
    tree_->setHighlights(lastCheck_.highlighted);
    setWindowTitle(titleAfterCheck(doc_.configChanged(), doc_.currentFile(), windowTitle()));
}

void MainWindow::onEdited()
{
    // Names and classes may have changed under the panes: repaint the record nodes.
    tree_->refreshRecordNodes(doc_.config);
    runCheck();
}

void MainWindow::onRenamed(const QString &key, const QString &text)
{
    const int index = key.mid(1).toInt();
    const std::optional<PaneKind> kind = paneKindOf(key);
    Configuration &config = doc_.config;
    const Configuration before = config;
    switch (kind.value_or(PaneKind::System)) {
    case PaneKind::Extension:
        config.Extensions[index].Name = text;
        config.Extensions[index].TrueName = true;
        break;
    case PaneKind::TieLine:
        config.TieLines[index].Name = text;
        break;
    case PaneKind::Group:
        config.Groups[index].Name = text;
        break;
    case PaneKind::System:
        return;
    }
    if (EditPane *shown = shownPane(); shown == pane(*kind) && shown->currentIndex() == index)
        shown->showRecord(index);
    tree_->refreshNode(config, key);
    // A new name is an unsaved change like any other; the same name again is none.
    if (!(config == before))
        doc_.markChanged(recordTitle(key) + QStringLiteral(" Name"), key);
}

QWidget *MainWindow::currentView() const
{
    QWidget *view = views_->currentWidget();
    if (auto *frame = qobject_cast<QScrollArea *>(view))
        return frame->widget();
    return view;
}

void MainWindow::showView(QWidget *view)
{
    if (views_->currentWidget() != view)
        commitPanes();
    views_->setCurrentWidget(view);
    updateEditActions();
}

EditPane *MainWindow::shownPane() const
{
    return qobject_cast<EditPane *>(currentView());
}

void MainWindow::showPane(PaneKind kind, int index)
{
    showView(vspData_[size_t(kind)]);
    pane(kind)->showRecord(index);
}

void MainWindow::commitPanes()
{
    if (EditPane *shown = shownPane())
        shown->commitPending();
}

void MainWindow::showSystemPane()
{
    showPane(PaneKind::System, 0);
    tree_->selectNode(systemKey());
}

void MainWindow::showReportNode(int number)
{
    ReportOptions options;
    for (int n = 1; n <= sortActions_.size(); ++n)
        options.set(n, sortActions_[n - 1]->isChecked());
    showView(report_);
    report_->showReport(number, options);
}

void MainWindow::showNode(const QString &key)
{
    hideReportOptions(true);
    if (!key.startsWith(QLatin1Char('P')) && key != QLatin1String("RPT"))
        report_->clearReport();
    if (key.isEmpty())
        return;
    const QChar kind = key.at(0);
    const int index = key.mid(1).toInt();
    if (key == QLatin1String("REX") || key == QLatin1String("RTL") || key == QLatin1String("RGP")) {
        const ListCategory category = key == QLatin1String("REX")   ? ListCategory::Extensions
                                      : key == QLatin1String("RTL") ? ListCategory::TieLines
                                                                    : ListCategory::Groups;
        showView(viewMode_ == PortList::Details ? static_cast<QWidget *>(grid_)
                                                : static_cast<QWidget *>(list_));
        showList(category);
    } else if (key == QLatin1String("RPT") || kind == QLatin1Char('P')) {
        hideReportOptions(false);
        showReportNode(key == QLatin1String("RPT") ? 0 : index);
    } else if (const std::optional<PaneKind> record = paneKindOf(key)) {
        showPane(*record, index);
    }
}

void MainWindow::navigateTo(const QString &reference)
{
    if (reference.isEmpty() || reference == QLatin1String("XXX"))
        return;
    tree_->selectNode(reference);
    showNode(reference);
}

void MainWindow::showList(ListCategory category)
{
    list_->fill(listColumns(category), listRows(doc_.config, category));
    grid_->fill(category);
}

void MainWindow::setListViewMode(int mode)
{
    if (mode < 0 || mode > 3)
        return;
    viewMode_ = mode;
    if (mode < PortList::Details) {
        list_->setListMode(mode);
        if (currentView() == grid_) {
            // Edits made in the grid show in the list as well.
            const ListCategory category = grid_->category();
            list_->fill(listColumns(category), listRows(doc_.config, category));
            showView(list_);
        }
    } else if (currentView() == list_) {
        showView(grid_);
    }
    // Menu items and toolbar buttons share their actions, so checking one presses the other.
    modeActions_[mode]->setChecked(true);
}

void MainWindow::showHelpWindow(bool search)
{
    if (!help_)
        help_ = new HelpWindow(this);
    if (search)
        help_->showSearch();
    else
        help_->showContents();
}

void MainWindow::showAbout()
{
    SplashScreen about(this);
    about.showHelp();
    about.exec();
}

void MainWindow::showClassRights()
{
    commitPanes();
    auto *dialog = new ClassRightsDialog(doc_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The pane shown may hold options the classes no longer give.
    connect(dialog, &QDialog::finished, this, [this] { showNode(tree_->currentKey()); });
    dialog->open();
}

void MainWindow::saveReport()
{
    if (currentView() != report_ || report_->currentReport() < 0) {
        prompter().message(this, QStringLiteral("Save Report"),
                           QStringLiteral("Please select a report before saving"),
                           QMessageBox::Information);
        return;
    }
    Prompt prompt;
    prompt.kind = Prompt::SaveFile;
    prompt.title = QStringLiteral("Save Report");
    prompt.filter = QStringLiteral("PDF Files (*.pdf);;All Files (*)");
    prompt.proposedName = ReportView::proposedPdfName(doc_.currentFile());
    const QString name = prompter().chooseFile(this, prompt);
    if (name.isEmpty())
        return;
    QString error;
    if (!report_->saveReportPdf(name, &error)) {
        prompter().failure(this, QStringLiteral("Save Report"), QStringLiteral("Unable to save"),
                           name, error);
        return;
    }
    setStatus(QStringLiteral("Saved ") + QDir::toNativeSeparators(name));
}

void MainWindow::printReport()
{
    if (currentView() != report_ || report_->currentReport() < 0) {
        prompter().message(this, QStringLiteral("Print Report"),
                           QStringLiteral("Please select a report before printing"),
                           QMessageBox::Information);
        return;
    }
    report_->printReport();
}
