#include "ConfigStep.h"

ConfigStep::ConfigStep(ConfigDocument &doc, Side before, Side after, const QString &what,
                       const QString &key)
    : QUndoCommand(what), doc_(doc), before_(std::move(before)), after_(std::move(after)), key_(key)
{
}

void ConfigStep::undo()
{
    doc_.restore(before_.state, key_, before_.origin);
    done_ = false;
}

void ConfigStep::redo()
{
    if (done_)
        return;
    doc_.restore(after_.state, key_, after_.origin);
    done_ = true;
}
