#include "textcompare.h"

#include "windows1250.h"

#include <QLocale>

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

QString effectiveLocale(const QString& name) {
    if (name.isEmpty() || name == u"C" || name == u"POSIX" || name.startsWith(u"C."))
        return QStringLiteral("cs_CZ");
    return name;
}

QString s_programLocale;

// Printable ASCII without control characters: within this range the locale's case-insensitive
// equality is plain ASCII case folding, so the common keyword and name checks need no collator.
bool isPlainAscii(QStringView s) {
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u > 0x7e)
            return false;
    }
    return true;
}

const UChar* uchars(QStringView s) {
    return reinterpret_cast<const UChar*>(s.utf16());
}

// One collation element as ICU compares it at secondary strength.
struct Element {
    uint32_t primary;
    uint32_t secondary; // 16 bits
};

// The collation elements of a short text. ucol_next() hands out a 32-bit form (16 bits of
// primary, 8 of secondary, 8 of tertiary); where a weight is longer, the rest follows in a
// continuation marked 0xC0 in its low byte, which is joined back here. False on any error.
bool elementsOf(UCollationElements* it, const char16_t* text, int32_t length,
                std::vector<Element>& out) {
    out.clear();
    UErrorCode status = U_ZERO_ERROR;
    ucol_setText(it, reinterpret_cast<const UChar*>(text), length, &status);
    for (;;) {
        const int32_t ce = ucol_next(it, &status);
        if (U_FAILURE(status))
            return false;
        if (ce == UCOL_NULLORDER)
            return true;
        const uint32_t bits = uint32_t(ce);
        if ((bits & 0xc0) == 0xc0) {
            if (out.empty())
                return false;
            out.back().primary |= bits >> 16;
            out.back().secondary |= (bits >> 8) & 0xff;
        } else {
            out.push_back({bits & 0xffff0000u, bits & 0xff00u});
        }
    }
}

// The settings under which ICU orders two texts by their primary weights and then their
// secondary weights, both read forwards and nothing else: the fast path reproduces only that.
bool plainSecondaryOrder(const UCollator* collator) {
    UErrorCode status = U_ZERO_ERROR;
    const bool plain =
        ucol_getStrength(collator) == UCOL_SECONDARY &&
        ucol_getAttribute(collator, UCOL_ALTERNATE_HANDLING, &status) == UCOL_NON_IGNORABLE &&
        ucol_getAttribute(collator, UCOL_FRENCH_COLLATION, &status) == UCOL_OFF &&
        ucol_getAttribute(collator, UCOL_CASE_LEVEL, &status) == UCOL_OFF &&
        ucol_getAttribute(collator, UCOL_NUMERIC_COLLATION, &status) == UCOL_OFF &&
        ucol_getAttribute(collator, UCOL_NORMALIZATION_MODE, &status) == UCOL_OFF &&
        ucol_getReorderCodes(collator, nullptr, 0, &status) == 0;
    return plain && U_SUCCESS(status);
}

} // namespace

// The collator's order on texts made only of Windows-1250 characters, taken from ICU when the
// comparison is made.
//
// A text is read as a run of units: a character, or two characters the locale sorts as one
// (Czech "ch"), taking the pair wherever it stands. Each unit has the collation elements ICU
// gives it alone. At secondary strength ICU orders two texts by the primary weights of all
// their elements, zeros left out and a text that runs out first sorting first; if those agree,
// by the secondary weights the same way. Here each weight is replaced by its rank among the
// weights of the repertoire, one byte from 2 up, so a key is the primary ranks, the byte 1, and
// the secondary ranks. Characters whose elements depend on more than that (ones that begin a
// run of three or more sorted as one, or that sort differently after some other character)
// are left out of the repertoire.
struct TextCompare::FastOrder {
    struct Unit {
        uint16_t at[2] = {}; // where the ranks of each level start in ranks
        uint8_t length[2] = {};
        uint16_t pairs = 0; // the pairs this character begins: pairs[pairs..pairsEnd)
        uint16_t pairsEnd = 0;
    };
    struct Pair {
        char16_t second;
        uint16_t unit;
    };

    std::vector<uint16_t> unitOf; // by character; 0 = outside the repertoire
    std::vector<Unit> units;      // units[0] is not used
    std::vector<Pair> pairs;
    std::vector<uint8_t> ranks;
    qsizetype maxBytesPerChar = 0; // of a key

    static std::shared_ptr<const FastOrder> build(UCollator* collator);

