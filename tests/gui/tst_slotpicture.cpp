// The boards of the cabinet as the technician meets them: the slot picture
// of the system pane (lamps, tooltips, double-click, board menus) and the
// Slots Display reading the simulated exchange.
#include "FailOnQtWarnings.h"
#include "LinkRig.h"

#include "BoardStrip.h"
#include "BoardsController.h"
#include "ConfigDocument.h"
#include "DefaultCabinet.h"
#include "GuiFixtures.h"
#include "NavTree.h"
#include "ScriptedPrompter.h"
#include "SlotTexts.h"
#include "MainWindow.h"
#include "InstalledBoardsWindow.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QToolTip>
#include <QtTest>

#include <memory>

using namespace tidelex;

namespace
{

// The main window on the small ship (slot 2 Subscriber, slot 3 Tie Line), showing the system.
struct Window {
    ConfigDocument doc;
    MainWindow window{doc};

    explicit Window(const Configuration &config)
    {
        doc.config = config;
        window.buildTree();
        window.navigateTo(QStringLiteral("RRR"));
        window.show();
    }
    BoardStrip *strip() { return window.findChild<BoardStrip *>(); }
    NavTree *tree() { return window.findChild<NavTree *>(QStringLiteral("trvTables")); }
};

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

class TestSlotPicture : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void tooltips_data();
    void tooltips();
    void tooltipUnderTheMouse();
    void lampsFollowTheBoards();
    void doubleClickOpensRecord_data();
    void doubleClickOpensRecord();
    void boardMenus_data();
    void boardMenus();
    void boardChange_data();
    void boardChange();

    void slotsDisplayCorrection();

  private:
    QTemporaryDir settings_;
    std::unique_ptr<ScriptedPrompter> prompter_;
};

void TestSlotPicture::init()
{
    failOnQtWarnings();
    fixtures::useTemporarySettings(settings_);
    prompter_ = std::make_unique<ScriptedPrompter>();
}

void TestSlotPicture::cleanup()
{
    prompter_.reset();
}

void TestSlotPicture::tooltips_data()
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

void TestSlotPicture::tooltips()
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

void TestSlotPicture::tooltipUnderTheMouse()
{
    Window w(fixtures::smallShip());
    BoardStrip *strip = w.strip();
    for (const auto &[at, text] :
         {std::pair{lampCentre(strip, 11), tieLineTip(w.doc.config, 7)},
          std::pair{slotCentre(strip, 5), QStringLiteral("Empty\nSlot 5 (Board 04)")}}) {
        QHelpEvent help(QEvent::ToolTip, at, strip->mapToGlobal(at));
        QApplication::sendEvent(strip, &help);
        QTRY_COMPARE(QToolTip::text(), text);
    }
}

void TestSlotPicture::lampsFollowTheBoards()
{
    Window w(fixtures::smallShip());
    BoardStrip *strip = w.strip();
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
}

void TestSlotPicture::doubleClickOpensRecord_data()
{
    QTest::addColumn<int>("lamp");
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("node");
    QTest::newRow("extension") << 1 << "vspData1" << "E001";
    QTest::newRow("fourth tie line of the board") << 11 << "vspData0" << "T007";
    QTest::newRow("unused lamp of a tie-line board") << 12 << "vspData3" << "RRR";
}

void TestSlotPicture::doubleClickOpensRecord()
{
    QFETCH(int, lamp);
    QFETCH(QString, view);
    QFETCH(QString, node);
    Window w(fixtures::smallShip());
    QTest::mouseDClick(w.strip(), Qt::LeftButton, {}, lampCentre(w.strip(), lamp));
    QCOMPARE(w.window.currentView()->objectName(), view);
    QCOMPARE(w.tree()->currentKey(), node);
}

void TestSlotPicture::boardMenus_data()
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

void TestSlotPicture::boardMenus()
{
    QFETCH(int, slot0);
    QFETCH(QString, keys);
    QFETCH(int, slot);
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    QFETCH(QString, tick);
    Configuration c = fixtures::smallShip();
    c.SysConfig.Slots[0] = int16_t(slot0);
    Window w(c);
    // What the exchange reported says nothing about the configuration's menus.
    w.doc.InstalledBoards.fill(BoardTieLine);
    BoardStrip *strip = w.strip();
    QMenu *popup = keys.isEmpty() ? rightClick(w.window, strip, slot) : nullptr;
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
        QCOMPARE(tip, slotPictureTip(w.doc.config, slot, -1));
        popup = poppedUp(w.window);
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

void TestSlotPicture::boardChange_data()
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

void TestSlotPicture::boardChange()
{
    QFETCH(int, slot);
    QFETCH(QString, item);
    QFETCH(bool, yes);
    QFETCH(bool, asks);
    QFETCH(int, board);
    QFETCH(QStringList, nodes);
    QFETCH(QStringList, noNodes);
    Window w(fixtures::smallShip());
    prompter_->buttons.enqueue(yes ? QMessageBox::Yes : QMessageBox::No);
    choose(rightClick(w.window, w.strip(), slot), item);

    QCOMPARE(prompter_->asked.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(prompter_->asked.first().title, QStringLiteral("Changing Board"));
        QCOMPARE(prompter_->asked.first().text,
                 QStringLiteral("Are you sure you want to change board type?"));
    }
    const bool changed = asks && yes;
    QCOMPARE(int(w.doc.config.SysConfig.Slots[slot]), board);
    QCOMPARE(w.doc.configChanged(), changed);
    QCOMPARE(w.window.windowTitle().endsWith(QLatin1Char('*')), changed);
    for (const QString &key : nodes)
        QVERIFY2(w.tree()->findNode(key), qPrintable(key));
    for (const QString &key : noNodes)
        QVERIFY2(!w.tree()->findNode(key), qPrintable(key));
    // The picture shows the slot's board at once, and the system stays in view.
    QCOMPARE(w.strip()->slotColour(slot), BoardStrip::colourFor(board));
    QCOMPARE(w.window.currentView()->objectName(), QStringLiteral("vspData3"));
}

void TestSlotPicture::slotsDisplayCorrection()
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

    prompter_->buttons.enqueue(QMessageBox::Yes);
    choose(menu, QStringLiteral("mnuExt1"));
    QCOMPARE(doc.InstalledBoards[3], int16_t(BoardTieLine));
    QCOMPARE(window.differenceTexts(),
             QStringList{QStringLiteral("Slot 4: configuration Empty, exchange Tie Line")});
    QVERIFY(!doc.configChanged()); // the configuration itself is not touched
    QCOMPARE(doc.config.SysConfig.Slots[3], int16_t(BoardTieLine));
}

QTEST_MAIN(TestSlotPicture)
#include "tst_slotpicture.moc"
