#include "textcompare.h"

#include "windows1250.h"

#include <QLocale>

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
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
// equality is mostly plain ASCII case folding (see FastOrder::foldsAscii), so the common keyword
// and name checks need no collator.
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
// TextCompare is made.
//
// A text is read as a run of units: a character, or two characters the locale sorts as one
// (Czech "ch"), taking the pair wherever it stands. Each unit has the collation elements ICU
// gives it alone. At secondary strength ICU orders two texts by the primary weights of all
// their elements, zeros left out and a text that runs out first sorting first; if those agree,
// by the secondary weights the same way. Here each weight is replaced by its rank among the
// weights of the repertoire, one byte from 2 up, so a key is the primary ranks, the byte 1, and
// the secondary ranks. Characters whose elements depend on more than that (ones that begin a
// run of three or more sorted as one, or that sort differently after some other character),
// and those with more weights on a level than a unit holds, are left out of the repertoire.
struct TextCompare::FastOrder {
    static constexpr int kMaxRanks = 4;

    struct Unit {
        uint8_t length[2] = {}; // ranks on each level
        uint8_t rank[2][kMaxRanks] = {};
        bool paired = false; // the character begins or ends a pair
        // What can change its collation elements afterwards: a run sorted as one going on from
        // it, or (where it has an accent) a combining mark normalization moves into it.
        bool continues = false;
        bool takesMarks = false;
        uint16_t pairs = 0; // the pairs it begins: pairs[pairs..pairsEnd)
        uint16_t pairsEnd = 0;
    };
    struct Pair {
        char16_t second;
        uint16_t unit;
    };

    std::vector<uint16_t> unitOf; // by character; 0 = outside the repertoire
    std::vector<Unit> units;      // units[0] is not used
    std::vector<Pair> pairs;
    qsizetype maxRanks[2] = {}; // of a unit, on each level
    // Two texts of printable ASCII are equal exactly when they are equal but for letter case:
    // every character weighs as its other case does and unlike any other character, and every
    // pair of letters sorted as one is so in all its cases (Czech "ch", "Ch", "cH", "CH"; not
    // Hungarian "ly", which leaves out "lY").
    bool foldsAscii = false;

    static std::shared_ptr<const FastOrder> build(UCollator* collator);

    bool checkAsciiFolding() const {
        const View v = view();
        auto sameRanks = [](const Unit* a, const Unit* b) {
            for (int level = 0; level < 2; ++level) {
                if (a->length[level] != b->length[level] ||
                    std::memcmp(a->rank[level], b->rank[level], a->length[level]) != 0)
                    return false;
            }
            return true;
        };
        auto other = [](char16_t c) -> char16_t {
            if (c >= u'a' && c <= u'z')
                return c - 32;
            return c >= u'A' && c <= u'Z' ? c + 32 : c;
        };
        for (char16_t c = 0x20; c <= 0x7e; ++c) {
            const Unit* u = v.unit(c);
            if (!u || !sameRanks(u, v.unit(other(c))))
                return false;
            for (char16_t d = 0x20; d < c; ++d) {
                if (d != other(c) && sameRanks(u, v.unit(d)))
                    return false;
            }
            // The pairs it begins, in every case of both letters.
            for (uint16_t k = u->pairs; k < u->pairsEnd; ++k) {
                const char16_t second = pairs[k].second;
                if (second < 0x20 || second > 0x7e)
                    continue; // never within printable ASCII
                for (char16_t first : {c, other(c)}) {
                    for (char16_t next : {second, other(second)}) {
                        const char16_t text[2] = {first, next};
                        const char16_t* p = text;
                        const Unit* pair = v.next(p, text + 2);
                        if (p != text + 2 || !sameRanks(pair, &units[pairs[k].unit]))
                            return false;
                    }
                }
            }
        }
        return true;
    }

    // The tables as plain pointers, for the loops: a store through a byte pointer could change
    // anything as far as the compiler knows, but not these local copies.
    struct View {
        const uint16_t* unitOf;
        size_t size;
        const Unit* units;
        const Pair* pairs;

        // The unit of the character alone; null outside the repertoire.
        const Unit* unit(char16_t c) const {
            return c < size && unitOf[c] ? &units[unitOf[c]] : nullptr;
        }

