#pragma once
// The window tests' session: the document and its main window, and the
// settings in a folder of the test's own.
#include "BoardStrip.h"
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "ErrorList.h"
#include "NavTree.h"
#include "PortGrid.h"
#include "PortList.h"
#include "ScriptedPrompter.h"
#include "SmallShip.h"
#include "TempDir.h"
#include "MainWindow.h"

#include <QAction>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

namespace fixtures
{

using namespace tidelex;

// The settings as the program keeps them.
inline QSettings programSettings()
{
    return QSettings(QStringLiteral("Corvane Telecom Limited"), QStringLiteral("Tidelex Analog"));
}

// The settings of the program go to a folder of the test's own.
inline void useTemporarySettings(const QTemporaryDir &dir)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    programSettings().clear();
}

// A control the test goes on to use: missing, the test cannot go on.
template <typename T> T *control(const QObject &parent, const char *name)
{
    T *w = parent.findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

// What the main window's status line says.
inline QString statusText(const QWidget &window)
{
    return control<QLabel>(window, "Status")->text();
}

// What each window test function starts afresh: settings and files in
// folders of its own, and the answers to the questions it will be asked.
struct Scratch {
    QTemporaryDir settings;
    QTemporaryDir dir;
    ScriptedPrompter prompter;

    Scratch() { useTemporarySettings(settings); }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        if (!writeFileBytes(path(name), bytes))
            qWarning() << "cannot write" << path(name);
        return path(name);
    }
    // A configuration file as saved on a fixed day, so it can be compared.
    QString write(const QString &name, const Configuration &config) const
    {
        return write(name, configFileBytes(config, QStringLiteral("01/02/2026 10:00")));
    }
};

// One run of the program: the document and its window.
struct Session {
    ConfigDocument doc;
    MainWindow window{doc};

    // Shown, then loaded, as the program starts.
    explicit Session(const QString &commandLine)
    {
        window.show();
        window.loadStep(commandLine);
    }
    NavTree *tree() { return window.findChild<NavTree *>(QStringLiteral("trvTables")); }
    BoardStrip *strip() { return window.findChild<BoardStrip *>(); }
    ErrorList *errors() { return window.findChild<ErrorList *>(QStringLiteral("vsErrors")); }
    PortGrid *grid() { return window.findChild<PortGrid *>(QStringLiteral("vsPorts")); }
    PortList *list() { return window.findChild<PortList *>(QStringLiteral("lvPorts")); }
    QAction *action(const QString &name) { return window.findChild<QAction *>(name); }
    QString view() { return window.currentView()->objectName(); }
    void click(const QString &key) { tree()->setCurrentItem(tree()->findNode(key)); }
};

} // namespace fixtures
