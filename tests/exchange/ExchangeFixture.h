#pragma once
// The editor with the built-in simulated exchange on its line, as the
// exchange-window tests use it: a small ship open, the simulator starting as
// the cabinet of a configuration chosen by the test, the line unpaced.
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "ExchangeConnection.h"
#include "ExchangeImage.h"
#include "ExchangeSimulator.h"
#include "GuiFixtures.h"
#include "ScriptedPrompter.h"
#include "MainWindow.h"
#include "SerialLink.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

namespace fixtures
{

// The image an exchange holding `config` keeps, with its boards in the slot bytes.
inline QByteArray cabinetImage(const Configuration &config)
{
    QByteArray image = buildExchMemory(config).image;
    stampSlotCodes(image, config.SysConfig.Slots);
    return image;
}

struct ExchangeSession {
    QTemporaryDir dir;
    ScriptedPrompter prompts;
    ConfigDocument doc;
    MainWindow window{doc};

    explicit ExchangeSession(const Configuration &open = smallShip(),
                             const QByteArray &exchangeImage = cabinetImage(smallShip()))
    {
        useTemporarySettings(dir);
        const QString file = dir.filePath(QStringLiteral("ship.TWZ"));
        writeConfigFile(file, open);
        window.loadStep(file);
        window.show();
        exchange().useSimulator(exchangeImage, 0);
        // Tests need not wait ten seconds for a silent exchange, nor the
        // real exchange's pause on entering setup.
        exchange().link().setSilenceLimit(1500);
        SerialLink::setupPauseTicks = 1;
    }
    ExchangeConnection &exchange() { return window.exchange(); }
    ExchangeSimulator &sim() { return *exchange().simulator(); }
    QAction *action(const char *name)
    {
        return window.findChild<QAction *>(QString::fromLatin1(name));
    }
    QString statusText()
    {
        return window.findChild<QLabel *>(QStringLiteral("Status"))->text();
    }
    QString connectionText()
    {
        return window.findChild<QLabel *>(QStringLiteral("labConnection"))->text();
    }
    template <typename T> T *openWindow(const char *name)
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String(name) && widget->isVisible())
                return qobject_cast<T *>(widget);
        }
        return nullptr;
    }
};

} // namespace fixtures
