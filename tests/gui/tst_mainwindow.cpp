// The main window as a technician uses it: opening files, the tree, the
// lists, the error list, renaming, saving and the settings.
#include "AppSettings.h"
#include "CheckConfig.h"
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "EditPane.h"
#include "ErrorList.h"
#include "FailOnQtWarnings.h"
#include "GuiFixtures.h"
#include "HelpWindow.h"
#include "NavTree.h"
#include "PortGrid.h"
#include "PortList.h"
#include "ScriptedPrompter.h"
#include "MainWindow.h"
#include "NewSystemDialog.h"
#include "SplashScreen.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <cmath>

#include <memory>

using namespace tidelex;

using fixtures::Session;

namespace
{

QString settingsValue(const QString &name)
{
    return QSettings(QStringLiteral("Corvane Telecom Limited"), QStringLiteral("Tidelex Analog"))
        .value(name)
        .toString();
}

QSet<QString> toSet(const QStringList &list)
{
    return QSet<QString>(list.begin(), list.end());
}

// The contrast ratio of two colours as screen-reading guidance measures it:
// 1 for the same colour, 21 for black on white.
double contrast(const QColor &a, const QColor &b)
{
    auto luminance = [](const QColor &c) {
        auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void commandLine_data();
    void commandLine();
    void listModes_data();
    void listModes();
    void listSortedByColumn();
    void gridFitsDropDowns_data();
    void errorColoursReadInEveryPalette_data();
    void readOnlyFieldsLookReadOnly_data();
    void readOnlyFieldsLookReadOnly();
    void tabLeavesTreeForAField_data();
    void tabLeavesTreeForAField();
    void errorColoursReadInEveryPalette();
    void gridFitsDropDowns();
    void renameThroughTree_data();
    void renameThroughTree();
    void paneEditCommittedOnLeaving_data();
    void paneEditCommittedOnLeaving();
    void paneWarningInStatusBar();
    void saveAndReopen();
    void dosImportSavesAsTwz();
    void failedSave_data();
    void failedSave();
    void saveQuestion_data();
    void saveQuestion();
    void fileKeys_data();
    void fileKeys();
    void settingsRestored_data();
    void settingsRestored();
    void doubleClickOpensRecord_data();
    void doubleClickOpensRecord();
    void gridEditing_data();
    void gridEditing();
    void reportCommands_data();
    void reportCommands();
    void exportLists_data();
    void exportLists();
    void splashLines_data();
    void splashLines();
    void helpWindow_data();
    void helpWindow();

  private:
    std::unique_ptr<fixtures::Scratch> scratch_;
    Configuration template_;
};

void TestMainWindow::initTestCase()
{
    template_ = makeDefaultConfiguration();
    template_.SysConfig.Name = QStringLiteral("Template ship");
    FileCommands::setNewSystemRunner([](NewSystemDialog &) { return int(QDialog::Rejected); });
}

void TestMainWindow::init()
{
    failOnQtWarnings();
    scratch_ = std::make_unique<fixtures::Scratch>();
    FileCommands::setTemplateFile(scratch_->write(QStringLiteral("default.TWZ"), template_));
}

void TestMainWindow::cleanup()
{
    scratch_.reset();
}

void TestMainWindow::commandLine_data()
{
    QTest::addColumn<QString>("argument"); // %1 the file
    QTest::newRow("plain path") << QStringLiteral("%1");
    QTest::newRow("quoted path") << QStringLiteral("\"%1\"");
    // Unreadable files at start-up: tst_keepwork::startUpWithUnreadableFile.
    QTest::newRow("empty command line") << QString();
}

void TestMainWindow::commandLine()
{
    QFETCH(QString, argument);
    // A configuration with faults: two extensions numbered 101, a group member missing.
    Configuration faulty = fixtures::smallShip();
    faulty.Extensions[1].ExtNum = 101;
    const QString good = scratch_->write(QStringLiteral("ship one.TWZ"), faulty);

    Session s(QString(argument).replace(QStringLiteral("%1"), good));
    QVERIFY(scratch_->prompter.asked.isEmpty());
    if (argument.isEmpty()) {
        QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - New Configuration"));
        QCOMPARE(s.doc.config.SysConfig.Name, template_.SysConfig.Name);
        QVERIFY(s.doc.currentFile().isEmpty());
        return;
    }
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + good);
    QCOMPARE(s.doc.currentFile(), good);
    QCOMPARE(s.tree()->findNode(QStringLiteral("E001"))->text(0), QStringLiteral("101 (Galley)"));
    QCOMPARE(s.view(), QStringLiteral("vspData3"));
    // The error list and the red nodes are those of the check of what was loaded.
    const CheckResult expected = checkConfig(faulty);
    QVERIFY(expected.errorsFound);
    QCOMPARE(s.errors()->rowCount(), expected.findings.size());
    for (int r = 0; r < s.errors()->rowCount(); ++r)
        QCOMPARE(s.errors()->referenceAt(r), expected.findings[r].reference);
    QCOMPARE(toSet(s.tree()->highlightedKeys()), toSet(expected.highlighted));
    QVERIFY(s.window.errorsFound());
    QCOMPARE(AppSettings::recentFiles().value(0), good);
    s.window.close();
}

void TestMainWindow::listModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("viaToolbar");
    QTest::addColumn<QString>("expectedView");
    const char *views[] = {"lvPorts", "lvPorts", "lvPorts", "vsPorts"};
    for (int mode = 0; mode < 4; ++mode)
        QTest::addRow("mode %d, menu", mode) << mode << false << QString::fromLatin1(views[mode]);
    QTest::newRow("mode 1, toolbar") << 1 << true << QStringLiteral("lvPorts");
}

