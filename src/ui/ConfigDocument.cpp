#include "ConfigDocument.h"

#include "ConfigStep.h"

namespace
{
// Steps kept for undoing; a step costs two shared configurations at most.
constexpr int UndoLimit = 500;
} // namespace

ConfigDocument::ConfigDocument(QObject *parent)
    : QObject(parent), config(makeDefaultConfiguration()),
      committed_(std::make_shared<const Configuration>(config))
{
    stack_.setUndoLimit(UndoLimit);
    // The stack moves its index (and clean state) only after a step's undo or
    // redo has run, so the views are told from here, with the flag up to date.
    connect(&stack_, &QUndoStack::indexChanged, this, [this] {
        updateChangedFlag();
        if (!restoring_)
            return;
        restoring_ = false;
        emit restored(restoredKey_);
    });
}

void ConfigDocument::setCurrentFile(const QString &path, bool importedDos)
{
    const bool renamed = path != origin_->file;
    *origin_ = {path, importedDos};
    if (renamed)
        emit currentFileChanged(path);
}

void ConfigDocument::setOrigin(const SharedOrigin &origin)
{
    const bool renamed = origin->file != origin_->file;
    origin_ = origin;
    if (renamed)
        emit currentFileChanged(origin_->file);
}

void ConfigDocument::setConfigChanged(bool changed)
{
    markedByHand_ = changed;
    if (!changed) {
        // A configuration replaced without a step (a file read in) cannot be
        // reached by undoing: the old history would lead into another file.
        if (config != *committed_)
            resetHistory();
        else
            stack_.setClean();
    }
    updateChangedFlag();
}

void ConfigDocument::markChanged(const QString &what, const QString &key)
{
    if (config != *committed_)
        pushStep(what, key);
}

void ConfigDocument::replaceConfiguration(const Configuration &next, const QString &what)
{
    config = next;
    const SharedOrigin before = origin_;
    setOrigin(std::make_shared<Origin>());
    // Always a step: a replacement is unsaved work even when the contents
    // happen to be those of the file that was open.
    pushStep(what, QString(), before);
}

void ConfigDocument::pushStep(const QString &what, const QString &key, const SharedOrigin &before)
{
    auto after = std::make_shared<const Configuration>(config);
    const QString name = what.isEmpty() ? QStringLiteral("Change") : what;
    auto *step =
        new ConfigStep(*this, {committed_, before}, {after, before ? origin_ : nullptr}, name, key);
    committed_ = after;
    stack_.push(step);
    emit edited();
}

void ConfigDocument::resetHistory()
{
    committed_ = std::make_shared<const Configuration>(config);
    stack_.clear();
    markedByHand_ = false;
    updateChangedFlag();
}

void ConfigDocument::restore(const State &state, const QString &key, const SharedOrigin &origin)
{
    config = *state;
    if (origin)
        setOrigin(origin);
    committed_ = state;
    restoring_ = true;
    restoredKey_ = key;
}

void ConfigDocument::updateChangedFlag()
{
    const bool changed = markedByHand_ || !stack_.isClean();
    if (changed == changed_)
        return;
    changed_ = changed;
    emit changedFlagChanged(changed);
}
