#include "cataloguetree.h"

#include <QHash>

#include <thread>

#include <algorithm>
#include <cstring>

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

void CatalogueTree::renumber(std::vector<TreeNode*>& list, size_t from) {
    for (size_t i = from; i < list.size(); ++i)
        list[i]->row = int(i);
}

size_t CatalogueTree::sortedPosition(const std::vector<TreeNode*>& list, QStringView text) const {
    // After the last node that does not sort after text, so equal names keep their order.
    auto it =
        std::upper_bound(list.begin(), list.end(), text, [this](QStringView t, const TreeNode* n) {
            return m_compare.less(t, n->text);
        });
    return size_t(it - list.begin());
}

void CatalogueTree::dropAll() {
    m_roots.clear();
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

namespace {

bool before(const TextCompare& compare, const TreeNode* a, const TreeNode* b) {
    const int c = compare.compare(a->text, b->text);
    return c != 0 ? c < 0 : a->seq < b->seq;
}

// Sorts list by text, the first added first among equal texts; the later ones of an equal text
// are moved to dropped.
void sortKeepingFirstOfEqual(std::vector<TreeNode*>& list, const TextCompare& compare,
                             std::vector<TreeNode*>& dropped) {
    if (list.size() > 1) {
        std::sort(list.begin(), list.end(), [&compare](const TreeNode* a, const TreeNode* b) {
            return before(compare, a, b);
        });
        size_t kept = 1;
        for (size_t i = 1; i < list.size(); ++i) {
            if (compare.equals(list[i]->text, list[kept - 1]->text))
                dropped.push_back(list[i]);
            else
                list[kept++] = list[i];
        }
        list.resize(kept);
    }
    for (size_t i = 0; i < list.size(); ++i)
        list[i]->row = int(i);
}

} // namespace

void CatalogueTree::sortAllChildren() {
    size_t total = 0;
    for (const TreeNode* artist : m_roots)
        total += artist->children.size();
    constexpr size_t kPerThread = 50000;
    const size_t threads = std::clamp<size_t>(total / kPerThread, 1,
                                              std::max(1u, std::thread::hardware_concurrency()));

    std::vector<std::vector<TreeNode*>> dropped(threads);
    auto work = [this](size_t from, size_t to, const TextCompare& compare,
                       std::vector<TreeNode*>& out) {
        for (size_t i = from; i < to; ++i)
            sortKeepingFirstOfEqual(m_roots[i]->children, compare, out);
    };
    if (threads == 1) {
        work(0, m_roots.size(), m_compare, dropped[0]);
    } else {
        // Split the artists into runs of about equal album counts; each thread has its own
        // collator.
        std::vector<std::unique_ptr<TextCompare>> compares;
        std::vector<std::thread> pool;
        size_t start = 0, counted = 0;
        for (size_t t = 0; t < threads; ++t) {
            size_t end = start;
            const size_t goal = total * (t + 1) / threads;
            while (end < m_roots.size() && (counted < goal || t + 1 == threads))
                counted += m_roots[end++]->children.size();
            compares.push_back(m_compare.clone());
            pool.emplace_back(work, start, end, std::cref(*compares.back()), std::ref(dropped[t]));
            start = end;
        }
        for (std::thread& th : pool)
            th.join();
    }
    for (const auto& list : dropped)
        for (TreeNode* node : list)
            unlinkAdded(node);
}

TreeNode* CatalogueTree::rebuild(const std::vector<Album>& albums, bool newReleasesOnly) {
    beginResetModel();
    dropAll();
    ++m_generation;

    // Albums of one artist usually share one string (the loader makes them so): group by that
    // string's storage first, then by the exact text, and by the program's comparison last.
    QHash<std::pair<const QChar*, qsizetype>, TreeNode*> byStorage;
    QHash<QString, TreeNode*> byExactName;
    for (const Album& album : albums) {
        if (newReleasesOnly && !album.isNew)
            continue;
        TreeNode*& artist = byStorage[{album.artist.constData(), album.artist.size()}];
        if (!artist) {
            TreeNode*& named = byExactName[album.artist];
            if (!named) {
                named = newNode(album.artist, NodeKind::Artist, nullptr);
                named->sortsChildren = true;
                m_roots.push_back(named);
            }
            artist = named;
        }
        TreeNode* node = newNode(album.title, NodeKind::Album, artist);
        node->bold = album.isNew;
        artist->children.push_back(node);
    }

    // Artists whose names differ in letter case only share the node added first.
    std::vector<TreeNode*> artists = m_roots;
    std::sort(artists.begin(), artists.end(),
              [this](const TreeNode* a, const TreeNode* b) { return before(m_compare, a, b); });
    m_roots.clear();
    for (TreeNode* artist : artists) {
        TreeNode* same = m_roots.empty() ? nullptr : m_roots.back();
        if (same && m_compare.equals(same->text, artist->text)) {
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
    node->parent = nullptr;
    endRemoveRows();
}

void CatalogueTree::setBold(TreeNode* node, bool bold) {
    if (node->bold == bold)
        return;
    node->bold = bold;
    const QModelIndex i = indexOf(node);
    Q_EMIT dataChanged(i, i, {Qt::FontRole});
}

void CatalogueTree::emitChildrenChanged(TreeNode* parent, int role) {
    const auto& list = parent ? parent->children : m_roots;
    if (list.empty())
        return;
    const QModelIndex p = indexOf(parent);
    Q_EMIT dataChanged(index(0, 0, p), index(int(list.size()) - 1, 0, p), {role});
}

void CatalogueTree::setChildrenChecked(TreeNode* node, bool checked) {
    for (TreeNode* child : node->children)
        child->checked = checked;
    emitChildrenChanged(node, Qt::CheckStateRole);
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
    emitChildrenChanged(nullptr, Qt::CheckStateRole);
    for (TreeNode* artist : m_roots)
        emitChildrenChanged(artist, Qt::CheckStateRole);
}

void CatalogueTree::clearAllBold() {
    for (TreeNode* n = m_firstAdded; n; n = n->nextAdded)
        n->bold = false;
    emitChildrenChanged(nullptr, Qt::FontRole);
    for (TreeNode* artist : m_roots)
        emitChildrenChanged(artist, Qt::FontRole);
}

QModelIndex CatalogueTree::indexOf(const TreeNode* node) const {
    if (!node)
        return {};
    return createIndex(node->row, 0, const_cast<TreeNode*>(node));
}

TreeNode* CatalogueTree::nodeAt(const QModelIndex& index) {
    return index.isValid() ? static_cast<TreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex CatalogueTree::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    const auto& list = parent.isValid() ? nodeAt(parent)->children : m_roots;
    if (size_t(row) >= list.size())
        return {};
    return createIndex(row, 0, list[size_t(row)]);
}

QModelIndex CatalogueTree::parent(const QModelIndex& child) const {
    const TreeNode* node = nodeAt(child);
    return node ? indexOf(node->parent) : QModelIndex();
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
        return node->text;
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
    const TreeNode* node = nodeAt(index);
    if (!node)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (node->kind == NodeKind::Album)
        f |= Qt::ItemNeverHasChildren;
    return f;
}