void TestMainWindow::listModes()
{
    QFETCH(int, mode);
    QFETCH(bool, viaToolbar);
    QFETCH(QString, expectedView);
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    s.click(QStringLiteral("REX"));
    // Start from the other kind of view, so the switch has to replace it.
    s.window.setListViewMode(mode == 3 ? 0 : 3);
    QAction *action = s.action(QStringLiteral("mnuListViewMode") + QString::number(mode));
    if (viaToolbar) {
        auto *bar = s.window.findChild<QToolBar *>(QStringLiteral("tbToolBar"));
        auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action));
        QVERIFY(button);
        button->click();
    } else {
        action->trigger();
    }
    QCOMPARE(s.view(), expectedView);
    QCOMPARE(s.window.listViewMode(), mode);
    for (int m = 0; m < 4; ++m) {
        QAction *item = s.action(QStringLiteral("mnuListViewMode") + QString::number(m));
        QCOMPARE(item->isChecked(), m == mode);
        auto *bar = s.window.findChild<QToolBar *>(QStringLiteral("tbToolBar"));
        auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(item));
        QCOMPARE(button->isChecked(), m == mode);
    }
    // Both views hold the same records, and a name edited in the grid shows in the list.
    QCOMPARE(s.list()->count(), 8);
    QCOMPARE(s.grid()->rowCount(), 8);
    s.window.setListViewMode(3);
    s.grid()->commitCell(s.grid()->rowOfKey(QStringLiteral("E004")), 3, QStringLiteral("Sick bay"));
    s.window.setListViewMode(mode == 3 ? 1 : mode);
    QStringList names;
    for (int r = 0; r < s.list()->count(); ++r)
        names << s.list()->item(r)->text();
    QVERIFY(names.contains(QStringLiteral("Sick bay")));
    s.doc.setConfigChanged(false);
}

void TestMainWindow::listSortedByColumn()
{
    Configuration c = fixtures::smallShip();
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), c));
    s.click(QStringLiteral("REX"));
    auto names = [&] {
        QStringList shown;
        for (int r = 0; r < s.list()->count(); ++r)
            shown << s.list()->item(r)->text();
        return shown;
    };
    QStringList sorted = names();
    std::sort(sorted.begin(), sorted.end());
    s.list()->sortByColumn(0);
    QCOMPARE(names(), sorted);
    s.list()->sortByColumn(0);
    std::reverse(sorted.begin(), sorted.end());
    QCOMPARE(names(), sorted);
    // By extension number: 108 first when descending, after an ascending first click.
    s.list()->sortByColumn(1);
    QCOMPARE(s.list()->cellsAt(0).value(1), QStringLiteral("101"));
    s.list()->sortByColumn(1);
    QCOMPARE(s.list()->cellsAt(0).value(1), QStringLiteral("108"));
}

void TestMainWindow::gridFitsDropDowns_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("column");
    QTest::newRow("extension class") << QStringLiteral("REX") << 5;
    QTest::newRow("tie-line class") << QStringLiteral("RTL") << 4;
    QTest::newRow("tie-line incoming extension") << QStringLiteral("RTL") << 5;
    QTest::newRow("group type") << QStringLiteral("RGP") << 4;
}

void TestMainWindow::gridFitsDropDowns()
{
    QFETCH(QString, category);
    QFETCH(int, column);
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    s.window.setListViewMode(3);
    s.click(category);
    PortGrid *grid = s.grid();
    QHeaderView *header = grid->horizontalHeader();
    // The drop-down that opens in the cell reads in full (up to a sensible width).
    grid->edit(grid->model()->index(0, column));
    auto *combo = grid->viewport()->findChild<QComboBox *>();
    QVERIFY(combo);
    QVERIFY2(grid->columnWidth(column) >= std::min(combo->sizeHint().width(), 240),
             qPrintable(QStringLiteral("%1 < %2").arg(grid->columnWidth(column)).arg(combo->sizeHint().width())));
    QTest::keyClick(combo, Qt::Key_Escape);
    // No arrow while rows are in record order; the clicked column shows one after.
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), -1);
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    QCOMPARE(header->sortIndicatorSection(), column);
    const Qt::SortOrder first = header->sortIndicatorOrder();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    QCOMPARE(header->sortIndicatorSection(), column);
    QVERIFY(header->sortIndicatorOrder() != first);
    // An edit in place keeps the arrow.
    grid->commitCell(0, 3, QStringLiteral("Renamed"));
    QCOMPARE(header->sortIndicatorSection(), column);
    QVERIFY(header->isSortIndicatorShown());
    s.doc.setConfigChanged(false);
}

void TestMainWindow::errorColoursReadInEveryPalette_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light palette") << false;
    QTest::newRow("dark palette") << true;
}

