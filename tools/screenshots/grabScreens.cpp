// Not a test: draws the main window in a few states into PNG files, so the
// layout can be looked at. Usage: grab_screens OUTDIR [WIDTH HEIGHT] [dark] [FILE.TWZ]
#include "ConfigDocument.h"
#include "GrabAid.h"
#include "NavTree.h"
#include "MainWindow.h"
#include "SplashScreen.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    GrabAid aid(QSize(1000, 680));
    QString file;
    for (const QString &arg : QApplication::arguments().mid(2)) {
        if (arg.endsWith(QLatin1String(".TWZ"), Qt::CaseInsensitive) ||
            arg.endsWith(QLatin1String(".TDZ"), Qt::CaseInsensitive))
            file = arg;
    }
    ConfigDocument doc;
    MainWindow window(doc);
    window.loadStep(file);
    window.resize(aid.size);
    window.show();
    auto *tree = window.findChild<NavTree *>(QStringLiteral("trvTables"));
    tree->expandAll();
    aid.save(&window, QStringLiteral("system"));
    for (int mode = 0; mode < 4; ++mode) {
        window.setListViewMode(mode);
        tree->setCurrentItem(tree->findNode(QStringLiteral("REX")));
        aid.save(&window, QStringLiteral("extensions-mode%1").arg(mode));
    }
    for (const char *node : {"E001", "G000", "RTL", "RGP", "P321"}) {
        tree->setCurrentItem(tree->findNode(QLatin1String(node)));
        aid.save(&window, QLatin1String(node));
    }
    window.resize(420, 360);
    aid.save(&window, QStringLiteral("small"));
    SplashScreen splash;
    splash.showHelp();
    splash.show();
    aid.save(&splash, QStringLiteral("about"));
    doc.setConfigChanged(false);
    return 0;
}
