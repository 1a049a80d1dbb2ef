// The main window as a technician uses it: opening files, the tree, the
// lists and what their rows say, the error list, renaming, saving, the
// settings, the Edit menu and the slot picture of the system pane (lamps,
// tooltips, double-click, board menus); that no work is lost (the save
// question, start-up and open with an unreadable file); the real dialogs
// behind the questions; and the Slots Display reading the simulated exchange.
#include "AppSettings.h"
#include "BoardsController.h"
#include "CheckConfig.h"
#include "ClassRightsDialog.h"
#include "CompareWindow.h"
#include "ConfigLoader.h"
#include "DefaultCabinet.h"
#include "EditPane.h"
#include "FailOnQtWarnings.h"
#include "GroupMembersDialog.h"
#include "GuiFixtures.h"
#include "HelpWindow.h"
#include "InstalledBoardsWindow.h"
#include "LinkRig.h"
#include "ListTexts.h"
#include "Palettes.h"
#include "SlotTexts.h"
#include "NewSystemDialog.h"
#include "SplashScreen.h"
#include "StartUp.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBrowser>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tidelex;

using fixtures::control;
using fixtures::Session;
using fixtures::statusText;
using Edit = std::function<void(Session &)>;
Q_DECLARE_METATYPE(Edit)
using Change = std::function<void(Configuration &)>;
Q_DECLARE_METATYPE(Change)

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

enum EditState { Unedited, Edited, StillTyping };

void typeAndCommit(Session &s, const char *box, const QString &text)
{
    auto *field = control<QLineEdit>(s.window, box);
    field->setText(text);
    field->setModified(true);
    QTest::keyClick(field, Qt::Key_Return);
}

// The records a list or the grid shows, in order.
template <typename View> QStringList shownKeys(View *view)
{
    QStringList keys;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        if (!view->isRowHidden(r))
            keys << view->keyAt(r);
    }
    return keys;
}

QStringList expandedKeys(QTreeWidget *tree)
{
    QStringList keys;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->isExpanded())
            keys << NavTree::keyOf(*it);
    }
    return keys;
}

QStringList extensionNames(const Configuration &c)
{
    QStringList names;
    for (int i = 0; i < 8; ++i)
        names << c.Extensions[i].Name;
    return names;
}

QPoint lampCentre(BoardStrip *strip, int c)
{
    QWidget *lamp = strip->lamp(c);
    return lamp->mapTo(strip, lamp->rect().center());
}

QPoint slotCentre(BoardStrip *strip, int slot)
{
    return strip->shape(slot)->geometry().center();
}

// The menu popped up from `window`, if any.
QMenu *poppedUp(const QWidget &window)
{
    for (QMenu *menu : window.findChildren<QMenu *>()) {
        if (menu->isVisible())
            return menu;
    }
    return nullptr;
}

// Right-clicks a slot and returns the menu that pops up.
QMenu *rightClick(const QWidget &window, BoardStrip *strip, int slot)
{
    const QPoint at = slotCentre(strip, slot);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, strip->mapToGlobal(at));
    QApplication::sendEvent(strip, &event);
    return poppedUp(window);
}

// Chooses an item as the user does: the menu closes, then the item acts.
void choose(QMenu *menu, const QString &item)
{
    QAction *action = menu->findChild<QAction *>(item);
    QVERIFY2(action, qPrintable(item));
    menu->close();
    action->trigger();
}

// "Bridge|101||Crew" as a list of cells.
QStringList cells(const char *barred)
{
    return QString::fromLatin1(barred).split(QLatin1Char('|'));
}