void TestMainWindow::errorColoursReadInEveryPalette()
{
    QFETCH(bool, dark);
    const QPalette before = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
    if (dark) {
        QPalette p;
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            p.setColor(role, QColor(40, 40, 40));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(role, QColor(235, 235, 235));
        QApplication::setPalette(p);
    }
    Configuration c = fixtures::smallShip();
    c.Extensions[1].ExtNum = c.Extensions[0].ExtNum; // both records in error
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), c));
    auto readable = [](const char *what, const QColor &text, const QColor &ground) {
        const double ratio = contrast(text, ground);
        QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2 on %3, contrast %4")
                                              .arg(QLatin1String(what), text.name(), ground.name())
                                              .arg(ratio)));
    };
    // A cell without a colour of its own draws in its view's text colour.
    auto textOf = [](const QBrush &brush, const QWidget *view) {
        return brush.style() == Qt::NoBrush ? view->palette().color(QPalette::Text) : brush.color();
    };
    QVERIFY(s.tree()->highlightedKeys().contains(QStringLiteral("E001")));
    for (const QString &key : s.tree()->highlightedKeys()) {
        QTreeWidgetItem *node = s.tree()->findNode(key);
        readable("tree node", textOf(node->foreground(0), s.tree()), node->background(0).color());
    }
    QTableWidgetItem *type = s.errors()->item(0, 1);
    QCOMPARE(type->text(), QStringLiteral("Error"));
    readable("error list", textOf(type->foreground(), s.errors()), s.errors()->palette().color(QPalette::Base));
    s.window.setListViewMode(3);
    s.click(QStringLiteral("REX"));
    QTableWidgetItem *cell = s.grid()->item(s.grid()->rowOfKey(QStringLiteral("E001")), 4);
    QVERIFY(s.grid()->cellHighlighted(cell->row(), 4));
    readable("grid cell", textOf(cell->foreground(), s.grid()), cell->background().color());
    s.click(QStringLiteral("E001"));
    auto *field = s.window.findChild<QLineEdit *>(QStringLiteral("txtExtNo"));
    QVERIFY(field && field->isVisible());
    readable("pane field", field->palette().color(QPalette::Text),
             field->palette().color(QPalette::Base));
    s.doc.setConfigChanged(false);
}

void TestMainWindow::readOnlyFieldsLookReadOnly_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("shown");    // a box that only shows a value
    QTest::addColumn<QString>("editable"); // a field of the same pane
    QTest::newRow("extension equipment") << "E001" << "txtEquip" << "txtExtName";
    QTest::newRow("tie-line board") << "T004" << "txtTieBoard" << "txtTieName";
    QTest::newRow("group lead") << "G000" << "txtGroupLead" << "txtGrpName";
}

void TestMainWindow::readOnlyFieldsLookReadOnly()
{
    QFETCH(QString, key);
    QFETCH(QString, shown);
    QFETCH(QString, editable);
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    s.click(key);
    auto *info = s.window.findChild<QLineEdit *>(shown);
    auto *field = s.window.findChild<QLineEdit *>(editable);
    QVERIFY(info && field && info->isVisible());
    QVERIFY(info->isReadOnly());
    QCOMPARE(info->palette().color(QPalette::Base), info->palette().color(QPalette::Window));
    QVERIFY(info->palette().color(QPalette::Base) != field->palette().color(QPalette::Base));
}

void TestMainWindow::tabLeavesTreeForAField_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("field"); // the first thing the technician can type in
    QTest::newRow("system") << "RRR" << "txtSysName";
    QTest::newRow("extension") << "E001" << "txtExtName";
    QTest::newRow("tie line") << "T004" << "txtTieName";
    QTest::newRow("group") << "G000" << "txtGrpName";
}

void TestMainWindow::tabLeavesTreeForAField()
{
    QFETCH(QString, key);
    QFETCH(QString, field);
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    s.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    s.click(key);
    s.tree()->setFocus();
    QTest::keyClick(s.tree(), Qt::Key_Tab);
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QCOMPARE(focus->objectName(), field);
    QVERIFY(focus->isVisible() && !focus->visibleRegion().isEmpty());
}

void TestMainWindow::renameThroughTree_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("newText");
    QTest::addColumn<QString>("expectedNodeText"); // empty: refused
    QTest::addColumn<bool>("changes");
    const QString name = QStringLiteral("New name");
    QTest::newRow("extension takes a true name")
        << QStringLiteral("E002") << name << QStringLiteral("103 (New name)") << true;
    QTest::newRow("tie line") << QStringLiteral("T004") << name << name << true;
    QTest::newRow("group") << QStringLiteral("G000") << name << name << true;
    QTest::newRow("same name again is no change")
        << QStringLiteral("E000") << QStringLiteral("Bridge") << QStringLiteral("101 (Bridge)")
        << false;
    QTest::newRow("system refused") << QStringLiteral("RRR") << name << QString() << false;
    QTest::newRow("category refused") << QStringLiteral("REX") << name << QString() << false;
    QTest::newRow("report refused") << QStringLiteral("P321") << name << QString() << false;
}

