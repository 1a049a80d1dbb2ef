#include "Icons.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

static void initUiResources()
{
    Q_INIT_RESOURCE(ui);
}

namespace
{

QString iconPath(const QString &key)
{
    static const bool loaded = (initUiResources(), true);
    Q_UNUSED(loaded);
    return QStringLiteral(":/icons/") + key;
}

// Rendered by hand at the sizes the views use, so no image plug-in is needed.
// Lines drawn in "currentColor" take the palette's text colour, so they show
// on a dark toolbar as on a light one.
QPixmap render(const QString &path, int size, const QColor &ink = QColor())
{
    QFile file(path);
    QByteArray svg = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (ink.isValid())
        svg.replace("currentColor", ink.name().toLatin1());
    QSvgRenderer renderer(svg);
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

} // namespace

bool hasAppIcon(const QString &key)
{
    return !key.isEmpty() && QFile::exists(iconPath(key));
}

QIcon appIcon(const QString &key)
{
    static QHash<QString, QIcon> cache;
    const QString name = hasAppIcon(key) ? key : QStringLiteral("Ext");
    const QColor ink = QApplication::palette().color(QPalette::WindowText);
    const QString cacheKey = name + ink.name();
    auto it = cache.constFind(cacheKey);
    if (it != cache.constEnd())
        return *it;
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(render(iconPath(name), size, ink));
    cache.insert(cacheKey, icon);
    return icon;
}

QPixmap appLogo(int size)
{
    iconPath(QString());
    return render(QStringLiteral(":/logo.svg"), size);
}
