// helmwise: the configuration editor of the Tidelex Analog exchange.
#include "ConfigDocument.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The names the settings and the data folder (exchange backups) are kept under.
    QApplication::setOrganizationName(QStringLiteral("Corvane Telecom Limited"));
    QApplication::setApplicationName(QStringLiteral("Tidelex Analog"));
    QApplication::setApplicationDisplayName(QStringLiteral("helmWISE"));
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
    // "--simulate" puts the built-in exchange simulator on the line instead of
    // the Programming Module, starting as the cabinet the file describes.
    QStringList arguments = QApplication::arguments().mid(1);
    const bool simulate = !arguments.isEmpty() && arguments.first() == QLatin1String("--simulate");
    if (simulate)
        arguments.removeFirst();
    // One optional file name; a path with blanks may arrive unquoted in pieces.
    const QString fileName = arguments.join(QLatin1Char(' '));
    window.loadStep(fileName);
    window.connectExchange(simulate, fileName);
    if (splash->isVisible())
        splash->raise();
    return app.exec();
}
