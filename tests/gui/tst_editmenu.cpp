// The Edit menu as a technician uses it: undo and redo of every kind of
// edit, the saved mark, finding records, copying rows and pasting names,
// one choice for several rows, and comparing with another file.
#include "CheckConfig.h"
#include "ConfigFile.h"
#include "FailOnQtWarnings.h"
#include "ConfigLoader.h"
#include "GuiFixtures.h"
#include "ScriptedPrompter.h"
#include "BoardStrip.h"
#include "ClassRightsDialog.h"
#include "CompareWindow.h"
#include "GroupMembersDialog.h"
#include "NewSystemDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
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

namespace
{

void typeAndCommit(Session &s, const char *box, const QString &text)
{
    auto *field = control<QLineEdit>(s.window, box);
    field->setText(text);
    field->setModified(true);
    QTest::keyClick(field, Qt::Key_Return);
}

QStringList shownKeys(PortGrid *grid)
{
    QStringList keys;
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (!grid->isRowHidden(r))
            keys << grid->keyAt(r);
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

} // namespace

class TestEditMenu : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void undoRedoEveryEdit_data();
    void undoRedoEveryEdit();
    void undoKeysFromAnyField_data();
    void undoKeysFromAnyField();
    void savedMarkFollowsUndo();
    void openingAnotherFileForgetsSteps();
    void hundredStepsKept();
    void findNarrowsViews_data();
    void findNarrowsViews();
    void pasteNames_data();
    void pasteNames();
    void copyRowsAsTable();
    void oneChoiceForSeveralRows();
    void compareWithFile();

  private:
    QString shipFile(const QString &name = QStringLiteral("ship.TWZ"),
                     const Configuration &config = ship());
    static Configuration ship();

    std::unique_ptr<fixtures::Scratch> scratch_;
};

// The small ship, with a Custom extension (01.4) and Dial 9 on tie line 02.2.
Configuration TestEditMenu::ship()
{
    Configuration c = fixtures::smallShip();
    c.Extensions[3].Class = ClassCustom;
    c.TieLines[5].Dial9 = true;
    c.SysConfig.LastUpdate = QStringLiteral("01/02/2026 10:00");
    return c;
}

QString TestEditMenu::shipFile(const QString &name, const Configuration &config)
{
    return scratch_->write(name, config);
}

void TestEditMenu::init()
{
    failOnQtWarnings();
    scratch_ = std::make_unique<fixtures::Scratch>();
    FileCommands::setTemplateFile(shipFile(QStringLiteral("default.TWZ")));
    // The New System dialog answered with OK and its proposals.
    FileCommands::setNewSystemRunner([](NewSystemDialog &dialog) {
        dialog.findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
        return dialog.result();
    });
}

void TestEditMenu::cleanup()
{
    scratch_.reset();
}

void TestEditMenu::undoRedoEveryEdit_data()
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
            auto *strip = s.window.findChild<BoardStrip *>();
            const QPoint at = strip->shape(4)->geometry().center();
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, strip->mapToGlobal(at));
            QApplication::sendEvent(strip, &event);
            for (QMenu *menu : s.window.findChildren<QMenu *>()) {
                if (menu->isVisible()) {
                    menu->close();
                    menu->findChild<QAction *>(QStringLiteral("mnuExt0"))->trigger();
                }
            }
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

void TestEditMenu::undoRedoEveryEdit()
{
    QFETCH(QString, node);
    QFETCH(Edit, edit);
    QFETCH(QString, step);
    QFETCH(QString, leaveTo);
    QFETCH(QString, selected);
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
    s.doc.setConfigChanged(false);
}

void TestEditMenu::undoKeysFromAnyField_data()
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
void TestEditMenu::undoKeysFromAnyField()
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
    s.doc.setConfigChanged(false);
}

void TestEditMenu::savedMarkFollowsUndo()
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
    QCOMPARE(extensionNames(s.doc.config).mid(0, 3),
             (QStringList{QStringLiteral("Cabin 0"), QStringLiteral("Cabin 1"),
                          QStringLiteral("Mess")}));
    s.action(QStringLiteral("mnuFileSave"))->trigger();
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - ") + path);
    Configuration onDisk = makeDefaultConfiguration();
    QVERIFY(loadConfigurationFile(path, onDisk).ok);
    QCOMPARE(extensionNames(onDisk), extensionNames(s.doc.config));

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
    s.doc.setConfigChanged(false);
}

