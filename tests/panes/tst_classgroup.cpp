// The class editor and the group members dialog driven as a technician
// drives them, with the questions answered by script.
#include "ClassEdits.h"
#include "ConfigDocument.h"
#include "FailOnQtWarnings.h"
#include "GroupPane.h"
#include "Icons.h"
#include "NavTree.h"
#include "PaneFixture.h"
#include "ScriptedPrompter.h"
#include "ClassRightsDialog.h"
#include "ClassIconDialog.h"
#include "GroupMembersDialog.h"
#include "MainWindow.h"
#include "NewClassDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace tidelex;
using Buttons = QList<QMessageBox::StandardButton>;

Q_DECLARE_METATYPE(Buttons)

namespace
{

template <typename T> T *child(QObject &parent, const QString &name)
{
    T *w = parent.findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

// A click where the user aims: on the tick of a box (a box reacts only on
// its tick and caption), in the middle of a button.
void clickBox(QAbstractButton *button)
{
    const bool box = qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button);
    QTest::mouseClick(button, Qt::LeftButton, {},
                      box ? QPoint(6, button->height() / 2) : button->rect().center());
}

void click(QObject &parent, const char *name)
{
    clickBox(child<QAbstractButton>(parent, QLatin1String(name)));
}

QStringList comboTexts(QComboBox *combo)
{
    QStringList texts;
    for (int k = 0; k < combo->count(); ++k)
        texts << combo->itemText(k);
    return texts;
}

void makeClass(ConfigDocument &doc, int i, int cls)
{
    doc.config.Extensions[i].Class = int16_t(cls);
    doc.config.Extensions[i].Status = doc.config.ExtClasses[cls].Status;
}

// The extension-class window opened on Officer with "Recall" cleared.
struct ClassEdit {
    ConfigDocument &doc;
    ClassRightsDialog window{doc};
    ClassStatus edited;

    explicit ClassEdit(ConfigDocument &document) : doc(document)
    {
        window.show();
        edited = doc.config.ExtClasses[ClassOfficer].Status;
        edited[0] &= uint8_t(~ExtRecall);
        click(window, "chkSub_0");
    }
};

} // namespace

class TestClassGroup : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void offeredClasses();
    void applyChanges_data();
    void applyChanges();
    void leavingWithEdits_data();
    void leavingWithEdits();
    void newClassNames();
    void noNewClassWhenFull();
    void renameKeepsTheEdit();
    void classRightsFromTheMenu();

    void memberBoxes();
    void membersApplied_data();
    void membersApplied();
    void greyBoxCycle();
    void keys_data();
    void keys();
    void groupPaneOpensTheDialog();

  private:
    std::unique_ptr<ScriptedPrompter> prompter_;
};

void TestClassGroup::init()
{
    failOnQtWarnings();
    prompter_ = std::make_unique<ScriptedPrompter>();
}

void TestClassGroup::cleanup()
{
    prompter_.reset();
}

void TestClassGroup::offeredClasses()
{
    ConfigDocument doc;
    loadSmallShip(doc);
    doc.config.ExtClasses[9].Active = true; // a class of the ship's own
    doc.config.ExtClasses[9].Name = QStringLiteral("Galley");
    ClassRightsDialog window(doc);
    auto *combo = child<QComboBox>(window, QStringLiteral("cboExtClass"));
    // Custom and the built-in classes are never offered.
    QCOMPARE(comboTexts(combo), QStringList({QStringLiteral("Officer"), QStringLiteral("Crew"), QStringLiteral("Galley")}));
    QCOMPARE(window.loadedClass(), int(ClassOfficer));
    QVERIFY(!window.hasUnappliedEdits());
    QVERIFY(prompter_->asked.isEmpty());
}

