// Not a test: draws the Edit menu's work (a named undo step, the found
// records, a pasted column of names, the comparison window) into PNG files,
// so their layout can be looked at. Usage:
// grab_editmenu OUTDIR [WIDTH HEIGHT] [dark]
#include "ConfigFile.h"
#include "GrabAid.h"
#include "GuiFixtures.h"
#include "NewSystem.h"
#include "CompareWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyleFactory>
#include <QTest>

namespace
{

Configuration generatedShip()
{
    Configuration c = makeDefaultConfiguration();
    NewSystemCounts counts;
    counts.extensions = 64;
    counts.officers = 8;
    counts.shore = 2;
    counts.satcom = 1;
    counts.pa = 1;
    generateNewSystem(c, counts, planBoards(counts), QStringLiteral("01/02/2026 10:00"));
    return c;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    GrabAid aid(QSize(1280, 800));
    QTemporaryDir work;
    const Configuration ship = generatedShip();
    Configuration older = ship;
    older.Extensions[3].Name = QStringLiteral("Old mess");
    older.Extensions[9].Class = tidelex::ClassOfficer;
    older.Extensions[9].Status = older.ExtClasses[tidelex::ClassOfficer].Status;
    older.SysConfig.PIN = 1234;
    const QString shipFile = work.filePath(QStringLiteral("ship.TWZ"));
    const QString olderFile = work.filePath(QStringLiteral("ship-2025.TWZ"));
    writeConfigFile(shipFile, ship);
    writeConfigFile(olderFile, older);

    fixtures::Session s(shipFile);
    s.window.resize(aid.size);
    QApplication::processEvents();
    // Three renamed, two undone, one redone: the menu names the next step.
    for (int i = 8; i < 11; ++i)
        emit s.tree()->nodeRenamed(extensionKey(i), QStringLiteral("Cabin %1").arg(i));
    s.action(QStringLiteral("mnuEditUndo"))->trigger();
    s.action(QStringLiteral("mnuEditUndo"))->trigger();
    s.action(QStringLiteral("mnuEditRedo"))->trigger();
    auto *edit = s.window.findChild<QMenu *>(QStringLiteral("mnuEdit"));
    edit->popup(s.window.mapToGlobal(QPoint(40, 24)));
    QApplication::processEvents();
    QPixmap shot = s.window.grab();
    QPainter painter(&shot);
    painter.drawPixmap(edit->pos() - s.window.mapToGlobal(QPoint(0, 0)), edit->grab());
    painter.end();
    shot.save(aid.file(QStringLiteral("editmenu")));
    edit->hide();

    // The list narrowed to the crew.
    s.window.setListViewMode(3);
    s.click(QStringLiteral("REX"));
    s.action(QStringLiteral("mnuEditFind"))->trigger();
    s.window.findChild<QLineEdit *>(QStringLiteral("txtFind"))->setText(QStringLiteral("Crew"));
    aid.save(&s.window, QStringLiteral("find"));

    // Ten cabin names pasted from a spreadsheet.
    // Escape closes the find bar; the technician then clicks into the grid.
    QTest::keyClick(s.window.findChild<QLineEdit *>(QStringLiteral("txtFind")), Qt::Key_Escape);
    QStringList cabins;
    for (int n = 1; n <= 10; ++n)
        cabins << QStringLiteral("Cabin 2.%1").arg(n, 2, 10, QLatin1Char('0'));
    QApplication::clipboard()->setText(cabins.join(QStringLiteral("\r\n")) +
                                       QStringLiteral("\r\n"));
    s.grid()->setCurrentCell(s.grid()->rowOfKey(QStringLiteral("E016")), PortGrid::ColName);
    s.grid()->setFocus();
    s.action(QStringLiteral("mnuEditPaste"))->trigger();
    aid.save(&s.window, QStringLiteral("paste"));

    // The comparison with an older copy.
    aid.prompter.files.enqueue(olderFile);
    s.action(QStringLiteral("mnuFileCompare"))->trigger();
    if (auto *compare = s.window.findChild<CompareWindow *>())
        aid.save(compare, QStringLiteral("compare"));
    s.doc.setConfigChanged(false);
    return 0;
}
