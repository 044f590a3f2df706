// The program's text order against ICU's own comparison, on one table of texts: the comparison,
// its equality, the sort keys, the order of the tree's artists and albums and of the report.
#include "catalogue/textcompare.h"
#include "catalogue/windows1250.h"
#include "commands/cataloguetree.h"
#include "commands/reportorder.h"
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
    explicit Icu(const QString& locale) {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_open(qPrintable(locale == u"C" ? u"cs_CZ"_s : locale), &status);
        if (U_FAILURE(status))
            qFatal("no collator for %s", qPrintable(locale));
        ucol_setStrength(m_collator, UCOL_SECONDARY);
    }
    ~Icu() { ucol_close(m_collator); }
    int compare(QStringView a, QStringView b) const {
        return sign(ucol_strcoll(m_collator, reinterpret_cast<const UChar*>(a.utf16()),
                                 int32_t(a.size()), reinterpret_cast<const UChar*>(b.utf16()),
                                 int32_t(b.size())));
    }

private:
    UCollator* m_collator = nullptr;
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

// The first of each run of texts that ICU holds equal, in ICU's order; of equal texts the one
// that comes first in texts.
QStringList icuSortedFirstOfEqual(QStringList texts, const Icu& icu) {
    std::stable_sort(texts.begin(), texts.end(),
                     [&](const QString& a, const QString& b) { return icu.compare(a, b) < 0; });
    QStringList kept;
    for (const QString& t : texts) {
        if (kept.isEmpty() || icu.compare(kept.last(), t) != 0)
            kept.append(t);
    }
    return kept;
}

QStringList childTexts(const std::vector<TreeNode*>& nodes) {
    QStringList texts;
    for (const TreeNode* node : nodes)
        texts.append(node->text);
    return texts;
}

} // namespace

