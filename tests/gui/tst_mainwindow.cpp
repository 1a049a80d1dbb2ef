// The main window as a technician uses it: opening files, the tree, the
// lists and what their rows say, the error list, renaming, saving and the
// settings.
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
#include "ListTexts.h"
#include "NavTree.h"
#include "Palettes.h"
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

#include <memory>

using namespace tidelex;

using fixtures::Session;

namespace
{

QString settingsValue(const QString &name)
{
    return fixtures::programSettings().value(name).toString();
}

// Gives a command from its menu ("mnu..."), or else by pressing its keys.
void give(Session &s, const QString &command)
{
    if (command.startsWith(QLatin1String("mnu"))) {
        s.action(command)->trigger();
        return;
    }
    s.window.activateWindow();
    if (!QTest::qWaitForWindowActive(&s.window))
        qWarning("the window is not active to take the keys");
    QTest::keySequence(&s.window, QKeySequence(command));
}

QSet<QString> toSet(const QStringList &list)
{
    return QSet<QString>(list.begin(), list.end());
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
    void extensionOptionText_data();
    void extensionOptionText();
    void tieLineTexts_data();
    void tieLineTexts();
    void groupRowTexts();
    void listedRecords_data();
    void listedRecords();
    void recentFiles_data();
    void recentFiles();
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
    void dosImportSavesAsTwz();
    void failedSave_data();
    void failedSave();
    void saveQuestion_data();
    void saveQuestion();
    void settingsRestored_data();
    void settingsRestored();
    void doubleClickOpensRecord_data();
    void doubleClickOpensRecord();
    void gridEditing_data();
    void gridEditing();
    void reportCommands_data();
    void reportCommands();
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
    QCOMPARE(s.action(QStringLiteral("mnuFileMRU1"))->text(),
             QStringLiteral("&1 ") + QDir::toNativeSeparators(good));
    QVERIFY(!s.action(QStringLiteral("mnuFileMRU2"))->isVisible());
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
    // A third click sorts ascending again.
    s.list()->sortByColumn(1);
    QCOMPARE(s.list()->cellsAt(0).value(1), QStringLiteral("101"));
}

void TestMainWindow::extensionOptionText_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<QList<int>>("bits"); // byte * 256 + mask
    QTest::addColumn<int>("directDial");
    QTest::addColumn<QString>("expected");
    auto bit = [](int byte, int mask) { return byte * 256 + mask; };
    QTest::newRow("custom: every option, in the fixed order")
        << ClassCustom << QList<int>{bit(4, ExtDial9),       bit(0, ExtRecall), bit(1, ExtMF),
                                     bit(1, ExtLD),          bit(1, ExtCOSB),   bit(1, ExtHash),
                                     bit(1, ExtNightPickup), bit(1, ExtRapid),  bit(1, ExtIntrude),
                                     bit(4, ExtHotLine)}
        << 0 << QStringLiteral("9 Recall MF LD COSB # 8 Rapid Intrude Hot ");
    QTest::newRow("officer: options are the class's, not listed")
        << ClassOfficer << QList<int>{bit(0, ExtRecall), bit(1, ExtMF)} << 0 << QString();
    QTest::newRow("hot line names its target")
        << ClassHotLine << QList<int>{} << 103 << QStringLiteral("Calls Mess (103)");
    QTest::newRow("hot line to a missing number")
        << ClassHotLine << QList<int>{} << 450 << QStringLiteral("Calls Unknown Extension (450)");
}

void TestMainWindow::extensionOptionText()
{
    QFETCH(int, cls);
    QFETCH(QList<int>, bits);
    QFETCH(int, directDial);
    QFETCH(QString, expected);
    Configuration c = fixtures::smallShip();
    ExtRecord &e = c.Extensions[4];
    e.Class = int16_t(cls);
    e.Status = {};
    for (int b : bits)
        e.Status[b / 256] |= uint8_t(b % 256);
    e.DirectDial = int16_t(directDial);
    QCOMPARE(::extensionOptionText(c, 4), expected);
    // The list's "Options" column and the grid's last column carry the same text.
    const PortRow row = addExtItem(c, 4);
    QCOMPARE(row.listCells.value(5), expected);
    QCOMPARE(row.gridCells.value(6), expected);
}

