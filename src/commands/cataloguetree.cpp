#include "cataloguetree.h"

#include "catalogue/parallel.h"
#include "catalogue/sortkeys.h"
#include "storagegroups.h"

#include <algorithm>

CatalogueTree::CatalogueTree(const TextCompare& compare, QObject* parent)
    : QAbstractItemModel(parent), m_compare(compare) {
    m_boldFont.setBold(true);
}

CatalogueTree::~CatalogueTree() = default;

void CatalogueTree::setImages(const QIcon& album, const QIcon& artist) {
    m_albumIcon = album;
    m_artistIcon = artist;
}

TreeNode* CatalogueTree::allocateNode(const QString& text, NodeKind kind, TreeNode* parent) {
    if (m_chunkUsed == kChunkSize) {
        m_chunks.push_back(std::make_unique<TreeNode[]>(kChunkSize));
        m_chunkUsed = 0;
    }
    TreeNode& node = m_chunks.back()[m_chunkUsed++];
    node.text = text;
    node.kind = kind;
    node.parent = parent;
    ++m_count;
    return &node;
}

TreeNode* CatalogueTree::newNode(const QString& text, NodeKind kind, TreeNode* parent) {
    TreeNode* node = allocateNode(text, kind, parent);
    node->seq = m_nextSeq++;
    linkAddedAfter(node, m_lastAdded);
    return node;
}

void CatalogueTree::linkAddedAfter(TreeNode* node, TreeNode* after) {
    TreeNode*& next = after ? after->nextAdded : m_firstAdded;
    node->prevAdded = after;
    node->nextAdded = next;
    (next ? next->prevAdded : m_lastAdded) = node;
    next = node;
}

void CatalogueTree::unlinkAdded(TreeNode* node) {
    if (node->prevAdded)
        node->prevAdded->nextAdded = node->nextAdded;
    else
        m_firstAdded = node->nextAdded;
    if (node->nextAdded)
        node->nextAdded->prevAdded = node->prevAdded;
    else
        m_lastAdded = node->prevAdded;
    node->prevAdded = node->nextAdded = nullptr;
    --m_count;
}

void CatalogueTree::renumber(NodeList& list, size_t from) {
    for (size_t i = from; i < list.size(); ++i)
        list[i]->row = int(i);
    if (&list != &m_roots)
        return;
    m_rootHasChildren.resize(m_roots.size());
    for (size_t i = from; i < m_roots.size(); ++i)
        m_rootHasChildren[i] = !m_roots[i]->children.empty();
}

void CatalogueTree::noteChildren(const TreeNode* artist) {
    if (artist)
        m_rootHasChildren[size_t(artist->row)] = !artist->children.empty();
}

size_t CatalogueTree::sortedPosition(const NodeList& list, QStringView text) const {
    // After the last node that does not sort after text, so equal names keep their order.
    auto it =
        std::upper_bound(list.begin(), list.end(), text, [this](QStringView t, const TreeNode* n) {
            return m_compare.less(t, n->text);
        });
    return size_t(it - list.begin());
}

void CatalogueTree::dropAll() {
    m_roots.clear();
    m_rootHasChildren.clear();
    m_chunks.clear();
    m_chunkUsed = kChunkSize;
    m_firstAdded = m_lastAdded = nullptr;
    m_count = 0;
    m_nextSeq = 0;
}

TreeNode* CatalogueTree::artistNode(QStringView name) const {
    // The artists stand in text order: a binary search finds the one of that name.
    auto it = std::lower_bound(
        m_roots.begin(), m_roots.end(), name,
        [this](const TreeNode* n, QStringView t) { return m_compare.less(n->text, t); });
    return it != m_roots.end() && m_compare.equals((*it)->text, name) ? *it : nullptr;
}

