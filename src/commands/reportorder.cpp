#include "reportorder.h"

#include "qsort.h"

#include "cataloguetree.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>

namespace {

constexpr QStringView kJoin = u" - ";

bool isEntry(const TreeNode* node) {
    return node->checked && node->kind == NodeKind::Album && node->parent;
}

std::vector<const TreeNode*> tickedAlbums(const CatalogueTree& tree) {
    std::vector<const TreeNode*> albums;
    for (const TreeNode* node = tree.firstAdded(); node; node = node->nextAdded) {
        if (isEntry(node))
            albums.push_back(node);
    }
    return albums;
}

// Sort keys compare as byte strings, a key that ends first sorting first.
int compareKeys(QByteArrayView a, QByteArrayView b) {
    const int c = std::memcmp(a.data(), b.data(), size_t(std::min(a.size(), b.size())));
    return c != 0 ? c : (a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0));
}

// A fast key split into its levels at the separator byte 1, which no rank uses.
struct Levels {
    QByteArrayView primary, secondary;
};

Levels levelsOf(QByteArrayView key) {
    const qsizetype at = key.indexOf('\1');
    return {key.first(at), key.sliced(at + 1)};
}

// Many keys in one buffer.
class KeyList {
public:
    void clear() {
        m_bytes.clear();
        m_start.assign(1, 0);
    }
    QByteArray& bytes() { return m_bytes; }
    void close() { m_start.push_back(m_bytes.size()); } // ends the key appended last
    qsizetype count() const { return qsizetype(m_start.size()) - 1; }
    QByteArrayView operator[](qsizetype k) const {
        return QByteArrayView(m_bytes).sliced(m_start[size_t(k)],
                                              m_start[size_t(k) + 1] - m_start[size_t(k)]);
    }

private:
    QByteArray m_bytes;
    std::vector<qsizetype> m_start{0};
};

// The key of a text a + b, where the fast keys join after a, from the levels of their keys.
void appendJoined(Levels a, Levels b, KeyList& keys) {
    QByteArray& out = keys.bytes();
    out += a.primary;
    out += b.primary;
    out += '\1';
    out += a.secondary;
    out += b.secondary;
    keys.close();
}

// Ranks for the report's entries without comparing the entries themselves. The entry of an album
// is "artist - album", and where the locale sorts " " on its own, its key is the key of
// "artist - " and the album's key joined level by level. So the albums of one artist order by
// their own keys, and two artists whose "artist - " keys differ in a primary rank before either
// ends order all their entries as those keys order. Only where one artist's primary ranks begin
// another's (the same name with other accents, or a name that goes on with " - ") can their
// entries mix; such artists form one group whose entries are ranked by their whole keys.
class Ranking {
public:
    Ranking(const CatalogueTree& tree, const std::vector<const TreeNode*>& albums,
            const TextCompare& compare)
        : m_tree(tree), m_albums(albums), m_compare(compare) {}

    // ranks[0] is the empty entry's; ranks[1 + k] that of albums[k]. False, where a name has
    // no fast key, or the locale sorts " " with what follows.
    bool make(std::vector<quint32>& ranks) {
        if (!m_compare.fastKeysJoinAfter(kJoin.back().unicode()) || !bucketByArtist() ||
            !orderArtists())
            return false;
        groupArtists();
        ranks.assign(m_albums.size() + 1, 0);
        if (!rankGroups(ranks))
            return false;
        // Each group's ranks follow those of the groups before it; 0 stays the empty entry's.
        quint32 base = 1;
        for (const Group& group : m_groups) {
            for (qsizetype a = group.first; a < group.last; ++a) {
                const Artist& artist = m_artists[size_t(m_order[size_t(a)])];
                for (qint32 k = artist.albumsBegin; k < artist.albumsEnd; ++k)
                    ranks[size_t(m_bucketed[size_t(k)]) + 1] += base;
            }
            base += group.distinct;
        }
        return true;
    }

private:
    struct Artist {
        const TreeNode* node = nullptr;
        qint32 albumsBegin = 0, albumsEnd = 0; // in m_bucketed
    };
    struct Group {
        qsizetype first, last; // in m_order
        quint32 distinct = 0;  // ranks the group takes
    };

