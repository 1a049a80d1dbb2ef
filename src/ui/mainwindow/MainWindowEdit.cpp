// The Edit menu of the main window: undo and redo of the configuration's
// steps, cut, copy and paste, and finding records.
#include "MainWindow.h"

#include "ConfigDocument.h"
#include "Equipment.h"
#include "FindBar.h"
#include "NavTree.h"
#include "PortGrid.h"
#include "PortList.h"
#include "RecordSearch.h"
#include "ReportView.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QStackedWidget>

namespace
{

// The text field the clipboard commands act on: the focused line edit, or
// the line of a focused editable combo box.
QLineEdit *focusedTextField()
{
    QWidget *focus = QApplication::focusWidget();
    if (auto *combo = qobject_cast<QComboBox *>(focus))
        return combo->lineEdit();
    return qobject_cast<QLineEdit *>(focus);
}

// A cell or tree node being edited in place is stored as leaving it would
// store it: the delegate takes the editor's text when the editor loses the
// focus. The view keeps the focus.
void commitEditorInPlace()
{
    QWidget *editor = QApplication::focusWidget();
    for (QWidget *w = editor ? editor->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto *view = qobject_cast<QAbstractItemView *>(w)) {
            editor->clearFocus();
            view->setFocus();
            return;
        }
    }
}

bool isRecordKey(const QString &key)
{
    return !recordTitle(key).isEmpty() && key != systemKey();
}

} // namespace

void MainWindow::editUndo()
{
    moveInHistory(true);
}

void MainWindow::editRedo()
{
    moveInHistory(false);
}

void MainWindow::moveInHistory(bool back)
{
    // A field still being typed in is a step of its own, undone first.
    commitEditorInPlace();
    commitPanes();
    QUndoStack *stack = doc_.undoStack();
    if (back ? !stack->canUndo() : !stack->canRedo())
        return;
    const QString step = back ? stack->undoText() : stack->redoText();
    back ? stack->undo() : stack->redo();
    setStatus((back ? QStringLiteral("Undone: ") : QStringLiteral("Redone: ")) + step);
}

void MainWindow::onRestored(const QString &key)
{
    const QString shownNode = tree_->currentKey();
    // Records may have come or gone (boards, enabled groups): the whole tree again.
    tree_->buildTree(doc_.config);
    runCheck();
    refreshCurrentView();
    tree_->selectNode(shownNode);
    showRestoredRecord(key);
}

void MainWindow::refreshCurrentView()
{
    QWidget *view = views_->currentWidget();
    if (view == grid_ || view == list_)
        showList(grid_->category());
    else if (EditPane *shown = shownPane())
        shown->showAgain();
    else if (view == report_ && report_->currentReport() >= 0)
        showReportNode(report_->currentReport());
}

// Moves the selection to the record a step touched: its row when its list
// is shown, otherwise its pane. False when the step names no one record.
bool MainWindow::showRestoredRecord(const QString &key)
{
    if (!isRecordKey(key))
        return false;
    QWidget *view = views_->currentWidget();
    const int gridRow = grid_->rowOfKey(key);
    if (view == grid_ && gridRow >= 0) {
        grid_->setCurrentCell(gridRow, PortGrid::ColName);
        return true;
    }
    if (view == list_) {
        for (int row = 0; row < list_->count(); ++row) {
            if (list_->keyAt(row) == key) {
                list_->setCurrentRow(row);
                return true;
            }
        }
    }
    navigateTo(key);
    return true;
}

void MainWindow::editCut()
{
    if (QLineEdit *field = focusedTextField())
        field->cut();
}

void MainWindow::editCopy()
{
    if (QLineEdit *field = focusedTextField())
        field->copy();
    else if (currentView() == grid_)
        grid_->copySelection();
}

void MainWindow::editPaste()
{
    if (QLineEdit *field = focusedTextField())
        field->paste();
    else if (currentView() == grid_)
        grid_->pasteNames(QApplication::clipboard()->text());
}

void MainWindow::updateEditActions()
{
    if (!cut_)
        return;
    const QLineEdit *field = focusedTextField();
    const bool typing = field && !field->isReadOnly();
    const bool grid = !field && views_ && currentView() == grid_;
    cut_->setEnabled(typing);
    copy_->setEnabled(field || grid);
    paste_->setEnabled(typing || grid);
}

void MainWindow::editFind()
{
    findBar_->open();
}

void MainWindow::applyFind(const QString &text)
{
    RecordFilter filter;
    if (!text.trimmed().isEmpty())
        filter = [this, text](const QString &key) { return recordMatches(doc_.config, key, text); };
    tree_->setRecordFilter(filter);
    list_->setRecordFilter(filter);
    grid_->setRecordFilter(filter);
    findBar_->setMatchCount(tree_->shownRecordKeys().size());
}

void MainWindow::openFirstFound()
{
    // The first match of the list in view, or of the tree when a pane is shown.
    QString key;
    if (currentView() == grid_)
        key = grid_->firstShownKey();
    else if (currentView() == list_)
        key = list_->firstShownKey();
    if (key.isEmpty())
        key = tree_->shownRecordKeys().value(0);
    navigateTo(key);
}
