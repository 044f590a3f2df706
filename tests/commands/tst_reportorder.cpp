#include "commands/qsort.h"
#include "commands/reportorder.h"
#include "commands/reporttext.h"

#include "catalogue/windows1250.h"
#include "commands/cataloguetree.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What the report must list: the entry texts as SortArray() leaves them.
QStringList sortedEntries(const CatalogueTree& tree, const TextCompare& compare) {
    QString storage;
    QStringList entries = checkedAlbumEntries(tree, storage);
    SortArray(entries, compare);
    QStringList texts;
    for (const QString& entry : entries)
        texts.append(QStringView(entry).toString()); // a deep copy: storage goes away
    texts.removeOne(QString());
    return texts;
}

QStringList reportedEntries(const CatalogueTree& tree, const TextCompare& compare) {
    QStringList texts;
    for (const TreeNode* album : reportOrder(tree, compare))
        texts.append(album->parent->text + u" - "_s + album->text);
    return texts;
}

// Names made of pieces that sort close together: letter case, accents, Czech "ch", spaces,
// hyphens, and " - " itself, so that artists begin one another and albums tie.
QString randomName(QRandomGenerator& random, const QStringList& extra = {}) {
    static const QStringList pieces{u"a"_s,  u"A"_s,  u"á"_s, u"c"_s, u"C"_s, u"č"_s,
                                    u"ch"_s, u"Ch"_s, u"h"_s, u" "_s, u"-"_s, u" - "_s,
                                    u"z"_s,  u"1"_s,  u","_s, u"Ž"_s};
    const QStringList& all = extra.isEmpty() ? pieces : pieces + extra;
    QString name;
    for (int n = random.bounded(0, 5); n > 0; --n)
        name += all[random.bounded(qsizetype(all.size()))];
    return name;
}

// A tree put together the way editing does it: artists that sort their albums and artists that
// keep them in the order added, names tying in every way, some albums ticked.
void fillRandomly(CatalogueTree& tree, QRandomGenerator& random, int artists,
                  const QStringList& extra = {}) {
    for (int a = 0; a < artists; ++a) {
        TreeNode* artist = tree.addArtist(randomName(random, extra), random.bounded(2) == 0);
        if (!artist)
            continue;
        for (int n = random.bounded(0, 8); n > 0; --n) {
            TreeNode* album = tree.addAlbum(artist, randomName(random, extra), false);
            album->checked = random.bounded(4) != 0;
        }
    }
}

} // namespace

class TestReportOrder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The report's order must be the sort's arrangement of the entries, texts that compare
    // equal included, in every locale and also where names fall outside the fast keys.
    void sameAsSortingTheEntries_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("extra");
        QTest::newRow("Czech") << u"cs_CZ"_s << QStringList{};
        QTest::newRow("Slovak") << u"sk_SK"_s << QStringList{};
        QTest::newRow("Danish (aa)") << u"da_DK"_s << QStringList{u"aa"_s, u"å"_s};
        QTest::newRow("English") << u"en_US"_s << QStringList{};
        QTest::newRow("names outside Windows-1250")
            << u"cs_CZ"_s << QStringList{u"ß"_s, u"é\u0301"_s, u"東"_s};
    }
    void sameAsSortingTheEntries() {
        QFETCH(QString, locale);
        QFETCH(QStringList, extra);
        const TextCompare compare(locale);
        for (quint32 seed = 1; seed <= 40; ++seed) {
            QRandomGenerator random(seed);
            CatalogueTree tree(compare);
            fillRandomly(tree, random, 60, extra);
            QCOMPARE(reportedEntries(tree, compare), sortedEntries(tree, compare));
        }
    }

    // Artists whose entries mix: the same name with other accents (in Czech, "á" differs from
    // "a" only by its accent, "č" from "c" as another letter), names that go on with
    // " - ", and two equal albums under one artist.
    void artistsThatMix() {
        const TextCompare compare(u"cs_CZ"_s);
        CatalogueTree tree(compare);
        const QList<std::pair<QString, QStringList>> catalogue{
            {u"Kral"_s, {u"Zima"_s, u"Jaro"_s}},
            {u"Král"_s, {u"Léto"_s, u"Podzim"_s}},
            {u"Čapek"_s, {u"A"_s}},
            {u"AB"_s, {u"C"_s, u"D"_s, u"Cd"_s}},
            {u"AB - C"_s, {u"A"_s, u"Z"_s}},
            {u"Abc"_s, {u"y"_s, u"x"_s}},
        };
        for (const auto& [name, albums] : catalogue) {
            TreeNode* artist = tree.addArtist(name);
            for (const QString& album : albums)
                tree.addAlbum(artist, album, false)->checked = true;
        }
        const QStringList reported = reportedEntries(tree, compare);
        QCOMPARE(reported, sortedEntries(tree, compare));
        QCOMPARE(reported.mid(0, 7),
                 (QStringList{u"AB - C"_s, u"AB - C - A"_s, u"AB - C - Z"_s, u"AB - Cd"_s,
                              u"AB - D"_s, u"Abc - x"_s, u"Abc - y"_s}));
        QCOMPARE(reported.mid(7), (QStringList{u"Čapek - A"_s, u"Kral - Jaro"_s, u"Král - Léto"_s,
                                               u"Král - Podzim"_s, u"Kral - Zima"_s}));
    }

    // A long report is ranked, sorted and written on two threads.
    void longReport() {
        const TextCompare compare(u"cs_CZ"_s);
        QRandomGenerator random(7);
        std::vector<Album> albums;
        for (int k = 0; k < 70000; ++k)
            albums.push_back({u"Skupina "_s + randomName(random) + QString::number(k % 900),
                              randomName(random) + QString::number(random.bounded(50)), false});
        CatalogueTree tree(compare);
        tree.rebuild(albums, false);
        tree.checkAll();
        const QStringList expected = sortedEntries(tree, compare);
        QVERIFY(expected.size() > 50000);
        QCOMPARE(reportedEntries(tree, compare), expected);

        QString text = u"Export z programu MP3 Velbor\r\nDatabáze: X\r\n"_s + QString(64, u'=');
        for (const QString& entry : expected)
            text += u"\r\n"_s + entry;
        text += u"\r\n"_s;
        const auto bytes = reportFileBytes(tree, u"Databáze: X"_s, QString(), nullptr, compare);
        QVERIFY(bytes);
        QCOMPARE(Windows1250::decode(*bytes), text);

        // Of two lines that cannot be written, one in each half, the first is named.
        albums.push_back({u"Žížala"_s, u"東京"_s, false});
        albums.push_back({u"Aaa"_s, u"Ob東"_s, false});
        tree.rebuild(albums, false);
        tree.checkAll();
        QString problem;
        QVERIFY(!reportFileBytes(tree, u"Databáze: X"_s, QString(), &problem, compare));
        QCOMPARE(problem, u"řádek „Aaa - Ob東“ obsahuje znak „東“, který nelze zapsat v kódování "
                          u"Windows-1250"_s);
    }
};

QTEST_GUILESS_MAIN(TestReportOrder)
#include "tst_reportorder.moc"