void TestMainWindow::renameThroughTree()
{
    QFETCH(QString, key);
    QFETCH(QString, newText);
    QFETCH(QString, expectedNodeText);
    QFETCH(bool, changes);
    Configuration c = fixtures::smallShip();
    c.Extensions[2].TrueName = false;
    c.SysConfig.LastUpdate = QStringLiteral("01/02/2026 10:00"); // as the scratch file records it
    const QString path = scratch_->write(QStringLiteral("ship.TWZ"), c);
    Session s(path);
    const QString before = s.tree()->findNode(key)->text(0);
    const bool started = s.tree()->renameNode(key);
    QCOMPARE(started, !expectedNodeText.isEmpty());
    if (!started) {
        QCOMPARE(s.tree()->findNode(key)->text(0), before);
        QVERIFY(!s.doc.configChanged());
        return;
    }
    QLineEdit *editor = nullptr;
    for (QLineEdit *line : s.tree()->findChildren<QLineEdit *>()) {
        if (line->isVisible())
            editor = line;
    }
    QVERIFY(editor);
    editor->setText(newText);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the view commits the editor from a queued call
    QCOMPARE(s.tree()->findNode(key)->text(0), expectedNodeText);
    QCOMPARE(s.doc.configChanged(), changes);
    if (!changes)
        return;
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + path + QLatin1Char('*'));

    // Closing asks to save; Cancel keeps the window, No closes without writing.
    scratch_->prompter.buttons.enqueue(QMessageBox::Cancel);
    QVERIFY(!s.window.close());
    QVERIFY(s.window.isVisible());
    scratch_->prompter.buttons.enqueue(QMessageBox::No);
    QVERIFY(s.window.close());
    QCOMPARE(scratch_->prompter.texts(), (QStringList{QStringLiteral("Do you wish to save the file"),
                                              QStringLiteral("Do you wish to save the file")}));
    Configuration onDisk = makeDefaultConfiguration();
    QVERIFY(loadConfigurationFile(path, onDisk).ok);
    QCOMPARE(onDisk, c);
}

void TestMainWindow::paneEditCommittedOnLeaving_data()
{
    QTest::addColumn<QString>("leaveBy");
    QTest::newRow("another node") << QStringLiteral("REX");
    QTest::newRow("File Save") << QStringLiteral("mnuFileSave");
}

void TestMainWindow::paneEditCommittedOnLeaving()
{
    QFETCH(QString, leaveBy);
    const QString path = scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip());
    Session s(path);
    s.click(QStringLiteral("E001"));
    auto *name = s.window.findChild<QLineEdit *>(QStringLiteral("txtExtName"));
    QVERIFY(name);
    name->setText(QStringLiteral("Wardroom"));
    name->setModified(true); // as typing leaves it
    if (leaveBy.startsWith(QLatin1String("mnu")))
        s.action(leaveBy)->trigger();
    else
        s.click(leaveBy);
    QCOMPARE(s.doc.config.Extensions[1].Name, QStringLiteral("Wardroom"));
    QCOMPARE(s.tree()->findNode(QStringLiteral("E001"))->text(0), QStringLiteral("102 (Wardroom)"));
    if (leaveBy == QLatin1String("mnuFileSave")) {
        Configuration onDisk = makeDefaultConfiguration();
        QVERIFY(loadConfigurationFile(path, onDisk).ok);
        QCOMPARE(onDisk.Extensions[1].Name, QStringLiteral("Wardroom"));
        QVERIFY(!s.doc.configChanged());
    } else {
        QVERIFY(s.doc.configChanged());
        s.doc.setConfigChanged(false);
    }
}

void TestMainWindow::paneWarningInStatusBar()
{
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    s.click(QStringLiteral("E001"));
    auto *number = s.window.findChild<QLineEdit *>(QStringLiteral("txtExtNo"));
    QVERIFY(number);
    number->setText(QStringLiteral("600"));
    number->setModified(true);
    s.click(QStringLiteral("REX"));
    auto *status = s.window.findChild<QLabel *>(QStringLiteral("Status"));
    QVERIFY2(status->text().startsWith(QStringLiteral("WARNING: ")), qPrintable(status->text()));
    QCOMPARE(s.errors()->item(0, 3)->text(), QStringLiteral("Invalid Extension Number (600)"));
    QCOMPARE(s.errors()->referenceAt(0), QStringLiteral("E001"));
    QVERIFY(s.tree()->highlightedKeys().contains(QStringLiteral("E001")));
    s.doc.setConfigChanged(false);
}

void TestMainWindow::saveAndReopen()
{
    const QString path = scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip());
    {
        Session s(path);
        QVERIFY(s.tree()->renameNode(QStringLiteral("E000")));
        QLineEdit *editor = s.tree()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("Captain"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the view commits the editor from a queued call
        QVERIFY(s.window.windowTitle().endsWith(QLatin1Char('*')));
        s.action(QStringLiteral("mnuFileSave"))->trigger();
        QVERIFY(!s.doc.configChanged());
        QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + path);
        QVERIFY(s.window.close()); // nothing left to ask
        QVERIFY(scratch_->prompter.asked.isEmpty());
    }
    Session again(path);
    QCOMPARE(again.tree()->findNode(QStringLiteral("E000"))->text(0),
             QStringLiteral("101 (Captain)"));
    QCOMPARE(again.action(QStringLiteral("mnuFileMRU1"))->text(),
             QStringLiteral("&1 ") + QDir::toNativeSeparators(path));
    QVERIFY(!again.action(QStringLiteral("mnuFileMRU2"))->isVisible());
}