    bool covers(QStringView text) const {
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (u >= unitOf.size() || unitOf[u] == 0)
                return false;
        }
        return true;
    }

    // The unit at p, which it passes; null for a character outside the repertoire.
    const Unit* next(const char16_t*& p, const char16_t* end) const {
        const char16_t c = *p++;
        if (c >= unitOf.size() || unitOf[c] == 0)
            return nullptr;
        const Unit& unit = units[unitOf[c]];
        if (p != end) {
            for (uint16_t k = unit.pairs; k < unit.pairsEnd; ++k) {
                if (pairs[k].second == *p) {
                    ++p;
                    return &units[pairs[k].unit];
                }
            }
        }
        return &unit;
    }

    bool appendKey(QStringView text, QByteArray& out) const {
        const qsizetype start = out.size();
        out.resize(start + text.size() * maxBytesPerChar + 1);
        auto* const begin = reinterpret_cast<uint8_t*>(out.data());
        uint8_t* dst = begin + start;
        for (int level = 0; level < 2; ++level) {
            if (level == 1)
                *dst++ = 1;
            const char16_t* p = text.utf16();
            const char16_t* const end = p + text.size();
            while (p != end) {
                const Unit* unit = next(p, end);
                if (!unit) {
                    out.resize(start);
                    return false;
                }
                const uint8_t* r = ranks.data() + unit->at[level];
                for (int k = 0; k < unit->length[level]; ++k)
                    *dst++ = r[k];
            }
        }
        out.resize(dst - begin);
        return true;
    }

    // The ranks of one level of a text, one by one, then zeros.
    class Reader {
    public:
        Reader(const FastOrder& order, QStringView text, int level)
            : m_order(order), m_p(text.utf16()), m_end(m_p + text.size()), m_level(level) {}

        uint8_t next() {
            while (m_rank == m_ranksEnd) {
                if (m_p == m_end)
                    return 0;
                const Unit* unit = m_order.next(m_p, m_end);
                m_rank = m_order.ranks.data() + unit->at[m_level];
                m_ranksEnd = m_rank + unit->length[m_level];
            }
            return *m_rank++;
        }

    private:
        const FastOrder& m_order;
        const char16_t* m_p;
        const char16_t* m_end;
        int m_level;
        const uint8_t* m_rank = nullptr;
        const uint8_t* m_ranksEnd = nullptr;
    };

    // Both texts inside the repertoire.
    int compare(QStringView a, QStringView b) const {
        for (int level = 0; level < 2; ++level) {
            Reader ra(*this, a, level), rb(*this, b, level);
            for (;;) {
                const uint8_t x = ra.next(), y = rb.next();
                if (x != y)
                    return x < y ? -1 : 1;
                if (x == 0)
                    break;
            }
        }
        return 0;
    }
};

std::shared_ptr<const TextCompare::FastOrder> TextCompare::FastOrder::build(UCollator* collator) {
    if (!plainSecondaryOrder(collator))
        return nullptr;

    std::vector<char16_t> repertoire;
    for (int b = 0; b < 256; ++b) {
        const QString c = Windows1250::decode(QByteArray(1, char(b)));
        if (c.size() == 1 && Windows1250::canEncode(c))
            repertoire.push_back(c[0].unicode());
    }
    const char16_t top = *std::max_element(repertoire.begin(), repertoire.end());
    std::vector<bool> inside(size_t(top) + 1), enabled(size_t(top) + 1);
    for (char16_t c : repertoire)
        inside[c] = enabled[c] = true;

    // The runs of characters the locale sorts as one, and the characters it sorts by the text
    // before them (listed as that text followed by the character).
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<USet, decltype(&uset_close)> contractions(uset_openEmpty(), uset_close),
        withPrefixes(uset_openEmpty(), uset_close);
    ucol_getContractionsAndExpansions(collator, contractions.get(), nullptr, false, &status);
    ucol_getContractionsAndExpansions(collator, withPrefixes.get(), nullptr, true, &status);
    if (U_FAILURE(status))
        return nullptr;
    std::vector<std::u16string> pairTexts;
    for (int32_t i = 0, n = uset_getItemCount(withPrefixes.get()); i < n; ++i) {
        UChar32 first, last;
        char16_t s[32];
        const int32_t length = uset_getItem(withPrefixes.get(), i, &first, &last,
                                            reinterpret_cast<UChar*>(s), 32, &status);
        if (U_FAILURE(status))
            return nullptr;
        if (!std::all_of(s, s + length, [&](char16_t c) { return c <= top && inside[c]; }))
            continue; // only texts with a character outside the repertoire meet it
        const auto* text = reinterpret_cast<const UChar*>(s);
        if (!uset_containsString(contractions.get(), text, length)) {
            for (int32_t k = 1; k < length; ++k)
                enabled[s[k]] = false;
        } else if (length > 2) {
            enabled[s[0]] = false;
        } else if (length == 2) {
            pairTexts.emplace_back(s, 2);
        }
    }

    // The collation elements of every character and pair.
    const std::unique_ptr<UCollationElements, decltype(&ucol_closeElements)> it(
        ucol_openElements(collator, nullptr, 0, &status), ucol_closeElements);
    if (U_FAILURE(status))
        return nullptr;
    auto order = std::make_shared<FastOrder>();
    order->unitOf.assign(size_t(top) + 1, 0);
    order->units.resize(1);
    std::vector<std::vector<Element>> elements(1);
    auto addUnit = [&](const char16_t* text, int32_t length) {
        elements.emplace_back();
        order->units.emplace_back();
        return elementsOf(it.get(), text, length, elements.back());
    };
    for (char16_t c : repertoire) {
        if (!enabled[c])
            continue;
        if (!addUnit(&c, 1))
            return nullptr;
        order->unitOf[c] = uint16_t(order->units.size() - 1);
    }
    std::sort(pairTexts.begin(), pairTexts.end()); // the pairs of one character together
    for (const std::u16string& pair : pairTexts) {
        if (!enabled[pair[0]] || !enabled[pair[1]])
            continue;
        if (!addUnit(pair.data(), 2))
            return nullptr;
        Unit& first = order->units[order->unitOf[pair[0]]];
        if (first.pairs == first.pairsEnd)
            first.pairs = uint16_t(order->pairs.size());
        order->pairs.push_back({pair[1], uint16_t(order->units.size() - 1)});
        first.pairsEnd = uint16_t(order->pairs.size());
    }

    // Each level's weights by rank.
    std::vector<uint32_t> weights[2];
    for (const auto& list : elements) {
        for (const Element& e : list) {
            if (e.primary)
                weights[0].push_back(e.primary);
            if (e.secondary)
                weights[1].push_back(e.secondary);
        }
    }
    for (auto& level : weights) {
        std::sort(level.begin(), level.end());
        level.erase(std::unique(level.begin(), level.end()), level.end());
        if (level.size() > 254)
            return nullptr;
    }
    for (size_t u = 1; u < order->units.size(); ++u) {
        Unit& unit = order->units[u];
        for (int level = 0; level < 2; ++level) {
            unit.at[level] = uint16_t(order->ranks.size());
            for (const Element& e : elements[u]) {
                const uint32_t w = level == 0 ? e.primary : e.secondary;
                if (w) {
                    const auto& list = weights[level];
                    order->ranks.push_back(uint8_t(
                        2 + (std::lower_bound(list.begin(), list.end(), w) - list.begin())));
                }
            }
            const size_t length = order->ranks.size() - unit.at[level];
            if (length > 255 || order->ranks.size() > 0xffff)
                return nullptr;
            unit.length[level] = uint8_t(length);
        }
        order->maxBytesPerChar =
            std::max<qsizetype>(order->maxBytesPerChar, unit.length[0] + unit.length[1]);
    }
    return order;
}

