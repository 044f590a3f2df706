// "Najít" over the scripted doubles: which node it selects and expands, and when it does nothing.

#include "fixture.h"

#include "catalogue/textcompare.h"
#include "commands/find.h"
#include "commands/loadsave.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace fixture;

class TestFind : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void find_data() {
        QTest::addColumn<QString>("albums"); // "Artist>Album *|...", read in this order
        QTest::addColumn<bool>("news");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found"); // empty: the selection stays

        const QString kapela = u"Kapela>Album [abc"_s;
        const QString names = u"K>xabcx|K>Dvě  mezery|K>Album 2|K>Dvě mezery"_s;
        QTest::newRow("the first added, not the first shown")
            << u"Zed>Alfa Beta|Abba>beta"_s << false << u"BETA"_s << u"Zed>Alfa Beta"_s;
        QTest::newRow("an artist before its album")
            << u"Abba>Arrival|Nightwish>Night Songs"_s << false << u"night"_s << u"Nightwish"_s;
        QTest::newRow("news view: a new album")
            << u"Zed>Druhý|Abba>Druhá *|Abba>Arrival"_s << true << u"druh"_s << u"Abba>Druhá"_s;
        QTest::newRow("news view: an album it does not show")
            << u"Zed>Druhý|Abba>Druhá *|Abba>Arrival"_s << true << u"arriv"_s << u""_s;
        QTest::newRow("cancelled") << kapela << false << u""_s << u""_s;
        QTest::newRow("not a valid pattern") << kapela << false << u"[abc"_s << u""_s;
        QTest::newRow("artist and album together")
            << kapela << false << u"Kapela - Album"_s << u""_s;
        QTest::newRow("pattern characters") << names << false << u"a?c"_s << u"K>xabcx"_s;
        QTest::newRow("only spaces") << names << false << u"  "_s << u"K>Dvě  mezery"_s;
    }

    void find() {
        QFETCH(QString, albums);
        QFETCH(bool, news);
        QFETCH(QString, typed);
        QFETCH(QString, found);

        Fixture f;
        f.ctx.caption = u"MP3 Velbor"_s;
        f.ctx.catalogue.albums = albumsFrom(albums.split(u'|'));
        news ? showNewReleases(f.ctx) : showAllAlbums(f.ctx);
        TreeNode* start = f.view.selectedNode();
        // No memory between searches: the same text finds the same node again.
        for (int round = 0; round < 2; ++round) {
            f.view.selectNode(start);
            f.view.expanded.clear();
            f.prompts.inputs = {typed};
            findByName(f.ctx);
            QCOMPARE(pathOf(f.view.selectedNode()), found.isEmpty() ? pathOf(start) : found);
            // A found album's artist is expanded.
            const qsizetype sep = found.indexOf(u'>');
            QCOMPARE(f.view.expanded.size(), sep < 0 ? 0 : 1);
            if (sep >= 0)
                QVERIFY(f.view.expanded.contains(nodeAtPath(f.tree, found.left(sep))));
        }
        QCOMPARE(f.prompts.log,
                 QStringList(2, u"input: Zadejte název (část názvu) hledaného alba/skupiny: "
                                u"[MP3 Velbor]"_s));
    }
};

QTEST_GUILESS_MAIN(TestFind)
#include "tst_find.moc"
