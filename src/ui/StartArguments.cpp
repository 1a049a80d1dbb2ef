#include "StartArguments.h"

namespace
{

// Qt's own options (one or two leading dashes), which the application takes
// for itself: those followed by a value (or joined to it by "="), and those
// that stand alone or only take a value after "=".
bool qtOptionWithValue(const QString &name)
{
    static const QStringList names = {
        QStringLiteral("style"),           QStringLiteral("stylesheet"),
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
        QStringLiteral("display"),         QStringLiteral("geometry")};
    return names.contains(name);
}

bool qtOptionAlone(const QString &name)
{
    static const QStringList names = {QStringLiteral("widgetcount"),   QStringLiteral("reverse"),
                                      QStringLiteral("qmljsdebugger"), QStringLiteral("dialogs"),
                                      QStringLiteral("fontengine"),    QStringLiteral("darkmode")};
    return names.contains(name);
}

} // namespace

StartArguments parseStartArguments(const QStringList &arguments)
{
    StartArguments start;
    QStringList fileWords;
    bool optionsEnd = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (optionsEnd || !word.startsWith(u'-') || word == QLatin1String("-")) {
            fileWords.append(word);
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnd = true; // a file name that starts with "-" follows
        } else if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            start.action = StartArguments::Action::Help;
            return start;
        } else if (word == QLatin1String("--version") || word == QLatin1String("-v")) {
            start.action = StartArguments::Action::Version;
            return start;
        } else if (word == QLatin1String("--simulate")) {
            start.simulate = true;
        } else {
            QString name = word.mid(word.startsWith(QLatin1String("--")) ? 2 : 1);
            const bool joinedValue = name.contains(u'=');
            name = name.section(u'=', 0, 0);
            if (qtOptionWithValue(name)) {
                if (!joinedValue)
                    ++i; // its value
            } else if (!qtOptionAlone(name)) {
                start.action = StartArguments::Action::Refuse;
                start.problem = QStringLiteral("Unknown option: %1").arg(word);
                return start;
            }
        }
    }
    start.file = fileWords.join(u' ');
    return start;
}

QString startUsage()
{
    return QStringLiteral(
        "Usage: helmwise [--simulate] [FILE]\n"
        "The configuration editor of the Tidelex Analog ship's telephone exchange.\n"
        "\n"
        "FILE is a configuration to open: a .TWZ file, or an old DOS .TDZ file,\n"
        "which is imported. Without one the editor starts from the template.\n"
        "\n"
        "Options:\n"
        "  --simulate     Work with the built-in simulated exchange instead of the\n"
        "                 Programming Module; it holds the cabinet of FILE.\n"
        "  -h, --help     Print this help and exit.\n"
        "  -v, --version  Print the version and exit.\n"
        "  --             Take what follows as the file name, even if it starts with -.\n"
        "\n"
        "Qt's own options (-platform, -style and the like) are accepted too.\n");
}