void TestClassGroup::applyChanges_data()
{
    QTest::addColumn<int>("officers");       // live Officer extensions
    QTest::addColumn<bool>("customMatch");   // a Custom extension with the edited options
    QTest::addColumn<Buttons>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<int>("officerClassAfter");
    QTest::addColumn<bool>("customJoined");

    const QString three = QStringLiteral("Are you sure that you want to update 3 Extensions?");
    const QString one = QStringLiteral("Are you sure that you want to update 1 Extension?");
    const QString match = QStringLiteral("There is 1 custom class extension matching this class.\n"
                                         "Do you want to update the class type?");
    const QString none = QStringLiteral("There are no extensions to be updated");
    using B = QMessageBox;
    QTest::newRow("officers follow") << 3 << false << Buttons{B::Yes} << QStringList{three}
                                     << true << int(ClassOfficer) << false;
    QTest::newRow("one officer follows") << 1 << false << Buttons{B::Yes} << QStringList{one}
                                         << true << int(ClassOfficer) << false;
    QTest::newRow("officers become Custom, the match joins")
        << 3 << true << Buttons{B::No, B::Yes} << QStringList{three, match} << true
        << int(ClassCustom) << true;
    QTest::newRow("update cancelled") << 3 << true << Buttons{B::Cancel} << QStringList{three}
                                      << false << int(ClassOfficer) << false;
    QTest::newRow("no extensions, OK") << 0 << false << Buttons{B::Ok} << QStringList{none}
                                       << true << int(ClassOfficer) << false;
    QTest::newRow("no extensions, Cancel") << 0 << false << Buttons{B::Cancel}
                                           << QStringList{none} << false << int(ClassOfficer)
                                           << false;
    // Declining the move still keeps the class's new options.
    QTest::newRow("only a Custom match, declined")
        << 0 << true << Buttons{B::No} << QStringList{match} << true << int(ClassOfficer) << false;
}

void TestClassGroup::applyChanges()
{
    QFETCH(int, officers);
    QFETCH(bool, customMatch);
    QFETCH(Buttons, answers);
    QFETCH(QStringList, questions);
    QFETCH(bool, stored);
    QFETCH(int, officerClassAfter);
    QFETCH(bool, customJoined);

    ConfigDocument doc;
    loadSmallShip(doc);
    makeClass(doc, 2, ClassCrew);
    for (int i = 4; i < 4 + officers; ++i)
        makeClass(doc, i, ClassOfficer);
    const Configuration before = doc.config;
    ClassEdit edit(doc);
    if (customMatch) {
        doc.config.Extensions[10].Class = ClassCustom;
        doc.config.Extensions[10].Status = edit.edited;
    }
    doc.setConfigChanged(false);
    prompter_->buttons.append(answers);

    click(edit.window, "cmdApplyChanges");

    QCOMPARE(prompter_->texts(), questions);
    // The update question says what No does.
    if (officers > 0)
        QVERIFY(prompter_->asked.first().detail.contains(QLatin1String("Custom")));
    const Configuration &c = doc.config;
    QCOMPARE(c.ExtClasses[ClassOfficer].Status,
             stored ? edit.edited : before.ExtClasses[ClassOfficer].Status);
    QCOMPARE(doc.configChanged(), stored);
    QCOMPARE(edit.window.hasUnappliedEdits(), !stored);
    for (int i = 4; i < 4 + officers; ++i) {
        QCOMPARE(int(c.Extensions[i].Class), officerClassAfter);
        // Custom or not, an extension keeps the options it is meant to have.
        const bool follows = stored && officerClassAfter == ClassOfficer;
        QCOMPARE(c.Extensions[i].Status, follows ? edit.edited : before.Extensions[i].Status);
    }
    if (customMatch)
        QCOMPARE(int(c.Extensions[10].Class), customJoined ? int(ClassOfficer) : int(ClassCustom));
    QCOMPARE(c.Extensions[2], before.Extensions[2]); // a Crew extension is left alone
}

void TestClassGroup::leavingWithEdits_data()
{
    QTest::addColumn<QString>("leave"); // another class picked, Close, or Escape
    QTest::addColumn<Buttons>("answers");
    QTest::addColumn<bool>("stays"); // on Officer, with the edits kept to apply later
    QTest::addColumn<bool>("stored");
    using B = QMessageBox;
    QTest::newRow("switch, save") << "switch" << Buttons{B::Yes, B::Yes} << false << true;
    QTest::newRow("switch, save, then cancel the update")
        << "switch" << Buttons{B::Yes, B::Cancel} << true << false;
    QTest::newRow("switch, discard") << "switch" << Buttons{B::No} << false << false;
    QTest::newRow("switch, stay") << "switch" << Buttons{B::Cancel} << true << false;
    QTest::newRow("Close, save") << "close" << Buttons{B::Yes, B::Yes} << false << true;
    QTest::newRow("Close, discard") << "close" << Buttons{B::No} << false << false;
    QTest::newRow("Close, stay") << "close" << Buttons{B::Cancel} << true << false;
    QTest::newRow("Escape, stay") << "escape" << Buttons{B::Cancel} << true << false;
}

