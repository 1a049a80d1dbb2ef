#include "StartUp.h"

#include "frmMain.h"
#include "frmSplash.h"

#include <QPointer>

void StartUp(frmMain &window, const QString &commandLine, ExchangeStart exchange)
{
    // The splash deletes itself when it closes, which may happen while the
    // load step waits on a message box: hold it only through a QPointer.
    QPointer<frmSplash> splash = new frmSplash;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->repaint();
    // Four empty lines push the version line out; the search line stays.
    for (int i = 0; i < frmSplash::MessageLines; ++i)
        SplashMessage(QString());
    SplashMessage(QStringLiteral("Searching for Tidelex Programming Module"));

    // Shown before its load step, so the questions of a load have a window to stand on.
    window.show();
    window.loadStep(commandLine);
    if (exchange != ExchangeStart::None)
        window.connectExchange(exchange == ExchangeStart::Simulate, commandLine);
    if (splash && splash->isVisible())
        splash->raise();
}