void TestMainWindow::dosImportSavesAsTwz()
{
    // A DOS file with one extension, 101 "Bridge", and no slot map.
    QByteArray bytes("HELMWISE V02.03\r\nMV Test\r\n\r\n*");
    bytes.append(char(1)).append(char(0)); // one extension, no tie lines
    bytes.append(2, '\0');                 // its word in the ignored table
    QByteArray ext(23, '\0');
    ext[0] = char(101);
    ext.replace(4, 6, "Bridge");
    bytes.append(ext).append(char(0)).append('$'); // no groups, no slot map
    const QString dos = scratch_->write(QStringLiteral("Ship.TDZ"), bytes);
    QFile file(dos);

    Session s(dos);
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + dos);
    QCOMPARE(s.tree()->findNode(QStringLiteral("E000"))->text(0), QStringLiteral("101 (Bridge)"));
    // Save does not write our format under the DOS name: it asks for a .TWZ name.
    const QString twz = scratch_->path(QStringLiteral("Ship.TWZ"));
    scratch_->prompter.files.enqueue(twz);
    s.action(QStringLiteral("mnuFileSave"))->trigger();
    QCOMPARE(scratch_->prompter.asked.size(), 1);
    QCOMPARE(scratch_->prompter.asked[0].kind, Prompt::SaveFile);
    QCOMPARE(scratch_->prompter.asked[0].proposedName, twz);
    QCOMPARE(s.doc.currentFile(), twz);
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + twz);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QString written = twz;
    QVERIFY(existFile(written));
    // Saved once under its new name, Save writes there without asking.
    s.action(QStringLiteral("mnuFileSave"))->trigger();
    QCOMPARE(scratch_->prompter.asked.size(), 1);
}

void TestMainWindow::failedSave_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("title");
    QTest::newRow("save") << QStringLiteral("mnuFileSave") << QStringLiteral("Save");
    QTest::newRow("save as") << QStringLiteral("mnuFileSaveAs") << QStringLiteral("Save As");
}

void TestMainWindow::failedSave()
{
    QFETCH(QString, command);
    QFETCH(QString, title);
    QDir(scratch_->dir.path()).mkdir(QStringLiteral("gone"));
    const QString path = scratch_->path(QStringLiteral("gone/ship.TWZ"));
    QVERIFY(writeConfigFile(path, fixtures::smallShip()));
    Session s(path);
    s.doc.config.SysConfig.Name = QStringLiteral("Changed");
    s.doc.markChanged();
    QVERIFY(QDir(scratch_->path(QStringLiteral("gone"))).removeRecursively());
    const QString target = command == QLatin1String("mnuFileSaveAs")
                               ? scratch_->path(QStringLiteral("missing/other.TWZ"))
                               : path;
    scratch_->prompter.files.enqueue(target);
    s.action(command)->trigger();
    // A save that failed never lets the window close over unsaved work.
    QVERIFY(s.window.isVisible());
    const Prompt &said = scratch_->prompter.asked.last();
    QCOMPARE(said.title, title);
    QVERIFY2(
        said.text.startsWith(QStringLiteral("Unable to save ") + QDir::toNativeSeparators(target)),
        qPrintable(said.text));
    QCOMPARE(s.doc.currentFile(), path);
    QVERIFY(s.doc.configChanged());
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + path + QLatin1Char('*'));
    s.doc.setConfigChanged(false);
}

void TestMainWindow::saveQuestion_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("question"); // empty: none asked
    const QString current = QStringLiteral("Do you wish to save the current file");
    QTest::newRow("new, changed") << QStringLiteral("mnuFileNew") << true << current;
    QTest::newRow("open, changed") << QStringLiteral("mnuFileOpen") << true << current;
    QTest::newRow("recent file, changed") << QStringLiteral("mnuFileMRU1") << true << current;
    QTest::newRow("exit, unchanged") << QStringLiteral("mnuFileExit") << false << QString();
    QTest::newRow("exit, changed")
        << QStringLiteral("mnuFileExit") << true << QStringLiteral("Do you wish to save the file");
}

void TestMainWindow::saveQuestion()
{
    QFETCH(QString, command);
    QFETCH(bool, changed);
    QFETCH(QString, question);
    const QString path = scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip());
    Session s(path);
    if (changed) {
        s.doc.config.SysConfig.Name = QStringLiteral("Changed");
        s.doc.markChanged();
    }
    // Cancel stops every command, so whatever was asked, nothing is replaced.
    scratch_->prompter.buttons.enqueue(QMessageBox::Cancel);
    s.action(command)->trigger();
    QStringList questions;
    for (const Prompt &p : scratch_->prompter.asked) {
        if (p.kind == Prompt::Question)
            questions << p.text;
    }
    QCOMPARE(questions, question.isEmpty() ? QStringList() : QStringList{question});
    if (changed) {
        QCOMPARE(s.doc.config.SysConfig.Name, QStringLiteral("Changed"));
        QVERIFY(s.window.isVisible());
    }
    s.doc.setConfigChanged(false);
}

void TestMainWindow::fileKeys_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("command");
    QTest::newRow("Ctrl+Shift+S") << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)
                                  << QStringLiteral("mnuFileSaveAs");
    QTest::newRow("Ctrl+Q") << QKeySequence(Qt::CTRL | Qt::Key_Q) << QStringLiteral("mnuFileExit");
}

void TestMainWindow::fileKeys()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QString, command);
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    s.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    QSignalSpy triggered(s.action(command), &QAction::triggered);
    QTest::keySequence(&s.window, keys);
    QCOMPARE(triggered.count(), 1);
}

void TestMainWindow::settingsRestored_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal window stores its placement") << false;
    QTest::newRow("maximised window keeps the stored one") << true;
}