// "T000 T003" as a list.
QStringList names(const char *spaced)
{
    return QString::fromLatin1(spaced).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList ticked(QMenu *menu)
{
    QStringList names;
    for (QAction *action : menu->actions()) {
        if (action->isChecked())
            names << action->objectName();
    }
    return names;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void commandLine();
    void listModes_data();
    void listModes();
    void listSortedByColumn();
    void rowTexts_data();
    void rowTexts();
    void listedRecords_data();
    void listedRecords();
    void recentFiles_data();
    void recentFiles();
    void gridFitsDropDowns_data();
    void errorColoursReadInEveryPalette_data();
    void paneFields_data();
    void paneFields();
    void errorColoursReadInEveryPalette();
    void gridFitsDropDowns();
    void renameThroughTree_data();
    void renameThroughTree();
    void paneEditCommittedOnLeaving_data();
    void paneEditCommittedOnLeaving();
    void paneWarningInStatusBar();
    void dosImportSavesAsTwz();
    void settingsRestored_data();
    void settingsRestored();
    void doubleClickOpensRecord_data();
    void doubleClickOpensRecord();
    void gridEditing_data();
    void gridEditing();
    void reportCommands();
    void splashLines_data();
    void splashLines();
    void helpWindow();
    void startUpWithUnreadableFile_data();
    void startUpWithUnreadableFile();
    void splashGivesWayToDialogs();
    void newSystemIsUnsavedWork_data();
    void newSystemIsUnsavedWork();
    void askToSave_data();
    void askToSave();
    void failedOpenKeepsTheFile_data();
    void failedOpenKeepsTheFile();
    void confirmations_data();
    void confirmations();
    void saveNameGetsFilterSuffix_data();
    void saveNameGetsFilterSuffix();
    void enterPressesTheDefaultButton_data();
    void enterPressesTheDefaultButton();
    void undoRedoEveryEdit_data();
    void undoRedoEveryEdit();
    void undoKeysFromAnyField_data();
    void undoKeysFromAnyField();
    void savedMarkFollowsUndo();
    void hundredStepsKept();
    void findNarrowsViews_data();
    void findNarrowsViews();
    void pasteNames_data();
    void pasteNames();
    void severalRows();
    void compareWithFile();
    void tooltips_data();
    void tooltips();
    void slotPicture();
    void boardMenus_data();
    void boardMenus();
    void boardChange_data();
    void boardChange();
    void slotsDisplayCorrection();

  private:
    QString shipFile(const QString &name = QStringLiteral("ship.TWZ"),
                     const Configuration &config = ship());
    static Configuration ship();

    std::unique_ptr<fixtures::Scratch> scratch_;
    Configuration template_;
    int newSystemResult_ = QDialog::Rejected;
};

void TestMainWindow::initTestCase()
{
    template_ = makeDefaultConfiguration();
    template_.SysConfig.Name = QStringLiteral("Template ship");
    // The dialog answered as the technician would: OK with its proposals, or Cancel.
    FileCommands::setNewSystemRunner([this](NewSystemDialog &dialog) {
        if (newSystemResult_ == QDialog::Accepted)
            dialog.findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
        return dialog.result() == QDialog::Accepted ? int(QDialog::Accepted) : newSystemResult_;
    });
}

void TestMainWindow::init()
{
    failOnQtWarnings();
    scratch_ = std::make_unique<fixtures::Scratch>();
    FileCommands::setTemplateFile(scratch_->write(QStringLiteral("default.TWZ"), template_));
    newSystemResult_ = QDialog::Rejected;
}

void TestMainWindow::cleanup()
{
    scratch_.reset();
}

// The file named on the command line, quoted, is opened at start.
void TestMainWindow::commandLine()
{
    // A configuration with faults: two extensions numbered 101, a group member missing.
    Configuration faulty = fixtures::smallShip();
    faulty.Extensions[1].ExtNum = 101;
    const QString good = scratch_->write(QStringLiteral("ship one.TWZ"), faulty);

    Session s(QLatin1Char('"') + good + QLatin1Char('"'));
    QVERIFY(scratch_->prompter.asked.isEmpty());
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
    auto *bar = s.window.findChild<QToolBar *>(QStringLiteral("tbToolBar"));
    const auto item = [&s](int m) {
        return s.action(QStringLiteral("mnuListViewMode") + QString::number(m));
    };
    const auto button = [&](int m) {
        return qobject_cast<QToolButton *>(bar->widgetForAction(item(m)));
    };
    QVERIFY(button(mode));
    if (viaToolbar)
        button(mode)->click();
    else
        item(mode)->trigger();
    QCOMPARE(s.view(), expectedView);
    QCOMPARE(s.window.listViewMode(), mode);
    for (int m = 0; m < 4; ++m) {
        QCOMPARE(item(m)->isChecked(), m == mode);
        QCOMPARE(button(m)->isChecked(), m == mode);
    }
    // Both views hold the same records, and a name edited in the grid shows in the list.
    QCOMPARE(s.list()->count(), 8);
    QCOMPARE(s.grid()->rowCount(), 8);
    s.window.setListViewMode(3);
    s.grid()->commitCell(s.grid()->rowOfKey(QStringLiteral("E004")), 3, QStringLiteral("Sick bay"));
    s.window.setListViewMode(mode == 3 ? 1 : mode);
    QVERIFY(!s.list()->findItems(QStringLiteral("Sick bay"), Qt::MatchExactly).isEmpty());
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

void TestMainWindow::rowTexts_data()
{
    QTest::addColumn<Change>("change"); // to the small ship
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QStringList>("listCells");
    QTest::addColumn<QStringList>("gridCells");
    const auto row = [](const char *name, Change change, const char *key, const char *icon,
                        const char *list, const char *grid) {
        QTest::newRow(name) << change << QString::fromLatin1(key) << QString::fromLatin1(icon)
                            << cells(list) << cells(grid);
    };
    row(
        "custom extension: every option, in the fixed order",
        [](Configuration &c) {
            c.Extensions[4].Class = ClassCustom;
            c.Extensions[4].Status = {ExtRecall,
                                      ExtMF | ExtLD | ExtCOSB | ExtHash | ExtNightPickup |
                                          ExtRapid | ExtIntrude,
                                      0, 0, ExtDial9 | ExtHotLine};
        },
        "E004", "Ext", "Radio|105|Custom|01|5|9 Recall MF LD COSB # 8 Rapid Intrude Hot ",
        "004|E004|01.5|Radio|105|Custom|9 Recall MF LD COSB # 8 Rapid Intrude Hot ");
    row(
        "officer: options are the class's, not listed",
        [](Configuration &c) {
            c.Extensions[4].Class = ClassOfficer;
            c.Extensions[4].Status = {ExtRecall, ExtMF};
        },
        "E004", "ExtCosA", "Radio|105|Officer|01|5|", "004|E004|01.5|Radio|105|Officer|");
    row(
        "hot line names its target",
        [](Configuration &c) {
            c.Extensions[4].Class = ClassHotLine;
            c.Extensions[4].DirectDial = 103;
        },
        "E004", "Ext", "Radio|105|Hot Line|01|5|Calls Mess (103)",
        "004|E004|01.5|Radio|105|Hot Line|Calls Mess (103)");
    row(
        "hot line to a missing number",
        [](Configuration &c) {
            c.Extensions[4].Class = ClassHotLine;
            c.Extensions[4].DirectDial = 450;
        },
        "E004", "Ext", "Radio|105|Hot Line|01|5|Calls Unknown Extension (450)",
        "004|E004|01.5|Radio|105|Hot Line|Calls Unknown Extension (450)");
    row(
        "shore tie line, DTMF, 9 and 61, 63, DDI",
        [](Configuration &c) {
            c.TieLines[5].Status[0] = uint8_t(TieDTMF | TieDDI);
            c.TieLines[5].Dial9 = true;
            c.TieLines[5].Dial6[0] = c.TieLines[5].Dial6[2] = true;
        },
        "T005", "Tie", "Shore 2|101||Shore|DTMF|02|2|DDI ",
        "005|T005|02.2|Shore 2|Shore|Bridge (101)||DTMF 9 61 63 |DDI ");
    row(
        "sat comm, loop dial",
        [](Configuration &c) {
            c.TieLines[5].Class = TieClassSatComm;
            c.TieLines[5].Dial6[7] = true;
        },
        "T005", "Tie", "Shore 2|101||Sat Comm|LD|02|2|",
        "005|T005|02.2|Shore 2|Sat Comm|Bridge (101)||LD 68 |");
    row(
        "public address has no incoming side",
        [](Configuration &c) {
            c.TieLines[5].Class = TieClassPA;
            c.TieLines[5].Status[0] = TieDTMF;
            c.TieLines[5].Dial6[1] = true;
        },
        "T005", "Tie", "Shore 2|||PA||02|2|", "005|T005|02.2|Shore 2|PA|||62 |");
    // Engine uses the hunt group; an empty place among its members is skipped.
    const auto hunt = [](Configuration &c) {
        c.Extensions[3].Group = 501;
        c.Groups[0].Num = 3;
        c.Groups[0].Exts[1] = -1;
        c.Groups[0].Exts[2] = 103;
    };
    row("hunt group", hunt, "G000", "GrpHunt", "Officers|501|Hunt|101|103",
        "000|G000|501|Officers|64|104 ( Engine)|Bridge (101), Mess (103)");
    row(
        "pickup group has no lead extension",
        [hunt](Configuration &c) {
            hunt(c);
            c.Groups[0].Type = GroupPickup;
        },
        "G000", "GrpPickUp", "Officers|501|PickUp|101|103",
        "000|G000|501|Officers|128||Bridge (101), Mess (103)");
    row(
        "group of an unknown type", [](Configuration &c) { c.Groups[0].Type = 7; }, "G000",
        "GrpMCF", "Officers|501|Unknown|101|102",
        "000|G000|501|Officers|7||Bridge (101), Galley (102)");
}

void TestMainWindow::rowTexts()
{
    QFETCH(Change, change);
    QFETCH(QString, key);
    QFETCH(QString, icon);
    QFETCH(QStringList, listCells);
    QFETCH(QStringList, gridCells);
    Configuration c = fixtures::smallShip();
    change(c);
    const int index = key.mid(1).toInt();
    const PortRow row = key.startsWith(QLatin1Char('E'))   ? addExtItem(c, index)
                        : key.startsWith(QLatin1Char('T')) ? addTieItem(c, index)
                                                           : addGroupItem(c, index);
    QCOMPARE(row.key, key);
    QCOMPARE(row.iconKey, icon);
    QCOMPARE(row.listCells, listCells);
    QCOMPARE(row.gridCells, gridCells);
}

void TestMainWindow::listedRecords_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("expectedKeys");
    const QStringList allExts = names("E000 E001 E002 E003 E004 E005 E006 E007");
    QTest::newRow("extensions of the board") << 1 << QString() << allExts;
    QTest::newRow("extension 120 active is never listed")
        << 1 << QStringLiteral("ext120") << allExts;
    QTest::newRow("inactive extension left out")
        << 1 << QStringLiteral("ext3off") << QStringList(allExts.mid(0, 3) + allExts.mid(4));
    QTest::newRow("tie lines of the tie board") << 2 << QString() << names("T004 T005 T006 T007");
    QTest::newRow("active groups only") << 3 << QStringLiteral("group2") << names("G000");
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
    for (const PortRow &row : listRows(c, ListCategory(category))) {
        keys << row.key;
        QCOMPARE(row.listCells.size(), listColumns(ListCategory(category)).size());
        QCOMPARE(row.gridCells.size(), gridHeader(ListCategory(category)).size());
    }
    QCOMPARE(keys, expectedKeys);
}

void TestMainWindow::recentFiles_data()
{
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("expectedMenu");
    QTest::addColumn<int>("expectedCount");
    QStringList eleven;
    for (int i = 1; i <= 11; ++i)
        eleven << QStringLiteral("/ship/f%1.TWZ").arg(i);
    const QStringList newestNine(eleven.crbegin(), eleven.crend() - 2);
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
}

void TestMainWindow::paneFields_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("field"); // the first thing the technician can type in
    QTest::addColumn<QString>("shown"); // a box that only shows a value; empty: none
    QTest::newRow("system") << "RRR" << "txtSysName" << "";
    QTest::newRow("extension") << "E001" << "txtExtName" << "txtEquip";
    QTest::newRow("tie line") << "T004" << "txtTieName" << "";
    QTest::newRow("group") << "G000" << "txtGrpName" << "txtGroupLead";
}

// Tab from the tree goes to the pane's first field; a box that only shows a
// value looks read-only beside it.
void TestMainWindow::paneFields()
{
    QFETCH(QString, key);
    QFETCH(QString, field);
    QFETCH(QString, shown);
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
    if (shown.isEmpty())
        return;
    auto *info = s.window.findChild<QLineEdit *>(shown);
    QVERIFY(info && info->isVisible());
    QVERIFY(info->isReadOnly());
    QCOMPARE(info->palette().color(QPalette::Base), info->palette().color(QPalette::Window));
    QVERIFY(info->palette().color(QPalette::Base) != focus->palette().color(QPalette::Base));
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
    auto *name = control<QLineEdit>(s.window, "txtExtName");
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
    }
}

