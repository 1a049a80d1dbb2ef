#include "StartUp.h"

#include "MainWindow.h"
#include "SplashScreen.h"

#include <QPointer>

void startUp(MainWindow &window, const QString &commandLine, ExchangeStart exchange)
{
    // The splash deletes itself when it closes, which may happen while the
    // load step waits on a message box: hold it only through a QPointer.
    QPointer<SplashScreen> splash = new SplashScreen;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->repaint();
    // Four empty lines push the version line out; the search line stays.
    for (int i = 0; i < SplashScreen::MessageLines; ++i)
        splashMessage(QString());
    splashMessage(QStringLiteral("Searching for Tidelex Programming Module"));

    // Shown before its load step, so the questions of a load have a window to stand on.
    window.show();
    window.loadStep(commandLine);
    if (exchange != ExchangeStart::None)
        window.exchangeCommands().connectAtStart(exchange == ExchangeStart::Simulate, commandLine);
    if (splash && splash->isVisible())
        splash->raise();
}
