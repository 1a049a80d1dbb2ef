#pragma once
// One undoable step of the configuration: the whole configuration before
// and after it (the states are shared between neighbouring steps).
#include "ConfigDocument.h"

#include <QUndoCommand>

class ConfigStep : public QUndoCommand
{
  public:
    using State = std::shared_ptr<const Configuration>;
    ConfigStep(ConfigDocument &doc, State before, State after, const QString &what,
               const QString &key);

    void undo() override;
    void redo() override;

  private:
    ConfigDocument &doc_;
    State before_;
    State after_;
    QString key_;
    // The edit was made before the step was pushed: the first redo has nothing to do.
    bool done_ = true;
};
