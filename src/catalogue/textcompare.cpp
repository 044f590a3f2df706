#include "textcompare.h"

#include <QLocale>

#include <unicode/ucol.h>

namespace {

QString s_programLocale;

QByteArray effectiveLocale(const QString& name) {
    if (name.isEmpty() || name == u"C" || name == u"POSIX" || name.startsWith(u"C."))
        return QByteArrayLiteral("cs_CZ");
    return name.toLatin1();
}

const UChar* uchars(QStringView s) {
    return reinterpret_cast<const UChar*>(s.utf16());
}

bool isPrintableAscii(QStringView s) {
    for (QChar c : s) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

char16_t otherCase(char16_t c) {
    if (c >= u'a' && c <= u'z')
        return c - 32;
    return c >= u'A' && c <= u'Z' ? c + 32 : c;
}

} // namespace

TextCompare::TextCompare(const QString& localeName) {
    UErrorCode status = U_ZERO_ERROR;
    m_collator = ucol_open(effectiveLocale(localeName).constData(), &status);
    if (U_FAILURE(status) || !m_collator) {
        status = U_ZERO_ERROR;
        m_collator = ucol_open("cs_CZ", &status);
    }
    // Secondary strength: letters and accents count, letter case does not.
    ucol_setStrength(m_collator, UCOL_SECONDARY);

    // The keywords of the data file are looked up on every new first field of a line. For
    // printable ASCII, equality is ASCII case folding when every such character equals its
    // other case and no other character, and every pair of them equals its case variants (a
    // locale that sorts "ch" as one letter does so in all four of its cases; Hungarian "ly"
    // is not so for "lY"). Checked here on the collator itself, so no locale is assumed.
    m_asciiFolds = true;
    for (char16_t c = 0x20; c <= 0x7e && m_asciiFolds; ++c) {
        for (char16_t d = 0x20; d <= 0x7e && m_asciiFolds; ++d) {
            const bool same = c == d || c == otherCase(d);
            const char16_t one[1] = {c}, other[1] = {d};
            if ((compare(QStringView(one, 1), QStringView(other, 1)) == 0) != same)
                m_asciiFolds = false;
            const char16_t pair[2] = {c, d}, cased[2] = {otherCase(c), d},
                           casedBoth[2] = {c, otherCase(d)};
            if (compare(QStringView(pair, 2), QStringView(cased, 2)) != 0 ||
                compare(QStringView(pair, 2), QStringView(casedBoth, 2)) != 0)
                m_asciiFolds = false;
        }
    }
}

TextCompare::~TextCompare() {
    ucol_close(m_collator);
}

const TextCompare& TextCompare::program() {
    static const TextCompare instance(s_programLocale.isEmpty() ? QLocale::system().name()
                                                                : s_programLocale);
    return instance;
}

void TextCompare::setProgramLocale(const QString& localeName) {
    s_programLocale = localeName;
}

int TextCompare::compare(QStringView a, QStringView b) const {
    const UCollationResult r =
        ucol_strcoll(m_collator, uchars(a), int32_t(a.size()), uchars(b), int32_t(b.size()));
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

bool TextCompare::equals(QStringView a, QStringView b) const {
    if (m_asciiFolds && isPrintableAscii(a) && isPrintableAscii(b))
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
        if (needed <= room) { // needed counts the terminating NUL
            out.resize(start + needed - 1);
            return needed - 1;
        }
        room = needed;
    }
}

QByteArray TextCompare::sortKey(QStringView text) const {
    QByteArray key;
    appendSortKey(text, key);
    return key;
}
