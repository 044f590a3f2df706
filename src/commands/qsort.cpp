#include "qsort.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

// An element of the range being sorted: its number, its collation key and the first eight bytes
// of the key as a number, which settle most comparisons. Comparing two keys byte by byte, a key
// that ends sooner sorting first, orders them exactly as the text comparison orders the texts,
// at a fraction of the cost. A zero byte ends each key; no key holds one otherwise.
struct Slot {
    quint64 head;
    const char* key;
    qint32 index;
};

// Eight bytes of a key from p on as a number that orders like them, padded with the zero bytes
// that end the key.
quint64 head(const char* p) {
    quint64 h = 0;
    bool ended = false;
    for (int k = 0; k < 8; ++k) {
        const uchar c = ended ? 0 : uchar(p[k]);
        ended = c == 0;
        h = (h << 8) | c;
    }
    return h;
}

// The keys of list[lo..hi], with order[k] the slot of list[lo + k]. The fast keys are used when
// every text has one, ICU's otherwise (the two kinds never meet). The keys of a long list are
// made on two threads, each with a comparison of its own.
class Keys {
public:
    Keys(const QStringList& list, qint32 lo, qint32 hi, const TextCompare& compare,
         std::vector<Slot>& order) {
        order.resize(size_t(hi - lo) + 1);
        if (!make(list, lo, hi, compare, true, order))
            make(list, lo, hi, compare, false, order);
    }

private:
    // False if fast keys were asked for and a text has none.
    bool make(const QStringList& list, qint32 lo, qint32 hi, const TextCompare& compare, bool fast,
              std::vector<Slot>& order) {
        constexpr qint32 kSplitAbove = 50000;
        if (hi - lo < kSplitAbove || std::thread::hardware_concurrency() < 2)
            return append(m_bytes[0], list, lo, lo, hi, compare, fast, order);
        const qint32 mid = lo + (hi - lo) / 2;
        bool upperMade = false;
        const std::unique_ptr<TextCompare> second = compare.clone();
        std::thread helper(
            [&] { upperMade = append(m_bytes[1], list, lo, mid + 1, hi, *second, fast, order); });
        const bool made = append(m_bytes[0], list, lo, lo, mid, compare, fast, order);
        helper.join();
        return made && upperMade;
    }

    // The keys of list[from..to] into bytes, and their slots.
    static bool append(QByteArray& bytes, const QStringList& list, qint32 lo, qint32 from,
                       qint32 to, const TextCompare& compare, bool fast, std::vector<Slot>& order) {
        qsizetype estimate = 0;
        for (qint32 k = from; k <= to; ++k)
            estimate += fast ? 2 * list[k].size() + 3 : list[k].size() + 9;
        bytes.clear();
        bytes.reserve(estimate);
        std::vector<qsizetype> start;
        start.reserve(size_t(to - from) + 1);
        for (qint32 k = from; k <= to; ++k) {
            start.push_back(bytes.size());
            if (!fast)
                compare.appendSortKey(list[k], bytes);
            else if (!compare.appendFastSortKey(list[k], bytes))
                return false;
            bytes.append('\0');
        }
        for (qint32 k = from; k <= to; ++k) {
            const char* key = bytes.constData() + start[size_t(k - from)];
            order[size_t(k - lo)] = {head(key), key, k - lo};
        }
        return true;
    }

    QByteArray m_bytes[2];
};

bool slotLess(const Slot& a, const Slot& b) {
    if (a.head != b.head)
        return a.head < b.head;
    if ((a.head & 0xff) == 0)
        return false; // the same key, ended
    return std::strcmp(a.key + 8, b.key + 8) < 0;
}

// An element known by its rank alone: ranks order as the texts do, equal texts share one.
struct RankSlot {
    quint32 rank;
    qint32 index;
};

bool slotLess(const RankSlot& a, const RankSlot& b) {
    return a.rank < b.rank;
}

