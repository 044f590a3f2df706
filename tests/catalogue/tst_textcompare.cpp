// The comparison, its equality and both kinds of sort key against ICU's own comparison, which
// they must match in every case.
#include "catalogue/textcompare.h"
#include "catalogue/windows1250.h"

#include <QRandomGenerator>
#include <QTest>

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

int sign(int v) {
    return (v > 0) - (v < 0);
}

int keySign(const QByteArray& a, const QByteArray& b) {
    const int r = std::memcmp(a.constData(), b.constData(), size_t(qMin(a.size(), b.size())));
    return r != 0 ? sign(r) : sign(int(a.size() - b.size()));
}

// The collator TextCompare is built on, used directly.
class Reference {
public:
    explicit Reference(const QString& locale) {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_open(qPrintable(locale == u"C" ? u"cs_CZ"_s : locale), &status);
        if (U_FAILURE(status))
            qFatal("no collator for %s", qPrintable(locale));
        ucol_setStrength(m_collator, UCOL_SECONDARY);
    }
    ~Reference() { ucol_close(m_collator); }
    int compare(QStringView a, QStringView b) const {
        return ucol_strcoll(m_collator, reinterpret_cast<const UChar*>(a.utf16()),
                            int32_t(a.size()), reinterpret_cast<const UChar*>(b.utf16()),
                            int32_t(b.size()));
    }
    bool less(QStringView a, QStringView b) const { return compare(a, b) < 0; }

private:
    UCollator* m_collator = nullptr;
};

QString repertoire() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return Windows1250::decode(bytes);
}

std::optional<QByteArray> fastKey(const TextCompare& cmp, QStringView text) {
    QByteArray key = "before"_ba;
    if (!cmp.appendFastSortKey(text, key)) {
        if (key != "before"_ba)
            qFatal("a failed fast key changed the buffer");
        return std::nullopt;
    }
    key.remove(0, 6);
    if (key.contains('\0'))
        qFatal("a zero byte in a fast key");
    return key;
}

// Random texts of 0 to 12 characters from the whole repertoire, the characters that make the
// order tricky drawn far more often, and texts that agree with them up to late in the text.
class TextMaker {
public:
    explicit TextMaker(quint32 seed) : m_random(seed) {}

    QString text() {
        QString s;
        const int length = int(m_random.bounded(13));
        while (s.size() < length) {
            const quint32 pick = m_random.bounded(100);
            s += pick < 35   ? QString(pickFrom(m_all))
                 : pick < 45 ? kPairs[pick % 4]
                 : pick < 48 ? outside()
                             : QString(pickFrom(kTricky));
        }
        return s.left(length);
    }

    // s with one character added, changed or taken away, or the letter case of some changed.
    QString near(QString s) {
        const qsizetype at = qsizetype(m_random.bounded(quint32(s.size() + 1)));
        switch (m_random.bounded(5)) {
        case 0:
            return s.insert(at, pickFrom(kTricky));
        case 1:
            return s.insert(at, outside());
        case 2:
            return s.remove(at, 1);
        case 3:
            return s.replace(at, 1, pickFrom(kTricky));
        }
        for (QChar& c : s) {
            const QChar other = c.isUpper() ? c.toLower() : c.toUpper();
            if (m_random.bounded(2) && Windows1250::canEncode(QStringView(&other, 1)))
                c = other;
        }
        return s;
    }

private:
    QChar pickFrom(const QString& chars) {
        return chars[qsizetype(m_random.bounded(quint32(chars.size())))];
    }
    // Without a byte in Windows-1250, ICU's order only: combining marks, letters, a ligature, a
    // digraph, Greek, Thai (a vowel sorted after the consonant that follows it), Korean letters
    // that join, a character outside the first plane.
    QString outside() {
        static const QStringList kOutside = u"\u030c \u0301 \u0323 \u0302 \u0125 \u00f8 \u0140 "
                                            u"\u0131 \u0149 \ufb01 \u01c6 \u03a9 \u0e40 \u0e01 "
                                            u"\u1100 \u1161 \U0001f600"_s.split(u' ');
        return kOutside[qsizetype(m_random.bounded(quint32(kOutside.size())))];
    }

