#include "likepattern.h"

#include "catalogue/textcompare.h"

#include <QChar>

namespace {

// The character at i (a surrogate pair counts as one); moves i past it.
inline char32_t nextChar(QStringView s, qsizetype& i) {
    const char16_t c = s[i].unicode();
    ++i;
    if (QChar::isHighSurrogate(c) && i < s.size() && QChar::isLowSurrogate(s[i].unicode()))
        return QChar::surrogateToUcs4(c, s[i++].unicode());
    return c;
}

// Unicode's simple case folding, which equates exactly the upper and lower case forms. The Latin
// letters (Czech ones included) are looked up in a table of their own, the rest asks Qt.
constexpr char32_t kFoldTableSize = 0x250;

struct FoldTable {
    char16_t folded[kFoldTableSize];
    FoldTable() {
        for (char32_t c = 0; c < kFoldTableSize; ++c)
            folded[c] = char16_t(QChar::toCaseFolded(c));
    }
};

inline char32_t fold(char32_t c) {
    static const FoldTable table;
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    if (c < kFoldTableSize)
        return table.folded[c];
    return QChar::toCaseFolded(c);
}

// A character as UTF-16, for the text comparison; no allocation.
struct CharText {
    char16_t units[2];
    qsizetype size;
    explicit CharText(char32_t c) {
        if (QChar::requiresSurrogates(c)) {
            units[0] = QChar::highSurrogate(c);
            units[1] = QChar::lowSurrogate(c);
            size = 2;
        } else {
            units[0] = char16_t(c);
            size = 1;
        }
    }
    QStringView view() const { return QStringView(units, size); }
};

constexpr std::uint32_t kPlaneSize = 0x10000;
constexpr size_t kCachedSets = 8;

} // namespace

LikePattern::LikePattern(QStringView pattern) : LikePattern(pattern, TextCompare::program()) {}

LikePattern::LikePattern(QStringView pattern, const TextCompare& compare) : m_compare(compare) {
    compile(pattern);
    if (!m_valid) {
        m_tokens.clear();
        m_items.clear();
        m_setCache.clear();
        return;
    }
    size_t plain = 0;
    for (const Token& token : m_tokens)
        plain += token.op != Op::Star;
    if (plain <= kShortPattern)
        return;
    m_leadingStar = m_tokens.front().op == Op::Star;
    m_trailingStar = m_tokens.back().op == Op::Star;
    for (size_t k = 0; k < m_tokens.size();) {
        if (m_tokens[k].op == Op::Star) {
            ++k;
            continue;
        }
        Run run{std::uint32_t(k), 0};
        while (k < m_tokens.size() && m_tokens[k].op != Op::Star)
            ++k, ++run.count;
        m_runs.push_back(run);
    }
}

void LikePattern::compile(QStringView pattern) {
    qsizetype i = 0;
    const qsizetype n = pattern.size();
    while (i < n) {
        const char32_t c = nextChar(pattern, i);
        switch (c) {
        case U'*':
            // A run of stars is one star.
            if (m_tokens.empty() || m_tokens.back().op != Op::Star)
                m_tokens.push_back({Op::Star});
            break;
        case U'?':
            m_tokens.push_back({Op::AnyChar});
            break;
        case U'#':
            m_tokens.push_back({Op::Digit});
            break;
        case U'[': {
            const qsizetype close = pattern.indexOf(u']', i);
            if (close < 0) {
                m_valid = false;
                return;
            }
            QStringView list = pattern.sliced(i, close - i);
            i = close + 1;
            if (list.isEmpty())
                break; // "[]" stands for the empty text
            Token token{Op::Set};
            if (list.front() == u'!' && list.size() > 1) {
                token.negated = true;
                list = list.sliced(1);
            }
            token.first = std::uint32_t(m_items.size());
            qsizetype j = 0;
            while (j < list.size()) {
                const char32_t lo = nextChar(list, j);
                qsizetype k = j;
                if (k < list.size() && list[k] == u'-' && k + 1 < list.size()) {
                    ++k;
                    const char32_t hi = nextChar(list, k);
                    j = k;
                    if (m_compare.compare(CharText(lo).view(), CharText(hi).view()) > 0) {
                        m_valid = false;
                        return;
                    }
                    m_items.push_back({lo, hi, true});
                } else {
                    const char32_t f = fold(lo);
                    m_items.push_back({f, f, false});
                }
            }
            token.count = std::uint32_t(m_items.size()) - token.first;
            // A long typed pattern must not cost much memory: the first lists get a table
            // of answers, any further ones work each character out again.
            if (m_setCache.size() < kCachedSets * kPlaneSize) {
                token.cache = std::uint32_t(m_setCache.size());
                m_setCache.resize(m_setCache.size() + kPlaneSize, 0);
            }
            m_tokens.push_back(token);
            break;
        }
        default: {
            Token token{Op::Char};
            token.ch = fold(c);
            m_tokens.push_back(token);
            break;
        }
        }
    }
}

bool LikePattern::inSet(const Token& token, char32_t ch) const {
    const char32_t folded = fold(ch);
    const CharText c(ch);
    for (std::uint32_t k = token.first; k < token.first + token.count; ++k) {
        const Item& item = m_items[k];
        if (item.range ? m_compare.compare(CharText(item.lo).view(), c.view()) <= 0 &&
                             m_compare.compare(c.view(), CharText(item.hi).view()) <= 0
                       : item.lo == folded)
            return true;
    }
    return false;
}

bool LikePattern::setMatches(const Token& token, char32_t ch) const {
    if (ch >= kPlaneSize || token.cache == kNoCache)
        return inSet(token, ch) != token.negated;
    std::uint8_t& answer = m_setCache[token.cache + ch];
    if (!answer)
        answer = inSet(token, ch) != token.negated ? 2 : 1;
    return answer == 2;
}

