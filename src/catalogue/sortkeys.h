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
    int compare(qsizetype a, qsizetype b) const;

    // The numbers 0 to size() - 1 in the order of their texts; the numbers of equal texts stay
    // in ascending order.
    std::vector<qint32> sorted() const;
    // Sorts items (numbers of texts) in the order of their texts, on all cores; items of equal
    // texts keep their order.
    void sort(std::vector<qint32>& items) const;

private:
    struct Key {
        const char* data;
        qsizetype length;
    };
    std::vector<QByteArray> m_buffers; // one a piece of the work
    std::vector<Key> m_keys;
};