class TestTextOrder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void againstIcu_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("texts");
        const QStringList czechPieces{
            u"a"_s,      u"A"_s,      u"á"_s, u"c"_s,  u"C"_s, u"č"_s,   u"ch"_s,
            u"Ch"_s,     u"cH"_s,     u"h"_s, u" "_s,  u"-"_s, u" - "_s, u"z"_s,
            u"1"_s,      u","_s,      u"Ž"_s, u"ř"_s,  u"ů"_s, u"'"_s,   u"\u00a0"_s,
            u"\u00ad"_s, u"\u030c"_s, u"ß"_s, u"東"_s, u"\t"_s};
        const QStringList keywords{u"#DataOwner"_s,    u"#DATAOWNER"_s,    u"#dataowner"_s,
                                   u"#DataOwner "_s,   u" #DataOwner"_s,   u"#Data Owner"_s,
                                   u"#ContactEmail"_s, u"#contactemail"_s, u"#ContactE-mail"_s,
                                   u"#ContactEmai"_s,  u"#Dataowner\t"_s,  u"#DatáOwner"_s};
        const QStringList handPicked{u"Hudba"_s,
                                     u"Chinaski"_s,
                                     u"abc"_s,
                                     u"abch"_s,
                                     u"c h"_s,
                                     u"cg"_s,
                                     u"c\u00adh"_s,
                                     u"ci"_s,
                                     u"cch"_s,
                                     u"cci"_s,
                                     u"Sára"_s,
                                     u"Sarb"_s,
                                     u"ŽLUŤOUČKÝ KŮŇ"_s,
                                     u"žluťoučký kůň"_s,
                                     u"a-b"_s,
                                     u"a b"_s,
                                     u"ab"_s,
                                     u"a"_s + QChar(0) + u"b"_s,
                                     u"Kral"_s,
                                     u"Král"_s,
                                     u"Čapek"_s,
                                     u"AB"_s,
                                     u"AB - C"_s,
                                     u"Abc"_s,
                                     u"c\u030c"_s,
                                     u"cz"_s,
                                     u"d"_s,
                                     u""_s};
        QTest::newRow("C: Czech, hand-picked") << u"C"_s << handPicked + keywords;
        QTest::newRow("cs_CZ, random") << u"cs_CZ"_s << randomTexts(1, 120, czechPieces);
        QTest::newRow("sk_SK, random") << u"sk_SK"_s << randomTexts(2, 120, czechPieces);
        QTest::newRow("en_US") << u"en_US"_s << handPicked + randomTexts(3, 60, czechPieces);
        QTest::newRow("de_DE") << u"de_DE"_s
                               << randomTexts(4, 60, czechPieces + QStringList{u"ä"_s, u"ss"_s});
        QTest::newRow("da_DK (aa)")
            << u"da_DK"_s << randomTexts(5, 80, {u"a"_s, u"A"_s, u"å"_s, u"aA"_s, u"z"_s, u" "_s});
        QTest::newRow("hu_HU (ly, dzs)")
            << u"hu_HU"_s
            << QStringList{u"lY"_s, u"Ly"_s, u"ly"_s, u"LY"_s, u"dzs"_s, u"dZs"_s, u"DZS"_s} +
                   randomTexts(6, 80,
                               {u"l"_s, u"L"_s, u"y"_s, u"Y"_s, u"d"_s, u"z"_s, u"s"_s, u"D"_s,
                                u"Z"_s, u"S"_s});
        QTest::newRow("fr_CA (accents backwards)")
            << u"fr_CA"_s << randomTexts(7, 80, {u"e"_s, u"é"_s, u"è"_s, u"E"_s, u"c"_s, u"ô"_s});
    }
    void againstIcu() {
        QFETCH(QString, locale);
        QFETCH(QStringList, texts);
        const TextCompare cmp(locale);
        const Icu icu(locale);
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

        // The tree: artists in order, and of names equal to ICU the first one; the albums of
        // one artist likewise.
        std::vector<Album> albums;
        for (qsizetype k = 0; k < texts.size(); ++k) {
            albums.push_back({texts[k], texts[(k * 7) % texts.size()], false});
            albums.push_back({u"Jeden"_s, texts[k], false});
        }
        CatalogueTree tree(cmp);
        tree.rebuild(albums, false);
        QStringList artistTexts = texts;
        artistTexts.append(u"Jeden"_s);
        QCOMPARE(childTexts(tree.artists()), icuSortedFirstOfEqual(artistTexts, icu));
        const TreeNode* one = tree.artistNode(u"Jeden");
        QVERIFY(one);
        if (one->text == u"Jeden"_s) // no text of the table took its place
            QCOMPARE(childTexts(one->children), icuSortedFirstOfEqual(texts, icu));

        // The report: every ticked album once, each entry in ICU's order after the one before.
        tree.checkAll();
        const std::vector<const TreeNode*> report = reportOrder(tree, cmp);
        QCOMPARE(qsizetype(report.size()), tree.nodeCount() - qsizetype(tree.artists().size()));
        for (size_t k = 1; k < report.size(); ++k) {
            const QString before = report[k - 1]->parent->text + u" - "_s + report[k - 1]->text;
            const QString entry = report[k]->parent->text + u" - "_s + report[k]->text;
            QVERIFY2(icu.compare(before, entry) <= 0, qPrintable(before + u" | "_s + entry));
        }
    }

    // A report long enough to be keyed, sorted and written on all cores: its bytes are the
    // sorted entries, and of two lines that cannot be written the first is named.
    void longReport() {
        const TextCompare cmp(u"cs_CZ"_s);
        const Icu icu(u"cs_CZ"_s);
        const QStringList pieces{u"a"_s, u"Á"_s, u"ch"_s, u"h"_s, u" "_s, u"-"_s, u"ž"_s};
        const QStringList names = randomTexts(8, 70000, pieces);
        std::vector<Album> albums;
        for (qsizetype k = 0; k < names.size(); ++k)
            albums.push_back(
                {u"Skupina "_s + names[(k * 31) % 900], names[k] + QString::number(k), false});
        CatalogueTree tree(cmp);
        tree.rebuild(albums, false);
        tree.checkAll();
        QStringList entries;
        for (const TreeNode* artist : tree.artists())
            for (const TreeNode* album : artist->children)
                entries.append(artist->text + u" - "_s + album->text);
        QVERIFY(entries.size() > 50000);
        std::stable_sort(entries.begin(), entries.end(),
                         [&](const QString& a, const QString& b) { return icu.compare(a, b) < 0; });
        const auto bytes = reportFileBytes(tree, u"Databáze: X"_s, QString(), nullptr, cmp);
        QVERIFY(bytes);
        QCOMPARE(Windows1250::decode(*bytes), u"Export z programu MP3 Velbor\r\nDatabáze: X\r\n"_s +
                                                  QString(64, u'=') + u"\r\n"_s +
                                                  entries.join(u"\r\n"_s) + u"\r\n"_s);

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
