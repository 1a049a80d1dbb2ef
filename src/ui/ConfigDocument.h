#pragma once
// The one configuration the application owns, with its modified flag and
// the file it came from. Windows edit `config` in place and call
// markChanged() after each committed edit.
#include "Configuration.h"

#include <QObject>
#include <QString>

class ConfigDocument : public QObject {
    Q_OBJECT
public:
    explicit ConfigDocument(QObject *parent = nullptr);

    Configuration config;
    InstalledBoardList InstalledBoards = defaultInstalledBoards();

    bool ConfigChanged() const { return changed_; }
    const QString &CurrentFile() const { return currentFile_; }

    void setCurrentFile(const QString &path);
    void setConfigChanged(bool changed);
    // An edit was committed: set ConfigChanged and tell the views.
    void markChanged();

signals:
    void edited();
    void changedFlagChanged(bool changed);
    void currentFileChanged(const QString &path);

private:
    bool changed_ = false;
    QString currentFile_;
};