void TestMainWindow::tieLineTexts_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<bool>("dtmf");
    QTest::addColumn<bool>("dial9");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<bool>("ddi");
    QTest::addColumn<QString>("dial");
    QTest::addColumn<QString>("outgoing");
    QTest::addColumn<QString>("ext1Cell");
    QTest::addColumn<QString>("options");
    QTest::newRow("shore, DTMF, 9 and 61, 63")
        << TieClassShore << true << true << QList<int>{0, 2} << true << QStringLiteral("DTMF")
        << QStringLiteral("DTMF 9 61 63 ") << QStringLiteral("Bridge (101)")
        << QStringLiteral("DDI ");
    QTest::newRow("sat comm, loop dial")
        << TieClassSatComm << false << false << QList<int>{7} << false << QStringLiteral("LD")
        << QStringLiteral("LD 68 ") << QStringLiteral("Bridge (101)") << QString();
    QTest::newRow("public address has no incoming side")
        << TieClassPA << true << false << QList<int>{1} << false << QString()
        << QStringLiteral("62 ") << QString() << QString();
}

void TestMainWindow::tieLineTexts()
{
    QFETCH(int, cls);
    QFETCH(bool, dtmf);
    QFETCH(bool, dial9);
    QFETCH(QList<int>, codes);
    QFETCH(bool, ddi);
    Configuration c = fixtures::smallShip();
    TieRecord &tie = c.TieLines[5];
    tie.Class = int16_t(cls);
    tie.Status[0] = uint8_t((dtmf ? TieDTMF : 0) | (ddi ? TieDDI : 0));
    tie.Dial9 = dial9;
    for (int k : codes)
        tie.Dial6[k] = true;
    QFETCH(QString, dial);
    QFETCH(QString, outgoing);
    QFETCH(QString, ext1Cell);
    QFETCH(QString, options);
    const PortRow row = addTieItem(c, 5);
    QCOMPARE(row.key, QStringLiteral("T005"));
    QCOMPARE(row.listCells.value(4), dial);
    QCOMPARE(row.gridCells.value(7), outgoing);
    QCOMPARE(row.gridCells.value(5), ext1Cell);
    QCOMPARE(row.gridCells.value(8), options);
    QCOMPARE(row.gridCells.value(2), QStringLiteral("02.2"));
    QCOMPARE(row.listCells.value(5), QStringLiteral("02"));
}

void TestMainWindow::groupRowTexts()
{
    Configuration c = fixtures::smallShip();
    c.Extensions[3].Group = 501; // Engine uses the hunt group
    GroupRecord &g = c.Groups[0];
    g.Num = 3;
    g.Exts[0] = 101;
    g.Exts[1] = -1; // an empty place is skipped
    g.Exts[2] = 103;
    PortRow row = addGroupItem(c, 0);
    QCOMPARE(row.listCells,
             (QStringList{QStringLiteral("Officers"), QStringLiteral("501"), QStringLiteral("Hunt"),
                          QStringLiteral("101"), QStringLiteral("103")}));
    QCOMPARE(row.iconKey, QStringLiteral("GrpHunt"));
    QCOMPARE(row.gridCells.value(5), QStringLiteral("104 ( Engine)"));
    QCOMPARE(row.gridCells.value(6), QStringLiteral("Bridge (101), Mess (103)"));

    g.Type = GroupPickup;
    row = addGroupItem(c, 0);
    QCOMPARE(row.listCells.value(2), QStringLiteral("PickUp"));
    QCOMPARE(row.gridCells.value(4), QStringLiteral("128"));
    QVERIFY2(row.gridCells.value(5).isEmpty(), "a pickup group has no lead extension");

    g.Type = 7;
    QCOMPARE(addGroupItem(c, 0).listCells.value(2), QStringLiteral("Unknown"));
}

void TestMainWindow::listedRecords_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("expectedKeys");
    const QStringList allExts = {QStringLiteral("E000"), QStringLiteral("E001"),
                                 QStringLiteral("E002"), QStringLiteral("E003"),
                                 QStringLiteral("E004"), QStringLiteral("E005"),
                                 QStringLiteral("E006"), QStringLiteral("E007")};
    QTest::newRow("extensions of the board") << 1 << QString() << allExts;
    QTest::newRow("extension 120 active is never listed")
        << 1 << QStringLiteral("ext120") << allExts;
    QTest::newRow("inactive extension left out")
        << 1 << QStringLiteral("ext3off") << QStringList(allExts.mid(0, 3) + allExts.mid(4));
    QTest::newRow("tie lines of the tie board")
        << 2 << QString()
        << QStringList{QStringLiteral("T004"), QStringLiteral("T005"), QStringLiteral("T006"),
                       QStringLiteral("T007")};
    QTest::newRow("active groups only")
        << 3 << QStringLiteral("group2") << QStringList{QStringLiteral("G000")};
}