inline bool LikePattern::tokenMatches(const Token& token, char32_t ch) const {
    switch (token.op) {
    case Op::Char:
        return token.ch == fold(ch);
    case Op::Star:
    case Op::AnyChar:
        return true;
    case Op::Digit:
        return ch >= U'0' && ch <= U'9';
    case Op::Set:
        return setMatches(token, ch);
    }
    return false;
}

bool LikePattern::matches(QStringView text) const {
    if (!m_valid)
        return false;
    return m_runs.empty() ? matchesShort(text) : matchesLong(text);
}

bool LikePattern::matchesShort(QStringView text) const {
    const size_t m = m_tokens.size();
    const qsizetype n = text.size();
    size_t p = 0;
    qsizetype t = 0;
    // The token after the last star met, and where in the text that star's run ends now.
    size_t starToken = 0;
    qsizetype starEnd = -1;
    for (;;) {
        if (p < m && m_tokens[p].op == Op::Star) {
            starToken = ++p;
            starEnd = t;
            continue;
        }
        if (p == m && (t == n || (m > 0 && m_tokens[m - 1].op == Op::Star)))
            return true; // all matched, or a final star takes the rest
        if (t < n && p < m) {
            qsizetype next = t;
            const char32_t ch = nextChar(text, next);
            if (tokenMatches(m_tokens[p], ch)) {
                t = next;
                ++p;
                continue;
            }
        }
        // A mismatch: let the last star take one more character and try again from there.
        // Every token but the star takes exactly one character, so no earlier choice needs
        // revisiting.
        if (starEnd < 0 || starEnd >= n)
            return false;
        nextChar(text, starEnd);
        // When a plain character follows the star, skip straight to where it occurs.
        if (starToken < m && m_tokens[starToken].op == Op::Char &&
            m_tokens[starToken].ch < kPlaneSize && !QChar::isSurrogate(m_tokens[starToken].ch)) {
            const char32_t wanted = m_tokens[starToken].ch;
            while (starEnd < n && fold(text[starEnd].unicode()) != wanted)
                ++starEnd;
            if (starEnd == n)
                return false;
        }
        t = starEnd;
        p = starToken;
    }
}

const std::uint64_t* LikePattern::runMask(size_t run, char32_t ch) const {
    const std::uint64_t key = (std::uint64_t(run) << 32) | ch;
    if (const auto found = m_maskIndex.find(key); found != m_maskIndex.end())
        return m_masks.data() + found->second;
    // Text with very many different characters must not hold on to much memory.
    constexpr size_t kMaxMaskWords = size_t(1) << 22;
    if (m_masks.size() > kMaxMaskWords) {
        m_masks.clear();
        m_maskIndex.clear();
    }
    const Run& r = m_runs[run];
    const size_t offset = m_masks.size();
    m_masks.resize(offset + (r.count + 63) / 64, 0);
    for (std::uint32_t k = 0; k < r.count; ++k)
        if (tokenMatches(m_tokens[r.first + k], ch))
            m_masks[offset + k / 64] |= std::uint64_t(1) << (k % 64);
    m_maskIndex.emplace(key, std::uint32_t(offset));
    return m_masks.data() + offset;
}

bool LikePattern::runMatchesAt(size_t run, size_t at) const {
    const Run& r = m_runs[run];
    if (at + r.count > m_chars.size())
        return false;
    for (std::uint32_t k = 0; k < r.count; ++k)
        if (!tokenMatches(m_tokens[r.first + k], m_chars[at + k]))
            return false;
    return true;
}

// Where the first place at or after from that the run matches ends, or -1. Shift-And: bit k of
// the state says that the run's first k + 1 tokens match the characters just read.
qsizetype LikePattern::findRun(size_t run, size_t from) const {
    const Run& r = m_runs[run];
    const size_t words = (r.count + 63) / 64;
    const size_t lastWord = (r.count - 1) / 64;
    const std::uint64_t lastBit = std::uint64_t(1) << ((r.count - 1) % 64);
    std::vector<std::uint64_t> state(words, 0);
    for (size_t t = from; t < m_chars.size(); ++t) {
        const std::uint64_t* mask = runMask(run, m_chars[t]);
        std::uint64_t carry = 1; // a match may start at every character
        for (size_t w = 0; w < words; ++w) {
            const std::uint64_t next = state[w] >> 63;
            state[w] = ((state[w] << 1) | carry) & mask[w];
            carry = next;
        }
        if (state[lastWord] & lastBit)
            return qsizetype(t + 1);
    }
    return -1;
}

bool LikePattern::matchesLong(QStringView text) const {
    m_chars.clear();
    for (qsizetype i = 0; i < text.size();)
        m_chars.push_back(nextChar(text, i));
    const size_t n = m_chars.size();
    size_t first = 0, last = m_runs.size();
    size_t from = 0, to = n; // the text the middle runs must be found in
    if (!m_leadingStar) {
        if (!runMatchesAt(0, 0))
            return false;
        from = m_runs[0].count;
        ++first;
        if (m_runs.size() == 1 && !m_trailingStar)
            return from == n; // no star at all
    }
    if (!m_trailingStar) {
        const size_t count = m_runs.back().count;
        if (count > n || n - count < from || !runMatchesAt(last - 1, n - count))
            return false;
        to = n - count;
        --last;
    }
    // Between the stars each run takes the first place it fits: any later place leaves less.
    for (size_t run = first; run < last; ++run) {
        const qsizetype end = findRun(run, from);
        if (end < 0 || size_t(end) > to)
            return false;
        from = size_t(end);
    }
    return true;
}