        bool covers(const char16_t* p, const char16_t* end) const {
            for (; p != end; ++p) {
                if (!unit(*p))
                    return false;
            }
            return true;
        }

        // The unit at p, which it passes; null for a character outside the repertoire.
        const Unit* next(const char16_t*& p, const char16_t* end) const {
            const Unit* u = unit(*p++);
            if (u && p != end) {
                for (uint16_t k = u->pairs; k < u->pairsEnd; ++k) {
                    if (pairs[k].second == *p) {
                        ++p;
                        return &units[pairs[k].unit];
                    }
                }
            }
            return u;
        }
    };

    View view() const { return {unitOf.data(), unitOf.size(), units.data(), pairs.data()}; }

    bool appendKey(QStringView text, QByteArray& out) const {
        // Room for the most ranks the text can have, written kMaxRanks at a time: the primary
        // ones at the front, the secondary ones further back, from where they move up behind
        // the primary ones and the level separator.
        const View v = view();
        const qsizetype start = out.size();
        const qsizetype n = text.size();
        out.resize(start + n * (maxRanks[0] + maxRanks[1]) + 2 * kMaxRanks);
        auto* const begin = reinterpret_cast<uint8_t*>(out.data()) + start;
        uint8_t* primary = begin;
        uint8_t* const secondaryBegin = begin + n * maxRanks[0] + kMaxRanks;
        uint8_t* secondary = secondaryBegin;
        const char16_t* p = text.utf16();
        const char16_t* const end = p + n;
        while (p != end) {
            const Unit* unit = v.next(p, end);
            if (!unit) {
                out.resize(start);
                return false;
            }
            std::memcpy(primary, unit->rank[0], kMaxRanks);
            primary += unit->length[0];
            std::memcpy(secondary, unit->rank[1], kMaxRanks);
            secondary += unit->length[1];
        }
        *primary++ = 1;
        const qsizetype secondaries = secondary - secondaryBegin;
        std::memmove(primary, secondaryBegin, size_t(secondaries));
        out.resize(start + (primary - begin) + secondaries);
        return true;
    }

    // The ranks of one level of a text, one by one, then zeros; kOutside at a character
    // outside the repertoire.
    class Reader {
    public:
        static constexpr int kOutside = -1;

        Reader(const View& view, const char16_t* p, const char16_t* end, int level)
            : m_view(view), m_p(p), m_end(end), m_level(level) {}

        int next() {
            while (m_rank == m_ranksEnd) {
                if (m_p == m_end)
                    return 0;
                const Unit* unit = m_view.next(m_p, m_end);
                if (!unit)
                    return kOutside;
                m_rank = unit->rank[m_level];
                m_ranksEnd = m_rank + unit->length[m_level];
            }
            return *m_rank++;
        }

        // Nothing that follows can change the ranks read so far. Where the next character is
        // of the repertoire, normalization moves nothing across it, and a run sorted as one
        // through it and the last one read would be a pair (taken already) or begin with a
        // character outside the repertoire (met already), unless it goes on past it.
        bool settled() const {
            if (m_p == m_end)
                return true;
            const Unit* last = m_view.unit(m_p[-1]);
            if (const Unit* next = m_view.unit(*m_p))
                return !(last->continues && next->continues);
            return !last->continues && !last->takesMarks;
        }
        bool restInside() const { return m_view.covers(m_p, m_end); }

    private:
        const View& m_view;
        const char16_t* m_p;
        const char16_t* m_end;
        int m_level;
        const uint8_t* m_rank = nullptr;
        const uint8_t* m_ranksEnd = nullptr;
    };

