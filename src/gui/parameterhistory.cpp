#include "gui/parameterhistory.h"

#include "lignet/treerenderer.h"

#include <QUndoCommand>

namespace gui {

namespace {

// One tree's designed set before and after a change that was made before the step was pushed.
class ParameterChange : public QUndoCommand {
public:
    ParameterChange(ParameterHistory *owner, lignet::TreeRenderer *changedTree,
                    const lignet::TreeParameters &old, const lignet::TreeParameters &changed,
                    const QString &text)
        : QUndoCommand(text), history(owner), tree(changedTree), before(old), after(changed)
    {
    }

    void undo() override { history->restore(tree, before); }
    void redo() override
    {
        // Pushing runs redo once; the change itself is already in the tree then.
        if (pushed)
            history->restore(tree, after);
        pushed = true;
    }

private:
    ParameterHistory *history;
    lignet::TreeRenderer *tree;
    lignet::TreeParameters before;
    lignet::TreeParameters after;
    bool pushed = false;
};

} // namespace

ParameterHistory::ParameterHistory(QObject *parent) : QObject(parent) {}

void ParameterHistory::record(lignet::TreeRenderer *tree, const lignet::TreeParameters &before,
                              const QString &text)
{
    if (tree == nullptr || tree->designedParameters() == before)
        return;
    undoStack.push(new ParameterChange(this, tree, before, tree->designedParameters(), text));
}

void ParameterHistory::beginChange(lignet::TreeRenderer *tree, const QString &text)
{
    if (changeBefore && changingTree == tree)
        return;
    // A change of another tree cannot overlap this one: the one begun earlier ends here.
    finishChange();
    changingTree = tree;
    changeText = text;
    changeBefore = tree->designedParameters();
}

void ParameterHistory::finishChange()
{
    if (!changeBefore)
        return;
    const lignet::TreeParameters before = std::move(*changeBefore);
    changeBefore.reset();
    record(changingTree, before, changeText);
}

void ParameterHistory::undo()
{
    finishChange();
    undoStack.undo();
}

void ParameterHistory::redo()
{
    finishChange();
    undoStack.redo();
}

void ParameterHistory::restore(lignet::TreeRenderer *tree, const lignet::TreeParameters &parameters)
{
    lignet::TreeParameters &live = tree->designedParameters();
    const bool texturesChanged = live.barkTexturePath != parameters.barkTexturePath ||
                                 live.leafTexturePath != parameters.leafTexturePath;
    const bool displayLeaves = live.displayLeaves;
    live = parameters;
    live.displayLeaves = displayLeaves;
    emit parametersRestored(tree, texturesChanged);
}

} // namespace gui
