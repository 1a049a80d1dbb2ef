#include "AppSettings.h"

#include <QSettings>

#include <algorithm>

namespace AppSettings
{
namespace
{

QSettings store()
{
    return QSettings(QStringLiteral("Corvane Telecom Limited"), QStringLiteral("Tidelex Analog"));
}

QString entryName(int k)
{
    return QStringLiteral("MRU") + QString::number(k);
}

int readInt(const QSettings &s, const QString &name, int fallback)
{
    bool ok = false;
    const int value = s.value(name, fallback).toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

WindowSettings readWindowSettings()
{
    QSettings s = store();
    s.beginGroup(QStringLiteral("Settings/Window"));
    WindowSettings w;
    w.Left = readInt(s, QStringLiteral("Left"), w.Left);
    w.Top = readInt(s, QStringLiteral("Top"), w.Top);
    w.Width = readInt(s, QStringLiteral("Width"), w.Width);
    w.Height = readInt(s, QStringLiteral("Height"), w.Height);
    w.ShowErrors = readInt(s, QStringLiteral("ShowErrors"), w.ShowErrors);
    w.ViewMode = readInt(s, QStringLiteral("ViewMode"), w.ViewMode);
    w.Maximized = readInt(s, QStringLiteral("Maximized"), w.Maximized);
    w.TreeWidth = readInt(s, QStringLiteral("TreeWidth"), w.TreeWidth);
    w.ErrorsHeight = readInt(s, QStringLiteral("ErrorsHeight"), w.ErrorsHeight);
    w.Placed = s.contains(QStringLiteral("Width")) && s.contains(QStringLiteral("Height"));
    return w;
}

void writeWindowSettings(const WindowSettings &w, bool withPlacement)
{
    QSettings s = store();
    s.beginGroup(QStringLiteral("Settings/Window"));
    if (withPlacement) {
        s.setValue(QStringLiteral("Left"), w.Left);
        s.setValue(QStringLiteral("Top"), w.Top);
        s.setValue(QStringLiteral("Width"), w.Width);
        s.setValue(QStringLiteral("Height"), w.Height);
    }
    s.setValue(QStringLiteral("ShowErrors"), w.ShowErrors);
    s.setValue(QStringLiteral("ViewMode"), w.ViewMode);
    s.setValue(QStringLiteral("Maximized"), w.Maximized);
    s.setValue(QStringLiteral("TreeWidth"), w.TreeWidth);
    s.setValue(QStringLiteral("ErrorsHeight"), w.ErrorsHeight);
}

void checkMRU(const QString &fileName)
{
    QSettings s = store();
    s.beginGroup(QStringLiteral("Settings/MRU"));
    // A count outside 0..10 (edited by hand) is read as the nearest bound.
    const int count = std::clamp(readInt(s, QStringLiteral("Count"), 0), 0, MaxRecentFiles);
    if (count < 1) {
        s.setValue(entryName(1), fileName);
        s.setValue(QStringLiteral("Count"), 1);
        return;
    }
    int found = 0;
    for (int k = 1; k <= count && found == 0; ++k) {
        const QString entry = s.value(entryName(k)).toString();
        if (!entry.isEmpty() && entry == fileName)
            found = k;
    }
    if (found == 1)
        return;
    const int last = found > 1 ? found - 1 : std::min(count + 1, MaxRecentFiles) - 1;
    for (int k = last; k >= 1; --k)
        s.setValue(entryName(k + 1), s.value(entryName(k)));
    s.setValue(entryName(1), fileName);
    if (found == 0)
        s.setValue(QStringLiteral("Count"), std::min(count + 1, MaxRecentFiles));
}

QStringList recentFiles()
{
    QSettings s = store();
    s.beginGroup(QStringLiteral("Settings/MRU"));
    const int count = std::min(readInt(s, QStringLiteral("Count"), 0), MenuRecentFiles);
    QStringList paths;
    for (int i = 1; i <= count; ++i) {
        paths << s.value(entryName(i)).toString();
    }
    return paths;
}

bool readTwiceToVerify()
{
    return store().value(QStringLiteral("Settings/Transfer/ReadTwice"), false).toBool();
}

void setReadTwiceToVerify(bool on)
{
    store().setValue(QStringLiteral("Settings/Transfer/ReadTwice"), on);
}

} // namespace AppSettings