void TestClassGroup::leavingWithEdits()
{
    QFETCH(QString, leave);
    QFETCH(Buttons, answers);
    QFETCH(bool, stays);
    QFETCH(bool, stored);
    ConfigDocument doc;
    loadSmallShip(doc);
    const ClassStatus officer = doc.config.ExtClasses[ClassOfficer].Status;
    ClassEdit edit(doc);
    prompter_->buttons.append(answers);
    auto *combo = child<QComboBox>(edit.window, QStringLiteral("cboExtClass"));
    if (leave == QLatin1String("switch"))
        combo->setCurrentIndex(combo->findData(int(ClassCrew)));
    else if (leave == QLatin1String("close"))
        click(edit.window, "cmdClose");
    else
        QTest::keyClick(&edit.window, Qt::Key_Escape);

    QCOMPARE(prompter_->asked.value(0).title, QStringLiteral("Save Changes"));
    QCOMPARE(prompter_->asked.value(0).text, QStringLiteral("Do you want to save the changes?"));
    if (leave == QLatin1String("switch")) {
        QCOMPARE(edit.window.loadedClass(), stays ? int(ClassOfficer) : int(ClassCrew));
        QCOMPARE(combo->currentData().toInt(), edit.window.loadedClass());
    } else {
        QCOMPARE(edit.window.isVisible(), stays);
    }
    QCOMPARE(doc.config.ExtClasses[ClassOfficer].Status, stored ? edit.edited : officer);
    QCOMPARE(edit.window.hasUnappliedEdits(), stays);
}