void TestEditMenu::openingAnotherFileForgetsSteps()
{
    Session s(shipFile());
    emit s.tree()->nodeRenamed(QStringLiteral("E000"), QStringLiteral("Wheelhouse"));
    QVERIFY(s.action(QStringLiteral("mnuEditUndo"))->isEnabled());
    Configuration other = ship();
    other.SysConfig.Name = QStringLiteral("MV Other");
    scratch_->prompter.buttons.enqueue(QMessageBox::No); // the edit is not saved
    scratch_->prompter.files.enqueue(shipFile(QStringLiteral("other.TWZ"), other));
    s.action(QStringLiteral("mnuFileOpen"))->trigger();
    QCOMPARE(s.doc.config.SysConfig.Name, QStringLiteral("MV Other"));
    QVERIFY(!s.action(QStringLiteral("mnuEditUndo"))->isEnabled());
    QCOMPARE(s.doc.undoStack()->count(), 0);
    QVERIFY(!s.doc.configChanged());
}

void TestEditMenu::hundredStepsKept()
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

void TestEditMenu::findNarrowsViews_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("category");  // list shown while finding
    QTest::addColumn<QStringList>("found"); // record nodes left in the tree, in order
    const auto keys = [](const char *list) {
        return QString::fromLatin1(list).split(QLatin1Char(' '));
    };
    QTest::newRow("part of a number") << QStringLiteral("10") << QStringLiteral("REX")
                                      << keys("E000 E001 E002 E003 E004 E005 E006 E007");
    QTest::newRow("extension name")
        << QStringLiteral("galley") << QStringLiteral("REX") << keys("E001");
    QTest::newRow("tie line names")
        << QStringLiteral("Shore") << QStringLiteral("RTL") << keys("T004 T005 T006 T007");
}

void TestEditMenu::findNarrowsViews()
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
    QStringList listed;
    for (int r = 0; r < s.list()->count(); ++r) {
        if (!s.list()->isRowHidden(r))
            listed << s.list()->keyAt(r);
    }
    QCOMPARE(listed, found);
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
    QVERIFY(s.tree()->shownRecordKeys().size() > found.size());
    QCOMPARE(s.tree()->shownRecordKeys().size(), 8 + 4 + 16);
}

void TestEditMenu::pasteNames_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<int>("start");          // extension 01.1 is 0
    QTest::addColumn<QStringList>("pasted"); // names written from there on; the rest stay
    QTest::addColumn<QString>("status");
    const QString tooLong = QStringLiteral("Chief engineer's day cabin, deck 3");
    QTest::newRow("a column from a spreadsheet")
        << QStringLiteral("Cabin A\r\nCabin B\r\nCabin C\r\n") << 2
        << QStringList{QStringLiteral("Cabin A"), QStringLiteral("Cabin B"),
                       QStringLiteral("Cabin C")}
        << QStringLiteral("3 names pasted");
    QTest::newRow("too long a name is cut")
        << tooLong + QStringLiteral("\n") << 6 << QStringList{tooLong.left(30)}
        << QStringLiteral("WARNING: 1 name pasted; 1 name cut to 30 characters");
    QTest::newRow("more lines than rows")
        << QStringLiteral("P1\nP2\nP3\nP4\nP5") << 6
        << QStringList{QStringLiteral("P1"), QStringLiteral("P2")}
        << QStringLiteral("WARNING: 2 names pasted; 3 names left over below the last row");
    QTest::newRow("rows copied from the grid give their names")
        << QStringLiteral("Physical\tName\tExt No\n01.5\tStore\t105\n") << 0
        << QStringList{QStringLiteral("Store")}
        << QStringLiteral("1 name pasted");
}

void TestEditMenu::pasteNames()
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

void TestEditMenu::copyRowsAsTable()
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
}

void TestEditMenu::oneChoiceForSeveralRows()
{
    Session s(shipFile());
    s.window.setListViewMode(3);
    s.click(QStringLiteral("REX"));
    PortGrid *grid = s.grid();
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

void TestEditMenu::compareWithFile()
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
    auto *window = s.window.findChild<CompareWindow *>();
    QVERIFY(window);
    auto *list = window->findChild<QTreeWidget *>(QStringLiteral("vsDiff"));
    // Record kinds with their counts, then records, then fields.
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Extensions (1)"));
    QCOMPARE(list->topLevelItem(0)->child(0)->text(0), QStringLiteral("Extension 01.2"));
    const QTreeWidgetItem *name = list->topLevelItem(0)->child(0)->child(0);
    QCOMPARE((QStringList{name->text(0), name->text(1), name->text(2)}),
             (QStringList{QStringLiteral("Name"), QStringLiteral("Galley"),
                          QStringLiteral("Old galley")}));
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
    s.doc.setConfigChanged(false);
}

QTEST_MAIN(TestEditMenu)
#include "tst_editmenu.moc"
