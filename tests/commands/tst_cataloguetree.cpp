#include "fixture.h"

#include <QAbstractItemModelTester>
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
        QTest::newRow("albums sorted, a duplicate shown once, the first one")
            << u"K>c/K>a */K>b/K>C/K>A"_s << false << u"K(*a,b,c)"_s << u"K c a b"_s;
        QTest::newRow("artists in Czech order, case and accents")
            << u"Hudba>x/Chinaski>y/Cyril>z/Čechomor>w/cyril>v/Cýril>u"_s << false
            << u"Cyril(v,z) Cýril(u) Čechomor(w) Hudba(x) Chinaski(y)"_s
            << u"Hudba x Chinaski y Cyril z Čechomor w v Cýril u"_s;
        QTest::newRow("long names alike but for their ends")
            << u"Velká kapela z Prahy 2>x/Velká kapela z Prahy 1>y"_s << false
            << u"Velká kapela z Prahy 1(y) Velká kapela z Prahy 2(x)"_s
            << u"Velká kapela z Prahy 2 x Velká kapela z Prahy 1 y"_s;
        QTest::newRow("new releases only")
            << u"A>1/B>2 */A>3 */C>4"_s << true << u"A(*3) B(*2)"_s << u"B 2 A 3"_s;
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

    // A catalogue large enough to be sorted on several threads, of which each album comes first
    // in its first 30000 entries: it shows what those entries show, sorted on one thread.
    void largeCatalogue() {
        std::vector<Album> input;
        for (int i = 0; i < 150000; ++i) {
            const int k = (i % 30000) * 7919 % 30000;
            const QString artist = u"Artist %1"_s.arg(k % 300), album = u"Album %1"_s.arg(k / 300);
            input.push_back({i < 30000 || i % 2 ? artist : artist.toUpper(),
                             i < 30000 || i % 3 ? album : album.toLower(), i % 7 == 0});
        }
        CatalogueTree serial, parallel;
        serial.rebuild({input.begin(), input.begin() + 30000}, false);
        parallel.rebuild(input, false);
        QCOMPARE(treeText(parallel), treeText(serial));
        QCOMPARE(additionOrder(parallel), additionOrder(serial));
    }

    // Albums of a user-added artist in the order added, of a sorted one in place; a removed
    // artist frees its key and takes its albums along; only the user's ticks are announced.
    void edits() {
        CatalogueTree model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.rebuild(albums(u"Beta>b/Delta>d *"_s), false);
        TreeNode* alfa = model.addArtist(u"Alfa"_s);
        QVERIFY(alfa && !model.addArtist(u"ALFA"_s) && !model.addArtist(u"beta"_s)); // known keys
        TreeNode* gama = model.addArtist(u"Gama"_s);
        model.addAlbum(alfa, u"z"_s, false);
        model.addAlbum(alfa, u"a"_s, true);
        TreeNode* beta = model.artistNode(u"BETA");
        model.addAlbum(beta, u"a"_s, false);
        model.addAlbum(beta, u"c"_s, false);
        QCOMPARE(treeText(model), u"Alfa(z,*a) Beta(a,b,c) Delta(*d) Gama()"_s);
        model.removeNode(beta->children[1]);
        model.removeNode(gama);
        QVERIFY(!model.artistNode(u"Gama") && model.addArtist(u"gama"_s));
        model.removeNode(alfa);
        QCOMPARE(treeText(model), u"Beta(a,c) Delta(*d) gama()"_s);
        QCOMPARE(additionOrder(model),
                 (QStringList{u"Beta"_s, u"Delta"_s, u"d"_s, u"a"_s, u"c"_s, u"gama"_s}));
        QCOMPARE(model.nodeCount(), 6);

        QList<TreeNode*> announced;
        connect(&model, &CatalogueTree::nodeCheckChanged, this,
                [&](TreeNode* n) { announced.append(n); });
        QVERIFY(model.setData(model.indexOf(beta), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model.flags(model.indexOf(beta->children[0])) & Qt::ItemIsUserCheckable);
        model.checkAll();
        model.clearAllBold();
        QCOMPARE(announced, QList<TreeNode*>{beta});
        QCOMPARE(treeText(model), u"[x]Beta([x]a,[x]c) [x]Delta([x]d) [x]gama()"_s);
    }

    // A row shows a bounded part of a very long name, cut between whole characters; the
    // tooltip shows more (none when the whole name shows).
    void longNamesShownCut() {
        const qsizetype n = CatalogueTree::kShownLength;
        const QString a(n, u'a'), b(n, u'b'), c = a.chopped(1);
        CatalogueTree model;
        for (const auto& [name, shown, tip] :
             {std::tuple{a, a, qsizetype(0)},
              {a + u'x', a + u'…', n + 1},
              {QString(1'000'000, u'b'), b + u'…', CatalogueTree::kToolTipLength + 1},
              {c + u"😀b", c + u'…', n + 2}}) {
            const QModelIndex index = model.indexOf(model.addArtist(name));
            QCOMPARE(index.data().toString(), shown);
            QCOMPARE(index.data(Qt::ToolTipRole).toString().size(), tip);
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalogueTree)
#include "tst_cataloguetree.moc"
