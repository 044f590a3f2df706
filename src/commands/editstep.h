#pragma once

// The base of the undo history's steps (editsteps.cpp, renamesteps.cpp); commands use editsteps.h.

#include "context.h"
#include "noderef.h"
#include "ports.h"

#include <QUndoCommand>

#include <memory>
#include <vector>

// One edit. apply() does it (the first time as the Editing command always did, selection
// included); revert() takes it back, and the selection returns to the node selected before.
class EditStep : public QUndoCommand {
public:
    void redo() final { apply(); }
    void undo() final {
        revert();
        if (m_movesSelection)
            selectAndShow(m_ctx, find(m_ctx.tree, m_before));
    }

protected:
    EditStep(AppContext& ctx, const QString& text, bool movesSelection = true)
        : QUndoCommand(text), m_ctx(ctx), m_movesSelection(movesSelection),
          m_before(refOf(ctx.tree, ctx.view.selectedNode())) {}
    virtual void apply() = 0;
    virtual void revert() = 0;

    AppContext& m_ctx;
    std::vector<Album>& albums() { return m_ctx.catalogue.albums; }

private:
    bool m_movesSelection;
    NodeRef m_before;
};

// Pushes step onto ctx.undoStack, which does it; without a stack, does it at once and for good.
void perform(AppContext& ctx, std::unique_ptr<QUndoCommand> step);