void TestClassGroup::newClassNames()
{
    ConfigDocument doc;
    loadSmallShip(doc);
    ClassRightsDialog window(doc);
    window.show();
    click(window, "cmdNewClass");
    auto *dialog = child<NewClassDialog>(window, QStringLiteral("frmNewClass"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Add New Class"));
    auto *name = child<QLineEdit>(*dialog, QStringLiteral("txtClassName"));
    auto *ok = child<QPushButton>(*dialog, QStringLiteral("cmdOK"));

    typeOnly(name, QStringLiteral("   "));
    QVERIFY(!ok->isEnabled()); // blanks are no name
    typeOnly(name, QStringLiteral("Officer"));
    click(*dialog, "cmdOK");
    QCOMPARE(prompter_->texts(), QStringList{QStringLiteral("There is already a class with this name")});
    QVERIFY(dialog->isVisible());
    QVERIFY(!doc.configChanged());

    typeOnly(name, QStringLiteral(" officer "));
    child<QCheckBox>(*dialog, QStringLiteral("chkCopy"))->setChecked(true);
    click(*dialog, "cmdOK");
    QVERIFY(!dialog->isVisible());
    const int created = window.loadedClass();
    QCOMPARE(created, 7);
    const ClassRecord &cls = doc.config.ExtClasses[created];
    QCOMPARE(cls.Name, QStringLiteral("officer"));
    QCOMPARE(cls.Status, doc.config.ExtClasses[ClassOfficer].Status);
    QVERIFY(doc.configChanged());
    QCOMPARE(child<QComboBox>(window, QStringLiteral("cboExtClass"))->currentText(),
             QStringLiteral("officer"));
}

void TestClassGroup::noNewClassWhenFull()
{
    ConfigDocument doc;
    loadSmallShip(doc);
    for (int k = 7; k < MaxClasses; ++k)
        QCOMPARE(createClass(doc.config, QStringLiteral("Class %1").arg(k), -1), k);
    ClassRightsDialog window(doc);
    window.show();
    click(window, "cmdNewClass");
    QVERIFY(!window.findChild<NewClassDialog *>());
    QCOMPARE(prompter_->asked.size(), 1);
    QVERIFY(prompter_->asked.first().text.startsWith(QStringLiteral("All 31 extension classes")));
}

void TestClassGroup::renameKeepsTheEdit()
{
    ConfigDocument doc;
    loadSmallShip(doc);
    ClassEdit edit(doc);
    click(edit.window, "cmdRename");
    auto *dialog = child<NewClassDialog>(edit.window, QStringLiteral("frmNewClass"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Rename Class"));
    QVERIFY(!child<QCheckBox>(*dialog, QStringLiteral("chkCopy"))->isVisible());
    auto *name = child<QLineEdit>(*dialog, QStringLiteral("txtClassName"));
    QCOMPARE(name->text(), QStringLiteral("Officer"));
    click(*dialog, "cmdOK"); // its own name counts as taken
    QCOMPARE(prompter_->asked.size(), 1);
    typeOnly(name, QStringLiteral("Master"));
    click(*dialog, "cmdOK");
    QCOMPARE(doc.config.ExtClasses[ClassOfficer].Name, QStringLiteral("Master"));
    auto *combo = child<QComboBox>(edit.window, QStringLiteral("cboExtClass"));
    QCOMPARE(combo->currentText(), QStringLiteral("Master"));
    QVERIFY(edit.window.hasUnappliedEdits());
    QCOMPARE(prompter_->asked.size(), 1); // no save question: the class shown stayed
}

void TestClassGroup::classRightsFromTheMenu()
{
    ConfigDocument doc;
    loadSmallShip(doc);
    MainWindow window(doc);
    window.buildTree();
    window.navigateTo(QStringLiteral("E002")); // the officer
    window.show();
    window.findChild<QAction *>(QStringLiteral("mnuEditClass"))->trigger();
    auto *editor = child<ClassRightsDialog>(window, QStringLiteral("frmClass"));
    click(*editor, "cmdIcon");
    const int cosB = int(ClassIconDialog::iconKeys().indexOf(QStringLiteral("ExtCosB")));
    click(*child<ClassIconDialog>(*editor, QStringLiteral("frmClassIcon")),
          qPrintable(QStringLiteral("picIcon_%1").arg(cosB)));
    click(*editor, "chkSub_0"); // Recall off
    prompter_->buttons.enqueue(QMessageBox::Yes);
    click(*editor, "cmdApplyChanges");
    click(*editor, "cmdClose");

    QVERIFY(window.windowTitle().endsWith(QLatin1Char('*')));
    auto *tree = child<NavTree>(window, QStringLiteral("trvTables"));
    QCOMPARE(tree->findNode(QStringLiteral("E002"))->icon(0).cacheKey(),
             appIcon(QStringLiteral("ExtCosB")).cacheKey());
    // The pane shown follows the class it was showing.
    QVERIFY(!child<QCheckBox>(window, QStringLiteral("chkSub_0"))->isChecked());
}

// ---- group members ----------------------------------------------------------

void TestClassGroup::memberBoxes()
{
    ConfigDocument doc;
    loadSmallShip(doc);
    Configuration &c = doc.config;
    c.Extensions[3].Active = false;  // inactive: no box
    c.Extensions[40].Active = true;  // no board in its slot: no box
    c.Extensions[40].Group = 546;
    c.Extensions[4].Group = 546;     // this group
    c.Extensions[5].Group = 545;     // another group
    GroupMembersDialog dialog(doc, 0);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Extensions"));
    QCOMPARE(dialog.findChildren<QCheckBox *>().size(), 15);
    QVERIFY(!dialog.box(3) && !dialog.box(40));
    QCOMPARE(dialog.box(0)->text(), QStringLiteral("Bridge (100)"));
    QCOMPARE(dialog.box(4)->checkState(), Qt::Checked);
    QCOMPARE(dialog.box(5)->checkState(), Qt::PartiallyChecked);
    QCOMPARE(dialog.box(6)->checkState(), Qt::Unchecked);
}

void TestClassGroup::membersApplied_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("state"); // negative: set, then Cancel
    QTest::addColumn<int>("expected");
    const int ours = 546, other = 545;
    QTest::newRow("none, ticked") << 0 << int(Qt::Checked) << ours;
    QTest::newRow("ours, unticked") << ours << int(Qt::Unchecked) << 0;
    QTest::newRow("ours, left") << ours << int(Qt::Checked) << ours;
    QTest::newRow("other, ticked") << other << int(Qt::Checked) << ours;
    QTest::newRow("other, unticked") << other << int(Qt::Unchecked) << other;
    QTest::newRow("other, left grey") << other << int(Qt::PartiallyChecked) << other;
    QTest::newRow("cancelled") << 0 << -int(Qt::Checked) << 0;
}

void TestClassGroup::membersApplied()
{
    QFETCH(int, group);
    QFETCH(int, state);
    QFETCH(int, expected);
    ConfigDocument doc;
    loadSmallShip(doc);
    doc.config.Extensions[7].Group = int16_t(group);
    doc.config.Extensions[50].Group = 546; // not live: keeps its group
    const Configuration before = doc.config;
    GroupMembersDialog dialog(doc, 0);
    dialog.show();
    dialog.box(7)->setCheckState(Qt::CheckState(std::abs(state)));
    click(dialog, state < 0 ? "cmdCancel" : "cmdOK");
    QCOMPARE(int(doc.config.Extensions[7].Group), expected);
    QCOMPARE(doc.configChanged(), expected != group);
    doc.config.Extensions[7].Group = before.Extensions[7].Group;
    QVERIFY(doc.config == before);
}

void TestClassGroup::greyBoxCycle()
{
    ConfigDocument doc;
    loadSmallShip(doc);
    doc.config.Extensions[5].Group = 545;
    GroupMembersDialog dialog(doc, 0);
    dialog.show();
    QCheckBox *grey = dialog.box(5), *plain = dialog.box(6);
    clickBox(grey);
    QCOMPARE(grey->checkState(), Qt::Checked);
    clickBox(grey);
    QCOMPARE(grey->checkState(), Qt::Unchecked);
    clickBox(grey);
    QCOMPARE(grey->checkState(), Qt::PartiallyChecked); // back to "leave it as it is"
    // A box that was not grey never turns grey.
    clickBox(plain);
    QCOMPARE(plain->checkState(), Qt::Checked);
    clickBox(plain);
    QCOMPARE(plain->checkState(), Qt::Unchecked);
}

void TestClassGroup::keys_data()
{
    QTest::addColumn<int>("from"); // box rows 0..14: extensions 0..15 without 3
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("Page Down near the end") << 8 << int(Qt::Key_PageDown) << 14;
    QTest::newRow("Page Up near the start") << 5 << int(Qt::Key_PageUp) << 0;
    QTest::newRow("Home") << 7 << int(Qt::Key_Home) << 0;
    QTest::newRow("End") << 0 << int(Qt::Key_End) << 14;
}

void TestClassGroup::keys()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    ConfigDocument doc;
    loadSmallShip(doc);
    doc.config.Extensions[3].Active = false;
    GroupMembersDialog dialog(doc, 0);
    dialog.show();
    const auto rowIndex = [](int row) { return row < 3 ? row : row + 1; };
    QCOMPARE(dialog.focusWidget(), dialog.box(0)); // the first box starts with the focus
    dialog.box(rowIndex(from))->setFocus();
    QTest::keyClick(dialog.box(rowIndex(from)), Qt::Key(key));
    QCOMPARE(dialog.focusWidget(), dialog.box(rowIndex(to)));
}

void TestClassGroup::groupPaneOpensTheDialog()
{
    ConfigDocument doc;
    loadSmallShip(doc);
    GroupPane pane(doc);
    pane.show();
    pane.showRecord(0);
    auto *users = child<QLineEdit>(pane, QStringLiteral("txtGroupLead"));
    QVERIFY(users->text().isEmpty());
    click(pane, "cmdGrpSelect");
    QVERIFY(!doc.configChanged()); // opening the dialog changes nothing
    auto *dialog = child<GroupMembersDialog>(pane, QStringLiteral("frmGroupExts"));
    dialog->box(1)->setCheckState(Qt::Checked);
    click(*dialog, "cmdOK");
    QCOMPARE(int(doc.config.Extensions[1].Group), 546);
    QVERIFY(doc.configChanged());
    QCOMPARE(users->text(), QStringLiteral("101 ( Mess) "));

    // A pickup group has no users to choose.
    pane.showRecord(1);
    QVERIFY(!child<QPushButton>(pane, QStringLiteral("cmdGrpSelect"))->isEnabled());
}

QTEST_MAIN(TestClassGroup)
#include "tst_classgroup.moc"
