#include "cataloguetree.h"

#include <algorithm>
#include <cstring>
#include <string_view>

CatalogueTree::CatalogueTree(const TextCompare& compare, QObject* parent)
    : QAbstractItemModel(parent), m_compare(compare) {
    m_boldFont.setBold(true);
}

CatalogueTree::~CatalogueTree() = default;

void CatalogueTree::setImages(const QIcon& mp3, const QIcon& slozka) {
    m_mp3 = mp3;
    m_slozka = slozka;
}

TreeNode* CatalogueTree::newNode(const QString& text, NodeImage image, TreeNode* parent) {
    TreeNode& node = m_storage.emplace_back();
    node.text = text;
    node.image = image;
    node.parent = parent;
    node.prevAdded = m_lastAdded;
    if (m_lastAdded)
        m_lastAdded->nextAdded = &node;
    else
        m_firstAdded = &node;
    m_lastAdded = &node;
    ++m_count;
    return &node;
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
    auto it = std::upper_bound(list.begin(), list.end(), text,
                               [this](QStringView t, const TreeNode* n) {
                                   return m_compare.less(t, n->text);
                               });
    return size_t(it - list.begin());
}

void CatalogueTree::clear() {
    beginResetModel();
    m_roots.clear();
    m_artistByKey.clear();
    m_storage.clear();
    m_firstAdded = m_lastAdded = nullptr;
    m_count = 0;
    endResetModel();
}

TreeNode* CatalogueTree::artistNode(QStringView name) const {
    return m_artistByKey.value(m_compare.sortKey(name), nullptr);
}

void CatalogueTree::sortChildrenOnce(TreeNode* artist, QByteArray& keys,
                                     std::vector<qsizetype>& offsets,
                                     std::vector<qsizetype>& order) {
    auto& children = artist->children;
    const size_t n = children.size();
    if (n > 1) {
        keys.clear();
        offsets.assign(n + 1, 0);
        for (size_t i = 0; i < n; ++i) {
            offsets[i] = keys.size();
            m_compare.appendSortKey(children[i]->text, keys);
        }
        offsets[n] = keys.size();
        order.resize(n);
        for (size_t i = 0; i < n; ++i)
            order[i] = qsizetype(i);
        const char* base = keys.constData();
        auto keyOf = [&](qsizetype i) {
            return std::string_view(base + offsets[size_t(i)],
                                    size_t(offsets[size_t(i) + 1] - offsets[size_t(i)]));
        };
        // Stable: of two albums with the same name the one added first stays.
        std::stable_sort(order.begin(), order.end(),
                         [&](qsizetype a, qsizetype b) { return keyOf(a) < keyOf(b); });
        std::vector<TreeNode*> sorted;
        sorted.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            TreeNode* child = children[size_t(order[i])];
            if (i > 0 && keyOf(order[i]) == keyOf(order[i - 1])) {
                unlinkAdded(child); // a second album of that name is not shown
                continue;
            }
            sorted.push_back(child);
        }
        children.swap(sorted);
    }
    renumber(children, 0);
}

TreeNode* CatalogueTree::rebuild(const std::vector<Album>& albums, bool newsOnly) {
    beginResetModel();
    m_roots.clear();
    m_artistByKey.clear();
    m_storage.clear();
    m_firstAdded = m_lastAdded = nullptr;
    m_count = 0;

    // Albums of one artist usually share one string: look the exact string up first and fall
    // back to the artist's key (letter case ignored) only for a string not seen yet.
    QHash<QString, TreeNode*> byExactName;
    for (const Album& album : albums) {
        if (newsOnly && !album.Novinka)
            continue;
        TreeNode* artist = byExactName.value(album.Artist, nullptr);
        if (!artist) {
            QByteArray key = m_compare.sortKey(album.Artist);
            artist = m_artistByKey.value(key, nullptr);
            if (!artist) {
                artist = newNode(album.Artist, NodeImage::Slozka, nullptr);
                artist->keyed = true;
                artist->sortsChildren = true;
                m_artistByKey.insert(key, artist);
                m_roots.push_back(artist);
            }
            byExactName.insert(album.Artist, artist);
        }
        TreeNode* node = newNode(album.Album, NodeImage::Mp3, artist);
        node->bold = album.Novinka;
        artist->children.push_back(node);
    }

    QByteArray keys;
    std::vector<qsizetype> offsets;
    std::vector<qsizetype> order;
    for (TreeNode* artist : m_roots)
        sortChildrenOnce(artist, keys, offsets, order);

    std::vector<std::pair<QByteArray, TreeNode*>> rootKeys;
    rootKeys.reserve(m_roots.size());
    for (auto it = m_artistByKey.cbegin(); it != m_artistByKey.cend(); ++it)
        rootKeys.emplace_back(it.key(), it.value());
    std::sort(rootKeys.begin(), rootKeys.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < rootKeys.size(); ++i)
        m_roots[i] = rootKeys[i].second;
    renumber(m_roots, 0);
    endResetModel();
    return m_roots.empty() ? nullptr : m_roots.front();
}

TreeNode* CatalogueTree::addArtist(const QString& name, bool sortsChildren) {
    QByteArray key = m_compare.sortKey(name);
    if (m_artistByKey.contains(key))
        return nullptr;
    const size_t pos = sortedPosition(m_roots, name);
    beginInsertRows(QModelIndex(), int(pos), int(pos));
    TreeNode* node = newNode(name, NodeImage::Slozka, nullptr);
    node->keyed = true;
    node->sortsChildren = sortsChildren;
    m_artistByKey.insert(key, node);
    m_roots.insert(m_roots.begin() + qsizetype(pos), node);
    renumber(m_roots, pos);
    endInsertRows();
    return node;
}

TreeNode* CatalogueTree::addAlbum(TreeNode* artist, const QString& name, bool bold) {
    auto& children = artist->children;
    const size_t pos = artist->sortsChildren ? sortedPosition(children, name) : children.size();
    beginInsertRows(indexOf(artist), int(pos), int(pos));
    TreeNode* node = newNode(name, NodeImage::Mp3, artist);
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
    if (node->keyed) {
        auto it = m_artistByKey.find(m_compare.sortKey(node->text));
        if (it != m_artistByKey.end() && it.value() == node)
            m_artistByKey.erase(it);
    }
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

void CatalogueTree::setChecked(TreeNode* node, bool checked) {
    if (node->checked == checked)
        return;
    node->checked = checked;
    const QModelIndex i = indexOf(node);
    Q_EMIT dataChanged(i, i, {Qt::CheckStateRole});
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
    for (TreeNode* n = m_firstAdded; n; n = n->nextAdded)
        n->checked = true;
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

int CatalogueTree::columnCount(const QModelIndex&) const { return 1; }

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
        const QIcon& icon = node->image == NodeImage::Slozka ? m_slozka : m_mp3;
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::CheckStateRole:
        return node->checked ? Qt::Checked : Qt::Unchecked;
    case ImageKeyRole:
        return imageKey(node->image);
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
    if (node->image == NodeImage::Mp3)
        f |= Qt::ItemNeverHasChildren;
    return f;
}
