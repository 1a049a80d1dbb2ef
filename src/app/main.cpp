// helmwise: the configuration editor of the Tidelex Analog exchange.
#include "ConfigDocument.h"
#include "StartArguments.h"
#include "StartUp.h"
#include "MainWindow.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The command line is read before the window system is asked for: --help
    // and --version answer without a display, a wrong line opens no window.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words.append(QString::fromLocal8Bit(argv[i]));
    const StartArguments start = parseStartArguments(words);
    switch (start.action) {
    case StartArguments::Action::Help:
        std::fputs(startUsage().toLocal8Bit().constData(), stdout);
        return 0;
    case StartArguments::Action::Version:
        std::fputs("helmWISE " HELMWISE_VERSION "\n", stdout);
        return 0;
    case StartArguments::Action::Refuse:
        std::fputs(QStringLiteral("helmwise: %1\n\n%2")
                       .arg(start.problem, startUsage())
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return 2;
    case StartArguments::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    // The names the settings and the data folder (exchange backups) are kept under.
    QApplication::setOrganizationName(QStringLiteral("Corvane Telecom Limited"));
    QApplication::setApplicationName(QStringLiteral("Tidelex Analog"));
    QApplication::setApplicationVersion(QStringLiteral(HELMWISE_VERSION));
    // The desktop finds the program's entry and icon by it. (No display name
    // is set: Qt would append it to every window title.)
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvane.helmwise"));

    // The document starts with the built-in classes and the default boards.
    ConfigDocument doc;
    MainWindow window(doc);
    // "--simulate" puts the built-in exchange simulator on the line instead of
    // the Programming Module, starting as the cabinet the file describes.
    startUp(window, start.file, start.simulate ? ExchangeStart::Simulate : ExchangeStart::Search);
    return app.exec();
}
