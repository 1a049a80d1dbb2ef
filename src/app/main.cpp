// helmwise: the configuration editor of the Tidelex Analog exchange.
#include "ConfigDocument.h"
#include "StartUp.h"
#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The names the settings and the data folder (exchange backups) are kept under.
    QApplication::setOrganizationName(QStringLiteral("Corvane Telecom Limited"));
    QApplication::setApplicationName(QStringLiteral("Tidelex Analog"));
    QApplication::setApplicationDisplayName(QStringLiteral("helmWISE"));
    QApplication::setApplicationVersion(QStringLiteral(HELMWISE_VERSION));

    // The document starts with the built-in classes and the default boards.
    ConfigDocument doc;
    frmMain window(doc);
    // "--simulate" puts the built-in exchange simulator on the line instead of
    // the Programming Module, starting as the cabinet the file describes.
    QStringList arguments = QApplication::arguments().mid(1);
    const bool simulate = !arguments.isEmpty() && arguments.first() == QLatin1String("--simulate");
    if (simulate)
        arguments.removeFirst();
    // One optional file name; a path with blanks may arrive unquoted in pieces.
    StartUp(window, arguments.join(QLatin1Char(' ')),
            simulate ? ExchangeStart::Simulate : ExchangeStart::Search);
    return app.exec();
}
