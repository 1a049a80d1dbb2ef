// Not a test: draws the slot picture (with a tooltip and a board menu), the
// Slots Display against the simulated exchange, the class editor, the
// new-class dialog and the group members dialog into PNG files, grabbed from
// the screen so tooltips and menus show. Run it on a display (xvfb-run):
// grab_boards OUTDIR [WIDTH HEIGHT] [dark]
#include "GrabAid.h"
#include "LinkRig.h"

#include "BoardStrip.h"
#include "BoardsController.h"
#include "ConfigDocument.h"
#include "DefaultCabinet.h"
#include "GuiFixtures.h"
#include "ClassRightsDialog.h"
#include "GroupMembersDialog.h"
#include "MainWindow.h"
#include "NewClassDialog.h"
#include "InstalledBoardsWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFrame>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    GrabAid aid(QSize(1280, 800));
    // From the screen, so tooltips and menus show.
    const auto shoot = [&](const QString &name) {
        QTest::qWait(300);
        QApplication::primaryScreen()->grabWindow(0).save(aid.file(name));
    };
    ConfigDocument doc;
    doc.config = fixtures::smallShip();
    doc.config.Extensions[3].Group = 501;
    doc.config.Extensions[5].Group = 500;
    MainWindow window(doc);
    window.buildTree();
    window.navigateTo(QStringLiteral("RRR"));
    window.setGeometry(QRect(QPoint(0, 0), aid.size));
    window.show();

    auto *strip = window.findChild<BoardStrip *>();
    QWidget *lamp = strip->lamp(2);
    const QPoint at = lamp->mapTo(strip, lamp->rect().center());
    QTest::qWait(300);
    QHelpEvent help(QEvent::ToolTip, at, strip->mapToGlobal(at));
    QApplication::sendEvent(strip, &help);
    shoot(QStringLiteral("slots_tooltip"));

    const QPoint slot = strip->shape(9)->geometry().center();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, slot, strip->mapToGlobal(slot));
    QApplication::sendEvent(strip, &menu);
    shoot(QStringLiteral("slots_menu"));
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->inherits("QMenu"))
            w->close();
    }

    Rig rig;
    rig.exchange.loadConfigImage(defaultCabinetImage());
    InstalledBoardsWindow installed(doc, rig.link, &window);
    installed.show();
    installed.askExchange();
    shoot(QStringLiteral("slots_reading"));
    rig.run(installed.operation());
    shoot(QStringLiteral("slots_display"));
    installed.close();

    ClassRightsDialog classes(doc, &window);
    classes.show();
    classes.findChild<QCheckBox *>(QStringLiteral("chkSub_0"))->click();
    shoot(QStringLiteral("class_editor"));
    classes.findChild<QPushButton *>(QStringLiteral("cmdNewClass"))->click();
    if (auto *dialog = classes.findChild<NewClassDialog *>()) {
        dialog->findChild<QLineEdit *>(QStringLiteral("txtClassName"))->setText(QStringLiteral("Galley"));
        shoot(QStringLiteral("class_new"));
        dialog->close();
    }
    classes.close();

    GroupMembersDialog members(doc, 0, &window);
    members.show();
    shoot(QStringLiteral("group_members"));
    doc.setConfigChanged(false);
    return 0;
}