void TestMainWindow::paneWarningInStatusBar()
{
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    s.click(QStringLiteral("E001"));
    auto *number = control<QLineEdit>(s.window, "txtExtNo");
    number->setText(QStringLiteral("600"));
    number->setModified(true);
    s.click(QStringLiteral("REX"));
    const QString status = statusText(s.window);
    QVERIFY2(status.startsWith(QStringLiteral("WARNING: ")), qPrintable(status));
    QCOMPARE(s.errors()->item(0, 3)->text(), QStringLiteral("Invalid Extension Number (600)"));
    QCOMPARE(s.errors()->referenceAt(0), QStringLiteral("E001"));
    QVERIFY(s.tree()->highlightedKeys().contains(QStringLiteral("E001")));
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
        index = s.list()->model()->index(shownKeys(s.list()).indexOf(key), 0);
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
}

void TestMainWindow::reportCommands()
{
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    QVERIFY(!s.action(QStringLiteral("mnuViewSort1"))->isVisible());
    const QString print = QStringLiteral("Please select a report before printing");
    const QString save = QStringLiteral("Please select a report before saving");
    s.action(QStringLiteral("mnuFilePrint"))->trigger();
    s.action(QStringLiteral("mnuFileSaveReport"))->trigger();
    QCOMPARE(scratch_->prompter.texts(), (QStringList{print, save}));
    QCOMPARE(scratch_->prompter.asked[0].title, QStringLiteral("Print Report"));
    QCOMPARE(scratch_->prompter.asked[1].title, QStringLiteral("Save Report"));
    // A report node shows the report options; leaving it hides them again.
    s.click(QStringLiteral("P321"));
    QCOMPARE(s.view(), QStringLiteral("vspReport"));
    QVERIFY(s.action(QStringLiteral("mnuViewSort5"))->isVisible());
    // With the report shown, Save Report proposes the file's own name; the
    // preview's own PDF button does the same.
    const QString pdf = scratch_->path(QStringLiteral("ship.pdf"));
    scratch_->prompter.files.enqueue(pdf);
    s.action(QStringLiteral("mnuFileSaveReport"))->trigger();
    QCOMPARE(scratch_->prompter.asked.last().kind, Prompt::SaveFile);
    QCOMPARE(scratch_->prompter.asked.last().proposedName, pdf);
    const QString again = scratch_->path(QStringLiteral("again.pdf"));
    scratch_->prompter.files.enqueue(again);
    s.action(QStringLiteral("cmdPdf"))->trigger();
    QCOMPARE(scratch_->prompter.asked.last().kind, Prompt::SaveFile);
    QVERIFY(QFileInfo(again).size() > 0);
    s.click(QStringLiteral("RGP"));
    QVERIFY(!s.action(QStringLiteral("mnuViewSort5"))->isVisible());
    // Away from the report, the commands refuse again.
    const int asked = int(scratch_->prompter.asked.size());
    s.action(QStringLiteral("mnuFilePrint"))->trigger();
    s.action(QStringLiteral("mnuFileSaveReport"))->trigger();
    QCOMPARE(scratch_->prompter.texts().mid(asked), (QStringList{print, save}));
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

void TestMainWindow::helpWindow()
{
    Session s{QString()};
    s.action(QStringLiteral("mnuHelpSearch"))->trigger();
    auto *help = control<HelpWindow>(s.window, "frmHelp");
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
    QVERIFY(help->find(QStringLiteral("tab-separated")));
    QVERIFY(!help->find(QStringLiteral("xylophone")));
    QVERIFY(s.window.close());
    QVERIFY(!help->isVisible());
}


// clang-format off
void TestMainWindow::startUpWithUnreadableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // empty: no such file
    QTest::addColumn<QString>("reason");     // in the message's detail

    const QByteArray ship = configFileBytes(fixtures::smallShip(), QStringLiteral("x"));
    QTest::newRow("cut off mid-file") << "trunc.TWZ" << ship.left(30000) << "Premature end of document";
    QTest::newRow("plain text") << "notes.txt" << QByteArray("just notes\r\n") << "not a configuration file";
    QTest::newRow("missing") << "none.TWZ" << QByteArray() << "no such file";
    QTest::newRow("far too large") << "huge.TWZ" << ship + QByteArray(9 * 1024 * 1024, ' ') << "at most 8.0 MB";
}
// clang-format on

void TestMainWindow::startUpWithUnreadableFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString path = content.isEmpty() ? scratch_->path(name) : scratch_->write(name, content);
    // The technician reads the message for a while: the splash times out,
    // closes and is gone before the box is answered.
    scratch_->prompter.whileShown = [&](const Prompt &) {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<SplashScreen *>(w))
                w->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    ConfigDocument doc;
    MainWindow window(doc);
    startUp(window, QLatin1Char('"') + path + QLatin1Char('"'));

    QCOMPARE(scratch_->prompter.texts(),
             QStringList{QStringLiteral("Unable to load file as error in file")});
    const QString detail = scratch_->prompter.asked.first().detail;
    QVERIFY2(detail.contains(QDir::toNativeSeparators(path)), qPrintable(detail));
    QVERIFY2(detail.contains(reason), qPrintable(detail));
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<SplashScreen *>(w) || !w->isVisible());
    // Then on as documented: a new configuration from the template.
    QCOMPARE(window.windowTitle(), QStringLiteral("helmWISE - New Configuration"));
    QCOMPARE(doc.config.SysConfig.Name, template_.SysConfig.Name);
    QVERIFY(!doc.configChanged());
    window.close();
}

void TestMainWindow::splashGivesWayToDialogs()
{
    SplashScreen splash;
    splash.show();
    // The main window opening leaves the splash up; a message box closes it.
    QMainWindow window;
    window.show();
    QVERIFY(splash.isVisible());
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("helmWISE"),
                    QStringLiteral("Unable to load file as error in file"));
    box.show();
    QVERIFY(!splash.isVisible());
}

// clang-format off
void TestMainWindow::newSystemIsUnsavedWork_data()
{
    QTest::addColumn<bool>("fromStartUp");   // no template: the dialog opens at start-up
    QTest::addColumn<int>("dialogResult");
    QTest::addColumn<bool>("unsaved");
    QTest::newRow("File New, system made") << false << int(QDialog::Accepted) << true;
    QTest::newRow("File New, cancelled") << false << int(QDialog::Rejected) << false;
    QTest::newRow("start-up without template, system made") << true << int(QDialog::Accepted) << true;
    QTest::newRow("start-up without template, cancelled") << true << int(QDialog::Rejected) << false;
}
// clang-format on

void TestMainWindow::newSystemIsUnsavedWork()
{
    QFETCH(bool, fromStartUp);
    QFETCH(int, dialogResult);
    QFETCH(bool, unsaved);
    const QString ship = scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip());
    if (fromStartUp)
        FileCommands::setTemplateFile(scratch_->path(QStringLiteral("absent.TWZ")));
    newSystemResult_ = dialogResult;
    Session s(fromStartUp ? QString() : ship);
    if (!fromStartUp)
        s.action(QStringLiteral("mnuFileNew"))->trigger();

    QCOMPARE(s.doc.configChanged(), unsaved);
    QCOMPARE(s.window.windowTitle().endsWith(QLatin1Char('*')), unsaved);
    if (unsaved) {
        QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - New Configuration*"));
        QVERIFY2(statusText(s.window).isEmpty(), qPrintable(statusText(s.window)));
    }
    // Closing asks about the new system; Cancel keeps it on screen.
    scratch_->prompter.buttons.enqueue(QMessageBox::Cancel);
    s.window.close();
    QCOMPARE(s.window.isVisible(), unsaved);
    QCOMPARE(scratch_->prompter.texts(), unsaved ? QStringList{QStringLiteral("Do you wish to save the file")}
                                         : QStringList());
}

