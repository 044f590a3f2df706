// The program's text order against ICU's: comparison, equality, sort keys, the long report.
#include "catalogue/textcompare.h"
#include "catalogue/windows1250.h"
#include "commands/cataloguetree.h"
#include "commands/reporttext.h"

#include <QRandomGenerator>
#include <QTest>

#include <unicode/ucol.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

int sign(int v) {
    return (v > 0) - (v < 0);
}

// ICU's collator at the strength the program uses, called directly.
class Icu {
public:
    explicit Icu(const QString& locale) : m_collator(ucol_open(qPrintable(locale), &m_status)) {
        ucol_setStrength(m_collator, UCOL_SECONDARY);
    }
    ~Icu() { ucol_close(m_collator); }
    int compare(QStringView a, QStringView b) const {
        return sign(ucol_strcoll(m_collator, reinterpret_cast<const UChar*>(a.utf16()),
                                 int32_t(a.size()), reinterpret_cast<const UChar*>(b.utf16()),
                                 int32_t(b.size())));
    }

private:
    UErrorCode m_status = U_ZERO_ERROR;
    UCollator* m_collator;
};

// Texts made of pieces that sort close together, some outside Windows-1250.
QStringList randomTexts(quint32 seed, int count, const QStringList& pieces) {
    QRandomGenerator random(seed);
    QStringList texts;
    for (int k = 0; k < count; ++k) {
        QString text;
        for (int n = random.bounded(0, 5); n > 0; --n)
            text += pieces[random.bounded(qsizetype(pieces.size()))];
        texts.append(text);
    }
    return texts;
}

} // namespace

class TestTextOrder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every pair of: ties of letter case, "ch", accents, spaces, punctuation, the data file's
    // keywords, two texts of long sort keys; texts of pieces that sort close together.
    void againstIcu_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("texts");
        const QStringList pieces =
            u"a|A|á|c|C|č|ch|Ch|cH|h| |-|z|1|,|Ž|ů|'|\u00a0|\u00ad|\u030c|ß|東|\t"_s.split(u'|');
        const QStringList picked =
            u"Hudba|Chinaski|abch|c h|cg|c\u00adh|ci|cch|Sára|Sarb|ŽLUŤOUČKÝ KŮŇ|žluťoučký kůň|a-b|"
            u"a b|ab|a\0b|Kral|Král|Čapek|AB - C|c\u030c|cz|#DataOwner|#DATAOWNER|#DataOwner |"
            u"#Data Owner|#contactemail|#ContactE-mail|#DatáOwner|\uFDFA\uFDFAa|\uFDFA\uFDFAb|"_s
                .split(u'|');
        QTest::newRow("C: Czech") << u"C"_s << picked + randomTexts(1, 100, pieces);
        QTest::newRow("hu_HU: ly, dzs") << u"hu_HU"_s
                                        << picked + u"lY|Ly|ly|dzs|dZs|DZS"_s.split(u'|') +
                                               randomTexts(6, 60, u"l|L|y|Y|d|z|S"_s.split(u'|'));
    }
    void againstIcu() {
        QFETCH(QString, locale);
        QFETCH(QStringList, texts);
        const TextCompare cmp(locale);
        const Icu icu(locale == u"C"_s ? u"cs_CZ"_s : locale);
        for (const QString& a : texts) {
            for (const QString& b : texts) {
                const int expected = icu.compare(a, b);
                const QByteArray ka = cmp.sortKey(a), kb = cmp.sortKey(b);
                const int byKey = sign(QByteArrayView(ka).compare(kb));
                if (sign(cmp.compare(a, b)) != expected || cmp.equals(a, b) != (expected == 0) ||
                    byKey != expected)
                    QFAIL(qPrintable(u"„%1“ against „%2“"_s.arg(a, b)));
            }
        }
    }

    // A report long enough to be keyed, sorted and written on all cores: every album once, in
    // ICU's order; of two lines that cannot be written the first is named.
    void longReport() {
        const TextCompare cmp(u"cs_CZ"_s);
        const Icu icu(u"cs_CZ"_s);
        const QStringList names = randomTexts(8, 70000, u"a|Á|ch|h| |-|ž"_s.split(u'|'));
        std::vector<Album> albums;
        for (qsizetype k = 0; k < names.size(); ++k)
            albums.push_back(
                {u"Skupina "_s + names[(k * 31) % 900], names[k] + QString::number(k), false});
        CatalogueTree tree(cmp);
        tree.rebuild(albums, false);
        tree.checkAll();
        const auto bytes = reportFileBytes(tree, u"X"_s, QString(), nullptr, cmp);
        const QStringList lines = Windows1250::decode(bytes.value_or("")).split(u"\r\n"_s);
        QCOMPARE(lines.size(), 3 + names.size() + 1); // the heading, the albums, the last line end
        for (qsizetype k = 4; k < lines.size() - 1; ++k)
            QVERIFY2(icu.compare(lines[k - 1], lines[k]) < 0, qPrintable(lines[k]));

        albums.push_back({u"Žížala"_s, u"東京"_s, false});
        albums.push_back({u"Aaa"_s, u"Ob東"_s, false});
        tree.rebuild(albums, false);
        tree.checkAll();
        QString problem;
        QVERIFY(!reportFileBytes(tree, u"Databáze: X"_s, QString(), &problem, cmp));
        QCOMPARE(problem, u"řádek „Aaa - Ob東“ obsahuje znak „東“, který nelze zapsat v kódování "
                          u"Windows-1250"_s);
    }
};

QTEST_GUILESS_MAIN(TestTextOrder)
#include "tst_textcompare.moc"
