#include "search/find.h"

#include "report/scriptedports.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestFind : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void promptIsTitledWithTheCaption() {
        TestContext t;
        t.ctx->caption = u"MP3 Velbor"_s;
        findByName(*t.ctx);
        QCOMPARE(t.prompts.inputs.size(), 1);
        QCOMPARE(t.prompts.inputs[0].text, u"Zadejte název (část názvu) hledaného alba/skupiny:"_s);
        QCOMPARE(t.prompts.inputs[0].title, u"MP3 Velbor"_s);
    }

    // The first node added wins, even when another match is shown higher in the tree.
    void orderOfAdditionNotDisplayOrder() {
        TestContext t;
        TreeNode* zed = t.tree.addArtist(u"Zed"_s, true);
        TreeNode* late = t.tree.addAlbum(zed, u"Alfa Beta"_s, false);
        TreeNode* abba = t.tree.addArtist(u"Abba"_s, true);
        TreeNode* early = t.tree.addAlbum(abba, u"beta"_s, false);
        QCOMPARE(t.tree.artists().front(), abba); // shown first
        Q_UNUSED(early);

        t.prompts.answers = {u"BETA"_s};
        findByName(*t.ctx);
        QCOMPARE(t.view.selected, late);
        QCOMPARE(t.view.madeVisible, QList<TreeNode*>{late});
    }

    void artistNodesAreCandidates() {
        TestContext t;
        TreeNode* artist = t.tree.addArtist(u"Nightwish"_s, true);
        t.tree.addAlbum(artist, u"Night Songs"_s, false);
        t.prompts.answers = {u"night"_s};
        findByName(*t.ctx);
        QCOMPARE(t.view.selected, artist);
    }

    // Rebuilding from the catalogue adds the nodes in the catalogue's order.
    void orderAfterRebuild() {
        TestContext t;
        t.tree.rebuild({{u"Zed"_s, u"Druhý"_s, false},
                        {u"Abba"_s, u"Druhá"_s, true},
                        {u"Abba"_s, u"Arrival"_s, false}},
                       false);
        t.prompts.answers = {u"DRUH"_s};
        findByName(*t.ctx);
        QVERIFY(t.view.selected);
        QCOMPARE(t.view.selected->text, u"Druhý"_s);
        QCOMPARE(t.view.selected->parent->text, u"Zed"_s);

        // In the new-releases view only the new albums are there to be found.
        t.tree.rebuild({{u"Zed"_s, u"Druhý"_s, false},
                        {u"Abba"_s, u"Druhá"_s, true},
                        {u"Abba"_s, u"Arrival"_s, false}},
                       true);
        t.prompts.answers = {u"druh"_s};
        findByName(*t.ctx);
        QCOMPARE(t.view.selected->text, u"Druhá"_s);
        t.view.selected = nullptr;
        t.prompts.answers = {u"arriv"_s};
        findByName(*t.ctx);
        QVERIFY(!t.view.selected);
    }

    void nothingHappens_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("cancel or empty") << QString();
        QTest::newRow("no match") << u"xyz"_s;
        QTest::newRow("not a valid pattern") << u"[abc"_s;
        QTest::newRow("descending range") << u"[z-a]"_s;
        QTest::newRow("text spanning artist and album") << u"Kapela - Album"_s;
    }

    void nothingHappens() {
        QFETCH(QString, answer);
        TestContext t;
        TreeNode* artist = t.tree.addArtist(u"Kapela"_s, true);
        TreeNode* album = t.tree.addAlbum(artist, u"Album [abc"_s, false);
        t.view.selected = album;
        t.prompts.answers = {answer};
        findByName(*t.ctx);
        QCOMPARE(t.view.selected, album);
        QVERIFY(t.view.madeVisible.isEmpty());
    }

    void patternCharactersKeepTheirMeaning_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("found");
        QTest::newRow("question mark") << u"a?c"_s << u"xabcx"_s;
        QTest::newRow("hash") << u"#"_s << u"Album 2"_s;
        QTest::newRow("list") << u"[!a-z ]"_s << u"Album 2"_s;
        QTest::newRow("whole text") << u"xabcx"_s << u"xabcx"_s;
        QTest::newRow("only spaces") << u"  "_s << u"Dvě  mezery"_s;
        QTest::newRow("Czech letters, other case") << u"DVĚ"_s << u"Dvě  mezery"_s;
    }

    void patternCharactersKeepTheirMeaning() {
        QFETCH(QString, answer);
        QFETCH(QString, found);
        TestContext t;
        TreeNode* artist = t.tree.addArtist(u"Kapela"_s, true);
        for (const QString& name : {u"xabcx"_s, u"Dvě  mezery"_s, u"Album 2"_s, u"Dvě mezery"_s})
            t.tree.addAlbum(artist, name, false);
        t.prompts.answers = {answer};
        findByName(*t.ctx);
        QVERIFY(t.view.selected);
        QCOMPARE(t.view.selected->text, found);
    }

    // No memory between searches: the same text selects the same node again.
    void noFindNext() {
        TestContext t;
        TreeNode* artist = t.tree.addArtist(u"Kapela"_s, true);
        TreeNode* first = t.tree.addAlbum(artist, u"Jedna"_s, false);
        t.tree.addAlbum(artist, u"Jednadvacet"_s, false);
        t.prompts.answers = {u"jedna"_s, u"jedna"_s};
        findByName(*t.ctx);
        findByName(*t.ctx);
        QCOMPARE(t.view.selected, first);
        QCOMPARE(t.view.madeVisible.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestFind)
#include "test_find.moc"