// The question itself, without the window: what it decides before a
// command may replace or close the configuration.
void TestMainWindow::askToSave_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("file");   // the configuration's file; empty: never saved
    QTest::addColumn<int>("answer");     // to the save question
    QTest::addColumn<QString>("saveAs"); // the name given to Save As; empty: cancelled
    QTest::addColumn<bool>("goesOn");    // the command asking may go on
    QTest::addColumn<bool>("saved");
    const QString ship = QStringLiteral("ship.TWZ");
    const int yes = QMessageBox::Yes, no = QMessageBox::No, cancel = QMessageBox::Cancel;
    QTest::newRow("unchanged: nothing asked")
        << int(Unedited) << ship << cancel << QString() << true << false;
    QTest::newRow("a field still being typed is a change")
        << int(StillTyping) << ship << cancel << QString() << false << false;
    QTest::newRow("No: goes on unsaved") << int(Edited) << ship << no << QString() << true << false;
    QTest::newRow("Cancel: stops") << int(Edited) << ship << cancel << QString() << false << false;
    QTest::newRow("Yes: saved, goes on") << int(Edited) << ship << yes << QString() << true << true;
    QTest::newRow("Yes, Save As cancelled: stops")
        << int(Edited) << QString() << yes << QString() << false << false;
    QTest::newRow("Yes, the save fails: stops")
        << int(Edited) << QStringLiteral("gone/ship.TWZ") << yes << QString() << false << false;
    QTest::newRow("Yes, Save As fails: stops")
        << int(Edited) << QString() << yes << QStringLiteral("gone/other.TWZ") << false << false;
}

void TestMainWindow::askToSave()
{
    QFETCH(int, edit);
    QFETCH(QString, file);
    QFETCH(int, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);
    ScriptedPrompter &prompter = scratch_->prompter;
    ConfigDocument doc;
    doc.config = fixtures::smallShip();
    const QString path = file.isEmpty() ? QString() : scratch_->path(file);
    doc.setCurrentFile(path);
    doc.setConfigChanged(false);
    auto change = [&doc] {
        doc.config.SysConfig.Name = QStringLiteral("Changed");
        doc.markChanged();
    };
    if (edit == Edited)
        change();
    FileCommands files(doc, nullptr);
    // The window commits the field being typed when asked to.
    connect(&files, &FileCommands::commitRequested, this, [&] {
        if (edit == StillTyping)
            change();
    });
    prompter.buttons.enqueue(QMessageBox::StandardButton(answer));
    prompter.files.enqueue(saveAs.isEmpty() ? QString() : scratch_->path(saveAs));
    QCOMPARE(files.askToSave(QStringLiteral("Do you wish to save the file")), goesOn);
    QCOMPARE(prompter.asked.isEmpty(), edit == Unedited);
    QCOMPARE(!path.isEmpty() && QFile::exists(path), saved);
    QCOMPARE(doc.configChanged(), edit != Unedited && !saved);
    QCOMPARE(doc.currentFile(), path);
    // A save that failed says so, naming the file, in a box titled by the command.
    const QString target = path.isEmpty() && !saveAs.isEmpty() ? scratch_->path(saveAs) : path;
    if (answer == QMessageBox::Yes && !saved && !target.isEmpty()) {
        const Prompt &said = prompter.asked.last();
        QCOMPARE(said.title, path.isEmpty() ? QStringLiteral("Save As") : QStringLiteral("Save"));
        QVERIFY2(said.text.startsWith(QStringLiteral("Unable to save ") +
                                      QDir::toNativeSeparators(target)),
                 qPrintable(said.text));
    }
}

// clang-format off
void TestMainWindow::failedOpenKeepsTheFile_data()
{
    QTest::addColumn<QString>("command");     // how the bad file is opened
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");  // empty: no such file
    QTest::addColumn<bool>("edited");         // unsaved changes, kept by answering No
    const QByteArray ship = configFileBytes(fixtures::smallShip(), QStringLiteral("x"));
    QTest::newRow("File Open, cut-off file") << "mnuFileOpen" << "trunc.TWZ" << ship.left(30000) << false;
    QTest::newRow("File Open, garbage DOS file, unsaved edit")
        << "mnuFileOpen" << "junk.TDZ" << QByteArray(600, '\x7f') << true;
    QTest::newRow("recent file gone, unsaved edit") << "mnuFileMRU2" << "gone.TWZ" << QByteArray() << true;
}
// clang-format on

void TestMainWindow::failedOpenKeepsTheFile()
{
    QFETCH(QString, command);
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, edited);
    const QString bad = scratch_->path(name);
    // The bad file has been opened before, so it is on the recent list.
    QVERIFY(writeFileBytes(bad, configFileBytes(template_, QStringLiteral("x"))));
    const QString ship = scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip());
    Session s(bad);
    s.window.fileCommands().loadFile(ship);
    if (content.isEmpty())
        QVERIFY(QFile::remove(bad));
    else
        QVERIFY(writeFileBytes(bad, content));
    if (edited) {
        s.doc.config.SysConfig.Name = QStringLiteral("Renamed at sea");
        s.doc.markChanged();
    }
    const Configuration before = s.doc.config;
    const QString title = s.window.windowTitle();
    const QString status = statusText(s.window);
    const qsizetype earlier = scratch_->prompter.asked.size();

    scratch_->prompter.buttons.enqueue(QMessageBox::No); // to the save question, if any
    scratch_->prompter.files.enqueue(bad);
    s.action(command)->trigger();

    QVERIFY(scratch_->prompter.asked.size() > earlier);
    // Unsaved work is offered for saving first, as New does.
    const QString question = QStringLiteral("Do you wish to save the current file");
    QCOMPARE(scratch_->prompter.asked[earlier].text == question, edited);
    QVERIFY2(scratch_->prompter.asked.last().detail.contains(QDir::toNativeSeparators(bad)),
             qPrintable(scratch_->prompter.asked.last().detail));
    QVERIFY2(s.doc.config == before, "the failed open changed the configuration in use");
    QCOMPARE(s.doc.currentFile(), ship);
    QCOMPARE(s.doc.configChanged(), edited);
    QCOMPARE(s.window.windowTitle(), title);
    QCOMPARE(statusText(s.window), status);
}

// clang-format off
void TestMainWindow::confirmations_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("chosen");  // the name given to the file dialog, in the folder
    QTest::addColumn<QString>("status");  // %1 the ship, %2 the chosen file, %3 the folder
    QTest::addColumn<QString>("question");  // asked about the changes, naming the ship; answered Cancel
    QTest::newRow("Save") << "mnuFileSave" << QString() << "Saved %1" << QString();
    QTest::newRow("Save As, by its keys") << "Ctrl+Shift+S" << "other.TWZ" << "Saved %2" << QString();
    QTest::newRow("Export") << "mnuFileExport" << "lists.CSV" << "Exported 3 files to %3" << QString();
    QTest::newRow("Save Report") << "mnuFileSaveReport" << "ship.pdf" << "Saved %2" << QString();
    QTest::newRow("closing") << "mnuFileExit" << QString() << QString() << "Do you wish to save the file";
    QTest::newRow("exit by its keys") << "Ctrl+Q" << QString() << QString() << "Do you wish to save the file";
    QTest::newRow("new") << "mnuFileNew" << QString() << QString() << "Do you wish to save the current file";
}
// clang-format on

void TestMainWindow::confirmations()
{
    QFETCH(QString, command);
    QFETCH(QString, chosen);
    QFETCH(QString, status);
    QFETCH(QString, question);
    const QString ship = scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip());
    const QString file = chosen.isEmpty() ? QString() : scratch_->path(chosen);
    auto fill = [&](QString text) {
        return text.replace(QStringLiteral("%1"), QDir::toNativeSeparators(ship))
            .replace(QStringLiteral("%2"), QDir::toNativeSeparators(file))
            .replace(QStringLiteral("%3"), QDir::toNativeSeparators(scratch_->dir.path()));
    };
    Session s(ship);
    s.doc.config.SysConfig.Name = QStringLiteral("Renamed at sea");
    s.doc.markChanged();
    s.click(QStringLiteral("P321"));
    scratch_->prompter.files.enqueue(file);
    scratch_->prompter.buttons.enqueue(QMessageBox::Cancel); // to the question on closing

    give(s, command);

    if (!status.isEmpty())
        QCOMPARE(statusText(s.window), fill(status));
    // A file saved under a new name heads the recent files, in the settings and the menu.
    if (command == QLatin1String("Ctrl+Shift+S")) {
        QCOMPARE(AppSettings::recentFiles().value(0), file);
        QCOMPARE(s.action(QStringLiteral("mnuFileMRU1"))->text(),
                 QStringLiteral("&1 ") + QDir::toNativeSeparators(file));
    }
    if (!question.isEmpty()) {
        // Cancel stops the command: nothing is replaced or closed.
        QCOMPARE(scratch_->prompter.texts(), QStringList{question});
        QCOMPARE(scratch_->prompter.asked.last().kind, Prompt::Question);
        QCOMPARE(scratch_->prompter.asked.last().detail, QDir::toNativeSeparators(ship));
        QCOMPARE(s.doc.config.SysConfig.Name, QStringLiteral("Renamed at sea"));
        QVERIFY(s.window.isVisible());
    }
}

