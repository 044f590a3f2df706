#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class TextCompare;

// A name pattern as the find command reads it:
//   *          any run of characters, the empty run included
//   ?          any one character
//   #          any one decimal digit (0 to 9)
//   [list]     any one character of the list; "a-z" inside the list is a range
//   [!list]    any one character that is not in the list
//   []         nothing (the empty text)
//   other      that character, letter case ignored
// Inside brackets "*", "?", "#" and "[" stand for themselves; "-" does at the start (after "!")
// or the end of the list; "!" does anywhere but at the start. Ranges follow the program's text
// order, so in Czech "[a-d]" takes in "č" as well. A pattern with a "[" that is never closed, or
// with a range whose ends are in descending order, is not valid: it matches nothing.
//
// The pattern is compiled once and then matched against many texts. A short pattern (at most
// kShortPattern characters besides stars) is walked against the text once, going back only to
// the last "*" seen: at most kShortPattern steps a character of text, without allocating. A
// longer one is cut at its stars into runs that are looked for one after another, each with all
// its positions at once (bit-parallel), so its time grows with the text times the run's length
// divided by 64. Not thread-safe: the matcher remembers the answers it has worked out.
class LikePattern {
public:
    explicit LikePattern(QStringView pattern);
    LikePattern(QStringView pattern, const TextCompare& compare);

    static constexpr size_t kShortPattern = 64;

    bool isValid() const { return m_valid; }
    bool matches(QStringView text) const;

private:
    enum class Op : std::uint8_t { Star, AnyChar, Digit, Char, Set };
    static constexpr std::uint32_t kNoCache = 0xFFFFFFFF;
    struct Token {
        Op op;
        bool negated = false;
        char32_t ch = 0;                    // Char: the case-folded character
        std::uint32_t first = 0, count = 0; // Set: its items in m_items
        std::uint32_t cache = kNoCache;     // Set: offset of its answers in m_setCache
    };
    struct Item {
        char32_t lo = 0, hi = 0; // a single character (folded) has lo == hi and no range
        bool range = false;
    };

    void compile(QStringView pattern);
    bool tokenMatches(const Token& token, char32_t ch) const;
    bool setMatches(const Token& token, char32_t ch) const;
    bool inSet(const Token& token, char32_t ch) const;
    bool matchesShort(QStringView text) const;
    bool matchesLong(QStringView text) const;
    bool runMatchesAt(size_t run, size_t at) const;
    qsizetype findRun(size_t run, size_t from) const;
    const std::uint64_t* runMask(size_t run, char32_t ch) const;

    // A run of tokens between stars: m_tokens[first, first + count).
    struct Run {
        std::uint32_t first = 0, count = 0;
    };

    const TextCompare& m_compare;
    std::vector<Token> m_tokens;
    std::vector<Item> m_items;
    // For each bracketed list, one byte per character of the Basic Multilingual Plane: 0 not
    // worked out yet, 1 no match, 2 a match.
    mutable std::vector<std::uint8_t> m_setCache;
    bool m_valid = true;

    // Long patterns only: the runs, whether the pattern starts and ends with a star, the text
    // as whole characters, and for each run and character met the run's positions that take it.
    std::vector<Run> m_runs;
    bool m_leadingStar = false, m_trailingStar = false;
    mutable std::u32string m_chars;
    mutable std::unordered_map<std::uint64_t, std::uint32_t> m_maskIndex;
    mutable std::vector<std::uint64_t> m_masks;
};