    // The ticked albums of each artist, in the order they were added.
    bool bucketByArtist() {
        const std::vector<TreeNode*>& roots = m_tree.artists();
        std::vector<qint32> count(roots.size() + 1, 0);
        for (const TreeNode* album : m_albums) {
            const int row = album->parent->row;
            if (row < 0 || size_t(row) >= roots.size() || roots[size_t(row)] != album->parent)
                return false;
            ++count[size_t(row) + 1];
        }
        for (size_t r = 0; r < roots.size(); ++r) {
            if (count[r + 1] > 0)
                m_artists.push_back({roots[r], count[r], count[r] + count[r + 1]});
            count[r + 1] += count[r];
        }
        m_bucketed.resize(m_albums.size());
        for (size_t k = 0; k < m_albums.size(); ++k)
            m_bucketed[size_t(count[size_t(m_albums[k]->parent->row)]++)] = qint32(k);
        return true;
    }

    // The artists by the keys of "artist - ".
    bool orderArtists() {
        QByteArray joinKey, name;
        if (!m_compare.appendFastSortKey(kJoin, joinKey))
            return false;
        m_artistKeys.clear();
        for (const Artist& artist : m_artists) {
            name.clear();
            if (!m_compare.appendFastSortKey(artist.node->text, name))
                return false;
            appendJoined(levelsOf(name), levelsOf(joinKey), m_artistKeys);
        }
        m_order.resize(m_artists.size());
        for (size_t a = 0; a < m_order.size(); ++a)
            m_order[a] = qint32(a);
        std::sort(m_order.begin(), m_order.end(), [this](qint32 a, qint32 b) {
            return compareKeys(m_artistKeys[a], m_artistKeys[b]) < 0;
        });
        return true;
    }

    // Runs of artists in key order whose first one's primary ranks begin each of the others'.
    void groupArtists() {
        QByteArrayView first; // the primary ranks of the current group's first artist
        for (qsizetype a = 0; a < qsizetype(m_order.size()); ++a) {
            const QByteArrayView primary = levelsOf(m_artistKeys[m_order[size_t(a)]]).primary;
            if (!m_groups.empty() && primary.startsWith(first)) {
                m_groups.back().last = a + 1;
                continue;
            }
            m_groups.push_back({a, a + 1});
            first = primary;
        }
    }

    // Ranks within each group, from 0, and the number each group takes; the groups are split
    // between two threads by the number of their albums.
    bool rankGroups(std::vector<quint32>& ranks) {
        constexpr size_t kSplitAbove = 50000;
        if (m_albums.size() < kSplitAbove || std::thread::hardware_concurrency() < 2)
            return rankGroups(0, qsizetype(m_groups.size()), m_compare, ranks);
        qsizetype split = 0;
        for (size_t seen = 0; split < qsizetype(m_groups.size()) && seen < m_albums.size() / 2;
             ++split)
            seen += albumsOf(m_groups[size_t(split)]);
        const std::unique_ptr<TextCompare> second = m_compare.clone();
        bool upper = false;
        std::thread helper(
            [&] { upper = rankGroups(split, qsizetype(m_groups.size()), *second, ranks); });
        const bool lower = rankGroups(0, split, m_compare, ranks);
        helper.join();
        return lower && upper;
    }

    size_t albumsOf(const Group& group) const {
        size_t n = 0;
        for (qsizetype a = group.first; a < group.last; ++a) {
            const Artist& artist = m_artists[size_t(m_order[size_t(a)])];
            n += size_t(artist.albumsEnd - artist.albumsBegin);
        }
        return n;
    }