void TestMainWindow::settingsRestored()
{
    QFETCH(bool, maximised);
    // The settings file as earlier versions left it.
    const QString folder = scratch_->settings.filePath(QStringLiteral("Corvane Telecom Limited"));
    QFile stored(folder + QStringLiteral("/Tidelex Analog.conf"));
    QVERIFY(QDir().mkpath(folder) && stored.open(QIODevice::WriteOnly));
    stored.write(
        "[Settings]\nMRU\\Count=2\nMRU\\MRU1=/ships/Aurora.TWZ\nMRU\\MRU2=/ships/B.TWZ\n"
        "Transfer\\ReadTwice=true\nWindow\\Left=1500\nWindow\\Top=1200\n"
        "Window\\Width=9000\nWindow\\Height=7500\nWindow\\ShowErrors=0\nWindow\\ViewMode=2\n");
    stored.close();
    Session s{QString()};
    QCOMPARE(s.window.size(), QSize(600, 500));
    QCOMPARE(s.action(QStringLiteral("mnuFileMRU2"))->text(),
             QStringLiteral("&2 ") + QDir::toNativeSeparators(QStringLiteral("/ships/B.TWZ")));
    QVERIFY(s.action(QStringLiteral("mnuConfigVerify"))->isChecked());
    QVERIFY(!s.action(QStringLiteral("mnuViewConfError"))->isChecked());
    QVERIFY(!s.errors()->isVisible());
    QVERIFY(s.action(QStringLiteral("mnuListViewMode2"))->isChecked());

    s.action(QStringLiteral("mnuViewConfError"))->trigger();
    QVERIFY(s.errors()->isVisible());
    s.action(QStringLiteral("mnuListViewMode3"))->trigger();
    if (maximised)
        s.window.showMaximized();
    else
        s.window.resize(700, 520);
    QVERIFY(s.window.close());
    QCOMPARE(settingsValue(QStringLiteral("Settings/Window/Width")),
             QString::number(maximised ? 9000 : 700 * 15));
    QCOMPARE(settingsValue(QStringLiteral("Settings/Window/Height")),
             QString::number(maximised ? 7500 : 520 * 15));
    QCOMPARE(settingsValue(QStringLiteral("Settings/Window/ShowErrors")), QStringLiteral("1"));
    QCOMPARE(settingsValue(QStringLiteral("Settings/Window/ViewMode")), QStringLiteral("3"));
}

void TestMainWindow::doubleClickOpensRecord_data()
{
    QTest::addColumn<QString>("category"); // the list shown; empty: the error list
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expectedView");
    QTest::addColumn<int>("expectedIndex"); // record shown in the pane; -1: no pane shown
    const QString ext = QStringLiteral("vspData1"), tie = QStringLiteral("vspData0"),
                  grp = QStringLiteral("vspData2");
    QTest::newRow("extension icon")
        << QStringLiteral("REX") << 0 << QStringLiteral("E003") << ext << 3;
    QTest::newRow("tie line in the list")
        << QStringLiteral("RTL") << 2 << QStringLiteral("T006") << tie << 6;
    QTest::newRow("group row of the grid")
        << QStringLiteral("RGP") << 3 << QStringLiteral("G000") << grp << 0;
    QTest::newRow("error of an extension") << QString() << 0 << QStringLiteral("E002") << ext << 2;
    QTest::newRow("error of a tie line") << QString() << 0 << QStringLiteral("T005") << tie << 5;
    QTest::newRow("error of a group") << QString() << 0 << QStringLiteral("G000") << grp << 0;
    QTest::newRow("error of the system")
        << QString() << 0 << QStringLiteral("RRR") << QStringLiteral("vspData3") << 0;
    QTest::newRow("error of no single record: nothing happens")
        << QString() << 0 << QStringLiteral("XXX") << QStringLiteral("lvPorts") << -1;
}

void TestMainWindow::doubleClickOpensRecord()
{
    QFETCH(QString, category);
    QFETCH(int, mode);
    QFETCH(QString, key);
    QFETCH(QString, expectedView);
    QFETCH(int, expectedIndex);
    Configuration c = fixtures::smallShip();
    c.Extensions[2].ExtNum = 99;             // E002: invalid number
    c.TieLines[5].Ext1 = 0;                  // T005: no default incoming extension
    c.Groups[0].Exts[1] = 300;               // G000: no such extension
    c.SysConfig.Pass = QStringLiteral("AB"); // RRR: password too short
    c.TieLines[4].Dial6[0] = true;           // XXX: two classes on code 61
    c.TieLines[6].Dial6[0] = true;
    c.TieLines[6].Class = TieClassSatComm;
    Session s(scratch_->write(QStringLiteral("faults.TWZ"), c));
    s.window.setListViewMode(mode);
    s.click(category.isEmpty() ? QStringLiteral("REX") : category); // away from the system pane
    QAbstractItemView *view = s.list();
    QModelIndex index;
    if (category.isEmpty()) {
        view = s.errors();
        for (int r = 0; r < s.errors()->rowCount() && !index.isValid(); ++r) {
            if (s.errors()->referenceAt(r) == key)
                index = s.errors()->model()->index(r, 2);
        }
    } else if (mode == 3) {
        // The position column cannot be edited, so a double-click there opens the record.
        view = s.grid();
        index = s.grid()->model()->index(s.grid()->rowOfKey(key), 2);
    } else {
        for (int r = 0; r < s.list()->count() && !index.isValid(); ++r) {
            if (s.list()->keyAt(r) == key)
                index = s.list()->model()->index(r, 0);
        }
    }
    QVERIFY(index.isValid());
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(s.view(), expectedView);
    if (key != QLatin1String("XXX"))
        QCOMPARE(s.tree()->currentKey(), key);
    const auto *pane = qobject_cast<const EditPane *>(s.window.currentView());
    QCOMPARE(pane ? pane->currentIndex() : -1, expectedIndex);
}

