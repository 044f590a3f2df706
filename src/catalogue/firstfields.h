#pragma once

#include <QByteArrayView>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

// What the first field of a data file line stands for.
enum class LineKind : quint8 { Album, Owner, Email };

// The first fields seen so far, by their bytes: albums of one artist share one string, and the
// kind of a first field is decided once. An open-addressing table with a cheap hash, of eight
// bytes a slot so that as much of it as can stays in the cache: the loader looks up every line.
// An entry fills one cache line and holds its key when the key is short, as names mostly are, so
// that a line of an artist seen before costs one look into the entries, not another into the
// keys; longer keys are copied side by side, close at hand rather than somewhere in the file.
class FirstFields {
public:
    static constexpr uint32_t kInlineKey = 27;
    struct alignas(64) Entry {
        QString text;
        size_t keyStart; // in m_keys, for a key longer than kInlineKey
        uint32_t keyLength;
        LineKind kind;
        char inlineKey[kInlineKey];
    };

    static uint64_t hash(QByteArrayView key) {
        uint64_t h = 0x9E3779B97F4A7C15ull ^ uint64_t(key.size());
        const char* p = key.data();
        qsizetype n = key.size();
        for (; n >= 8; n -= 8, p += 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            h = (h ^ w) * 0xFF51AFD7ED558CCDull;
            h ^= h >> 29;
        }
        uint64_t w = 0;
        std::memcpy(&w, p, size_t(n));
        h = (h ^ w) * 0xC4CEB9FE1A85EC53ull;
        return h ^ (h >> 29);
    }

    // Asks the processor to fetch the slot of a key of hash h, which find() reads a little later.
    void prefetch(uint64_t h) const {
        if (!m_slots.empty())
            __builtin_prefetch(&m_slots[size_t(h) & (m_slots.size() - 1)]);
    }

    Entry* find(QByteArrayView key, uint64_t h) {
        if (m_slots.empty())
            return nullptr;
        const size_t mask = m_slots.size() - 1;
        for (size_t i = size_t(h) & mask;; i = (i + 1) & mask) {
            const Slot& s = m_slots[i];
            if (s.entry == 0)
                return nullptr;
            if (s.tag != uint32_t(h >> 32))
                continue;
            Entry& e = m_entries[s.entry - 1];
            // An empty key may have no data at all, and memcmp must not be given null.
            if (e.keyLength == size_t(key.size()) &&
                (key.isEmpty() || std::memcmp(keyOf(e), key.data(), size_t(key.size())) == 0))
                return &e;
        }
    }

    Entry* insert(QByteArrayView key, uint64_t h, QString text, LineKind kind) {
        if ((m_entries.size() + 1) * 2 > m_slots.size())
            grow();
        Entry& e = m_entries.emplace_back();
        e.text = std::move(text);
        e.keyLength = uint32_t(key.size());
        e.kind = kind;
        e.keyStart = m_keys.size();
        if (e.keyLength <= kInlineKey)
            std::copy(key.begin(), key.end(), e.inlineKey);
        else
            m_keys.insert(m_keys.end(), key.begin(), key.end());
        place(Slot{uint32_t(h >> 32), uint32_t(m_entries.size())}, h);
        return &e;
    }

private:
    struct Slot {
        uint32_t tag;   // the upper half of the key's hash
        uint32_t entry; // 1 + its number in m_entries (one a line at most); 0: an empty slot
    };

    const char* keyOf(const Entry& e) const {
        return e.keyLength <= kInlineKey ? e.inlineKey : m_keys.data() + e.keyStart;
    }

    void place(Slot slot, uint64_t h) {
        const size_t mask = m_slots.size() - 1;
        size_t i = size_t(h) & mask;
        while (m_slots[i].entry != 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }

    void grow() {
        // Small tables double; a large one grows four times at once, so that a file of many
        // names moves each of them fewer times (its slots are scattered over memory).
        constexpr size_t kLarge = size_t(1) << 16;
        m_slots.assign(std::max<size_t>(64, m_slots.size() * (m_slots.size() >= kLarge ? 4 : 2)),
                       Slot{});
        // The entries' new slots lie anywhere in the table: each is asked for a few entries
        // ahead of its turn.
        constexpr size_t kAhead = 8;
        uint64_t ahead[kAhead];
        const auto hashOf = [this](size_t k) {
            return hash(QByteArrayView(keyOf(m_entries[k]), m_entries[k].keyLength));
        };
        for (size_t k = 0; k < m_entries.size() + kAhead; ++k) {
            if (k >= kAhead)
                place(Slot{uint32_t(ahead[k % kAhead] >> 32), uint32_t(k - kAhead + 1)},
                      ahead[k % kAhead]);
            if (k < m_entries.size()) {
                ahead[k % kAhead] = hashOf(k);
                __builtin_prefetch(&m_slots[size_t(ahead[k % kAhead]) & (m_slots.size() - 1)], 1);
            }
        }
        // Entries move when the vector grows; callers hold an entry only until the next insert.
        m_entries.reserve(m_slots.size() / 2);
    }

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    std::vector<char> m_keys;
};
