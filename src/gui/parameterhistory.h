#pragma once

#include "lignet/treeparameters.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <optional>

namespace lignet {
class TreeRenderer;
}

namespace gui {

// Undo and redo over the designed parameter sets of the trees. Every step holds one tree's whole
// set before and after a change that has already been made (a finished drag in a designer, an
// applied properties dialog, a loaded parameter file, a chosen texture).
class ParameterHistory : public QObject {
    Q_OBJECT

public:
    explicit ParameterHistory(QObject *parent = nullptr);

    QUndoStack &stack() { return undoStack; }

    // A change to `tree`'s designed set is complete; `before` is the set as it was. Nothing is
    // recorded when the set did not change.
    void record(lignet::TreeRenderer *tree, const lignet::TreeParameters &before, const QString &text);
    // A change made of many small updates (a drag) begins: the set as it is now is its state
    // before. Only the first call until finishChange counts.
    void beginChange(lignet::TreeRenderer *tree, const QString &text);
    // Records the change begun by beginChange, if any.
    void finishChange();

    // Puts `parameters` into `tree`'s designed set (the leaf display switch, a view setting, is
    // kept) and announces it; used by undo and redo.
    void restore(lignet::TreeRenderer *tree, const lignet::TreeParameters &parameters);

public slots:
    // Both end a change still being made first, so that it is the step they act on.
    void undo();
    void redo();

signals:
    // Undo or redo replaced `tree`'s designed set; its textures need loading when their files
    // changed.
    void parametersRestored(lignet::TreeRenderer *tree, bool texturesChanged);

private:
    QUndoStack undoStack;
    lignet::TreeRenderer *changingTree = nullptr;
    QString changeText;
    std::optional<lignet::TreeParameters> changeBefore;
};

} // namespace gui
