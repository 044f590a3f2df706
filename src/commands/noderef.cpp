#include "noderef.h"

#include "catalogue/textcompare.h"
#include "context.h"
#include "ports.h"

NodeRef refOf(const CatalogueTree& tree, const TreeNode* node) {
    NodeRef ref;
    if (!node)
        return ref;
    ref.valid = true;
    ref.isAlbum = node->kind == NodeKind::Album;
    ref.artist = ref.isAlbum ? node->parent->text : node->text;
    if (ref.isAlbum)
        ref.album = node->text;
    ref.generation = tree.generation();
    ref.seq = node->seq;
    return ref;
}

bool known(const CatalogueTree& tree, const NodeRef& ref) {
    return ref.valid && ref.generation == tree.generation();
}

TreeNode* find(const CatalogueTree& tree, const NodeRef& ref) {
    TreeNode* artist = ref.valid ? tree.artistNode(ref.artist) : nullptr;
    if (!artist || !ref.isAlbum)
        return artist;
    if (known(tree, ref)) {
        for (TreeNode* album : artist->children)
            if (album->seq == ref.seq)
                return album;
    }
    for (TreeNode* album : artist->children)
        if (album->text == ref.album)
            return album;
    return nullptr;
}

TreeNode shapeOf(const NodeRef& ref, bool bold, bool checked, bool sortsChildren) {
    TreeNode shape;
    shape.text = ref.isAlbum ? ref.album : ref.artist;
    shape.kind = ref.isAlbum ? NodeKind::Album : NodeKind::Artist;
    shape.seq = ref.seq;
    shape.bold = bold;
    shape.checked = checked;
    shape.sortsChildren = sortsChildren;
    return shape;
}

void selectAndShow(AppContext& ctx, TreeNode* node) {
    if (node)
        ctx.view.ensureVisible(node);
    ctx.view.selectNode(node);
}

void removeAndSelectNeighbour(AppContext& ctx, TreeNode* node) {
    const auto& siblings = node->parent ? node->parent->children : ctx.tree.artists();
    const size_t row = size_t(node->row);
    TreeNode* next = row + 1 < siblings.size() ? siblings[row + 1]
                     : row > 0                 ? siblings[row - 1]
                                               : node->parent;
    ctx.tree.removeNode(node);
    if (next)
        ctx.view.selectNode(next);
}

bool shownInView(const AppContext& ctx, bool isNew) {
    return !ctx.newReleasesOnly || isNew;
}

bool otherEntryShown(const AppContext& ctx, const QString& artist, const QString& title,
                     qsizetype except) {
    const TextCompare& compare = TextCompare::program();
    const auto& albums = ctx.catalogue.albums;
    for (size_t i = 0; i < albums.size(); ++i)
        if (qsizetype(i) != except && shownInView(ctx, albums[i].isNew) &&
            compare.equals(albums[i].artist, artist) && compare.equals(albums[i].title, title))
            return true;
    return false;
}

void renameAndSelect(AppContext& ctx, TreeNode* node, const QString& text) {
    if (!node)
        return;
    ctx.tree.renameNode(node, text);
    selectAndShow(ctx, node);
}
