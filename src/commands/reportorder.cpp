#include "reportorder.h"

#include "cataloguetree.h"

#include "catalogue/parallel.h"
#include "catalogue/sortkeys.h"

#include <algorithm>

namespace {

// The entry of an album in the report, built in out.
QStringView entryOf(const TreeNode* album, QString& out) {
    out.resize(0); // keeps its room
    out.append(album->parent->text).append(u" - ").append(album->text);
    return out;
}

// Sorts entries [from, to) by their keys; equal ones keep their order.
void sortRange(std::vector<const TreeNode*>& albums, size_t from, size_t to,
               const TextCompare& compare) {
    const SortKeys keys(
        qsizetype(to - from),
        [&](qsizetype i, QString& entry) { return entryOf(albums[from + size_t(i)], entry); },
        compare);
    std::vector<const TreeNode*> sorted;
    sorted.reserve(to - from);
    for (qint32 k : keys.sorted())
        sorted.push_back(albums[from + size_t(k)]);
    std::copy(sorted.begin(), sorted.end(), albums.begin() + qsizetype(from));
}

} // namespace

std::vector<const TreeNode*> reportOrder(const CatalogueTree& tree, const TextCompare& compare) {
    std::vector<const TreeNode*> albums;
    for (const TreeNode* artist : tree.artists()) {
        for (const TreeNode* album : artist->children) {
            if (album->checked)
                albums.push_back(album);
        }
    }
    // The tree's order is almost always the report's: the artists stand in text order and the
    // albums of each in text order. It is not the report's where an artist's name compares with
    // the next one's differently once " - " and an album follow (names equal but for accents,
    // or one a part of the other): there entries must change places. So neighbours are compared
    // first; where two are out of order, the stretch of the artists around them is sorted by
    // keys, and widened until it fits with the entries on both sides. The result is sorted, and
    // equal entries keep the tree's order, as one stable sort of all of them would give.
    const size_t n = albums.size();
    std::vector<char> outOfOrder(n, 0); // outOfOrder[k]: entry k sorts after entry k + 1
    parallelChunks(n, [&](size_t, size_t begin, size_t end) {
        QString a, b;
        for (size_t k = begin; k < end && k + 1 < n; ++k)
            outOfOrder[k] = compare.compare(entryOf(albums[k], a), entryOf(albums[k + 1], b)) > 0;
    });
    const auto sameArtist = [&](size_t x, size_t y) {
        return albums[x]->parent == albums[y]->parent;
    };
    QString a, b;
    for (size_t k = 0; k + 1 < n; ++k) {
        if (!outOfOrder[k])
            continue;
        // From the first entry of the first artist to the last one of the second.
        size_t from = k, to = k + 2;
        while (from > 0 && sameArtist(from - 1, k))
            --from;
        while (to < n && sameArtist(to, k + 1))
            ++to;
        for (;;) {
            while (to < n && outOfOrder[to - 1]) // a later stretch that touches this one
                ++to;
            sortRange(albums, from, to, compare);
            const bool fitsBefore = from == 0 || compare.compare(entryOf(albums[from - 1], a),
                                                                 entryOf(albums[from], b)) <= 0;
            const bool fitsAfter =
                to == n || compare.compare(entryOf(albums[to - 1], a), entryOf(albums[to], b)) <= 0;
            if (fitsBefore && fitsAfter)
                break;
            const size_t width = to - from;
            from = fitsBefore ? from : from - std::min(from, width);
            to = fitsAfter ? to : std::min(n, to + width);
        }
        k = to - 1;
    }
    return albums;
}
