#include "sortkeys.h"

#include "parallel.h"

#include <algorithm>
#include <cstring>
#include <numeric>

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
            quint64 head = 0;
            for (qsizetype k = 0; k < 8; ++k)
                head = head << 8 | (k < length ? quint8(bytes[at + k]) : 0u);
            m_keys[size_t(i)] = {head, bytes.constData() + at, length};
        }
    });
}

int SortKeys::compareTails(const Key& x, const Key& y) {
    // The heads are equal: so are the first eight bytes, or both keys ended within them.
    const qsizetype shorter = std::min(x.length, y.length);
    if (shorter > 8) {
        if (const int c = std::memcmp(x.data + 8, y.data + 8, size_t(shorter - 8)); c != 0)
            return c;
    }
    return x.length < y.length ? -1 : (x.length > y.length ? 1 : 0);
}

std::vector<qint32> SortKeys::sorted() const {
    std::vector<qint32> items(m_keys.size());
    std::iota(items.begin(), items.end(), 0);
    // Equal texts in ascending order: the numbers decide last, so any sort keeps them so.
    const auto less = [this](qint32 a, qint32 b) {
        const int c = compare(a, b);
        return c != 0 ? c < 0 : a < b;
    };
    // Each piece sorted on its own core (most lists come nearly in order: a sorted piece is
    // seen in one pass), then the pieces merged.
    const size_t pieces = parallelPieces(items.size());
    std::vector<size_t> bounds(pieces + 1);
    for (size_t k = 0; k <= pieces; ++k)
        bounds[k] = items.size() * k / pieces;
    parallelFor(pieces, [&](size_t k) {
        const auto begin = items.begin() + qsizetype(bounds[k]);
        const auto end = items.begin() + qsizetype(bounds[k + 1]);
        if (!std::is_sorted(begin, end, less))
            std::sort(begin, end, less);
    });
    for (size_t k = 1; k < pieces; ++k) {
        const auto middle = items.begin() + qsizetype(bounds[k]);
        if (less(*middle, *(middle - 1)))
            std::inplace_merge(items.begin(), middle, items.begin() + qsizetype(bounds[k + 1]),
                               less);
    }
    return items;
}