void CatalogueTree::sortAllChildren() {
    // Each artist's albums are sorted on their own, the first added first among equal names; the
    // later ones of an equal name go. The albums of an artist with many are sorted by their keys,
    // made at once in the order the nodes were added, which is the order of the nodes and their
    // names in memory (the tree's order would visit them at random); a node's row holds the number
    // of its key meanwhile. The few albums of another artist are compared directly, which costs
    // less than making their keys.
    constexpr size_t kKeyedAbove = 32;
    std::vector<TreeNode*> keyed;
    for (TreeNode* node = m_firstAdded; node; node = node->nextAdded) {
        if (node->kind == NodeKind::Album && node->parent->children.size() > kKeyedAbove) {
            node->row = int(keyed.size());
            keyed.push_back(node);
        }
    }
    const SortKeys keys(
        qsizetype(keyed.size()),
        [&](qsizetype i, QString&) -> QStringView { return keyed[size_t(i)]->text; }, m_compare);

    std::vector<size_t> firstOf(m_roots.size() + 1, 0); // albums to sort before each artist
    for (size_t a = 0; a < m_roots.size(); ++a) {
        const size_t n = m_roots[a]->children.size();
        firstOf[a + 1] = firstOf[a] + (n > 1 ? n : 0);
    }
    std::vector<std::vector<TreeNode*>> dropped(parallelPieces(firstOf.back()));
    parallelFor(dropped.size(), [&](size_t piece) {
        // Runs of artists of about equal numbers of albums.
        auto artistAt = [&](size_t k) {
            const size_t album = firstOf.back() * k / dropped.size();
            return size_t(std::lower_bound(firstOf.begin(), firstOf.end() - 1, album) -
                          firstOf.begin());
        };
        const size_t from = artistAt(piece), to = artistAt(piece + 1);
        for (size_t a = from; a < to; ++a) {
            NodeList& children = m_roots[a]->children;
            if (children.size() < 2)
                continue;
            const bool byKeys = children.size() > kKeyedAbove;
            const auto compare = [&](const TreeNode* x, const TreeNode* y) {
                return byKeys ? keys.compare(x->row, y->row) : m_compare.compare(x->text, y->text);
            };
            std::sort(children.begin(), children.end(), [&](const TreeNode* x, const TreeNode* y) {
                const int c = compare(x, y);
                return c != 0 ? c < 0 : x->seq < y->seq;
            });
            size_t kept = 1;
            for (size_t k = 1; k < children.size(); ++k) {
                if (compare(children[kept - 1], children[k]) == 0)
                    dropped[piece].push_back(children[k]);
                else
                    children[kept++] = children[k];
            }
            children.resize(kept);
            renumber(children, 0);
        }
    });
    for (const auto& list : dropped)
        for (TreeNode* node : list)
            unlinkAdded(node);
}

TreeNode* CatalogueTree::rebuild(const std::vector<Album>& albums, bool newReleasesOnly) {
    beginResetModel();
    dropAll();
    ++m_generation;

    // Albums of one artist usually share one string (the loader makes them so): the albums are
    // grouped by that string's storage, and groups of equal names (one name in several strings,
    // or names that differ in letter case) are joined once the artists are sorted.
    std::vector<qint32> groupOf(albums.size(), -1);
    std::vector<qint32> groupSize;
    {
        StorageGroups groups;
        for (size_t k = 0; k < albums.size(); ++k) {
            if (newReleasesOnly && !albums[k].isNew)
                continue;
            if (k + 16 < albums.size())
                groups.prefetch(albums[k + 16].artist);
            groupOf[k] = groups.groupOf(albums[k].artist);
            if (size_t(groupOf[k]) == groupSize.size())
                groupSize.push_back(0);
            ++groupSize[size_t(groupOf[k])];
        }
    }
    std::vector<TreeNode*> artists(groupSize.size(), nullptr); // in the order first seen
    for (size_t k = 0; k < albums.size(); ++k) {
        if (groupOf[k] < 0)
            continue;
        TreeNode*& artist = artists[size_t(groupOf[k])];
        if (!artist) {
            artist = newNode(albums[k].artist, NodeKind::Artist, nullptr);
            artist->sortsChildren = true;
            artist->children.reserve(size_t(groupSize[size_t(groupOf[k])]));
        }
        TreeNode* node = newNode(albums[k].title, NodeKind::Album, artist);
        node->bold = albums[k].isNew;
        artist->children.push_back(node);
    }

    // The artists in text order (equal names keep the order they were added in); names that
    // differ in letter case only share the node added first.
    const SortKeys keys(
        qsizetype(artists.size()),
        [&](qsizetype i, QString&) -> QStringView { return artists[size_t(i)]->text; }, m_compare);
    std::vector<char> equal; // equal[k]: order[k] names what order[k - 1] names
    const std::vector<qint32> order = keys.sorted(&equal);
    m_roots.reserve(artists.size());
    for (size_t k = 0; k < order.size(); ++k) {
        if (k + 16 < order.size()) // the nodes lie in another order: asked for ahead
            __builtin_prefetch(artists[size_t(order[k + 16])]);
        TreeNode* artist = artists[size_t(order[k])];
        if (equal[k]) {
            TreeNode* same = m_roots.back();
            for (TreeNode* child : artist->children) {
                child->parent = same;
                same->children.push_back(child);
            }
            artist->children.clear();
            unlinkAdded(artist);
        } else {
            m_roots.push_back(artist);
        }
    }
    renumber(m_roots, 0);
    sortAllChildren();
    endResetModel();
    return m_roots.empty() ? nullptr : m_roots.front();
}

void CatalogueTree::setBold(TreeNode* node, bool bold) {
    if (node->bold == bold)
        return;
    node->bold = bold;
    const QModelIndex i = indexOf(node);
    Q_EMIT dataChanged(i, i, {Qt::FontRole});
}