    inline static const QStringList kPairs = {u"ch"_s, u"cH"_s, u"Ch"_s, u"CH"_s};
    inline static const QString kTricky =
        u"cChHčČřŘšŠžŽaAáÁäeEéěÉĚiIíoOóôuUúůÚyýzZsSrRdďtťnňlLłŁß -0195.,'·\u00ad\u0081\u008d\u00a0"_s +
        QChar(0);
    QRandomGenerator m_random;
    const QString m_all = repertoire();
};

// Compares a and b every way TextCompare can, against ICU; empty when all agree.
QString disagreement(const TextCompare& cmp, const Reference& icu, const QString& a,
                     const QString& b, const std::optional<QByteArray>& ka,
                     const std::optional<QByteArray>& kb) {
    const int expected = sign(icu.compare(a, b));
    if (sign(cmp.compare(a, b)) == expected && sign(cmp.compare(b, a)) == -expected &&
        cmp.equals(a, b) == (expected == 0) && (!ka || !kb || keySign(*ka, *kb) == expected))
        return {};
    QString shown;
    for (QChar c : QString(a + u" | "_s + b))
        shown += c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa1)
                     ? u"\\u%1"_s.arg(c.unicode(), 4, 16, QChar(u'0'))
                     : QString(c);
    return shown;
}

} // namespace

