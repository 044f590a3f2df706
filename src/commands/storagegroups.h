#pragma once

#include <QString>

#include <algorithm>
#include <vector>

// Numbers the distinct storages of strings, 0, 1, 2, … as they are first seen: an open-addressing
// table of their addresses and lengths.
class StorageGroups {
public:
    qint32 groupOf(const QString& text) {
        if (size_t(m_count + 1) * 2 > m_slots.size())
            grow();
        const Slot key{text.constData(), text.size(), 0};
        Slot* slot = find(key);
        if (slot->group == 0)
            *slot = Slot{key.data, key.size, ++m_count};
        return slot->group - 1;
    }

    // Asks for the slot of text ahead of groupOf(text).
    void prefetch(const QString& text) const {
        if (!m_slots.empty())
            __builtin_prefetch(&m_slots[start(text.constData(), text.size())]);
    }

private:
    struct Slot {
        const QChar* data;
        qsizetype size;
        qint32 group; // 1 + its number; 0: a free slot
    };
    Slot* find(const Slot& key) {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = start(key.data, key.size);; i = (i + 1) & mask) {
            Slot& s = m_slots[i];
            if (s.group == 0 || (s.data == key.data && s.size == key.size))
                return &s;
        }
    }
    size_t start(const QChar* data, qsizetype size) const {
        const auto h = (quintptr(data) >> 3 ^ quintptr(size)) * 0x9E3779B97F4A7C15ull >> 24;
        return size_t(h) & (m_slots.size() - 1);
    }
    void grow() {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(std::max<size_t>(1024, old.size() * 2), Slot{});
        for (const Slot& s : old) {
            if (s.group != 0)
                *find(s) = s;
        }
    }
    std::vector<Slot> m_slots;
    qint32 m_count = 0;
};
