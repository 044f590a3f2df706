#include "reportorder.h"

#include "cataloguetree.h"

#include "catalogue/sortkeys.h"

std::vector<const TreeNode*> reportOrder(const CatalogueTree& tree, const TextCompare& compare) {
    std::vector<const TreeNode*> albums;
    for (const TreeNode* artist : tree.artists()) {
        for (const TreeNode* album : artist->children) {
            if (album->checked)
                albums.push_back(album);
        }
    }
    // In the tree's order the entries are mostly sorted already, which the sort sees at once.
    const SortKeys keys(
        qsizetype(albums.size()),
        [&](qsizetype i, QString& out) {
            const TreeNode* album = albums[size_t(i)];
            out.reserve(album->parent->text.size() + 3 + album->text.size());
            out.append(album->parent->text).append(u" - ").append(album->text);
        },
        compare);
    std::vector<const TreeNode*> order;
    order.reserve(albums.size());
    for (qint32 k : keys.sorted())
        order.push_back(albums[size_t(k)]);
    return order;
}