class TestTextCompare : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void handPicked_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        const QString cs = u"cs_CZ"_s, en = u"en_US"_s;
        // "C": no real locale, the program's Czech.
        QTest::newRow("C: ch after h") << u"C"_s << u"Hudba"_s << u"Chinaski"_s << -1;
        QTest::newRow("cs: c at the end") << cs << u"abc"_s << u"abch"_s << -1;
        QTest::newRow("cs: c then h across a space") << cs << u"c h"_s << u"cg"_s << -1;
        QTest::newRow("cs: c, soft hyphen, h is no ch") << cs << u"c\u00adh"_s << u"ci"_s << -1;
        QTest::newRow("cs: cch") << cs << u"cch"_s << u"cci"_s << 1;
        QTest::newRow("cs: accents second") << cs << u"Sára"_s << u"Sarb"_s << -1;
        QTest::newRow("cs: case ignored") << cs << u"ŽLUŤOUČKÝ KŮŇ"_s << u"žluťoučký kůň"_s << 0;
        QTest::newRow("cs: keyword case ignored") << cs << u"#DATAOWNER"_s << u"#DataOwner"_s << 0;
        QTest::newRow("cs: trailing space counts")
            << cs << u"#DataOwner "_s << u"#DataOwner"_s << 1;
        QTest::newRow("cs: NUL ignored") << cs << u"a"_s + QChar(0) + u"b"_s << u"ab"_s << 0;
        QTest::newRow("cs: hyphen") << cs << u"a-b"_s << u"a b"_s << 1;
        QTest::newRow("en: ch is c and h") << en << u"cha"_s << u"cz"_s << -1;
        QTest::newRow("en: č with c") << en << u"čz"_s << u"da"_s << -1;
        // Characters outside Windows-1250.
        QTest::newRow("cs: caron after the difference") << cs << u"ab\u030c"_s << u"ad"_s << -1;
        QTest::newRow("cs: c and caron is č") << cs << u"c\u030c"_s << u"cz"_s << 1;
        QTest::newRow("da: a and ring is å, after z") << u"da_DK"_s << u"a\u030a"_s << u"z"_s << 1;
        QTest::newRow("cs: dot below before the acute") << cs << u"á\u0323"_s << u"áb"_s << -1;
        QTest::newRow("hr: d, z and caron is dž") << u"hr_HR"_s << u"dz\u030c"_s << u"dž"_s << 0;
        QTest::newRow("hu: lY is no ly") << u"hu_HU"_s << u"lY"_s << u"Ly"_s << -1;
    }
    void handPicked() {
        QFETCH(QString, locale);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        const TextCompare cmp(locale);
        const Reference icu(locale);
        QCOMPARE(sign(icu.compare(a, b)), expected);
        const auto ka = fastKey(cmp, a), kb = fastKey(cmp, b);
        QCOMPARE(disagreement(cmp, icu, a, b, ka, kb), QString());
        QCOMPARE(keySign(cmp.sortKey(a), cmp.sortKey(b)), expected);
        if (QStringList{u"C"_s, u"cs_CZ"_s, u"en_US"_s}.contains(locale)) { // the fast path's own
            QCOMPARE(ka.has_value(), Windows1250::canEncode(a));
            QCOMPARE(kb.has_value(), Windows1250::canEncode(b));
        }
    }

    // Many texts sorted by ICU: every neighbour in the same order by the comparison and by the
    // fast key (both orders being total, agreeing on neighbours is agreeing on every pair), and
    // each text against one that differs from it only late.
    void againstIcu_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("count");   // random texts; 0: every text of up to two characters
        QTest::addColumn<int>("minFast"); // the least share of texts with a fast key, in percent
        QTest::newRow("cs_CZ, short") << u"cs_CZ"_s << 0 << 90;
        QTest::newRow("en_US, short") << u"en_US"_s << 0 << 90;
        QTest::newRow("cs_CZ") << u"cs_CZ"_s << 200000 << 50;
        QTest::newRow("en_US") << u"en_US"_s << 200000 << 50;
        QTest::newRow("sk_SK (ch)") << u"sk_SK"_s << 20000 << 50;
        QTest::newRow("pl_PL") << u"pl_PL"_s << 20000 << 50;
        QTest::newRow("de_DE") << u"de_DE"_s << 20000 << 50;
        QTest::newRow("da_DK (aa)") << u"da_DK"_s << 20000 << 0;
        QTest::newRow("hu_HU (dzs)") << u"hu_HU"_s << 20000 << 0;
        QTest::newRow("fr_CA (accents backwards)") << u"fr_CA"_s << 20000 << 0;
    }
    void againstIcu() {
        QFETCH(QString, locale);
        QFETCH(int, count);
        QFETCH(int, minFast);
        const TextCompare cmp(locale);
        const Reference icu(locale);
        TextMaker maker(20241206);
        std::vector<QString> texts{QString()};
        const QString all = repertoire();
        for (int k = 0; k < count; ++k)
            texts.push_back(maker.text());
        for (QChar a : count ? QString() : all) {
            texts.push_back(QString(a));
            for (QChar b : all)
                texts.push_back(QString(a) + b);
        }
        std::sort(texts.begin(), texts.end(),
                  [&](const QString& a, const QString& b) { return icu.less(a, b); });

        std::optional<QByteArray> previousKey; // of the last text that had a fast key
        QString previousKeyed;
        size_t fast = 0;
        for (size_t k = 0; k < texts.size(); ++k) {
            const QString& a = texts[k];
            const auto ka = fastKey(cmp, a);
            if (k > 0)
                QCOMPARE(disagreement(cmp, icu, texts[k - 1], a, {}, {}), QString());
            if (ka) {
                ++fast;
                if (previousKey)
                    QCOMPARE(disagreement(cmp, icu, previousKeyed, a, previousKey, ka), QString());
                previousKey = ka;
                previousKeyed = a;
            }
            const QString near = maker.near(a);
            QCOMPARE(disagreement(cmp, icu, a, near, ka, fastKey(cmp, near)), QString());
        }
        QVERIFY2(fast * 100 >= texts.size() * size_t(minFast), qPrintable(QString::number(fast)));
    }
};

QTEST_GUILESS_MAIN(TestTextCompare)
#include "tst_textcompare.moc"
