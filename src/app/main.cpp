// helmwise: the configuration editor of the Tidelex Analog exchange.
#include "ConfigDocument.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("helmWISE"));
    QApplication::setApplicationVersion(QStringLiteral(HELMWISE_VERSION));

    auto *splash = new frmSplash;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->repaint();
    // Four empty lines push the version line out; the search line stays.
    for (int i = 0; i < frmSplash::MessageLines; ++i)
        SplashMessage(QString());
    SplashMessage(QStringLiteral("Searching for Tidelex Programming Module"));

    // The document starts with the built-in classes and the default boards.
    ConfigDocument doc;
    frmMain window(doc);
    // Shown before its load step, so the questions of a load have a window to stand on.
    window.show();
    // One optional file name; a path with blanks may arrive unquoted in pieces.
    window.loadStep(QApplication::arguments().mid(1).join(QLatin1Char(' ')));
    if (splash->isVisible())
        splash->raise();
    return app.exec();
}
