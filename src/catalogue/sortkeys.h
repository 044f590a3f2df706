#pragma once

#include "textcompare.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// ICU's sort keys of many texts, made on all cores and kept in a few large buffers, for sorting
// many texts: a key is made once per text, and then every comparison is a memcmp.
class SortKeys {
public:
    // textOf(i, scratch) gives the i-th text; it may build it in scratch, a buffer of its own
    // thread, and return a view of it.
    SortKeys(qsizetype count,
             const std::function<QStringView(qsizetype i, QString& scratch)>& textOf,
             const TextCompare& compare = TextCompare::program());

    qsizetype size() const { return qsizetype(m_keys.size()); }
    QByteArrayView operator[](qsizetype i) const {
        const Key& k = m_keys[size_t(i)];
        return QByteArrayView(k.data, k.length);
    }
    // Negative, zero or positive, as text a sorts before, equal to or after text b.
    int compare(qsizetype a, qsizetype b) const {
        const Key& x = m_keys[size_t(a)];
        const Key& y = m_keys[size_t(b)];
        if (x.head != y.head)
            return x.head < y.head ? -1 : 1;
        return compareTails(x, y);
    }

    // The numbers 0 to size() - 1 in the order of their texts, sorted on all cores; the
    // numbers of equal texts stay in ascending order. If asked, tells for each place whether
    // its text equals the one before.
    std::vector<qint32> sorted(std::vector<char>* equalsPrevious = nullptr) const;

private:
    // The first eight bytes of a key, as a number that orders as they do (zeros after a shorter
    // key, whose bytes are never zero), so that most comparisons touch no key bytes at all.
    struct Key {
        quint64 head;
        const char* data;
        qsizetype length;
    };
    static int compareTails(const Key& x, const Key& y);
    std::vector<QByteArray> m_buffers; // one a piece of the work
    std::vector<Key> m_keys;
};
