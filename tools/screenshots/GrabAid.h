#pragma once
// What the screenshot aids share. Their command line is
// "OUTDIR [WIDTH HEIGHT] [dark]": pictures go to OUTDIR/NAME<suffix>.png, the
// suffix naming the size given and the dark palette, so a technician's dark
// desktop can be judged too. Settings go to a folder of the aid's own and
// every question is answered by script, so no window blocks.
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
        QPalette p;
        const QColor text(230, 230, 230), disabled(120, 120, 120);
        p.setColor(QPalette::Window, QColor(45, 45, 48));
        p.setColor(QPalette::Base, QColor(30, 30, 30));
        p.setColor(QPalette::AlternateBase, QColor(50, 50, 54));
        p.setColor(QPalette::Button, QColor(55, 55, 58));
        p.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(role, text);
        p.setColor(QPalette::ToolTipText, Qt::white);
        p.setColor(QPalette::Highlight, QColor(42, 130, 218));
        p.setColor(QPalette::HighlightedText, Qt::white);
        p.setColor(QPalette::Disabled, QPalette::Text, disabled);
        p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
        QApplication::setPalette(p);
    }
};
