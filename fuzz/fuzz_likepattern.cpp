// The find pattern on any pattern and text: compiling and matching must never crash, hang or
// leak, a second match gives the same answer (bracketed lists remember what they worked out), and
// a pattern without brackets matches exactly when a plain table of "pattern position x text
// position" says it does.

#include "catalogue/likepattern.h"
#include "catalogue/textcompare.h"

#include <QList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// "*", "?", "#" and letters with case ignored, worked out the slow and obvious way.
bool reference(const QList<uint>& pattern, const QList<uint>& text) {
    const qsizetype p = pattern.size(), t = text.size();
    // done[i][j]: pattern from i matches text from j.
    std::vector<std::vector<char>> done(size_t(p + 1), std::vector<char>(size_t(t + 1), 0));
    done[size_t(p)][size_t(t)] = 1;
    for (qsizetype i = p - 1; i >= 0; --i) {
        for (qsizetype j = t; j >= 0; --j) {
            const char32_t c = char32_t(pattern[i]);
            bool ok;
            if (c == U'*') {
                ok = done[size_t(i + 1)][size_t(j)] || (j < t && done[size_t(i)][size_t(j + 1)]);
            } else if (j == t) {
                ok = false;
            } else if (c == U'?') {
                ok = done[size_t(i + 1)][size_t(j + 1)];
            } else if (c == U'#') {
                ok = text[j] >= U'0' && text[j] <= U'9' && done[size_t(i + 1)][size_t(j + 1)];
            } else {
                ok = QChar::toCaseFolded(c) == QChar::toCaseFolded(char32_t(text[j])) &&
                     done[size_t(i + 1)][size_t(j + 1)];
            }
            done[size_t(i)][size_t(j)] = ok;
        }
    }
    return done[0][0];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TextCompare compare(QStringLiteral("cs_CZ"));
    const char* bytes = reinterpret_cast<const char*>(data);
    const void* nul = std::memchr(bytes, 0, size);
    const size_t split = nul ? size_t(static_cast<const char*>(nul) - bytes) : size;
    const QString pattern = QString::fromUtf8(bytes, qsizetype(split));
    const QString text = split < size
                             ? QString::fromUtf8(bytes + split + 1, qsizetype(size - split - 1))
                             : QString();
    if (pattern.size() > 200 || text.size() > 2000)
        return 0; // long inputs add nothing but time

    const LikePattern like(pattern, compare);
    const bool first = like.isValid() && like.matches(text);
    const bool second = like.isValid() && like.matches(text);
    if (first != second) {
        std::fprintf(stderr, "second match differs\n");
        std::abort();
    }
    if (!pattern.contains(u'[')) {
        if (!like.isValid()) {
            std::fprintf(stderr, "a pattern without brackets is not valid\n");
            std::abort();
        }
        if (first != reference(pattern.toUcs4(), text.toUcs4())) {
            std::fprintf(stderr, "pattern \"%s\" on \"%s\": %d, the table says %d\n",
                         qPrintable(pattern), qPrintable(text), first, !first);
            std::abort();
        }
    }
    return 0;
}