TextCompare::TextCompare(const QString& localeName) : m_locale(effectiveLocale(localeName)) {
    UErrorCode status = U_ZERO_ERROR;
    m_collator = ucol_open(m_locale.toLatin1().constData(), &status);
    if (U_FAILURE(status) || !m_collator) {
        status = U_ZERO_ERROR;
        m_collator = ucol_open("cs_CZ", &status);
    }
    // Secondary strength: letters and accents count, letter case does not.
    ucol_setStrength(m_collator, UCOL_SECONDARY);
    m_fast = FastOrder::build(m_collator);
}

TextCompare::TextCompare(UCollator* collator, const QString& locale,
                         std::shared_ptr<const FastOrder> fast)
    : m_collator(collator), m_locale(locale), m_fast(std::move(fast)) {}

TextCompare::~TextCompare() {
    ucol_close(m_collator);
}

std::unique_ptr<TextCompare> TextCompare::clone() const {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* copy = ucol_clone(m_collator, &status);
    if (U_FAILURE(status) || !copy)
        return std::make_unique<TextCompare>(m_locale);
    return std::unique_ptr<TextCompare>(new TextCompare(copy, m_locale, m_fast));
}

const TextCompare& TextCompare::program() {
    static const std::unique_ptr<TextCompare> instance = [] {
        const QString name = s_programLocale.isEmpty() ? QLocale::system().name() : s_programLocale;
        return std::make_unique<TextCompare>(name);
    }();
    return *instance;
}

void TextCompare::setProgramLocale(const QString& localeName) {
    s_programLocale = localeName;
}

int TextCompare::compare(QStringView a, QStringView b) const {
    if (m_fast && m_fast->covers(a) && m_fast->covers(b))
        return m_fast->compare(a, b);
    const UCollationResult r =
        ucol_strcoll(m_collator, uchars(a), int32_t(a.size()), uchars(b), int32_t(b.size()));
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

bool TextCompare::equals(QStringView a, QStringView b) const {
    if (isPlainAscii(a) && isPlainAscii(b))
        return a.compare(b, Qt::CaseInsensitive) == 0;
    return compare(a, b) == 0;
}

qsizetype TextCompare::appendSortKey(QStringView text, QByteArray& out) const {
    const qsizetype start = out.size();
    qsizetype room = text.size() * 3 + 16;
    for (;;) {
        out.resize(start + room);
        const int32_t needed =
            ucol_getSortKey(m_collator, uchars(text), int32_t(text.size()),
                            reinterpret_cast<uint8_t*>(out.data() + start), int32_t(room));
        if (needed <= room) {
            // needed counts the terminating NUL.
            out.resize(start + needed - 1);
            return needed - 1;
        }
        room = needed;
    }
}

bool TextCompare::appendFastSortKey(QStringView text, QByteArray& out) const {
    return m_fast && m_fast->appendKey(text, out);
}

QByteArray TextCompare::sortKey(QStringView text) const {
    QByteArray key;
    appendSortKey(text, key);
    return key;
}
