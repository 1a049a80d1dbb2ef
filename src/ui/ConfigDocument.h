#pragma once
// The one configuration the application owns, with its modified flag and
// the file it came from. Windows read `config`; an edit changes it in place
// and then calls markChanged() with the step's name and the record it
// touched, so the change can be undone as one step. Replacing the whole
// configuration (New System, a download) goes through replaceConfiguration().
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
    // An edit of `config` was committed: one step named `what` ("Extension
    // 01.3 Name") about the record `key` ("E017"; empty for the system or
    // for several records). Sets ConfigChanged and tells the views.
    void markChanged(const QString &what = QString(), const QString &key = QString());
    // The whole configuration is replaced by `next` as one step named `what`
    // ("Get Configuration", "New System"); marked changed like an edit.
    void replaceConfiguration(const Configuration &next, const QString &what);

signals:
    void edited();
    void changedFlagChanged(bool changed);
    void currentFileChanged(const QString &path);

private:
    bool changed_ = false;
    QString currentFile_;
};
