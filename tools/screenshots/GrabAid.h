#pragma once
// What the screenshot aids share. Their command line is
// "OUTDIR [WIDTH HEIGHT] [dark]": pictures go to OUTDIR/NAME<suffix>.png, the
// suffix naming the size given and the dark palette, so a technician's dark
// desktop can be judged too. Settings go to a folder of the aid's own and
// every question is answered by script, so no window blocks.
#include "Palettes.h"
#include "ScriptedPrompter.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QWidget>

struct GrabAid {
    QDir out;
    QSize size;
    QString suffix;
    QTemporaryDir settings;
    ScriptedPrompter prompter;

    explicit GrabAid(QSize defaultSize = {})
    {
        const QStringList args = QApplication::arguments();
        out.setPath(args.value(1, QStringLiteral("/tmp")));
        const QSize given(args.value(2).toInt(), args.value(3).toInt());
        size = given.width() > 0 && given.height() > 0 ? given : defaultSize;
        if (given.width() > 0)
            suffix = QStringLiteral("_%1x%2").arg(size.width()).arg(size.height());
        if (args.contains(QStringLiteral("dark"))) {
            useDarkPalette();
            suffix += QStringLiteral("_dark");
        }
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    }

    QString file(const QString &name) const { return out.filePath(name + suffix + QStringLiteral(".png")); }

    void save(QWidget *widget, const QString &name) const
    {
        QApplication::processEvents();
        if (widget)
            widget->grab().save(file(name));
    }

    static void useDarkPalette()
    {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(darkPalette());
    }
};
