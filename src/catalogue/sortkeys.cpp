#include "sortkeys.h"

#include "parallel.h"

#include <algorithm>
#include <cstring>

namespace {

// A key as the sort moves it: its first sixteen bytes as two numbers that order as they do, so
// that most comparisons read nothing but the items themselves, which lie side by side.
struct Item {
    quint64 head, head2;
    const char* data;
    qint32 length, index;
};

quint64 bigEndianAt(const char* data, qsizetype length, qsizetype from) {
    quint64 value = 0;
    for (qsizetype k = from; k < from + 8; ++k)
        value = value << 8 | (k < length ? quint8(data[k]) : 0u);
    return value;
}

// Two keys whose first `from` bytes are equal (or that both ended within them), by the rest of
// their bytes and then by their lengths: negative, zero or positive.
int compareFrom(const char* x, qsizetype xLength, const char* y, qsizetype yLength,
                qsizetype from) {
    const qsizetype shorter = std::min(xLength, yLength);
    if (shorter > from)
        if (const int c = std::memcmp(x + from, y + from, size_t(shorter - from)); c != 0)
            return c;
    return xLength < yLength ? -1 : (xLength > yLength ? 1 : 0);
}

int compareItems(const Item& x, const Item& y) {
    if (x.head != y.head)
        return x.head < y.head ? -1 : 1;
    if (x.head2 != y.head2)
        return x.head2 < y.head2 ? -1 : 1;
    return compareFrom(x.data, x.length, y.data, y.length, 16);
}

bool itemLess(const Item& x, const Item& y) {
    // Equal texts in ascending order: the numbers decide last, so any sort keeps them so.
    const int c = compareItems(x, y);
    return c != 0 ? c < 0 : x.index < y.index;
}

} // namespace

SortKeys::SortKeys(qsizetype count, const std::function<QStringView(qsizetype, QString&)>& textOf,
                   const TextCompare& compare)
    : m_keys(size_t(count)) {
    const size_t pieces = parallelPieces(size_t(count));
    m_buffers.resize(pieces);
    std::vector<std::vector<qsizetype>> starts(pieces);
    parallelFor(pieces, [&](size_t piece) {
        const qsizetype begin = count * qsizetype(piece) / qsizetype(pieces);
        const qsizetype end = count * qsizetype(piece + 1) / qsizetype(pieces);
        QByteArray& bytes = m_buffers[piece];
        std::vector<qsizetype>& start = starts[piece];
        start.reserve(size_t(end - begin) + 1);
        bytes.reserve((end - begin) * 64);
        QString scratch;
        for (qsizetype i = begin; i < end; ++i) {
            start.push_back(bytes.size());
            compare.appendSortKey(textOf(i, scratch), bytes);
        }
        start.push_back(bytes.size());
        // The buffer is complete: the keys can point into it.
        for (qsizetype i = begin; i < end; ++i) {
            const qsizetype at = start[size_t(i - begin)];
            const qsizetype length = start[size_t(i - begin) + 1] - at;
            m_keys[size_t(i)] = {bigEndianAt(bytes.constData() + at, length, 0),
                                 bytes.constData() + at, length};
        }
    });
}

int SortKeys::compareTails(const Key& x, const Key& y) {
    // The heads are equal: so are the first eight bytes, or both keys ended within them.
    return compareFrom(x.data, x.length, y.data, y.length, 8);
}

std::vector<qint32> SortKeys::sorted(std::vector<char>* equalsPrevious) const {
    std::vector<Item> items(m_keys.size());
    parallelChunks(items.size(), [&](size_t, size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            const Key& k = m_keys[i];
            items[i] = {k.head, bigEndianAt(k.data, k.length, 8), k.data, qint32(k.length),
                        qint32(i)};
        }
    });
    // Each piece sorted on its own core (most lists come nearly in order: a sorted piece is
    // seen in one pass), then the pieces merged.
    const size_t pieces = parallelPieces(items.size());
    std::vector<size_t> bounds(pieces + 1);
    for (size_t k = 0; k <= pieces; ++k)
        bounds[k] = items.size() * k / pieces;
    parallelFor(pieces, [&](size_t k) {
        const auto begin = items.begin() + qsizetype(bounds[k]);
        const auto end = items.begin() + qsizetype(bounds[k + 1]);
        if (!std::is_sorted(begin, end, itemLess))
            std::sort(begin, end, itemLess);
    });
    for (size_t k = 1; k < pieces; ++k) {
        const auto middle = items.begin() + qsizetype(bounds[k]);
        if (itemLess(*middle, *(middle - 1)))
            std::inplace_merge(items.begin(), middle, items.begin() + qsizetype(bounds[k + 1]),
                               itemLess);
    }
    std::vector<qint32> order(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].index;
    if (equalsPrevious) {
        equalsPrevious->assign(items.size(), 0);
        for (size_t i = 1; i < items.size(); ++i)
            (*equalsPrevious)[i] = compareItems(items[i - 1], items[i]) == 0;
    }
    return order;
}
