#include "views.h"

#include "cataloguetree.h"
#include "context.h"
#include "ports.h"

namespace {

void rebuildTree(AppContext& ctx, bool newReleasesOnly) {
    ctx.newReleasesOnly = newReleasesOnly;
    ctx.view.setDrawing(false);
    TreeNode* first = ctx.tree.rebuild(ctx.catalogue.albums, newReleasesOnly);
    if (first)
        ctx.view.selectNode(first);
    ctx.view.setDrawing(true);
}

} // namespace

void showAllAlbums(AppContext& ctx) {
    rebuildTree(ctx, false);
}

void showNewReleases(AppContext& ctx) {
    rebuildTree(ctx, true);
}

void expandAll(AppContext& ctx) {
    ctx.view.setDrawing(false);
    ctx.view.expandAll();
    if (TreeNode* selected = ctx.view.selectedNode())
        ctx.view.ensureVisible(selected);
    ctx.view.setDrawing(true);
}

void nodeChecked(AppContext& ctx, TreeNode* node) {
    if (!node || node->kind != NodeKind::Artist)
        return;
    ctx.tree.setChildrenChecked(node, node->checked);
}

void tickAll(AppContext& ctx) {
    ctx.tree.checkAll();
}

void untickAll(AppContext& ctx) {
    ctx.tree.uncheckAll();
}