// The quicksort over order[lo..hi]; exchanges move the slots and the texts follow afterwards.
// The partitioning is Hoare's; of the two parts left, the smaller is sorted by recursion and the
// larger by the loop, so the depth stays below log2(n) whatever the input (which part is sorted
// first changes nothing in the result).
//
// One partitioning pass of Hoare's around the middle element of order[lo..hi]: afterwards
// order[lo..j] holds no element after the pivot and order[i..hi] none before it.
template <typename S>
void partition(std::vector<S>& order, qint32 lo, qint32 hi, qint32& i, qint32& j) {
    i = lo;
    j = hi;
    const S pivot = order[size_t((qint64(lo) + hi) / 2)];
    for (;;) {
        while (slotLess(order[size_t(i)], pivot))
            ++i;
        while (slotLess(pivot, order[size_t(j)]))
            --j;
        if (i > j)
            break;
        std::swap(order[size_t(i)], order[size_t(j)]);
        ++i;
        --j;
        if (i > j)
            break;
    }
}

template <typename S> void sortRange(std::vector<S>& order, qint32 lo, qint32 hi) {
    while (lo < hi) {
        qint32 i, j;
        partition(order, lo, hi, i, j);
        if (qint64(j) - lo < qint64(hi) - i) {
            if (lo < j)
                sortRange(order, lo, j);
            lo = i;
        } else {
            if (i < hi)
                sortRange(order, i, hi);
            hi = j;
        }
    }
}

// The same sort of the whole of order; after the first pass the two parts, which never touch
// each other, are sorted side by side on two threads. The result is the one sortRange() gives.
template <typename S> void sortOnTwoThreads(std::vector<S>& order) {
    constexpr qint32 kSplitAbove = 50000;
    const qint32 lo = 0, hi = qint32(order.size()) - 1;
    if (hi - lo < kSplitAbove || std::thread::hardware_concurrency() < 2) {
        sortRange(order, lo, hi);
        return;
    }
    qint32 i, j;
    partition(order, lo, hi, i, j);
    std::thread helper([&] {
        if (lo < j)
            sortRange(order, lo, j);
    });
    if (i < hi)
        sortRange(order, i, hi);
    helper.join();
}

// Sorts order and gives the indexes of its slots as they end.
template <typename S> std::vector<qint32> sortedIndexes(std::vector<S>& order) {
    sortOnTwoThreads(order);
    std::vector<qint32> indexes;
    indexes.reserve(order.size());
    for (const S& slot : order)
        indexes.push_back(slot.index);
    return indexes;
}

// Where each element of list[lo..hi] goes: result[k] = the offset from lo of the text that
// ends at lo + k.
std::vector<qint32> sortedOffsets(const QStringList& list, qint32 lo, qint32 hi,
                                  const TextCompare& compare) {
    std::vector<Slot> order;
    const Keys keys(list, lo, hi, compare, order);
    return sortedIndexes(order);
}

} // namespace

void SortArray(QStringList& list, const TextCompare& compare) {
    if (list.isEmpty())
        return;
    SortRange(list, 0, qint32(list.size() - 1), compare);
}

void SortRange(QStringList& list, qint32 lo, qint32 hi, const TextCompare& compare) {
    if (lo < 0 || lo > hi || hi >= list.size() || lo == hi)
        return;
    const std::vector<qint32> offsets = sortedOffsets(list, lo, hi, compare);
    QStringList sorted;
    sorted.reserve(hi - lo + 1);
    for (qint32 offset : offsets)
        sorted.append(std::move(list[lo + offset]));
    if (sorted.size() == list.size())
        list.swap(sorted);
    else
        std::move(sorted.begin(), sorted.end(), list.begin() + lo);
}

std::vector<qint32> SortedPositions(const QStringList& list, const TextCompare& compare) {
    if (list.size() < 2)
        return std::vector<qint32>(size_t(list.size()), 0);
    return sortedOffsets(list, 0, qint32(list.size() - 1), compare);
}

std::vector<qint32> SortedPositionsByRank(const std::vector<quint32>& ranks) {
    std::vector<RankSlot> order;
    order.reserve(ranks.size());
    for (size_t k = 0; k < ranks.size(); ++k)
        order.push_back({ranks[k], qint32(k)});
    return sortedIndexes(order);
}
