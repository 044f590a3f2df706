#include "fixture.h"

#include <QAbstractItemModelTester>
#include <QHash>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

// "Artist>Album *" records (see fixture.h) separated by "/".
std::vector<Album> albums(const QString& records) {
    return albumsFrom(records.split(u'/', Qt::SkipEmptyParts));
}

} // namespace

class TestCatalogueTree : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    // The tree rebuilt over an older one; it returns its first artist.
    void rebuild_data() {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<bool>("newReleasesOnly");
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("added"); // the node collection, in order of addition
        QTest::newRow("empty") << QString() << false << QString() << QString();
        QTest::newRow("albums sorted under one artist")
            << u"K>c/K>a */K>b"_s << false << u"K(*a,b,c)"_s << u"K c a b"_s;
        QTest::newRow("artists in czech order")
            << u"Hudba>x/Chinaski>y/Cyril>z/Čechomor>w"_s << false
            << u"Cyril(z) Čechomor(w) Hudba(x) Chinaski(y)"_s
            << u"Hudba x Chinaski y Cyril z Čechomor w"_s;
        QTest::newRow("letter case does not decide the order")
            << u"Beta>1/alfa>2"_s << false << u"alfa(2) Beta(1)"_s << u"Beta 1 alfa 2"_s;
        QTest::newRow("a duplicate album is shown once, the first one")
            << u"A>X/A>x */A>X"_s << false << u"A(X)"_s << u"A X"_s;
        QTest::newRow("artists differing in case share a node")
            << u"ABBA>1/abba>2"_s << false << u"ABBA(1,2)"_s << u"ABBA 1 2"_s;
        QTest::newRow("new releases only")
            << u"A>1/B>2 */A>3 */C>4"_s << true << u"A(*3) B(*2)"_s << u"B 2 A 3"_s;
        QTest::newRow("no new release: empty") << u"A>1/B>2"_s << true << QString() << QString();
        QTest::newRow("backslashes never collide")
            << u"A>B\\C/A\\B>C/A>B\\C"_s << false << u"A(B\\C) A\\B(C)"_s << u"A B\\C A\\B C"_s;
    }
    void rebuild() {
        QFETCH(QString, catalogue);
        QFETCH(bool, newReleasesOnly);
        QFETCH(QString, tree);
        QFETCH(QString, added);
        CatalogueTree model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.rebuild(albums(u"Old>one"_s), false);
        TreeNode* first = model.rebuild(albums(catalogue), newReleasesOnly);
        QCOMPARE(treeText(model), tree);
        QCOMPARE(first, model.artists().empty() ? nullptr : model.artists().front());
        QCOMPARE(additionOrder(model).join(u' '), added);
        QCOMPARE(model.nodeCount(), additionOrder(model).size());
    }

    // A catalogue large enough to be sorted on several threads: each artist once, its albums in
    // order, of equal names the first one added.
    void largeCatalogue() {
        std::vector<Album> input;
        QHash<QString, QString> firstSpelling; // lower-case "artist|album" -> first spelling
        for (int i = 0; i < 150000; ++i) {
            QString artist = u"Artist %1"_s.arg((i * 7919) % 300);
            QString album = u"Album %1"_s.arg((qint64(i) * 104729) % 900);
            artist = i % 5 ? artist : artist.toLower();
            album = i % 3 ? album : album.toUpper();
            input.push_back(Album{artist, album, i % 10 == 0});
            if (const QString key = artist.toLower() + u'|' + album.toLower();
                !firstSpelling.contains(key))
                firstSpelling.insert(key, album);
        }
        CatalogueTree model;
        model.rebuild(input, false);
        QCOMPARE(model.artists().size(), size_t(300)); // each artist once
        qsizetype albums = 0;
        for (const TreeNode* artist : model.artists()) {
            for (size_t i = 0; i < artist->children.size(); ++i) {
                const TreeNode* album = artist->children[i];
                QVERIFY(i == 0 ||
                        TextCompare::program().less(artist->children[i - 1]->text, album->text));
                QCOMPARE(album->text, firstSpelling.value(artist->text.toLower() + u'|' +
                                                          album->text.toLower()));
            }
            albums += qsizetype(artist->children.size());
        }
        QCOMPARE(albums, firstSpelling.size());
        QCOMPARE(additionOrder(model).size(), albums + model.artists().size());
    }

    void editsKeepTheModelConsistent() {
        CatalogueTree model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.rebuild(albums(u"Beta>b/Delta>d"_s), false);

        TreeNode* alfa = model.addArtist(u"Alfa"_s);
        QVERIFY(alfa && !model.addArtist(u"ALFA"_s) && !model.addArtist(u"beta"_s)); // known keys
        TreeNode* gama = model.addArtist(u"Gama"_s);
        QCOMPARE(treeText(model), u"Alfa() Beta(b) Delta(d) Gama()"_s);

        // Unsorted (user-added) artist: albums in the order added; sorted one: in place.
        model.addAlbum(alfa, u"z"_s, false);
        model.addAlbum(alfa, u"a"_s, true);
        TreeNode* beta = model.artistNode(u"BETA");
        model.addAlbum(beta, u"a"_s, false);
        model.addAlbum(beta, u"c"_s, false);
        QCOMPARE(treeText(model), u"Alfa(z,*a) Beta(a,b,c) Delta(d) Gama()"_s);

        model.removeNode(beta->children[1]);
        model.removeNode(gama);
        QCOMPARE(treeText(model), u"Alfa(z,*a) Beta(a,c) Delta(d)"_s);
        QVERIFY(!model.artistNode(u"Gama"));
        QVERIFY(model.addArtist(u"gama"_s)); // its key is free again
        QCOMPARE(additionOrder(model), (QStringList{u"Beta"_s, u"Delta"_s, u"d"_s, u"Alfa"_s,
                                                    u"z"_s, u"a"_s, u"a"_s, u"c"_s, u"gama"_s}));

        // Removing an artist takes its albums out of the node collection too.
        model.removeNode(alfa);
        QVERIFY(!additionOrder(model).contains(u"z"_s));
        QCOMPARE(model.nodeCount(), additionOrder(model).size());
    }

    // Only the user's change of a check box is announced; albums have one too.
    void checkBoxes() {
        CatalogueTree model;
        model.rebuild(albums(u"A>1 */B>3 *"_s), false);
        TreeNode* a = model.artists()[0];
        QList<TreeNode*> announced;
        connect(&model, &CatalogueTree::nodeCheckChanged, this,
                [&](TreeNode* n) { announced.append(n); });
        QVERIFY(model.setData(model.indexOf(a), Qt::Checked, Qt::CheckStateRole));
        model.checkAll();
        QCOMPARE(announced, QList<TreeNode*>{a});
        model.clearAllBold();
        QCOMPARE(treeText(model), u"[x]A([x]1) [x]B([x]3)"_s);
        QVERIFY(model.flags(model.indexOf(a->children[0])) & Qt::ItemIsUserCheckable);
    }

    // A row shows a bounded part of a very long name, cut between whole characters; the
    // tooltip shows more; the node keeps the whole name.
    void longNamesShownCut_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<qsizetype>("tipLength"); // 0: no tooltip
        const qsizetype n = CatalogueTree::kShownLength;
        QTest::newRow("fits") << QString(n, u'a') << QString(n, u'a') << qsizetype(0);
        QTest::newRow("one over") << QString(n + 1, u'a') << QString(n, u'a') + u'…'
                                  << qsizetype(n + 1);
        QTest::newRow("a million characters") << QString(1'000'000, u'a') << QString(n, u'a') + u'…'
                                              << CatalogueTree::kToolTipLength + 1;
        QTest::newRow("a pair across the cut")
            << QString(n - 1, u'a') + u"😀b"_s << QString(n - 1, u'a') + u'…' << qsizetype(n + 2);
    }
    void longNamesShownCut() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(qsizetype, tipLength);
        CatalogueTree model;
        TreeNode* artist = model.addArtist(name);
        const QModelIndex index = model.indexOf(artist);
        QCOMPARE(index.data().toString(), shown);
        QCOMPARE(index.data(Qt::ToolTipRole).toString().size(), tipLength);
        QCOMPARE(artist->text.size(), name.size());
    }
};

QTEST_GUILESS_MAIN(TestCatalogueTree)
#include "tst_cataloguetree.moc"
