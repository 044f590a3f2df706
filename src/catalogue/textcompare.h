#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

struct UCollator;

// The one comparison of the program: the case-insensitive sort order of the user's locale, as
// ICU's collator gives it. Names, keywords of the data file, the first artist, the album order
// under an artist, the report and the pattern's ranges are all compared through it. Where the
// system has no real locale ("C"/POSIX) the program's own language, Czech, is used.
//
// One instance may be used by several threads at once: it only reads its collator.
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

    // Negative, zero or positive, as a sorts before, equal to or after b.
    int compare(QStringView a, QStringView b) const;
    bool equals(QStringView a, QStringView b) const;
    bool less(QStringView a, QStringView b) const { return compare(a, b) < 0; }

    // Bytes that order by memcmp (a key that ends first sorting first) exactly as compare()
    // orders the texts; equal texts give equal keys. Appends to out and returns the number of
    // bytes appended, without the terminating NUL.
    qsizetype appendSortKey(QStringView text, QByteArray& out) const;
    QByteArray sortKey(QStringView text) const;

private:
    UCollator* m_collator = nullptr;
    // Printable ASCII compares equal exactly when it is equal but for ASCII letter case (see the
    // constructor); then equals() needs no collator for such texts.
    bool m_asciiFolds = false;
};
