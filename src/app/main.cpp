// helmwise: the configuration editor of the Tidelex Analog exchange.
#include "ConfigDocument.h"
#include "StartUp.h"
#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("helmWISE"));
    QApplication::setApplicationVersion(QStringLiteral(HELMWISE_VERSION));

    // The document starts with the built-in classes and the default boards.
    ConfigDocument doc;
    frmMain window(doc);
    // One optional file name; a path with blanks may arrive unquoted in pieces.
    StartUp(window, QApplication::arguments().mid(1).join(QLatin1Char(' ')));
    return app.exec();
}
