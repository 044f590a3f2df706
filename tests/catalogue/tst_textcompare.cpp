// The fast comparison and the fast keys against ICU's own comparison, which they must match in
// every case.
#include "catalogue/textcompare.h"
#include "catalogue/windows1250.h"

#include <QRandomGenerator>
#include <QTest>

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
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
    explicit Reference(const char* locale) {
        UErrorCode status = U_ZERO_ERROR;
        m_collator.reset(ucol_open(locale, &status));
        if (U_FAILURE(status))
            qFatal("no collator for %s", locale);
        ucol_setStrength(m_collator.get(), UCOL_SECONDARY);
    }

    int compare(QStringView a, QStringView b) const {
        const auto r = ucol_strcoll(m_collator.get(), reinterpret_cast<const UChar*>(a.utf16()),
                                    int32_t(a.size()), reinterpret_cast<const UChar*>(b.utf16()),
                                    int32_t(b.size()));
        return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
    }

    // Sorts list by ICU's sort keys of the texts, which order like ucol_strcoll().
    template <typename List, typename TextOf> void sort(List& list, TextOf textOf) const {
        std::vector<std::pair<QByteArray, size_t>> keys;
        for (size_t k = 0; k < list.size(); ++k) {
            const QString text = textOf(list[k]);
            const auto* chars = reinterpret_cast<const UChar*>(text.utf16());
            QByteArray key(
                ucol_getSortKey(m_collator.get(), chars, int32_t(text.size()), nullptr, 0),
                Qt::Uninitialized);
            ucol_getSortKey(m_collator.get(), chars, int32_t(text.size()),
                            reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
            keys.emplace_back(key, k);
        }
        std::sort(keys.begin(), keys.end());
        List sorted;
        for (const auto& key : keys)
            sorted.push_back(std::move(list[key.second]));
        list = std::move(sorted);
    }

private:
    std::unique_ptr<UCollator, decltype(&ucol_close)> m_collator{nullptr, ucol_close};
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
// order tricky drawn far more often.
class TextMaker {
public:
    explicit TextMaker(quint32 seed) : m_random(seed), m_all(repertoire()) {}

    QString text() {
        QString s;
        const int length = int(m_random.bounded(13));
        while (s.size() < length) {
            const quint32 pick = m_random.bounded(100);
            if (pick < 35)
                s += m_all[qsizetype(m_random.bounded(quint32(m_all.size())))];
            else if (pick < 45)
                s += kPairs[m_random.bounded(4)];
            else if (pick < 48)
                s += outside();
            else
                s += tricky();
        }
        return s.left(length);
    }

    // A text close to s: one character changed, added or taken away, or the letter case of some
    // changed. Such pairs agree up to late in the texts.
    QString near(const QString& s) {
        QString t = s;
        const qsizetype at = qsizetype(m_random.bounded(quint32(s.size() + 1)));
        switch (m_random.bounded(5)) {
        case 0:
            t.insert(at, tricky());
            break;
        case 1:
            t.insert(at, outside());
            break;
        case 2:
            if (at < t.size())
                t.remove(at, 1);
            break;
        case 3:
            if (at < t.size())
                t[at] = tricky();
            break;
        default:
            t = otherCase(s);
        }
        return t;
    }

    QString otherCase(const QString& s) {
        QString t = s;
        for (QChar& c : t) {
            const QChar other = c.isUpper() ? c.toLower() : c.toUpper();
            if (m_random.bounded(2) && Windows1250::canEncode(QStringView(&c, 1)) &&
                Windows1250::canEncode(QStringView(&other, 1)))
                c = other;
        }
        return t;
    }

private:
    QChar tricky() { return kTricky[qsizetype(m_random.bounded(quint32(kTricky.size())))]; }
    QString outside() {
        return QString::fromUtf16(kOutside[m_random.bounded(quint32(std::size(kOutside)))]);
    }

    static constexpr const char16_t* kPairs[] = {u"ch", u"cH", u"Ch", u"CH"};
    // Characters without a byte in Windows-1250, ICU's order only: combining marks (caron,
    // acute, dot below, circumflex), letters, a ligature, a digraph, Greek, Thai (a vowel
    // sorted after the consonant that follows it), Korean letters that join, a character
    // outside the first plane.
    static constexpr const char16_t* kOutside[] = {
        u"\u030c", u"\u0301", u"\u0323", u"\u0302", u"\u0125",    u"\u00f8",
        u"\u0140", u"\u0131", u"\u0149", u"\ufb01", u"\u01c6",    u"\u03a9",
        u"\u0e40", u"\u0e01", u"\u1100", u"\u1161", u"\U0001f600"};
    inline static const QString kTricky =
        u"cChHčČřŘšŠžŽaAáÁäeEéěÉĚiIíoOóôuUúůÚyýzZsSrRdďtťnňlLłŁß -0195.,'·\u00ad\u0081\u008d\u00a0"_s +
        QChar(0);

    QRandomGenerator m_random;
    QString m_all;
};

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
        QTest::newRow("cs: ch after h") << cs << u"h"_s << u"ch"_s << -1;
        QTest::newRow("cs: ch after hz") << cs << u"hz"_s << u"cha"_s << -1;
        QTest::newRow("cs: ch before i") << cs << u"ch"_s << u"i"_s << -1;
        QTest::newRow("cs: cz before cha") << cs << u"cz"_s << u"cha"_s << -1;
        QTest::newRow("cs: c at the end") << cs << u"abc"_s << u"abch"_s << -1;
        QTest::newRow("cs: c then h across a space") << cs << u"c h"_s << u"cg"_s << -1;
        QTest::newRow("cs: c, soft hyphen, h is no ch") << cs << u"c\u00adh"_s << u"ci"_s << -1;
        QTest::newRow("cs: cch") << cs << u"cch"_s << u"cci"_s << 1;
        QTest::newRow("cs: cH is ch") << cs << u"cH"_s << u"Ch"_s << 0;
        QTest::newRow("cs: č after cz") << cs << u"cz"_s << u"čá"_s << -1;
        QTest::newRow("cs: ř after rz") << cs << u"rz"_s << u"řa"_s << -1;
        QTest::newRow("cs: accents second") << cs << u"Sára"_s << u"Sarb"_s << -1;
        QTest::newRow("cs: Sara before Sára") << cs << u"Sara"_s << u"Sára"_s << -1;
        QTest::newRow("cs: case ignored") << cs << u"ŽLUŤOUČKÝ KŮŇ"_s << u"žluťoučký kůň"_s << 0;
        QTest::newRow("cs: soft hyphen ignored") << cs << u"ab\u00adc"_s << u"abc"_s << 0;
        QTest::newRow("cs: NUL ignored") << cs << u"a"_s + QChar(0) + u"b"_s << u"ab"_s << 0;
        QTest::newRow("cs: empty first") << cs << QString() << u"\u00a0"_s << -1;
        QTest::newRow("cs: space before letters") << cs << u"a b"_s << u"ab"_s << -1;
        QTest::newRow("cs: hyphen") << cs << u"a-b"_s << u"a b"_s << 1;
        QTest::newRow("cs: digits before letters") << cs << u"9"_s << u"a"_s << -1;
        QTest::newRow("cs: ł with l") << cs << u"ła"_s << u"lz"_s << -1;
        QTest::newRow("en: ch is c and h") << en << u"cha"_s << u"cz"_s << -1;
        QTest::newRow("en: h after ch") << en << u"ch"_s << u"h"_s << -1;
        QTest::newRow("en: č with c") << en << u"čz"_s << u"da"_s << -1;
        QTest::newRow("en: accents second") << en << u"resume"_s << u"résumé"_s << -1;
        QTest::newRow("en: ł with l") << en << u"ła"_s << u"lz"_s << -1;
        QTest::newRow("en: case ignored") << en << u"CH"_s << u"ch"_s << 0;
        // A character outside Windows-1250 after the first difference.
        QTest::newRow("cs: caron after the difference") << cs << u"ab\u030c"_s << u"ad"_s << -1;
        QTest::newRow("cs: c and caron is č") << cs << u"c\u030c"_s << u"cz"_s << 1;
        QTest::newRow("cs: s and caron is š") << cs << u"s\u030c"_s << u"sz"_s << 1;
        QTest::newRow("da: a and ring is å, after z") << u"da_DK"_s << u"a\u030a"_s << u"z"_s << 1;
        QTest::newRow("cs: dot below before the acute") << cs << u"á\u0323"_s << u"áb"_s << -1;
        QTest::newRow("hr: d, z and caron is dž") << u"hr_HR"_s << u"dz\u030c"_s << u"dž"_s << 0;
    }

    void handPicked() {
        QFETCH(QString, locale);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        const TextCompare cmp(locale);
        const Reference icu(qPrintable(locale));
        QCOMPARE(icu.compare(a, b), expected);
        QCOMPARE(sign(cmp.compare(a, b)), expected);
        QCOMPARE(sign(cmp.compare(b, a)), -expected);
        const auto ka = fastKey(cmp, a), kb = fastKey(cmp, b);
        if (locale == u"cs_CZ" || locale == u"en_US") { // the fast path's own locales
            QCOMPARE(ka.has_value(), Windows1250::canEncode(a));
            QCOMPARE(kb.has_value(), Windows1250::canEncode(b));
        }
        if (ka && kb)
            QCOMPARE(keySign(*ka, *kb), expected);
    }

    // The program's letters, digits and separators all take the fast path.
    void fastPathCoversTheProgramsText_data() {
        QTest::addColumn<QString>("locale");
        QTest::newRow("cs_CZ") << u"cs_CZ"_s;
        QTest::newRow("C") << u"C"_s;
        QTest::newRow("en_US") << u"en_US"_s;
    }

    void fastPathCoversTheProgramsText() {
        QFETCH(QString, locale);
        const TextCompare cmp(locale);
        for (QChar c : repertoire()) {
            if (c.isLetterOrNumber() || c == u' ' || c == u'-')
                QVERIFY2(fastKey(cmp, QString(c)), qPrintable(QString(c)));
        }
        // Outside the repertoire, or with a character that only ICU puts together (c + caron).
        QVERIFY(!fastKey(cmp, u"abcø"_s));
        QVERIFY(!fastKey(cmp, u"c\u030ch"_s));
        QCOMPARE(cmp.compare(u"c\u030chy"_s, u"čhy"_s), 0);
    }

    // Random texts: the fast comparison and the fast keys against ICU, on random pairs, on pairs
    // of texts that differ late, on case variants, and on the neighbours of a list sorted by ICU
    // (which, both orders being total, makes them agree on every pair in the list).
    void randomTexts_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("mostlyFast"); // and case variants all equal
        QTest::newRow("cs_CZ") << u"cs_CZ"_s << 200000 << true;
        QTest::newRow("en_US") << u"en_US"_s << 200000 << true;
        QTest::newRow("sk_SK (ch)") << u"sk_SK"_s << 20000 << true;
        QTest::newRow("pl_PL") << u"pl_PL"_s << 20000 << true;
        QTest::newRow("de_DE") << u"de_DE"_s << 20000 << true;
        QTest::newRow("da_DK (aa)") << u"da_DK"_s << 20000 << false;
        QTest::newRow("hu_HU (dzs)") << u"hu_HU"_s << 20000 << false;
        QTest::newRow("fr_CA (accents backwards)") << u"fr_CA"_s << 20000 << false;
    }

    void randomTexts() {
        QFETCH(QString, locale);
        QFETCH(int, count);
        QFETCH(bool, mostlyFast);
        const TextCompare cmp(locale);
        const Reference icu(qPrintable(locale));
        TextMaker maker(20241206);

        struct Sample {
            QString text;
            std::optional<QByteArray> key;
        };
        std::vector<Sample> samples;
        samples.reserve(size_t(count));
        for (int k = 0; k < count; ++k) {
            const QString text = maker.text();
            samples.push_back({text, fastKey(cmp, text)});
        }
        const auto fast = size_t(std::count_if(samples.begin(), samples.end(),
                                               [](const Sample& s) { return s.key.has_value(); }));
        if (mostlyFast)
            QVERIFY2(fast > samples.size() / 2, qPrintable(QString::number(fast)));

        auto check = [&](const QString& a, const std::optional<QByteArray>& ka, const QString& b,
                         const std::optional<QByteArray>& kb) {
            const int expected = icu.compare(a, b);
            if (sign(cmp.compare(a, b)) != expected || sign(cmp.compare(b, a)) != -expected)
                return false;
            return !ka || !kb || keySign(*ka, *kb) == expected;
        };
        auto show = [](const QString& a, const QString& b) {
            QString s;
            for (QChar c : QString(a + u" | "_s + b))
                s += c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa1)
                         ? u"\\u%1"_s.arg(c.unicode(), 4, 16, QChar(u'0'))
                         : QString(c);
            return s;
        };

        for (size_t k = 1; k < samples.size(); ++k) {
            const Sample& a = samples[k - 1];
            const Sample& b = samples[k];
            QVERIFY2(check(a.text, a.key, b.text, b.key), qPrintable(show(a.text, b.text)));
            const QString near = maker.near(a.text);
            QVERIFY2(check(a.text, a.key, near, fastKey(cmp, near)),
                     qPrintable(show(a.text, near)));
            const QString other = maker.otherCase(a.text);
            QVERIFY2(check(a.text, a.key, other, fastKey(cmp, other)),
                     qPrintable(show(a.text, other)));
            if (mostlyFast)
                QCOMPARE(icu.compare(a.text, other), 0);
        }

        // Sorted by ICU, neighbours in the same order by fast comparison and by fast key.
        std::vector<Sample> withKeys;
        for (const Sample& s : samples) {
            if (s.key)
                withKeys.push_back(s);
        }
        icu.sort(withKeys, [](const Sample& s) { return s.text; });
        for (size_t k = 1; k < withKeys.size(); ++k) {
            const Sample& a = withKeys[k - 1];
            const Sample& b = withKeys[k];
            QVERIFY2(check(a.text, a.key, b.text, b.key), qPrintable(show(a.text, b.text)));
        }
    }

    // Every text of up to two characters of the repertoire, sorted by ICU: every neighbour in
    // the same order by fast comparison and by fast key.
    void allShortTexts_data() {
        QTest::addColumn<QString>("locale");
        QTest::newRow("cs_CZ") << u"cs_CZ"_s;
        QTest::newRow("en_US") << u"en_US"_s;
    }

    void allShortTexts() {
        QFETCH(QString, locale);
        const TextCompare cmp(locale);
        const Reference icu(qPrintable(locale));
        const QString all = repertoire();
        std::vector<std::pair<QString, QByteArray>> texts;
        auto add = [&](const QString& text) {
            if (const auto key = fastKey(cmp, text))
                texts.emplace_back(text, *key);
        };
        add(QString());
        for (QChar a : all) {
            add(QString(a));
            for (QChar b : all)
                add(QString(a) + b);
        }
        QVERIFY(texts.size() > 60000);
        icu.sort(texts, [](const auto& t) { return t.first; });
        for (size_t k = 1; k < texts.size(); ++k) {
            const auto& [a, ka] = texts[k - 1];
            const auto& [b, kb] = texts[k];
            const int expected = icu.compare(a, b);
            QCOMPARE(sign(cmp.compare(a, b)), expected);
            QCOMPARE(keySign(ka, kb), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestTextCompare)
#include "tst_textcompare.moc"
