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

inline char32_t fold(char32_t c) {
    // Plain ASCII needs no table; everything else (Czech letters included) takes Unicode's
    // simple case folding, which equates exactly the upper and lower case forms.
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
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

} // namespace

LikePattern::LikePattern(QStringView pattern) : LikePattern(pattern, TextCompare::program()) {}

LikePattern::LikePattern(QStringView pattern, const TextCompare& compare) : m_compare(compare) {
    compile(pattern);
    if (!m_valid) {
        m_tokens.clear();
        m_items.clear();
        m_rangeCache.clear();
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
                    Item item{lo, hi, true, std::uint32_t(m_rangeCache.size())};
                    m_rangeCache.resize(m_rangeCache.size() + kPlaneSize, 0);
                    m_items.push_back(item);
                } else {
                    const char32_t f = fold(lo);
                    m_items.push_back({f, f, false});
                }
            }
            token.count = std::uint32_t(m_items.size()) - token.first;
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

bool LikePattern::inRange(const Item& item, char32_t ch) const {
    std::uint8_t* cached = nullptr;
    if (ch < kPlaneSize) {
        cached = &m_rangeCache[item.cache + ch];
        if (*cached)
            return *cached == 2;
    }
    const CharText c(ch);
    const bool inside = m_compare.compare(CharText(item.lo).view(), c.view()) <= 0 &&
                        m_compare.compare(c.view(), CharText(item.hi).view()) <= 0;
    if (cached)
        *cached = inside ? 2 : 1;
    return inside;
}

bool LikePattern::tokenMatches(const Token& token, char32_t ch, char32_t folded) const {
    switch (token.op) {
    case Op::Star:
    case Op::AnyChar:
        return true;
    case Op::Digit:
        return ch >= U'0' && ch <= U'9';
    case Op::Char:
        return token.ch == folded;
    case Op::Set: {
        bool found = false;
        for (std::uint32_t k = token.first; k < token.first + token.count && !found; ++k) {
            const Item& item = m_items[k];
            found = item.range ? inRange(item, ch) : item.lo == folded;
        }
        return found != token.negated;
    }
    }
    return false;
}

bool LikePattern::matches(QStringView text) const {
    if (!m_valid)
        return false;
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
        if (t == n && p == m)
            return true;
        if (t < n && p < m) {
            qsizetype next = t;
            const char32_t ch = nextChar(text, next);
            if (tokenMatches(m_tokens[p], ch, fold(ch))) {
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
        t = starEnd;
        p = starToken;
    }
}