void TestMainWindow::listedRecords()
{
    QFETCH(int, category);
    QFETCH(QString, change);
    QFETCH(QStringList, expectedKeys);
    Configuration c = fixtures::smallShip();
    if (change == QLatin1String("ext120")) {
        c.Extensions[120].Active = true;
        c.SysConfig.Slots[16] = BoardSubscriber;
    } else if (change == QLatin1String("ext3off")) {
        c.Extensions[3].Active = false;
    } else if (change == QLatin1String("group2")) {
        c.Groups[2].Name = QStringLiteral("Idle"); // never made active
    }
    QStringList keys;
    for (const PortRow &row : listRows(c, ListCategory(category)))
        keys << row.key;
    QCOMPARE(keys, expectedKeys);
    for (const PortRow &row : listRows(c, ListCategory(category))) {
        QCOMPARE(row.listCells.size(), listColumns(ListCategory(category)).size());
        QCOMPARE(row.gridCells.size(), gridHeader(ListCategory(category)).size());
    }
}

void TestMainWindow::recentFiles_data()
{
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("expectedMenu");
    QTest::addColumn<int>("expectedCount");
    QStringList eleven;
    for (int i = 1; i <= 11; ++i)
        eleven << QStringLiteral("/ship/f%1.TWZ").arg(i);
    QStringList newestNine;
    for (int i = 11; i >= 3; --i)
        newestNine << QStringLiteral("/ship/f%1.TWZ").arg(i);
    QTest::newRow("eleven files: the oldest falls off, nine shown") << eleven << newestNine << 10;
    const QString a = QStringLiteral("/s/a.TWZ"), b = QStringLiteral("/s/b.TWZ"),
                  c = QStringLiteral("/s/c.TWZ"), d = QStringLiteral("/s/d.TWZ"),
                  e = QStringLiteral("/s/e.TWZ");
    QTest::newRow("the top entry again changes nothing")
        << QStringList{a, b, b} << QStringList{b, a} << 2;
    QTest::newRow("fourth moves to the top")
        << QStringList{a, b, c, d, e, b} << QStringList{b, e, d, c, a} << 5;
    QTest::newRow("case matters") << QStringList{a, QStringLiteral("/s/A.TWZ")}
                                  << QStringList{QStringLiteral("/s/A.TWZ"), a} << 2;
}

void TestMainWindow::recentFiles()
{
    QFETCH(QStringList, opened);
    QFETCH(QStringList, expectedMenu);
    QFETCH(int, expectedCount);
    for (const QString &path : opened)
        AppSettings::checkMRU(path);
    QCOMPARE(AppSettings::recentFiles(), expectedMenu);
    QCOMPARE(settingsValue(QStringLiteral("Settings/MRU/Count")), QString::number(expectedCount));
}

void TestMainWindow::gridFitsDropDowns_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("column");
    // Every column with a drop-down is fitted alike; a tie line's takes typing.
    QTest::newRow("extension class") << QStringLiteral("REX") << 5;
    QTest::newRow("tie-line incoming extension") << QStringLiteral("RTL") << 5;
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
    if (dark)
        QApplication::setPalette(darkPalette());
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
}

void TestMainWindow::renameThroughTree()
{
    QFETCH(QString, key);
    QFETCH(QString, newText);
    QFETCH(QString, expectedNodeText);
    QFETCH(bool, changes);
    Configuration c = fixtures::smallShip();
    c.Extensions[2].TrueName = false;
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
    QCOMPARE(s.window.windowTitle().endsWith(QLatin1Char('*')), changes);
    s.doc.setConfigChanged(false);
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
        QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + path);
        QVERIFY(s.window.close()); // nothing left to ask
        QVERIFY(scratch_->prompter.asked.isEmpty());
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
    QTest::newRow("save as, by its keys")
        << QStringLiteral("Ctrl+Shift+S") << QStringLiteral("Save As");
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
    const QString target = title == QLatin1String("Save As")
                               ? scratch_->path(QStringLiteral("missing/other.TWZ"))
                               : path;
    scratch_->prompter.files.enqueue(target);
    give(s, command);
    // A save that failed never lets the window close over unsaved work.
    QVERIFY(s.window.isVisible());
    QVERIFY(!scratch_->prompter.asked.isEmpty());
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
    QTest::newRow("exit by its keys, changed")
        << QStringLiteral("Ctrl+Q") << true << QStringLiteral("Do you wish to save the file");
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
    give(s, command);
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
    // With the report shown, Save Report proposes the file's own name (the
    // saving itself: tst_keepwork's confirmations); the preview's own PDF
    // button does the same.
    const QString pdf = scratch_->path(QStringLiteral("ship.pdf"));
    scratch_->prompter.files.enqueue(pdf);
    s.action(QStringLiteral("mnuFileSaveReport"))->trigger();
    QCOMPARE(scratch_->prompter.asked.last().kind, Prompt::SaveFile);
    QCOMPARE(scratch_->prompter.asked.last().proposedName, pdf);
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
