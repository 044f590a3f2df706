#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <memory>

struct UCollator;

// The one comparison of the program: the case-insensitive sort order of the user's locale.
// Names, keywords of the data file, the first artist, the album order under an artist and the
// report are all compared through it. Where the system has no real locale ("C"/POSIX) the
// program's own language, Czech, is used.
class TextCompare {
public:
    // localeName is an ICU/Qt locale name such as "cs_CZ"; "C" and "POSIX" mean Czech.
    explicit TextCompare(const QString& localeName);
    ~TextCompare();
    TextCompare(const TextCompare&) = delete;
    TextCompare& operator=(const TextCompare&) = delete;

    // The instance built once from the system locale.
    static const TextCompare& program();
    // Makes program() use this locale from now on (tests pin Czech with it). Call before the
    // first use of program().
    static void setProgramLocale(const QString& localeName);

    // Negative, zero or positive, as a sorts before, equal to or after b. Texts of the
    // Windows-1250 repertoire are compared by the fast path (see appendFastSortKey()), with
    // exactly ICU's result.
    int compare(QStringView a, QStringView b) const;
    bool equals(QStringView a, QStringView b) const;
    bool less(QStringView a, QStringView b) const { return compare(a, b) < 0; }

    // Bytes that order by memcmp exactly as compare() orders the texts; equal texts give equal
    // keys. Appends to out and returns the number of bytes appended (the terminating NUL is not
    // included; no other byte of the key is zero).
    qsizetype appendSortKey(QStringView text, QByteArray& out) const;
    QByteArray sortKey(QStringView text) const;

    // A key made far faster than appendSortKey()'s, for a text made only of characters that
    // Windows-1250 can encode (the program's whole repertoire). Appends it to out and returns
    // true; for any other text, or where the locale's order is beyond the fast path, returns
    // false and leaves out as it was. Fast keys order by memcmp exactly as compare() orders the
    // texts, and equal texts give equal keys, but only among fast keys: a fast key must never be
    // compared with a key from appendSortKey(). No byte of a fast key is zero.
    bool appendFastSortKey(QStringView text, QByteArray& out) const;
    // True when the fast key of any text a + b, where a ends with c, is the fast keys of a and
    // of b joined level by level: the primary ranks of a, those of b, the separator, the
    // secondary ranks of a, those of b. So it is for a character that the locale never sorts
    // together with its neighbour (as Czech sorts "ch" as one letter).
    bool fastKeysJoinAfter(char16_t c) const;

    // An independent copy for another thread: one instance must not be used by two threads at
    // once.
    std::unique_ptr<TextCompare> clone() const;

private:
    struct FastOrder;

    TextCompare(UCollator* collator, const QString& locale, std::shared_ptr<const FastOrder> fast);

    UCollator* m_collator = nullptr;
    QString m_locale;
    // The collator's order on the Windows-1250 repertoire, shared by the copies; null where it
    // cannot be reproduced exactly.
    std::shared_ptr<const FastOrder> m_fast;
};