void TestMainWindow::gridEditing_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("recordKey");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("answer"); // to a question, if one is asked
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("problem"); // a finding the check must then report
    QTest::newRow("duplicate extension number")
        << QStringLiteral("REX") << QStringLiteral("E001") << 4 << QVariant(QStringLiteral("101"))
        << 0 << true << QStringLiteral("Duplicate Extension number (101)");
    QTest::newRow("extension number that is no number")
        << QStringLiteral("REX") << QStringLiteral("E001") << 4 << QVariant(QStringLiteral("1o1"))
        << 0 << false << QString();
    QTest::newRow("tie line to a missing extension")
        << QStringLiteral("RTL") << QStringLiteral("T005") << 5 << QVariant(301) << 0 << true
        << QStringLiteral("No such Extension (301)");
    QTest::newRow("group in use to pickup, answered No")
        << QStringLiteral("RGP") << QStringLiteral("G000") << 4 << QVariant(128)
        << int(QMessageBox::No) << false << QString();
    QTest::newRow("group in use to pickup, answered Yes")
        << QStringLiteral("RGP") << QStringLiteral("G000") << 4 << QVariant(128)
        << int(QMessageBox::Yes) << true << QStringLiteral("Invalid Group (501)");
    QTest::newRow("position is not editable")
        << QStringLiteral("REX") << QStringLiteral("E001") << 2 << QVariant(QStringLiteral("09.9"))
        << 0 << false << QString();
}

void TestMainWindow::gridEditing()
{
    QFETCH(QString, category);
    QFETCH(QString, recordKey);
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QFETCH(int, answer);
    QFETCH(bool, stored);
    QFETCH(QString, problem);
    Configuration c = fixtures::smallShip();
    c.Extensions[3].Group = 501; // the hunt group is in use
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), c));
    s.window.setListViewMode(3);
    s.click(category);
    QCOMPARE(s.view(), QStringLiteral("vsPorts"));
    const int row = s.grid()->rowOfKey(recordKey);
    QVERIFY(row >= 0);
    if (answer)
        scratch_->prompter.buttons.enqueue(QMessageBox::StandardButton(answer));
    const Configuration before = s.doc.config;
    s.grid()->commitCell(row, column, value);
    QCOMPARE(s.doc.config != before, stored);
    QCOMPARE(s.doc.configChanged(), stored);
    if (!problem.isEmpty()) {
        QStringList problems;
        for (const Finding &f : s.window.lastCheck().findings)
            problems << f.problem;
        QVERIFY2(problems.contains(problem), qPrintable(problems.join(QLatin1Char('|'))));
    }
    if (category == QLatin1String("RTL") && stored) {
        // The incoming extension names nothing live: its cell is red, the others are not.
        QVERIFY(s.grid()->cellHighlighted(row, 5));
        QVERIFY(!s.grid()->cellHighlighted(s.grid()->rowOfKey(QStringLiteral("T004")), 5));
    }
    if (category == QLatin1String("REX") && stored) {
        // Both rows holding the number are red.
        QVERIFY(s.grid()->cellHighlighted(row, 4));
        QVERIFY(s.grid()->cellHighlighted(s.grid()->rowOfKey(QStringLiteral("E000")), 4));
        QVERIFY(!s.grid()->cellHighlighted(s.grid()->rowOfKey(QStringLiteral("E002")), 4));
    }
    s.doc.setConfigChanged(false);
}

void TestMainWindow::reportCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("print") << QStringLiteral("mnuFilePrint") << QStringLiteral("Print Report")
                           << QStringLiteral("Please select a report before printing");
    QTest::newRow("save report") << QStringLiteral("mnuFileSaveReport")
                                 << QStringLiteral("Save Report")
                                 << QStringLiteral("Please select a report before saving");
}

void TestMainWindow::reportCommands()
{
    QFETCH(QString, command);
    QFETCH(QString, title);
    QFETCH(QString, text);
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    QVERIFY(!s.action(QStringLiteral("mnuViewSort1"))->isVisible());
    s.action(command)->trigger();
    QCOMPARE(scratch_->prompter.asked.size(), 1);
    QCOMPARE(scratch_->prompter.asked[0].title, title);
    QCOMPARE(scratch_->prompter.asked[0].text, text);
    // A report node shows the report options; leaving it hides them again.
    s.click(QStringLiteral("P321"));
    QCOMPARE(s.view(), QStringLiteral("vspReport"));
    QVERIFY(s.action(QStringLiteral("mnuViewSort5"))->isVisible());
    // With the report shown, Save Report writes it where the user says.
    const QString pdf = scratch_->path(QStringLiteral("ship.pdf"));
    scratch_->prompter.files.enqueue(pdf);
    s.action(QStringLiteral("mnuFileSaveReport"))->trigger();
    QCOMPARE(scratch_->prompter.asked.last().kind, Prompt::SaveFile);
    QCOMPARE(scratch_->prompter.asked.last().proposedName, pdf);
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(4) == "%PDF");
    // The preview's own PDF button does the same.
    const QString again = scratch_->path(QStringLiteral("again.pdf"));
    scratch_->prompter.files.enqueue(again);
    s.window.findChild<QAction *>(QStringLiteral("cmdPdf"))->trigger();
    QCOMPARE(scratch_->prompter.asked.last().kind, Prompt::SaveFile);
    QVERIFY(QFileInfo(again).size() > 0);
    s.click(QStringLiteral("RGP"));
    QVERIFY(!s.action(QStringLiteral("mnuViewSort5"))->isVisible());
    // Away from the report, the commands refuse again.
    const int asked = int(scratch_->prompter.asked.size());
    s.action(command)->trigger();
    QCOMPARE(scratch_->prompter.asked.size(), asked + 1);
    QCOMPARE(scratch_->prompter.asked.last().text, text);
}

