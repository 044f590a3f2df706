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
        [&](qsizetype i, QString& entry) -> QStringView {
            const TreeNode* album = albums[size_t(i)];
            entry.resize(0); // keeps its room
            entry.append(album->parent->text).append(u" - ").append(album->text);
            return entry;
        },
        compare);
    std::vector<const TreeNode*> order;
    order.reserve(albums.size());
    for (qint32 k : keys.sorted())
        order.push_back(albums[size_t(k)]);
    return order;
}