void CatalogueTree::emitChildrenChanged(TreeNode* parent, const QList<int>& roles) {
    const auto& list = parent ? parent->children : m_roots;
    if (list.empty())
        return;
    const QModelIndex p = indexOf(parent);
    Q_EMIT dataChanged(index(0, 0, p), index(int(list.size()) - 1, 0, p), roles);
}

void CatalogueTree::emitAllChanged(int role) {
    const QList<int> roles{role}; // made once for every artist's signal
    emitChildrenChanged(nullptr, roles);
    // The artists' nodes and their first albums, which the signals' receivers read, lie in
    // another order than the artists': they are asked for ahead.
    constexpr size_t kAhead = 8;
    for (size_t a = 0; a < m_roots.size(); ++a) {
        if (a + kAhead < m_roots.size())
            __builtin_prefetch(m_roots[a + kAhead]);
        if (a + kAhead / 2 < m_roots.size() && !m_roots[a + kAhead / 2]->children.empty())
            __builtin_prefetch(m_roots[a + kAhead / 2]->children.front());
        emitChildrenChanged(m_roots[a], roles);
    }
}

void CatalogueTree::setChildrenChecked(TreeNode* node, bool checked) {
    for (TreeNode* child : node->children)
        child->checked = checked;
    emitChildrenChanged(node, {Qt::CheckStateRole});
}

void CatalogueTree::checkAll() {
    setAllChecked(true);
}

void CatalogueTree::uncheckAll() {
    setAllChecked(false);
}

void CatalogueTree::setAllChecked(bool checked) {
    for (TreeNode* n = m_firstAdded; n; n = n->nextAdded)
        n->checked = checked;
    emitAllChanged(Qt::CheckStateRole);
}

void CatalogueTree::clearAllBold() {
    for (TreeNode* n = m_firstAdded; n; n = n->nextAdded)
        n->bold = false;
    emitAllChanged(Qt::FontRole);
}

quintptr CatalogueTree::indexId(const TreeNode* node, bool album) {
    // Nodes are aligned, so the lowest bit of the address is free to tell an album: the view
    // asks every row whether it can have children while laying out, and reading a million
    // nodes scattered over memory for it would take longer than the rest of the layout.
    return reinterpret_cast<quintptr>(node) | (album ? 1 : 0);
}

QModelIndex CatalogueTree::indexOf(const TreeNode* node) const {
    if (!node)
        return {};
    return createIndex(node->row, 0, indexId(node, node->kind == NodeKind::Album));
}

TreeNode* CatalogueTree::nodeAt(const QModelIndex& index) {
    return index.isValid() ? reinterpret_cast<TreeNode*>(index.internalId() & ~quintptr(1))
                           : nullptr;
}

QModelIndex CatalogueTree::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    const auto& list = parent.isValid() ? nodeAt(parent)->children : m_roots;
    if (size_t(row) >= list.size())
        return {};
    // The rows under an artist are albums, the others artists.
    return createIndex(row, 0, indexId(list[size_t(row)], parent.isValid()));
}

QModelIndex CatalogueTree::parent(const QModelIndex& child) const {
    const TreeNode* node = nodeAt(child);
    return node ? indexOf(node->parent) : QModelIndex();
}

bool CatalogueTree::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid())
        return !m_roots.empty();
    if (parent.column() != 0 || (parent.internalId() & 1)) // an album
        return false;
    return m_rootHasChildren[size_t(parent.row())] != 0;
}

int CatalogueTree::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return int(m_roots.size());
    if (parent.column() != 0)
        return 0;
    return int(nodeAt(parent)->children.size());
}

int CatalogueTree::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant CatalogueTree::data(const QModelIndex& index, int role) const {
    const TreeNode* node = nodeAt(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return shownText(node->text, kShownLength);
    case Qt::ToolTipRole:
        return node->text.size() > kShownLength ? shownText(node->text, kToolTipLength)
                                                : QVariant();
    case Qt::FontRole:
        return node->bold ? QVariant(m_boldFont) : QVariant();
    case Qt::DecorationRole: {
        const QIcon& icon = node->kind == NodeKind::Artist ? m_artistIcon : m_albumIcon;
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::CheckStateRole:
        return node->checked ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool CatalogueTree::setData(const QModelIndex& index, const QVariant& value, int role) {
    TreeNode* node = nodeAt(index);
    if (!node || role != Qt::CheckStateRole)
        return false;
    const bool checked = value.toInt() != Qt::Unchecked;
    node->checked = checked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    Q_EMIT nodeCheckChanged(node);
    return true;
}

Qt::ItemFlags CatalogueTree::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (index.internalId() & 1) // an album, told without reading its node
        f |= Qt::ItemNeverHasChildren;
    return f;
}