// clang-format off
void TestMainWindow::saveNameGetsFilterSuffix_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("chosenFilter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    const QString twz = QStringLiteral("Windows Tidelex Files (*.TWZ *.twz);;All Files (*)");
    const QString lists = QStringLiteral("Comma Separated File (*.CSV);;Tab Separated File (*.TAB)");
    QTest::newRow("Save As, no suffix typed") << twz << 0 << "ship2" << "ship2.TWZ";
    QTest::newRow("Save As, suffix typed") << twz << 0 << "ship2.twz" << "ship2.twz";
    QTest::newRow("Save As, all files") << twz << 1 << "ship2" << "ship2";
    QTest::newRow("Export, tab separated picked") << lists << 1 << "lists" << "lists.TAB";
}
// clang-format on

void TestMainWindow::saveNameGetsFilterSuffix()
{
    QFETCH(QString, filter);
    QFETCH(int, chosenFilter);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    Prompt prompt;
    prompt.kind = Prompt::SaveFile;
    prompt.title = QStringLiteral("Save As");
    prompt.filter = filter;
    prompt.proposedName = dir.filePath(QStringLiteral("ship.TWZ"));
    // Answered from inside the dialog's own event loop, as soon as it runs.
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        // Picked with the keyboard, as a technician without a mouse would.
        for (int i = 0; types && i < chosenFilter; ++i)
            QTest::keyClick(types, Qt::Key_Down);
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (name)
            name->setText(typed);
        answered = types && name;
        QMetaObject::invokeMethod(dialog, "accept");
    });
    DialogPrompter real;
    const QString chosen = real.chooseFile(nullptr, prompt);
    QVERIFY2(answered, "the save dialog was not the one expected");
    QCOMPARE(QFileInfo(chosen).fileName(), expected);
}

void TestMainWindow::enterPressesTheDefaultButton_data()
{
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("answer");
    QTest::newRow("left to the box") << int(QMessageBox::NoButton) << int(QMessageBox::Yes);
    QTest::newRow("No by default") << int(QMessageBox::No) << int(QMessageBox::No);
}

void TestMainWindow::enterPressesTheDefaultButton()
{
    QFETCH(int, defaultButton);
    QFETCH(int, answer);
    Prompt prompt;
    prompt.kind = Prompt::Question;
    prompt.text = QStringLiteral("Are you sure you want to reboot the tidelex?");
    prompt.buttons = QMessageBox::Yes | QMessageBox::No;
    prompt.defaultButton = QMessageBox::StandardButton(defaultButton);
    bool shown = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        shown = box != nullptr;
        if (box)
            QTest::keyClick(box, Qt::Key_Return);
    });
    DialogPrompter real;
    const int chosen = real.ask(nullptr, prompt);
    QVERIFY2(shown, "no question on screen");
    QCOMPARE(chosen, answer);
}

// The small ship, with a Custom extension (01.4) and Dial 9 on tie line 02.2.
Configuration TestMainWindow::ship()
{
    Configuration c = fixtures::smallShip();
    c.Extensions[3].Class = ClassCustom;
    c.TieLines[5].Dial9 = true;
    c.SysConfig.LastUpdate = QStringLiteral("01/02/2026 10:00");
    return c;
}

QString TestMainWindow::shipFile(const QString &name, const Configuration &config)
{
    return scratch_->write(name, config);
}

void TestMainWindow::undoRedoEveryEdit_data()
{
    QTest::addColumn<QString>("node"); // shown for the edit
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("leaveTo");  // shown before undoing; empty: stay
    QTest::addColumn<QString>("selected"); // tree node after undoing, or "row KEY" in the grid

    auto row = [](const char *name, const char *node, Edit edit, const char *step,
                  const char *leaveTo, const char *selected) {
        QTest::newRow(name) << QString::fromLatin1(node) << edit << QString::fromLatin1(step)
                            << QString::fromLatin1(leaveTo) << QString::fromLatin1(selected);
    };
    row(
        "extension name", "E001",
        [](Session &s) { typeAndCommit(s, "txtExtName", QStringLiteral("Wardroom")); },
        "Extension 01.2 Name", "RGP", "E001");
    row(
        "tie line type drops Dial 9", "T005",
        [](Session &s) {
            control<QComboBox>(s.window, "cboTieClass")->setCurrentIndex(TieClassSatComm);
        },
        "Tie line 02.2 Type", "REX", "T005");
    row(
        "guaranteed access", "RRR",
        [](Session &s) {
            control<QTableWidget>(s.window, "vsGA")->item(0, 0)->setText(QStringLiteral("101"));
        },
        "System Guaranteed Access", "RGP", "RGP");
    row(
        "details grid cell", "REX",
        [](Session &s) {
            s.grid()->commitCell(s.grid()->rowOfKey(QStringLiteral("E004")), PortGrid::ColName,
                                 QStringLiteral("Sick bay"));
        },
        "Extension 01.5 Name", "", "row E004");
    row(
        "tree rename", "RTL",
        [](Session &s) {
            emit s.tree()->nodeRenamed(QStringLiteral("T006"), QStringLiteral("Aft"));
        },
        "Tie line 02.3 Name", "RGP", "T006");
    row(
        "board in the slot picture", "RRR",
        [](Session &s) {
            choose(rightClick(s.window, s.strip(), 4), QStringLiteral("mnuExt0"));
        },
        "Slot 4 (Board 03) to Subscriber", "", "RRR");
    row(
        "class rights", "E001",
        [](Session &s) {
            s.action(QStringLiteral("mnuEditClass"))->trigger();
            auto *editor = s.window.findChild<ClassRightsDialog *>();
            control<QCheckBox>(*editor, "chkSub_0")->click();
            control<QPushButton>(*editor, "cmdApplyChanges")->click();
            control<QPushButton>(*editor, "cmdClose")->click();
        },
        "Class Officer", "RGP", "RGP");
    row(
        "group members dialog", "G000",
        [](Session &s) {
            control<QPushButton>(s.window, "cmdGrpSelect")->click();
            auto *dialog = s.window.findChild<GroupMembersDialog *>();
            dialog->box(5)->setCheckState(Qt::Checked);
            control<QPushButton>(*dialog, "cmdOK")->click();
        },
        "Group 01 Members", "RTL", "G000");
    row(
        "new system", "RRR", [](Session &s) { s.action(QStringLiteral("mnuFileNew"))->trigger(); },
        "New System", "", "RRR");
}

void TestMainWindow::undoRedoEveryEdit()
{
    QFETCH(QString, node);
    QFETCH(Edit, edit);
    QFETCH(QString, step);
    QFETCH(QString, leaveTo);
    QFETCH(QString, selected);
    newSystemResult_ = QDialog::Accepted; // the New System dialog's proposals taken
    const QString file = shipFile();
    Session s(file);
    s.window.setListViewMode(3);
    // The technician has unfolded the extensions and the groups.
    for (const char *category : {"REX", "RGP"})
        s.tree()->findNode(QLatin1String(category))->setExpanded(true);
    s.click(node);
    const QStringList unfolded = expandedKeys(s.tree());
    const Configuration loaded = s.doc.config;
    const QString title = s.window.windowTitle();
    QVERIFY(!s.action(QStringLiteral("mnuEditUndo"))->isEnabled());

    edit(s);
    const Configuration edited = s.doc.config;
    QVERIFY(edited != loaded);
    QCOMPARE(s.action(QStringLiteral("mnuEditUndo"))->text(), QStringLiteral("&Undo ") + step);
    if (!leaveTo.isEmpty())
        s.click(leaveTo);

    s.action(QStringLiteral("mnuEditUndo"))->trigger();
    QCOMPARE(s.doc.config, loaded);
    // The file it belongs to and its saved state come back with it.
    QVERIFY(!s.doc.configChanged());
    QCOMPARE(s.doc.currentFile(), file);
    QCOMPARE(s.window.windowTitle(), title);
    QCOMPARE(statusText(s.window), QStringLiteral("Undone: ") + step);
    QCOMPARE(s.action(QStringLiteral("mnuEditRedo"))->text(), QStringLiteral("&Redo ") + step);
    // Nothing unfolded is folded away; the record the step touched is selected.
    const auto selectionKept = [&] {
        for (const QString &key : unfolded)
            QVERIFY2(expandedKeys(s.tree()).contains(key), qPrintable(key));
        if (selected.startsWith(QLatin1String("row "))) {
            QCOMPARE(s.view(), QStringLiteral("vsPorts"));
            QCOMPARE(s.grid()->keyAt(s.grid()->currentRow()), selected.mid(4));
            QCOMPARE(s.tree()->currentKey(), node);
        } else {
            QCOMPARE(s.tree()->currentKey(), selected);
        }
    };
    selectionKept();
    if (QTest::currentTestFailed())
        return;
    // The error list is that of the configuration now shown.
    QCOMPARE(s.window.lastCheck().findings.size(), checkConfig(loaded).findings.size());

    s.action(QStringLiteral("mnuEditRedo"))->trigger();
    QCOMPARE(s.doc.config, edited);
    selectionKept();
    if (QTest::currentTestFailed())
        return;
    QVERIFY(s.doc.configChanged());
    QVERIFY(s.window.windowTitle().endsWith(QLatin1Char('*')));
}

