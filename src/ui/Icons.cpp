#include "Icons.h"

#include <QFile>
#include <QHash>
#include <QPainter>
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
QPixmap render(const QString &path, int size)
{
    QSvgRenderer renderer(path);
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
    auto it = cache.constFind(name);
    if (it != cache.constEnd())
        return *it;
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(render(iconPath(name), size));
    cache.insert(name, icon);
    return icon;
}

QPixmap appLogo(int size)
{
    iconPath(QString());
    return render(QStringLiteral(":/logo.svg"), size);
}