    // False if the order of the texts needs ICU; otherwise result is set as compare() returns
    // it. Like ICU, this reads the texts only as far as their first difference where it can.
    bool compare(QStringView a, QStringView b, int& result) const {
        const View v = view();
        const char16_t* const pa = a.utf16();
        const char16_t* const pb = b.utf16();
        const char16_t* const endA = pa + a.size();
        const char16_t* const endB = pb + b.size();
        // The characters both texts begin with weigh the same in both: skip them, back to one
        // that is no part of a pair, after which a unit begins in both texts.
        const qsizetype shorter = std::min(a.size(), b.size());
        qsizetype same = 0;
        for (; same < shorter && pa[same] == pb[same]; ++same) {
            if (!v.unit(pa[same]))
                return false;
        }
        while (same > 0 && v.unit(pa[same - 1])->paired)
            --same;

        // The first primary rank that differs decides, if what follows cannot change the ranks
        // before it, or else if both texts are inside the repertoire all through.
        Reader ra(v, pa + same, endA, 0), rb(v, pb + same, endB, 0);
        for (;;) {
            const int x = ra.next(), y = rb.next();
            if (x == Reader::kOutside || y == Reader::kOutside)
                return false;
            if (x != y) {
                if (!(ra.settled() && rb.settled()) && !(ra.restInside() && rb.restInside()))
                    return false;
                result = x < y ? -1 : 1;
                return true;
            }
            if (x == 0)
                break;
        }
        // The same primary ranks, all through both texts: the secondary ones decide.
        Reader sa(v, pa + same, endA, 1), sb(v, pb + same, endB, 1);
        for (;;) {
            const int x = sa.next(), y = sb.next();
            if (x != y) {
                result = x < y ? -1 : 1;
                return true;
            }
            if (x == 0)
                break;
        }
        result = 0;
        return true;
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
    // Only characters with no combining class at their start, as all of Windows-1250 have:
    // normalization never moves one of them.
    for (char16_t c : repertoire) {
        inside[c] = true;
        enabled[c] = u_getIntPropertyValue(c, UCHAR_LEAD_CANONICAL_COMBINING_CLASS) == 0;
    }

    // The runs of characters the locale sorts as one, and the characters it sorts by the text
    // before them (listed as that text followed by the character).
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<USet, decltype(&uset_close)> contractions(uset_openEmpty(), uset_close),
        withPrefixes(uset_openEmpty(), uset_close);
    ucol_getContractionsAndExpansions(collator, contractions.get(), nullptr, false, &status);
    ucol_getContractionsAndExpansions(collator, withPrefixes.get(), nullptr, true, &status);
    if (U_FAILURE(status))
        return nullptr;
    // The characters a run sorted as one goes on from.
    std::vector<bool> continues(size_t(top) + 1);
    std::vector<std::u16string> pairTexts;
    for (int32_t i = 0, n = uset_getItemCount(withPrefixes.get()); i < n; ++i) {
        UChar32 first, last;
        char16_t s[32];
        const int32_t length = uset_getItem(withPrefixes.get(), i, &first, &last,
                                            reinterpret_cast<UChar*>(s), 32, &status);
        if (U_FAILURE(status))
            return nullptr;
        if (length < 2)
            continue;
        const auto* text = reinterpret_cast<const UChar*>(s);
        const bool contraction = uset_containsString(contractions.get(), text, length);
        if (contraction) {
            for (int32_t k = 0; k + 1 < length; ++k) {
                if (s[k] <= top)
                    continues[s[k]] = true;
            }
        }
        if (!std::all_of(s, s + length, [&](char16_t c) { return c <= top && inside[c]; }))
            continue; // only texts with a character outside the repertoire meet the rest
        if (!contraction) {
            for (int32_t k = 1; k < length; ++k)
                enabled[s[k]] = false;
        } else if (length > 2) {
            enabled[s[0]] = false;
        } else {
            pairTexts.emplace_back(s, 2);
        }
    }
    std::sort(pairTexts.begin(), pairTexts.end()); // the pairs of one character together

    // The collation elements of every character and pair; those with more weights on a level
    // than a unit holds are left to ICU.
    const std::unique_ptr<UCollationElements, decltype(&ucol_closeElements)> it(
        ucol_openElements(collator, nullptr, 0, &status), ucol_closeElements);
    if (U_FAILURE(status))
        return nullptr;
    auto tooMany = [](const std::vector<Element>& list) {
        return std::count_if(list.begin(), list.end(), [](Element e) { return e.primary; }) >
                   kMaxRanks ||
               std::count_if(list.begin(), list.end(), [](Element e) { return e.secondary; }) >
                   kMaxRanks;
    };
    std::vector<std::vector<Element>> single(size_t(top) + 1);
    for (char16_t c : repertoire) {
        if (!enabled[c])
            continue;
        if (!elementsOf(it.get(), &c, 1, single[c]))
            return nullptr;
        if (tooMany(single[c]))
            enabled[c] = false;
    }
    std::vector<std::vector<Element>> paired(pairTexts.size());
    for (size_t k = 0; k < pairTexts.size(); ++k) {
        if (!elementsOf(it.get(), pairTexts[k].data(), 2, paired[k]))
            return nullptr;
        if (tooMany(paired[k]))
            enabled[pairTexts[k][0]] = false;
    }
    auto used = [&](const std::u16string& pair) { return enabled[pair[0]] && enabled[pair[1]]; };

    // Each level's weights by rank.
    std::vector<uint32_t> weights[2];
    auto collect = [&](const std::vector<Element>& list) {
        for (const Element& e : list) {
            if (e.primary)
                weights[0].push_back(e.primary);
            if (e.secondary)
                weights[1].push_back(e.secondary);
        }
    };
    for (char16_t c : repertoire) {
        if (enabled[c])
            collect(single[c]);
    }
    for (size_t k = 0; k < pairTexts.size(); ++k) {
        if (used(pairTexts[k]))
            collect(paired[k]);
    }
    for (auto& level : weights) {
        std::sort(level.begin(), level.end());
        level.erase(std::unique(level.begin(), level.end()), level.end());
        if (level.size() > 254)
            return nullptr;
    }

    auto order = std::make_shared<FastOrder>();
    auto addUnit = [&](const std::vector<Element>& list) {
        Unit unit;
        for (const Element& e : list) {
            const uint32_t w[2] = {e.primary, e.secondary};
            for (int level = 0; level < 2; ++level) {
                if (w[level]) {
                    const auto& all = weights[level];
                    unit.rank[level][unit.length[level]++] = uint8_t(
                        2 + (std::lower_bound(all.begin(), all.end(), w[level]) - all.begin()));
                }
            }
        }
        for (int level = 0; level < 2; ++level)
            order->maxRanks[level] =
                std::max<qsizetype>(order->maxRanks[level], unit.length[level]);
        order->units.push_back(unit);
        return uint16_t(order->units.size() - 1);
    };
    order->unitOf.assign(size_t(top) + 1, 0);
    order->units.resize(1);
    for (char16_t c : repertoire) {
        if (enabled[c]) {
            order->unitOf[c] = addUnit(single[c]);
            order->units.back().continues = continues[c];
            order->units.back().takesMarks =
                u_getIntPropertyValue(c, UCHAR_TRAIL_CANONICAL_COMBINING_CLASS) != 0;
        }
    }
    for (size_t k = 0; k < pairTexts.size(); ++k) {
        const std::u16string& pair = pairTexts[k];
        if (!used(pair))
            continue;
        const uint16_t unit = addUnit(paired[k]);
        Unit& first = order->units[order->unitOf[pair[0]]];
        if (first.pairs == first.pairsEnd)
            first.pairs = uint16_t(order->pairs.size());
        order->pairs.push_back({pair[1], unit});
        first.pairsEnd = uint16_t(order->pairs.size());
        first.paired = true;
        order->units[order->unitOf[pair[1]]].paired = true;
    }
    order->foldsAscii = order->checkAsciiFolding();
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
    int result;
    if (m_fast && m_fast->compare(a, b, result))
        return result;
    const UCollationResult r =
        ucol_strcoll(m_collator, uchars(a), int32_t(a.size()), uchars(b), int32_t(b.size()));
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

bool TextCompare::equals(QStringView a, QStringView b) const {
    if (m_fast && m_fast->foldsAscii && isPlainAscii(a) && isPlainAscii(b))
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

bool TextCompare::fastKeysJoinAfter(char16_t c) const {
    if (!m_fast)
        return false;
    const FastOrder::Unit* unit = m_fast->view().unit(c);
    return unit && !unit->paired && !unit->continues;
}

QByteArray TextCompare::sortKey(QStringView text) const {
    QByteArray key;
    appendSortKey(text, key);
    return key;
}