void TestMainWindow::undoKeysFromAnyField_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<Edit>("type"); // types a new name for 01.2; the focus stays in a field
    QTest::addColumn<QList<QKeySequence>>("keys");
    QTest::addColumn<QString>("name"); // of 01.2 afterwards
    QTest::addColumn<QString>("redoStep");

    const Edit nameBeingTyped = [](Session &s) {
        auto *field = control<QLineEdit>(s.window, "txtExtName");
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("Wardroom"));
    };
    const Edit nameLeftWithTab = [nameBeingTyped](Session &s) {
        nameBeingTyped(s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    };
    const Edit cellBeingTyped = [](Session &s) {
        PortGrid *grid = s.grid();
        grid->setCurrentCell(grid->rowOfKey(QStringLiteral("E001")), PortGrid::ColName);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Wardroom"));
    };
    const QKeySequence undo(Qt::CTRL | Qt::Key_Z), redo(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
        redoY(Qt::CTRL | Qt::Key_Y);
    const QString step = QStringLiteral("Extension 01.2 Name");
    QTest::newRow("name, Tab, Ctrl+Z")
        << "E001" << nameLeftWithTab << QList{undo} << "Galley" << step;
    QTest::newRow("name still being typed, Ctrl+Z")
        << "E001" << nameBeingTyped << QList{undo} << "Galley" << step;
    QTest::newRow("Ctrl+Z, then Ctrl+Shift+Z")
        << "E001" << nameBeingTyped << QList{undo, redo} << "Wardroom" << QString();
    QTest::newRow("Ctrl+Z, then Ctrl+Y")
        << "E001" << nameBeingTyped << QList{undo, redoY} << "Wardroom" << QString();
    QTest::newRow("grid cell still being typed, Ctrl+Z")
        << "REX" << cellBeingTyped << QList{undo} << "Galley" << step;
}

// Ctrl+Z and the redo keys act on the configuration wherever the cursor
// is: a field still being typed in is stored first, then the step undone.
void TestMainWindow::undoKeysFromAnyField()
{
    QFETCH(QString, node);
    QFETCH(Edit, type);
    QFETCH(QList<QKeySequence>, keys);
    QFETCH(QString, name);
    QFETCH(QString, redoStep);
    Session s(shipFile());
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    s.window.setListViewMode(3);
    // An earlier step, so there is something to undo before the typing.
    emit s.tree()->nodeRenamed(QStringLiteral("T006"), QStringLiteral("Aft"));
    s.click(node);
    type(s);
    for (const QKeySequence &key : keys)
        QTest::keySequence(QApplication::focusWidget(), key);
    QCOMPARE(s.doc.config.Extensions[1].Name, name);
    QCOMPARE(s.doc.config.TieLines[6].Name, QStringLiteral("Aft"));
    QCOMPARE(s.doc.undoStack()->redoText(), redoStep);
}

void TestMainWindow::savedMarkFollowsUndo()
{
    const QString path = shipFile();
    Session s(path);
    QAction *undo = s.action(QStringLiteral("mnuEditUndo"));
    QAction *redo = s.action(QStringLiteral("mnuEditRedo"));
    for (int i = 0; i < 3; ++i)
        emit s.tree()->nodeRenamed(extensionKey(i), QStringLiteral("Cabin %1").arg(i));
    undo->trigger();
    undo->trigger();
    redo->trigger();
    QCOMPARE(extensionNames(s.doc.config).mid(0, 3), cells("Cabin 0|Cabin 1|Mess"));
    s.action(QStringLiteral("mnuFileSave"))->trigger();
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + path);

    // Away from the saved step and back again: the "*" comes and goes.
    undo->trigger();
    QVERIFY(s.doc.configChanged());
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + path + QLatin1Char('*'));
    redo->trigger();
    QVERIFY(!s.doc.configChanged());
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + path);
    // A new step after undoing past the save can never come back to it.
    undo->trigger();
    emit s.tree()->nodeRenamed(extensionKey(5), QStringLiteral("Sick bay"));
    QVERIFY(!redo->isEnabled());
    undo->trigger();
    QVERIFY(s.doc.configChanged());
    QVERIFY(undo->isEnabled());
    // Opening another file forgets the steps.
    Configuration other = ship();
    other.SysConfig.Name = QStringLiteral("MV Other");
    scratch_->prompter.buttons.enqueue(QMessageBox::No); // the edit is not saved
    scratch_->prompter.files.enqueue(shipFile(QStringLiteral("other.TWZ"), other));
    s.action(QStringLiteral("mnuFileOpen"))->trigger();
    QCOMPARE(s.doc.config.SysConfig.Name, QStringLiteral("MV Other"));
    QVERIFY(!undo->isEnabled());
    QCOMPARE(s.doc.undoStack()->count(), 0);
    QVERIFY(!s.doc.configChanged());
}

void TestMainWindow::hundredStepsKept()
{
    ConfigDocument doc;
    const Configuration start = doc.config;
    for (int n = 1; n <= 120; ++n) {
        doc.config.SysConfig.Name = QStringLiteral("Name %1").arg(n);
        doc.markChanged(QStringLiteral("System Name"));
    }
    while (doc.undoStack()->canUndo())
        doc.undoStack()->undo();
    QCOMPARE(doc.config, start);
    QVERIFY(!doc.configChanged());
}

void TestMainWindow::findNarrowsViews_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("category");  // list shown while finding
    QTest::addColumn<QStringList>("found"); // record nodes left in the tree, in order
    QTest::newRow("part of a number") << QStringLiteral("10") << QStringLiteral("REX")
                                      << names("E000 E001 E002 E003 E004 E005 E006 E007");
    QTest::newRow("extension name")
        << QStringLiteral("galley") << QStringLiteral("REX") << names("E001");
    QTest::newRow("tie line names")
        << QStringLiteral("Shore") << QStringLiteral("RTL") << names("T004 T005 T006 T007");
}

void TestMainWindow::findNarrowsViews()
{
    QFETCH(QString, text);
    QFETCH(QString, category);
    QFETCH(QStringList, found);
    Session s(shipFile());
    s.click(category);
    s.action(QStringLiteral("mnuEditFind"))->trigger();
    auto *field = control<QLineEdit>(s.window, "txtFind");
    QVERIFY(field->isVisible());
    field->setText(text);
    QCOMPARE(s.tree()->shownRecordKeys(), found);
    QCOMPARE(shownKeys(s.list()), found);
    s.window.setListViewMode(3);
    QCOMPARE(shownKeys(s.grid()), found);
    QCOMPARE(control<QLabel>(s.window, "labFound")->text(),
             QStringLiteral("%1 found").arg(found.size()));

    // Enter opens the first match; Escape shows everything again.
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(s.tree()->currentKey(), found.first());
    QVERIFY(s.view().startsWith(QLatin1String("vspData")));
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!field->isVisible());
    QCOMPARE(s.tree()->shownRecordKeys().size(), 8 + 4 + 16);
}

void TestMainWindow::pasteNames_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<int>("start");          // extension 01.1 is 0
    QTest::addColumn<QStringList>("pasted"); // names written from there on; the rest stay
    QTest::addColumn<QString>("status");
    const QString tooLong = QStringLiteral("Chief engineer's day cabin, deck 3");
    QTest::newRow("a column from a spreadsheet")
        << QStringLiteral("Cabin A\r\nCabin B\r\nCabin C\r\n") << 2
        << cells("Cabin A|Cabin B|Cabin C") << QStringLiteral("3 names pasted");
    QTest::newRow("too long a name is cut")
        << tooLong + QStringLiteral("\n") << 6 << QStringList{tooLong.left(30)}
        << QStringLiteral("WARNING: 1 name pasted; 1 name cut to 30 characters");
    QTest::newRow("more lines than rows")
        << QStringLiteral("P1\nP2\nP3\nP4\nP5") << 6 << names("P1 P2")
        << QStringLiteral("WARNING: 2 names pasted; 3 names left over below the last row");
    QTest::newRow("rows copied from the grid give their names")
        << QStringLiteral("Physical\tName\tExt No\n01.5\tStore\t105\n") << 0
        << names("Store") << QStringLiteral("1 name pasted");
}

