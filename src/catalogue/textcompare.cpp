#include "textcompare.h"

#include <QLocale>

#include <unicode/ucol.h>

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

} // namespace

TextCompare::TextCompare(const QString& localeName) : m_locale(effectiveLocale(localeName)) {
    UErrorCode status = U_ZERO_ERROR;
    m_collator = ucol_open(m_locale.toLatin1().constData(), &status);
    if (U_FAILURE(status) || !m_collator) {
        status = U_ZERO_ERROR;
        m_collator = ucol_open("cs_CZ", &status);
    }
    // Secondary strength: letters and accents count, letter case does not.
    ucol_setStrength(m_collator, UCOL_SECONDARY);
}

TextCompare::TextCompare(UCollator* collator, const QString& locale)
    : m_collator(collator), m_locale(locale) {}

TextCompare::~TextCompare() {
    ucol_close(m_collator);
}

std::unique_ptr<TextCompare> TextCompare::clone() const {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* copy = ucol_clone(m_collator, &status);
    if (U_FAILURE(status) || !copy)
        return std::make_unique<TextCompare>(m_locale);
    return std::unique_ptr<TextCompare>(new TextCompare(copy, m_locale));
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
    if (a.size() == b.size() && isPlainAscii(a) && isPlainAscii(b) &&
        a.compare(b, Qt::CaseInsensitive) == 0)
        return 0;
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

QByteArray TextCompare::sortKey(QStringView text) const {
    QByteArray key;
    appendSortKey(text, key);
    return key;
}
