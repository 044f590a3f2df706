#pragma once

#include "catalogue/album.h"
#include "catalogue/shown.h"
#include "catalogue/textcompare.h"
#include "nodelist.h"

#include <QAbstractItemModel>
#include <QFont>
#include <QIcon>

#include <memory>
#include <vector>

// An artist node or an album node; each shows its own picture.
enum class NodeKind : quint8 { Album, Artist };

struct TreeNode {
    QString text;
    TreeNode* parent = nullptr;
    NodeList children; // in display order
    // The node collection: every node in the order it was added to the tree.
    TreeNode* prevAdded = nullptr;
    TreeNode* nextAdded = nullptr;
    int row = 0;     // position among its parent's children (or among the artists)
    quint32 seq = 0; // when it was added, for "the first one added wins" among equal names
    NodeKind kind = NodeKind::Album;
    bool bold = false;
    bool checked = false;
    bool sortsChildren = false;
};

// The catalogue tree: artists at the root, in the program's text order, with their albums
// beneath. An artist node is found by its name (compared as the program compares names); two
// artist nodes of one name cannot exist. Albums are identified by their artist node and their own
// text, so a "\" or any other character in a name can never make two albums collide.
class CatalogueTree : public QAbstractItemModel {
    Q_OBJECT
public:
    // How much of a name a row shows, and its tooltip.
    static constexpr qsizetype kShownLength = 300;
    static constexpr qsizetype kToolTipLength = 2000;

    explicit CatalogueTree(const TextCompare& compare = TextCompare::program(),
                           QObject* parent = nullptr);
    ~CatalogueTree() override;

    // Builds the whole tree from the catalogue in one step: every album (or only the new
    // releases) under its artist, the artists and each artist's albums in text order, a second
    // album of the same artist and name left out. Returns the first artist, or nullptr.
    TreeNode* rebuild(const std::vector<Album>& albums, bool newReleasesOnly);

    // Adds a root artist node in its sorted place. Returns nullptr, adding nothing, when an
    // artist node of that name exists already.
    TreeNode* addArtist(const QString& name, bool sortsChildren = false);
    // Adds an album node under artist: in its sorted place when the artist sorts its children,
    // at the end otherwise.
    TreeNode* addAlbum(TreeNode* artist, const QString& name, bool bold);
    // Removes the node and its children.
    void removeNode(TreeNode* node);
    // Puts back a node removed since the last rebuild, as shape describes it (text, kind, seq,
    // bold, checked, sortsChildren): under parent (nullptr: an artist) in its place, and in the
    // order of addition where its seq puts it.
    TreeNode* restoreNode(TreeNode* parent, const TreeNode& shape);
    // Gives node another text and moves it to the place the text gives it among its siblings
    // (albums of an artist that does not sort them keep their place).
    void renameNode(TreeNode* node, const QString& text);

    TreeNode* artistNode(QStringView name) const;
    const NodeList& artists() const { return m_roots; }
    TreeNode* firstAdded() const { return m_firstAdded; }
    qsizetype nodeCount() const { return m_count; }
    // Counts the rebuilds: a node's seq names it only within one generation.
    quint32 generation() const { return m_generation; }

    void setBold(TreeNode* node, bool bold);
    void setChildrenChecked(TreeNode* node, bool checked);
    void checkAll();
    void uncheckAll();
    void clearAllBold();

    QModelIndex indexOf(const TreeNode* node) const;
    static TreeNode* nodeAt(const QModelIndex& index);

    void setImages(const QIcon& album, const QIcon& artist);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // The user changed the check box of node.
    void nodeCheckChanged(TreeNode* node);

private:
    void dropAll();
    TreeNode* allocateNode(const QString& text, NodeKind kind, TreeNode* parent);
    TreeNode* newNode(const QString& text, NodeKind kind, TreeNode* parent);
    void linkAddedAfter(TreeNode* node, TreeNode* after);
    void unlinkAdded(TreeNode* node);
    // Numbers the rows of list from from on (for the artists, also whether each has albums).
    void renumber(NodeList& list, size_t from);
    // Notes whether artist (nullptr: none) has albums, after its albums changed.
    void noteChildren(const TreeNode* artist);
    NodeList& siblingsOf(TreeNode* parent) { return parent ? parent->children : m_roots; }
    size_t sortedPosition(const NodeList& list, QStringView text) const;
    // Where a node of that text and seq stands in list: by text then seq, or by seq alone among
    // the albums of an artist that does not sort them.
    size_t placeOf(const NodeList& list, const TreeNode* parent, QStringView text,
                   quint32 seq) const;
    void setAllChecked(bool checked);
    // Sorts the albums of every artist (on all cores for a large tree) and leaves out the
    // later ones of equal name.
    void sortAllChildren();
    void emitChildrenChanged(TreeNode* parent, const QList<int>& roles);
    // Every node's role changed: the artists and each artist's albums.
    void emitAllChanged(int role);
    // A model index's id: the node's address, with the lowest bit set for an album.
    static quintptr indexId(const TreeNode* node, bool album);

    const TextCompare& m_compare;
    // Nodes live in chunks that never move; a removed node stays unused until the next rebuild.
    static constexpr size_t kChunkSize = 4096;
    std::vector<std::unique_ptr<TreeNode[]>> m_chunks;
    size_t m_chunkUsed = kChunkSize;
    NodeList m_roots;
    // Whether each artist has albums, by row: the view asks it of every artist while laying
    // out, and the artists' nodes lie scattered over memory.
    std::vector<char> m_rootHasChildren;
    TreeNode* m_firstAdded = nullptr;
    TreeNode* m_lastAdded = nullptr;
    qsizetype m_count = 0;
    quint32 m_nextSeq = 0;
    quint32 m_generation = 0;
    QIcon m_albumIcon;
    QIcon m_artistIcon;
    QFont m_boldFont;
};