void TestMainWindow::pasteNames()
{
    QFETCH(QString, clipboard);
    QFETCH(int, start);
    QFETCH(QStringList, pasted);
    QFETCH(QString, status);
    const QString startKey = extensionKey(start);
    QStringList names = extensionNames(ship());
    for (int i = 0; i < pasted.size(); ++i)
        names[start + i] = pasted[i];
    Session s(shipFile());
    s.window.setListViewMode(3);
    s.click(QStringLiteral("REX"));
    const Configuration before = s.doc.config;
    QApplication::clipboard()->setText(clipboard);
    // Not in the Name column: nothing is written.
    s.grid()->setCurrentCell(s.grid()->rowOfKey(startKey), PortGrid::ColExtNum);
    s.grid()->setFocus();
    s.action(QStringLiteral("mnuEditPaste"))->trigger();
    QCOMPARE(s.doc.config, before);
    QVERIFY(statusText(s.window).contains(QLatin1String("Name column")));

    s.grid()->setCurrentCell(s.grid()->rowOfKey(startKey), PortGrid::ColName);
    s.action(QStringLiteral("mnuEditPaste"))->trigger();
    QCOMPARE(extensionNames(s.doc.config), names);
    QCOMPARE(statusText(s.window), status);
    for (int i = 0; i < 8; ++i)
        QCOMPARE(s.grid()->item(s.grid()->rowOfKey(extensionKey(i)), PortGrid::ColName)->text(),
                 names[i]);
    // The whole paste is one step.
    s.action(QStringLiteral("mnuEditUndo"))->trigger();
    QCOMPARE(s.doc.config, before);
}

// Rows of the details grid taken together: copied as a table, and given one
// choice at once.
void TestMainWindow::severalRows()
{
    Session s(shipFile());
    s.window.setListViewMode(3);
    s.click(QStringLiteral("REX"));
    PortGrid *grid = s.grid();
    grid->setCurrentCell(grid->rowOfKey(QStringLiteral("E001")), PortGrid::ColName);
    grid->setCurrentCell(grid->rowOfKey(QStringLiteral("E003")), PortGrid::ColExtNum,
                         QItemSelectionModel::Select);
    grid->setFocus();
    s.action(QStringLiteral("mnuEditCopy"))->trigger();
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("Physical\tName\tExt No\tClass\tOptions\n"
                            "01.2\tGalley\t102\tCrew\t\n"
                            "01.4\tEngine\t104\tCustom\t%1\n")
                 .arg(s.grid()->item(grid->rowOfKey(QStringLiteral("E003")), 6)->text()));

    const Configuration before = s.doc.config;
    QList<int> rows;
    for (const char *key : {"E001", "E002", "E004"})
        rows << grid->rowOfKey(QLatin1String(key));
    grid->commitCellToRows(rows, PortGrid::ColExtClass, ClassOfficer);
    grid->setGroupOfRows(rows, 501);
    for (int i : {1, 2, 4}) {
        const ExtRecord &e = s.doc.config.Extensions[i];
        QCOMPARE(int(e.Class), ClassOfficer);
        QCOMPARE(e.Status, s.doc.config.ExtClasses[ClassOfficer].Status);
        QCOMPARE(int(e.Group), 501);
    }
    QCOMPARE(s.doc.config.Extensions[3], before.Extensions[3]);
    QCOMPARE(s.action(QStringLiteral("mnuEditUndo"))->text(),
             QStringLiteral("&Undo Group of 3 extensions"));
    s.action(QStringLiteral("mnuEditUndo"))->trigger();
    QCOMPARE(s.action(QStringLiteral("mnuEditUndo"))->text(),
             QStringLiteral("&Undo Class of 3 extensions"));
    s.action(QStringLiteral("mnuEditUndo"))->trigger();
    QCOMPARE(s.doc.config, before);
}

void TestMainWindow::compareWithFile()
{
    Configuration older = ship();
    older.Extensions[1].Name = QStringLiteral("Old galley");
    older.TieLines[4].Ext1 = 102;
    Session s(shipFile());
    scratch_->prompter.files.enqueue(scratch_->path(QStringLiteral("missing.TWZ")));
    s.action(QStringLiteral("mnuFileCompare"))->trigger();
    QCOMPARE(scratch_->prompter.asked.last().title, QStringLiteral("Compare With File"));
    QVERIFY(!s.window.findChild<CompareWindow *>());

    scratch_->prompter.files.enqueue(shipFile(QStringLiteral("older.TWZ"), older));
    s.action(QStringLiteral("mnuFileCompare"))->trigger();
    auto *window = control<CompareWindow>(s.window, "frmCompare");
    auto *list = window->findChild<QTreeWidget *>(QStringLiteral("vsDiff"));
    // Record kinds with their counts, then records, then fields.
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Extensions (1)"));
    QCOMPARE(list->topLevelItem(0)->child(0)->text(0), QStringLiteral("Extension 01.2"));
    const QTreeWidgetItem *name = list->topLevelItem(0)->child(0)->child(0);
    QCOMPARE((QStringList{name->text(0), name->text(1), name->text(2)}),
             cells("Name|Galley|Old galley"));
    const QTreeWidgetItem *tieLine = list->topLevelItem(1)->child(0);
    QCOMPARE(tieLine->text(0), QStringLiteral("Tie line 02.1"));

    emit list->itemDoubleClicked(tieLine->child(0), 0);
    QCOMPARE(s.tree()->currentKey(), QStringLiteral("T004"));
    QCOMPARE(s.view(), QStringLiteral("vspData0"));
    // The list follows the edits: with the old name back, one record is left.
    emit s.tree()->nodeRenamed(QStringLiteral("E001"), QStringLiteral("Old galley"));
    QCOMPARE(list->topLevelItemCount(), 1);
    window->findChild<QCheckBox *>(QStringLiteral("chkIgnoreNames"))->setChecked(true);
    s.action(QStringLiteral("mnuEditUndo"))->trigger();
    QCOMPARE(list->topLevelItemCount(), 1);
}

void TestMainWindow::tooltips_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("lamp");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("key");
    QTest::newRow("subscriber board") << 2 << -1 << "Subscriber\nSlot 2 (Board 01)"
                                      << "";
    QTest::newRow("processor") << 1 << -1 << "Processor\nSlot 1"
                               << "";
    QTest::newRow("extension lamp") << 2 << 1 << "Galley (102)\nCrew, 01.2" << "E001";
    QTest::newRow("inactive extension") << 2 << 7 << "Deck (108)\nCrew, 01.8\nNot in use"
                                        << "E007";
    QTest::newRow("fourth lamp of a tie-line board")
        << 3 << 11 << "Shore 4 (907)\nShore, 02.4" << "T007";
    QTest::newRow("fifth lamp of a tie-line board") << 3 << 12 << "Tie Line\nSlot 3 (Board 02)"
                                                    << "";
    QTest::newRow("no slot") << -1 << -1 << slotPictureText() << "";
}

void TestMainWindow::tooltips()
{
    QFETCH(int, slot);
    QFETCH(int, lamp);
    QFETCH(QString, tip);
    QFETCH(QString, key);
    Configuration c = fixtures::smallShip();
    c.Extensions[7].Active = false;
    QCOMPARE(slotPictureTip(c, slot, lamp), tip);
    QCOMPARE(lampKey(c, lamp), key);
}

