#pragma once
// The one configuration the application owns, with its modified flag, the
// file it came from and the history of its edits. Windows read `config`; an
// edit changes it in place and then calls markChanged() with the step's name
// and the record it touched, so the change can be undone as one step.
// Replacing the whole configuration (New System, a download) goes through
// replaceConfiguration(); opening another file starts a new history.
#include "Configuration.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <memory>

class ConfigDocument : public QObject
{
    Q_OBJECT
  public:
    explicit ConfigDocument(QObject *parent = nullptr);

    // Where a configuration came from. Every step between two replacements
    // shares one: a Save As names all of them.
    struct Origin {
        QString file;
        bool importedDos = false;
    };
    using SharedOrigin = std::shared_ptr<Origin>;

    Configuration config;
    InstalledBoardList InstalledBoards = defaultInstalledBoards();

    // Changed since loaded, created or saved: the history is away from its
    // saved step (or the flag was set by hand).
    bool configChanged() const { return changed_; }
    // The file the configuration belongs to (empty for a new one), and
    // whether that is a DOS file, which is saved under a .TWZ name of its own.
    const QString &currentFile() const { return origin_->file; }
    bool importedDos() const { return origin_->importedDos; }

    void setCurrentFile(const QString &path, bool importedDos = false);
    // False marks the configuration as it stands as saved; undoing back to
    // it later clears the flag again.
    void setConfigChanged(bool changed);
    // An edit of `config` was committed: one step named `what` ("Extension
    // 01.3 Name") about the record `key` ("E017"; empty for the system or
    // for several records). Sets configChanged and tells the views. A commit
    // that left the configuration as it was is no step and no change.
    void markChanged(const QString &what = QString(), const QString &key = QString());
    // The whole configuration is replaced by `next` as one step named `what`
    // ("Get Configuration", "New System"); it belongs to no file yet, and is
    // marked changed like an edit, also when the contents are the same.
    // Undoing it gives back the file name as well.
    void replaceConfiguration(const Configuration &next, const QString &what);
    // Forgets every step: the configuration as it stands is where undoing
    // stops, and it counts as saved (another file was opened).
    void resetHistory();

    // Undo and redo of the steps; at least 100 are kept.
    QUndoStack *undoStack() { return &stack_; }

  signals:
    void edited();
    void changedFlagChanged(bool changed);
    void currentFileChanged(const QString &path);
    // Undo or redo put the configuration back as it was; `key` is the record
    // the step touched (empty for the system or several records).
    void restored(const QString &key);

  private:
    friend class ConfigStep;
    using State = std::shared_ptr<const Configuration>;
    // Called by a step on undo and redo; `origin` is given by a replacement.
    void restore(const State &state, const QString &key, const SharedOrigin &origin);
    void pushStep(const QString &what, const QString &key, const SharedOrigin &before = {});
    void setOrigin(const SharedOrigin &origin);
    void updateChangedFlag();

    SharedOrigin origin_ = std::make_shared<Origin>();
    QUndoStack stack_;
    // The configuration as of the last step: the "before" of the next one.
    State committed_;
    bool changed_ = false;
    // setConfigChanged(true) without a step behind it.
    bool markedByHand_ = false;
    // A step's undo or redo is under way: announced once the stack has moved.
    bool restoring_ = false;
    QString restoredKey_;
};