void TestMainWindow::exportLists_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<char>("separator");
    QTest::newRow("comma separated")
        << QStringLiteral("Ship.CSV")
        << QStringList{QStringLiteral("Ship_Extensions.CSV"), QStringLiteral("Ship_TieLines.CSV"),
                       QStringLiteral("Ship_Groups.CSV")}
        << ',';
    QTest::newRow("cancelled") << QString() << QStringList() << ' ';
}

void TestMainWindow::exportLists()
{
    QFETCH(QString, chosen);
    QFETCH(QStringList, written);
    QFETCH(char, separator);
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    QDir out(scratch_->path(QStringLiteral("out")));
    QVERIFY(out.mkpath(QStringLiteral(".")));
    scratch_->prompter.files.enqueue(chosen.isEmpty() ? QString() : out.filePath(chosen));
    s.action(QStringLiteral("mnuFileExport"))->trigger();
    QCOMPARE(out.entryList(QDir::Files, QDir::Name), [&] {
        QStringList sorted = written;
        sorted.sort();
        return sorted;
    }());
    if (written.isEmpty())
        return;
    QFile extensions(out.filePath(written[0]));
    QVERIFY(extensions.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = extensions.readAll().split('\n');
    QVERIFY(lines.value(0).startsWith(QByteArray("\"Board\"") + separator));
    QVERIFY2(lines.value(1).contains("\"Bridge\""), lines.value(1).constData());
    // No message: the export succeeded.
    QCOMPARE(scratch_->prompter.asked.size(), 1);
}

void TestMainWindow::splashLines_data()
{
    QTest::addColumn<int>("emptyMessages");
    QTest::addColumn<QStringList>("expected");
    const QString version = QStringLiteral("Version ") + QStringLiteral(HELMWISE_VERSION);
    const QString search = QStringLiteral("Searching for Tidelex Programming Module");
    QTest::newRow("about box: the version line shows")
        << 0 << QStringList{QString(), QString(), QString(), version};
    QTest::newRow("start-up: four empty lines push the version out")
        << 4 << QStringList{QString(), QString(), QString(), search};
    QTest::newRow("two lines only: version still visible")
        << 2 << QStringList{version, QString(), QString(), search};
}

void TestMainWindow::splashLines()
{
    QFETCH(int, emptyMessages);
    QFETCH(QStringList, expected);
    SplashScreen splash;
    const bool about = emptyMessages == 0;
    if (about)
        splash.showHelp();
    splash.show();
    // The start-up splash closes by itself; the About box stays until closed.
    QCOMPARE(splash.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive(), !about);
    for (int i = 0; i < emptyMessages; ++i)
        splashMessage(QString());
    if (emptyMessages > 0)
        splashMessage(QStringLiteral("Searching for Tidelex Programming Module"));
    QCOMPARE(splash.messages(), expected);
    splash.close();
    // A splash that is not visible takes no messages.
    splashMessage(QStringLiteral("late"));
    QVERIFY(!splash.messages().contains(QStringLiteral("late")));
}

void TestMainWindow::helpWindow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("searchFor");
    QTest::addColumn<bool>("found");
    QTest::newRow("contents") << QStringLiteral("mnuHelpContents") << QString() << false;
    QTest::newRow("search finds a topic")
        << QStringLiteral("mnuHelpSearch") << QStringLiteral("tab-separated") << true;
    QTest::newRow("search for something absent")
        << QStringLiteral("mnuHelpSearch") << QStringLiteral("xylophone") << false;
}

void TestMainWindow::helpWindow()
{
    QFETCH(QString, command);
    QFETCH(QString, searchFor);
    QFETCH(bool, found);
    Session s{QString()};
    s.action(command)->trigger();
    auto *help = s.window.findChild<HelpWindow *>();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QVERIFY(scratch_->prompter.asked.isEmpty()); // no "There is no Help" message
    auto *text = help->findChild<QTextBrowser *>(QStringLiteral("txtHelp"));
    QVERIFY(text->toPlainText().contains(QStringLiteral("Configuration errors")));
    // A readable page, centred and whole on the screen.
    const QRect area = s.window.screen()->availableGeometry();
    QVERIFY(area.contains(help->geometry()));
    QVERIFY(help->width() >= std::min(700, area.width() * 8 / 10));
    QVERIFY(help->height() >= std::min(500, area.height() * 8 / 10));
    QVERIFY((help->geometry().center() - area.center()).manhattanLength() <= 2);
    if (!searchFor.isEmpty())
        QCOMPARE(help->find(searchFor), found);
    QVERIFY(s.window.close());
    QVERIFY(!help->isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
