#include "reportorder.h"

#include "cataloguetree.h"

#include "catalogue/sortkeys.h"

#include <algorithm>

std::vector<const TreeNode*> reportOrder(const CatalogueTree& tree, const TextCompare& compare) {
    // The ticked albums in the order they were added, which is the order of the nodes and their
    // names in memory: the keys are made without visiting memory at random.
    std::vector<const TreeNode*> albums;
    for (const TreeNode* node = tree.firstAdded(); node; node = node->nextAdded) {
        if (node->kind == NodeKind::Album && node->checked)
            albums.push_back(node);
    }
    const SortKeys keys(
        qsizetype(albums.size()),
        [&](qsizetype i, QString& entry) -> QStringView {
            const TreeNode* album = albums[size_t(i)];
            entry.resize(0); // keeps its room
            entry.append(album->parent->text).append(u" - ").append(album->text);
            return entry;
        },
        compare);
    const std::vector<qint32> sorted = keys.sorted();
    std::vector<const TreeNode*> order;
    order.reserve(albums.size());
    for (qint32 k : sorted)
        order.push_back(albums[size_t(k)]);
    // Entries that compare equal stand in the order of the tree.
    const auto treeLess = [](const TreeNode* a, const TreeNode* b) {
        return a->parent->row != b->parent->row ? a->parent->row < b->parent->row : a->row < b->row;
    };
    for (size_t from = 0; from < sorted.size();) {
        size_t to = from + 1;
        while (to < sorted.size() && keys.compare(sorted[from], sorted[to]) == 0)
            ++to;
        if (to - from > 1)
            std::sort(order.begin() + qsizetype(from), order.begin() + qsizetype(to), treeLess);
        from = to;
    }
    return order;
}
