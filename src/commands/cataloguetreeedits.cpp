// The tree model's edits: nodes added and removed, a removed node put back where it was (for the
// undo history), and a node renamed in place.

#include "cataloguetree.h"

#include <algorithm>

TreeNode* CatalogueTree::addArtist(const QString& name, bool sortsChildren) {
    if (artistNode(name))
        return nullptr;
    const size_t pos = sortedPosition(m_roots, name);
    beginInsertRows(QModelIndex(), int(pos), int(pos));
    TreeNode* node = newNode(name, NodeKind::Artist, nullptr);
    node->sortsChildren = sortsChildren;
    m_roots.insert(m_roots.begin() + qsizetype(pos), node);
    renumber(m_roots, pos);
    endInsertRows();
    return node;
}

TreeNode* CatalogueTree::addAlbum(TreeNode* artist, const QString& name, bool bold) {
    auto& children = artist->children;
    const size_t pos = artist->sortsChildren ? sortedPosition(children, name) : children.size();
    beginInsertRows(indexOf(artist), int(pos), int(pos));
    TreeNode* node = newNode(name, NodeKind::Album, artist);
    node->bold = bold;
    children.insert(children.begin() + qsizetype(pos), node);
    renumber(children, pos);
    noteChildren(artist);
    endInsertRows();
    return node;
}

void CatalogueTree::removeNode(TreeNode* node) {
    auto& siblings = siblingsOf(node->parent);
    const int row = node->row;
    beginRemoveRows(indexOf(node->parent), row, row);
    for (TreeNode* child : node->children)
        unlinkAdded(child);
    node->children.clear();
    unlinkAdded(node);
    siblings.erase(siblings.begin() + row);
    renumber(siblings, size_t(row));
    noteChildren(node->parent);
    node->parent = nullptr;
    endRemoveRows();
}

size_t CatalogueTree::placeOf(const NodeList& list, const TreeNode* parent, QStringView text,
                              quint32 seq) const {
    // Either way the list is in that order already: a binary search finds the place.
    const bool bySeq = parent && !parent->sortsChildren;
    auto it = std::partition_point(list.begin(), list.end(), [&](const TreeNode* n) {
        if (bySeq)
            return n->seq < seq;
        const int c = m_compare.compare(n->text, text);
        return c != 0 ? c < 0 : n->seq < seq;
    });
    return size_t(it - list.begin());
}

TreeNode* CatalogueTree::restoreNode(TreeNode* parent, const TreeNode& shape) {
    auto& siblings = siblingsOf(parent);
    const size_t pos = placeOf(siblings, parent, shape.text, shape.seq);
    beginInsertRows(indexOf(parent), int(pos), int(pos));
    TreeNode* node = allocateNode(shape.text, shape.kind, parent);
    node->seq = shape.seq;
    node->bold = shape.bold;
    node->checked = shape.checked;
    node->sortsChildren = shape.sortsChildren;
    // Back to its old place in the order of addition.
    TreeNode* after = m_lastAdded;
    while (after && after->seq > shape.seq)
        after = after->prevAdded;
    linkAddedAfter(node, after);
    m_nextSeq = std::max(m_nextSeq, shape.seq + 1);
    siblings.insert(siblings.begin() + qsizetype(pos), node);
    renumber(siblings, pos);
    noteChildren(parent);
    endInsertRows();
    return node;
}

void CatalogueTree::renameNode(TreeNode* node, const QString& text) {
    auto& siblings = siblingsOf(node->parent);
    const size_t row = size_t(node->row);
    const QModelIndex parentIndex = indexOf(node->parent);
    siblings.erase(siblings.begin() + row); // looked at without it, put back below
    const size_t pos = placeOf(siblings, node->parent, text, node->seq);
    siblings.insert(siblings.begin() + row, node);
    if (pos != row) {
        // Qt counts the destination before the node is taken out.
        beginMoveRows(parentIndex, int(row), int(row), parentIndex, int(pos > row ? pos + 1 : pos));
        siblings.erase(siblings.begin() + row);
        siblings.insert(siblings.begin() + pos, node);
        renumber(siblings, std::min(pos, row));
        endMoveRows();
    }
    node->text = text;
    const QModelIndex i = indexOf(node);
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
}
