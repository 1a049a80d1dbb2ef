// Not a test: draws the main window in a few states into PNG files, so the
// layout can be looked at. Usage: gui_grab_screens OUTDIR [FILE.TWZ]
// HELMWISE_GRAB_SIZE=WxH sets the window size, HELMWISE_GRAB_DARK=1 a dark palette.
#include "DarkPalette.h"
#include "ConfigDocument.h"
#include "GuiFixtures.h"
#include "NavTree.h"
#include "ScriptedPrompter.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIntValue("HELMWISE_GRAB_DARK")) {
        useDarkPalette();
    }
    const QStringList args = QApplication::arguments();
    const QString out = args.value(1, QStringLiteral("/tmp"));
    QTemporaryDir settings;
    fixtures::useTemporarySettings(settings);
    ScriptedPrompter prompter;
    ConfigDocument doc;
    frmMain window(doc);
    window.loadStep(args.value(2));
    const QStringList size = qEnvironmentVariable("HELMWISE_GRAB_SIZE").split(QLatin1Char('x'));
    window.resize(size.size() == 2 ? QSize(size[0].toInt(), size[1].toInt()) : QSize(1000, 680));
    window.show();
    auto *tree = window.findChild<NavTree *>(QStringLiteral("trvTables"));
    auto shot = [&](const QString &name) {
        QApplication::processEvents();
        window.grab().save(QDir(out).filePath(name + QStringLiteral(".png")));
    };
    tree->expandAll();
    shot(QStringLiteral("system"));
    for (int mode = 0; mode < 4; ++mode) {
        window.setListViewMode(mode);
        tree->setCurrentItem(tree->findNode(QStringLiteral("REX")));
        shot(QStringLiteral("extensions-mode%1").arg(mode));
    }
    tree->setCurrentItem(tree->findNode(QStringLiteral("E001")));
    shot(QStringLiteral("extension"));
    tree->setCurrentItem(tree->findNode(QStringLiteral("G000")));
    shot(QStringLiteral("group"));
    tree->setCurrentItem(tree->findNode(QStringLiteral("RTL")));
    shot(QStringLiteral("tielines-details"));
    tree->setCurrentItem(tree->findNode(QStringLiteral("RGP")));
    shot(QStringLiteral("groups-details"));
    tree->setCurrentItem(tree->findNode(QStringLiteral("P321")));
    shot(QStringLiteral("report"));
    window.resize(420, 360);
    shot(QStringLiteral("small"));
    frmSplash splash;
    splash.showHelp();
    splash.show();
    QApplication::processEvents();
    splash.grab().save(QDir(out).filePath(QStringLiteral("about.png")));
    doc.setConfigChanged(false);
    return 0;
}
