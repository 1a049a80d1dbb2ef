#include "ConfigStep.h"

ConfigStep::ConfigStep(ConfigDocument &doc, State before, State after, const QString &what,
                       const QString &key)
    : QUndoCommand(what), doc_(doc), before_(std::move(before)), after_(std::move(after)), key_(key)
{
}

void ConfigStep::undo()
{
    doc_.restore(before_, key_);
    done_ = false;
}

void ConfigStep::redo()
{
    if (done_)
        return;
    doc_.restore(after_, key_);
    done_ = true;
}
