#include "qsort.h"

#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

// The collation keys of the texts being sorted: comparing two keys byte by byte orders them
// exactly as the text comparison orders the texts, at a fraction of the cost. The fast keys are
// used when every text has one, ICU's otherwise (the two kinds never meet).
class Keys {
public:
    Keys(const QStringList& list, qint32 lo, qint32 hi, const TextCompare& compare) {
        if (!make(list, lo, hi, compare, true)) {
            m_bytes.clear();
            m_start.clear();
            make(list, lo, hi, compare, false);
        }
    }

    // Element a sorts before element b (0-based within the range).
    bool less(qint32 a, qint32 b) const {
        const qsizetype la = m_start[a + 1] - m_start[a];
        const qsizetype lb = m_start[b + 1] - m_start[b];
        const int r = std::memcmp(m_bytes.constData() + m_start[a],
                                  m_bytes.constData() + m_start[b], size_t(qMin(la, lb)));
        return r < 0 || (r == 0 && la < lb);
    }

    // The first eight bytes of the key of element a, as a number that orders like them (a
    // shorter key is padded with zero bytes, which no key holds).
    quint64 head(qint32 a) const {
        quint64 h = 0;
        const qsizetype n = qMin<qsizetype>(8, m_start[a + 1] - m_start[a]);
        const auto* p = reinterpret_cast<const uchar*>(m_bytes.constData() + m_start[a]);
        for (qsizetype k = 0; k < 8; ++k)
            h = (h << 8) | (k < n ? p[k] : 0u);
        return h;
    }

private:
    Keys() = default;

    // All the keys, fast ones or ICU's; false if fast keys were asked for and a text has none.
    bool make(const QStringList& list, qint32 lo, qint32 hi, const TextCompare& compare,
              bool fast) {
        // The keys of a long list are made on two threads, each with a comparison of its own.
        constexpr qint32 kSplitAbove = 50000;
        if (hi - lo < kSplitAbove || std::thread::hardware_concurrency() < 2) {
            if (!append(list, lo, hi, compare, fast))
                return false;
            m_start.push_back(m_bytes.size());
            return true;
        }
        const qint32 mid = lo + (hi - lo) / 2;
        Keys upper;
        bool upperMade = false;
        const std::unique_ptr<TextCompare> second = compare.clone();
        std::thread helper([&] { upperMade = upper.append(list, mid + 1, hi, *second, fast); });
        const bool made = append(list, lo, mid, compare, fast);
        helper.join();
        if (!made || !upperMade)
            return false;
        const qsizetype shift = m_bytes.size();
        m_bytes += upper.m_bytes;
        m_start.reserve(size_t(hi - lo) + 2);
        for (qsizetype start : upper.m_start)
            m_start.push_back(start + shift);
        m_start.push_back(m_bytes.size());
        return true;
    }

    // The keys of list[lo..hi], after those already made (without the end mark); false if fast
    // keys were asked for and a text has none.
    bool append(const QStringList& list, qint32 lo, qint32 hi, const TextCompare& compare,
                bool fast) {
        m_start.reserve(m_start.size() + size_t(hi - lo) + 2);
        qsizetype estimate = 0;
        for (qint32 k = lo; k <= hi; ++k)
            estimate += fast ? 2 * list[k].size() + 2 : list[k].size() + 8;
        m_bytes.reserve(m_bytes.size() + estimate);
        for (qint32 k = lo; k <= hi; ++k) {
            m_start.push_back(m_bytes.size());
            if (!fast)
                compare.appendSortKey(list[k], m_bytes);
            else if (!compare.appendFastSortKey(list[k], m_bytes))
                return false;
        }
        return true;
    }

    QByteArray m_bytes;
    std::vector<qsizetype> m_start;
};

// The quicksort over order[lo..hi], which holds element numbers; exchanges move the numbers and
// the texts follow afterwards. The partitioning is Hoare's; of the two parts left, the smaller
// is sorted by recursion and the larger by the loop, so the depth stays below log2(n) whatever
// the input (which part is sorted first changes nothing in the result).
struct Slot {
    quint64 head;
    qint32 index;
};

inline bool slotLess(const Slot& a, const Slot& b, const Keys& keys) {
    if (a.head != b.head)
        return a.head < b.head;
    return keys.less(a.index, b.index);
}

// One partitioning pass of Hoare's around the middle element of order[lo..hi]: afterwards
// order[lo..j] holds no element after the pivot and order[i..hi] none before it.
void partition(std::vector<Slot>& order, const Keys& keys, qint32 lo, qint32 hi, qint32& i,
               qint32& j) {
    i = lo;
    j = hi;
    const Slot pivot = order[size_t((qint64(lo) + hi) / 2)];
    for (;;) {
        while (slotLess(order[size_t(i)], pivot, keys))
            ++i;
        while (slotLess(pivot, order[size_t(j)], keys))
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

void sortRange(std::vector<Slot>& order, const Keys& keys, qint32 lo, qint32 hi) {
    while (lo < hi) {
        qint32 i, j;
        partition(order, keys, lo, hi, i, j);
        if (qint64(j) - lo < qint64(hi) - i) {
            if (lo < j)
                sortRange(order, keys, lo, j);
            lo = i;
        } else {
            if (i < hi)
                sortRange(order, keys, i, hi);
            hi = j;
        }
    }
}

// The same sort; after the first pass the two parts, which never touch each other, are sorted
// side by side on two threads. The result is the one sortRange() gives.
void sortRangeOnTwoThreads(std::vector<Slot>& order, const Keys& keys, qint32 lo, qint32 hi) {
    constexpr qint32 kSplitAbove = 50000;
    if (hi - lo < kSplitAbove || std::thread::hardware_concurrency() < 2) {
        sortRange(order, keys, lo, hi);
        return;
    }
    qint32 i, j;
    partition(order, keys, lo, hi, i, j);
    std::thread helper([&] {
        if (lo < j)
            sortRange(order, keys, lo, j);
    });
    if (i < hi)
        sortRange(order, keys, i, hi);
    helper.join();
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
    const Keys keys(list, lo, hi, compare);
    std::vector<Slot> order(size_t(hi - lo) + 1);
    for (qint32 k = 0; k <= hi - lo; ++k)
        order[size_t(k)] = {keys.head(k), k};
    sortRangeOnTwoThreads(order, keys, 0, hi - lo);

    QStringList sorted;
    sorted.reserve(hi - lo + 1);
    for (const Slot& slot : order)
        sorted.append(std::move(list[lo + slot.index]));
    for (qint32 k = 0; k <= hi - lo; ++k)
        list[lo + k] = std::move(sorted[k]);
}
