#include "ConfigDocument.h"

ConfigDocument::ConfigDocument(QObject *parent) : QObject(parent), config(makeDefaultConfiguration())
{
}

void ConfigDocument::setCurrentFile(const QString &path)
{
    if (path == currentFile_)
        return;
    currentFile_ = path;
    emit currentFileChanged(path);
}

void ConfigDocument::setConfigChanged(bool changed)
{
    if (changed == changed_)
        return;
    changed_ = changed;
    emit changedFlagChanged(changed);
}

void ConfigDocument::markChanged(const QString &what, const QString &key)
{
    Q_UNUSED(what);
    Q_UNUSED(key);
    setConfigChanged(true);
    emit edited();
}

void ConfigDocument::replaceConfiguration(const Configuration &next, const QString &what)
{
    config = next;
    markChanged(what);
}
