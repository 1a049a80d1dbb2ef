#pragma once
// One undoable step of the configuration: the whole configuration before
// and after it (the states are shared between neighbouring steps), and for
// a step that replaced the whole configuration, the file it belonged to
// before and after.
#include "ConfigDocument.h"

#include <QUndoCommand>

class ConfigStep : public QUndoCommand
{
  public:
    struct Side {
        std::shared_ptr<const Configuration> state;
        ConfigDocument::SharedOrigin origin; // null: the file stays as it is
    };
    ConfigStep(ConfigDocument &doc, Side before, Side after, const QString &what,
               const QString &key);

    void undo() override;
    void redo() override;

  private:
    ConfigDocument &doc_;
    Side before_;
    Side after_;
    QString key_;
    // The edit was made before the step was pushed: the first redo has nothing to do.
    bool done_ = true;
};