    bool rankGroups(qsizetype from, qsizetype to, const TextCompare& compare,
                    std::vector<quint32>& ranks) {
        KeyList keys;
        QByteArray scratch;
        std::vector<qint32> albums; // album numbers, in the order of their keys
        std::vector<qint32> byRow;
        for (qsizetype g = from; g < to; ++g) {
            Group& group = m_groups[size_t(g)];
            keys.clear();
            albums.clear();
            const bool alone = group.last - group.first == 1;
            for (qsizetype a = group.first; a < group.last; ++a) {
                const Artist& artist = m_artists[size_t(m_order[size_t(a)])];
                // An artist's albums as the tree shows them, which is mostly their order already.
                byRow.assign(artist.node->children.size(), -1);
                for (qint32 k = artist.albumsBegin; k < artist.albumsEnd; ++k) {
                    const qint32 album = m_bucketed[size_t(k)];
                    byRow[size_t(m_albums[size_t(album)]->row)] = album;
                }
                const Levels name = levelsOf(m_artistKeys[m_order[size_t(a)]]);
                const Levels* joinTo = alone ? nullptr : &name;
                for (qint32 album : byRow) {
                    if (album < 0)
                        continue;
                    if (!appendAlbumKey(m_albums[size_t(album)], joinTo, compare, scratch, keys))
                        return false;
                    albums.push_back(album);
                }
            }
            std::vector<qint32> sorted(albums.size());
            for (size_t k = 0; k < sorted.size(); ++k)
                sorted[k] = qint32(k);
            bool inOrder = true;
            for (qsizetype k = 1; k < keys.count() && inOrder; ++k)
                inOrder = compareKeys(keys[k - 1], keys[k]) <= 0;
            if (!inOrder) {
                std::sort(sorted.begin(), sorted.end(), [&keys](qint32 a, qint32 b) {
                    return compareKeys(keys[a], keys[b]) < 0;
                });
            }
            quint32 rank = 0;
            for (size_t k = 0; k < sorted.size(); ++k) {
                if (k > 0 && compareKeys(keys[sorted[k - 1]], keys[sorted[k]]) != 0)
                    ++rank;
                ranks[size_t(albums[size_t(sorted[k])]) + 1] = rank;
            }
            group.distinct = sorted.empty() ? 0 : rank + 1;
        }
        return true;
    }

    // The album's key, joined level by level behind the artist's where given.
    static bool appendAlbumKey(const TreeNode* album, const Levels* artist,
                               const TextCompare& compare, QByteArray& scratch, KeyList& keys) {
        if (!artist) {
            if (!compare.appendFastSortKey(album->text, keys.bytes()))
                return false;
            keys.close();
            return true;
        }
        scratch.clear();
        if (!compare.appendFastSortKey(album->text, scratch))
            return false;
        appendJoined(*artist, levelsOf(scratch), keys);
        return true;
    }

    const CatalogueTree& m_tree;
    const std::vector<const TreeNode*>& m_albums;
    const TextCompare& m_compare;
    std::vector<Artist> m_artists;
    std::vector<qint32> m_bucketed; // album numbers, artist after artist
    KeyList m_artistKeys;           // of "artist - ", by m_artists
    std::vector<qint32> m_order;    // m_artists by their keys
    std::vector<Group> m_groups;
};

} // namespace

QStringList checkedAlbumEntries(const CatalogueTree& tree, QString& storage) {
    qsizetype count = 0, size = 0;
    for (const TreeNode* node = tree.firstAdded(); node; node = node->nextAdded) {
        if (isEntry(node)) {
            ++count;
            size += node->parent->text.size() + kJoin.size() + node->text.size();
        }
    }
    storage.clear();
    storage.reserve(size);
    // Where each entry lies in storage; the views are made once storage is complete.
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    spans.reserve(size_t(count));
    for (const TreeNode* node = tree.firstAdded(); node; node = node->nextAdded) {
        if (!isEntry(node))
            continue;
        const qsizetype start = storage.size();
        storage += node->parent->text;
        storage += kJoin;
        storage += node->text;
        spans.emplace_back(start, storage.size() - start);
    }
    QStringList entries;
    entries.reserve(count + 1);
    entries.append(QString());
    for (const auto& [start, length] : spans)
        entries.append(QString::fromRawData(storage.constData() + start, length));
    return entries;
}

std::vector<const TreeNode*> reportOrder(const CatalogueTree& tree, const TextCompare& compare) {
    const std::vector<const TreeNode*> albums = tickedAlbums(tree);
    std::vector<qint32> positions;
    std::vector<quint32> ranks;
    if (Ranking(tree, albums, compare).make(ranks)) {
        positions = SortedPositionsByRank(ranks);
    } else {
        QString storage;
        positions = SortedPositions(checkedAlbumEntries(tree, storage), compare);
    }
    std::vector<const TreeNode*> order;
    order.reserve(albums.size());
    for (qint32 p : positions) {
        if (p > 0)
            order.push_back(albums[size_t(p) - 1]);
    }
    return order;
}