// The slot picture of the system pane: lamps for the ports its boards have,
// the tooltip under the mouse, and a double-click on a lamp opening its record.
void TestMainWindow::slotPicture()
{
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    BoardStrip *strip = s.strip();
    QVERIFY(strip->lamp(0));
    const auto shownOn = [strip](int slot) {
        QList<bool> shown;
        for (int c = (slot - 2) * 8; c < (slot - 1) * 8; ++c)
            shown << strip->lampShown(c);
        return shown;
    };
    QCOMPARE(shownOn(2), QList<bool>(8, true));
    QCOMPARE(shownOn(3), QList<bool>({true, true, true, true, false, false, false, false}));
    QCOMPARE(shownOn(9), QList<bool>(8, false));
    for (const auto &[at, text] :
         {std::pair{lampCentre(strip, 11), tieLineTip(s.doc.config, 7)},
          std::pair{slotCentre(strip, 5), QStringLiteral("Empty\nSlot 5 (Board 04)")}}) {
        QHelpEvent help(QEvent::ToolTip, at, strip->mapToGlobal(at));
        QApplication::sendEvent(strip, &help);
        QTRY_COMPARE(QToolTip::text(), text);
    }
    // An unused lamp of a tie-line board leaves the system pane in view.
    for (const auto &[lamp, view, node] :
         {std::tuple{12, "vspData3", "RRR"}, std::tuple{1, "vspData1", "E001"},
          std::tuple{11, "vspData0", "T007"}}) {
        s.click(QStringLiteral("RRR"));
        QTest::mouseDClick(strip, Qt::LeftButton, {}, lampCentre(strip, lamp));
        QCOMPARE(s.view(), QLatin1String(view));
        QCOMPARE(s.tree()->currentKey(), QLatin1String(node));
    }
}

void TestMainWindow::boardMenus_data()
{
    QTest::addColumn<int>("slot0");    // the board in slot 0
    QTest::addColumn<QString>("keys"); // from slot 0; "ContextMenu": the platform's menu event;
                                       // none: a right-click on the slot
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items"); // none: not looked at
    QTest::addColumn<QString>("tick");
    const QStringList ext = names("mnuExt0 mnuExt1 mnuExt2 mnuExt3");
    const int empty = BoardEmpty;
    QTest::newRow("16 channel tone board") << int(BoardTone16) << "" << 0 << "mnuPopTone"
                                           << names("mnuTone0 mnuTone1") << "mnuTone1";
    QTest::newRow("subscriber board") << empty << "" << 2 << "mnuPopExt" << ext << "mnuExt0";
    QTest::newRow("tie-line board, Shift+F10")
        << empty << "Right Right Right Shift+F10" << 3 << "mnuPopExt" << ext << "mnuExt1";
    QTest::newRow("processor, Menu key")
        << empty << "Right Menu" << 1 << "mnuPopProc" << QStringList() << "mnuProc";
    QTest::newRow("empty line slot, End and back")
        << empty << "End Left Menu" << 16 << "mnuPopExt" << ext << "mnuExt3";
    QTest::newRow("Left stops at slot 0")
        << empty << "Left Shift+F10" << 0 << "mnuPopEmpty" << QStringList() << "mnuEmpty";
    QTest::newRow("menu event from the platform")
        << empty << "Right Right ContextMenu" << 2 << "mnuPopExt" << QStringList() << "mnuExt0";
}

void TestMainWindow::boardMenus()
{
    QFETCH(int, slot0);
    QFETCH(QString, keys);
    QFETCH(int, slot);
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    QFETCH(QString, tick);
    Configuration c = fixtures::smallShip();
    c.SysConfig.Slots[0] = int16_t(slot0);
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), c));
    // What the exchange reported says nothing about the configuration's menus.
    s.doc.InstalledBoards.fill(BoardTieLine);
    BoardStrip *strip = s.strip();
    QMenu *popup = keys.isEmpty() ? rightClick(s.window, strip, slot) : nullptr;
    if (!keys.isEmpty()) {
        QVERIFY(strip->focusPolicy() & Qt::TabFocus);
        strip->setFocus(Qt::TabFocusReason);
        QString tip; // shown by the last move
        for (const QString &key : keys.split(QLatin1Char(' '))) {
            if (key == QLatin1String("ContextMenu")) {
                const QPoint corner = strip->mapToGlobal(QPoint());
                QContextMenuEvent event(QContextMenuEvent::Keyboard, {}, corner);
                QApplication::sendEvent(strip, &event);
                continue;
            }
            const QKeyCombination combination = QKeySequence(key)[0];
            QTest::keyClick(strip, combination.key(), combination.keyboardModifiers());
            if (!QToolTip::text().isEmpty())
                tip = QToolTip::text();
        }
        QCOMPARE(strip->currentSlot(), slot);
        // Moving with the keys shows what hovering shows.
        QCOMPARE(tip, slotPictureTip(s.doc.config, slot, -1));
        popup = poppedUp(s.window);
    }
    QVERIFY(popup);
    QCOMPARE(popup->objectName(), menu);
    QStringList shown;
    for (QAction *action : popup->actions())
        shown << action->objectName();
    if (!items.isEmpty())
        QCOMPARE(shown, items);
    QCOMPARE(ticked(popup), QStringList{tick});
    popup->close();
}

void TestMainWindow::boardChange_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<int>("board");
    QTest::addColumn<QStringList>("nodes");   // present afterwards
    QTest::addColumn<QStringList>("noNodes"); // absent afterwards
    QTest::newRow("Subscriber to Tie Line") << 2 << "mnuExt1" << true << true << int(BoardTieLine)
                                            << names("T000 T003") << names("E000 E007");
    QTest::newRow("Tie Line to Empty") << 3 << "mnuExt3" << true << true << int(BoardEmpty)
                                       << names("E000") << names("T004 E008");
    QTest::newRow("declined") << 9 << "mnuExt0" << false << true << int(BoardEmpty)
                              << QStringList() << names("E056");
    QTest::newRow("already that board") << 2 << "mnuExt0" << true << false
                                        << int(BoardSubscriber) << names("E000") << names("T000");
}

void TestMainWindow::boardChange()
{
    QFETCH(int, slot);
    QFETCH(QString, item);
    QFETCH(bool, yes);
    QFETCH(bool, asks);
    QFETCH(int, board);
    QFETCH(QStringList, nodes);
    QFETCH(QStringList, noNodes);
    Session s(scratch_->write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    scratch_->prompter.buttons.enqueue(yes ? QMessageBox::Yes : QMessageBox::No);
    choose(rightClick(s.window, s.strip(), slot), item);

    QCOMPARE(scratch_->prompter.asked.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(scratch_->prompter.asked.first().title, QStringLiteral("Changing Board"));
        QCOMPARE(scratch_->prompter.asked.first().text,
                 QStringLiteral("Are you sure you want to change board type?"));
    }
    const bool changed = asks && yes;
    QCOMPARE(int(s.doc.config.SysConfig.Slots[slot]), board);
    QCOMPARE(s.doc.configChanged(), changed);
    QCOMPARE(s.window.windowTitle().endsWith(QLatin1Char('*')), changed);
    for (const QString &key : nodes + noNodes)
        QVERIFY2(bool(s.tree()->findNode(key)) == nodes.contains(key), qPrintable(key));
    // The picture shows the slot's board at once, and the system stays in view.
    QCOMPARE(s.strip()->slotColour(slot), BoardStrip::colourFor(board));
    QCOMPARE(s.window.currentView()->objectName(), QStringLiteral("vspData3"));
}

void TestMainWindow::slotsDisplayCorrection()
{
    Rig rig;
    QVERIFY(rig.exchange.loadConfigImage(defaultCabinetImage()));
    ConfigDocument doc;
    doc.config = fixtures::smallShip();
    InstalledBoardsWindow window(doc, rig.link);
    window.show();
    window.askExchange();
    QVERIFY(rig.run(window.operation()));
    auto *strip = window.findChild<BoardStrip *>();

    // An empty slot only shows that it is empty; a line board offers no "Empty".
    QMenu *empty = rightClick(window, strip, 9);
    QCOMPARE(empty->objectName(), QStringLiteral("mnuPopEmpty"));
    empty->close();
    QMenu *menu = rightClick(window, strip, 3);
    QCOMPARE(menu->objectName(), QStringLiteral("mnuPopExt"));
    QVERIFY(!menu->findChild<QAction *>(QStringLiteral("mnuExt3")));
    QCOMPARE(ticked(menu), QStringList{QStringLiteral("mnuExt0")});

    scratch_->prompter.buttons.enqueue(QMessageBox::Yes);
    choose(menu, QStringLiteral("mnuExt1"));
    QCOMPARE(doc.InstalledBoards[3], int16_t(BoardTieLine));
    QCOMPARE(window.differenceTexts(),
             QStringList{QStringLiteral("Slot 4: configuration Empty, exchange Tie Line")});
    QVERIFY(!doc.configChanged()); // the configuration itself is not touched
    QCOMPARE(doc.config.SysConfig.Slots[3], int16_t(BoardTieLine));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
