// The Editing menu's commands over the scripted doubles: what each one asks and says, and the
// catalogue and the tree after it.

#include "fixture.h"

#include "catalogue/programfolder.h"
#include "catalogue/textcompare.h"
#include "editing/editing.h"
#include "mainwindow/windowlogic.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

// Catalogue order; two artists have an album called "Společné", Alfa's first.
const QStringList kBase = {
    u"Alfa>Společné *"_s,      u"Kapela>První album"_s,   u"Kapela>Společné"_s,
    u"Kapela>Druhé album *"_s, u"Žluťoučký kůň>Úpěl *"_s,
};

// The base catalogue as the full view shows it.
const QStringList kBaseTree = {
    u"Alfa"_s,
    u"Alfa>Společné *"_s,
    u"Kapela"_s,
    u"Kapela>Druhé album *"_s,
    u"Kapela>První album"_s,
    u"Kapela>Společné"_s,
    u"Žluťoučký kůň"_s,
    u"Žluťoučký kůň>Úpěl *"_s,
};

const QString kAskAlbum = u"ask: Opravdu chcete smazat toto album?"_s;
const QString kAskArtist = u"ask: Opravdu chcete smazat tuto položku artist?"_s;
const QString kAskClear = u"ask: Zrušit status všech novinek?"_s;
const QString kInputAlbum = u"input: Název alba:"_s;
const QString kInputArtist = u"input: Název položky artist:"_s;

QStringList without(QStringList list, const QStringList& gone) {
    for (const QString& g : gone)
        if (!list.removeOne(g))
            qFatal("table error: %s is not in the list", qPrintable(g));
    return list;
}

QStringList with(QStringList list, qsizetype at, const QString& line) {
    list.insert(at, line);
    return list;
}

// Runs one step: a command of the Editing menu, or "select:<path>" to select a node first.
void runStep(AppContext& ctx, const QString& step) {
    if (step.startsWith(u"select:"_s)) {
        ctx.view.selectNode(nodeAtPath(ctx.tree, step.mid(7)));
    } else if (step == u"addAlbum"_s) {
        addAlbum(ctx);
    } else if (step == u"addArtist"_s) {
        addArtist(ctx);
    } else if (step == u"deleteAlbum"_s) {
        deleteAlbum(ctx);
    } else if (step == u"deleteArtist"_s) {
        deleteArtist(ctx);
    } else if (step == u"markNew"_s) {
        SetNewsStatus(ctx, true);
    } else if (step == u"unmarkNew"_s) {
        SetNewsStatus(ctx, false);
    } else if (step == u"clearAll"_s) {
        clearAllNews(ctx);
    } else if (step == u"toggle"_s) {
        toggleAddAsNew(ctx);
    } else if (step == u"rename"_s) {
        changeDatabaseName(ctx);
    } else if (step == u"email"_s) {
        changeContactEmail(ctx);
    } else if (step == u"all"_s) {
        showAllAlbums(ctx);
    } else if (step == u"news"_s) {
        showNewReleases(ctx);
    } else {
        QFAIL(qPrintable(u"unknown step "_s + step));
    }
}

QList<bool> yesNo(QStringView answers) {
    QList<bool> list;
    for (QChar c : answers)
        list << (c == u'Y');
    return list;
}

} // namespace

class TestEditing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void commands_data();
    void commands();
    void refusedValues_data();
    void refusedValues();
    void settings_data();
    void settings();
    void savedFile_data();
    void savedFile();
    void selectionAfterDelete();
};

void TestEditing::commands_data() {
    QTest::addColumn<QStringList>("albums"); // the catalogue, in order
    QTest::addColumn<bool>("news");          // start in the new-releases view
    QTest::addColumn<QString>("select");     // the node selected first; empty: none
    QTest::addColumn<QStringList>("steps");  // commands run in turn
    QTest::addColumn<QStringList>("inputs"); // answers to the input boxes
    QTest::addColumn<QString>("answers");    // Y/N to the questions
    QTest::addColumn<QStringList>("log");    // every box shown
    QTest::addColumn<QStringList>("store");  // the catalogue after
    QTest::addColumn<QStringList>("tree");   // the tree after
    QTest::addColumn<QString>("selected");   // the node selected after

    const QStringList none;
    const QStringList one = {u"addAlbum"_s};
    const QStringList newsTree = {u"Alfa"_s,          u"Alfa>Společné *"_s,
                                  u"Kapela"_s,        u"Kapela>Druhé album *"_s,
                                  u"Žluťoučký kůň"_s, u"Žluťoučký kůň>Úpěl *"_s};

    // Adding albums.
    QTest::newRow("add album: nothing selected")
        << kBase << false << "" << one << none << "" << none << kBase << kBaseTree << "";
    QTest::newRow("add album: album selected")
        << kBase << false << "Kapela>První album" << one << none << "" << none << kBase << kBaseTree
        << "Kapela>První album";
    QTest::newRow("add album: cancelled")
        << kBase << false << "Kapela" << one << QStringList{u""_s} << "" << QStringList{kInputAlbum}
        << kBase << kBaseTree << "Kapela";
    QTest::newRow("add album: new release in sorted place")
        << kBase << false << "Kapela" << one << QStringList{u"Čtvrté"_s} << ""
        << QStringList{kInputAlbum} << (kBase + QStringList{u"Kapela>Čtvrté *"_s})
        << with(kBaseTree, 3, u"Kapela>Čtvrté *"_s) << "Kapela";
    QTest::newRow("add album: toggle affects later albums only")
        << kBase << false << "Alfa"
        << QStringList{u"addAlbum"_s, u"toggle"_s, u"addAlbum"_s, u"toggle"_s, u"addAlbum"_s}
        << QStringList{u"A1"_s, u"A2"_s, u"A3"_s} << ""
        << QStringList{kInputAlbum, kInputAlbum, kInputAlbum}
        << (kBase + QStringList{u"Alfa>A1 *"_s, u"Alfa>A2"_s, u"Alfa>A3 *"_s})
        << QStringList{u"Alfa"_s, u"Alfa>A1 *"_s, u"Alfa>A2"_s, u"Alfa>A3 *"_s,
                       u"Alfa>Společné *"_s} +
               kBaseTree.mid(2)
        << "Alfa";
    QTest::newRow("add album: spaces only, as typed")
        << kBase << false << "Žluťoučký kůň" << one << QStringList{u"  "_s} << ""
        << QStringList{kInputAlbum} << (kBase + QStringList{u"Žluťoučký kůň>   *"_s})
        << with(kBaseTree, 7, u"Žluťoučký kůň>   *"_s) << "Žluťoučký kůň";
    QTest::newRow("add album: same name again gives a second one")
        << kBase << false << "Kapela" << one << QStringList{u"První album"_s} << ""
        << QStringList{kInputAlbum} << (kBase + QStringList{u"Kapela>První album *"_s})
        << with(kBaseTree, 5, u"Kapela>První album *"_s) << "Kapela";
    QTest::newRow("add album: news view, toggle off, shown plain")
        << kBase << true << "Kapela" << QStringList{u"toggle"_s, u"addAlbum"_s}
        << QStringList{u"Archiv"_s} << "" << QStringList{kInputAlbum}
        << (kBase + QStringList{u"Kapela>Archiv"_s}) << with(newsTree, 3, u"Kapela>Archiv"_s)
        << "Kapela";

    // Adding artists.
    QTest::newRow("add artist: cancelled")
        << kBase << false << "Alfa" << QStringList{u"addArtist"_s} << QStringList{u""_s} << ""
        << QStringList{kInputArtist} << kBase << kBaseTree << "Alfa";
    QTest::newRow("add artist: in sorted place, selected, not in the catalogue")
        << kBase << false << "Alfa" << QStringList{u"addArtist"_s} << QStringList{u"Čechomor"_s}
        << "" << QStringList{kInputArtist} << kBase << with(kBaseTree, 2, u"Čechomor"_s)
        << "Čechomor";
    QTest::newRow("add artist: needs no selection")
        << kBase << false << "" << QStringList{u"addArtist"_s} << QStringList{u"Zappa"_s} << ""
        << QStringList{kInputArtist} << kBase << with(kBaseTree, 6, u"Zappa"_s) << "Zappa";
    QTest::newRow("add artist: name shown already, letter case aside")
        << kBase << false << "Alfa>Společné" << QStringList{u"addArtist"_s}
        << QStringList{u"KAPELA"_s} << "" << QStringList{kInputArtist} << kBase << kBaseTree
        << "Alfa>Společné";
    QTest::newRow("add artist: spaces only, as typed")
        << kBase << false << "Alfa" << QStringList{u"addArtist"_s} << QStringList{u" "_s} << ""
        << QStringList{kInputArtist} << kBase << with(kBaseTree, 0, u" "_s) << " ";
    QTest::newRow("add artist then albums: in order of adding, first catalogue entries")
        << kBase << false << "Kapela"
        << QStringList{u"addArtist"_s, u"addAlbum"_s, u"toggle"_s, u"addAlbum"_s}
        << QStringList{u"Nový"_s, u"Zima"_s, u"Alba"_s} << ""
        << QStringList{kInputArtist, kInputAlbum, kInputAlbum}
        << (kBase + QStringList{u"Nový>Zima *"_s, u"Nový>Alba"_s})
        << kBaseTree.mid(0, 6) + QStringList{u"Nový"_s, u"Nový>Zima *"_s, u"Nový>Alba"_s} +
               kBaseTree.mid(6)
        << "Nový";
    QTest::newRow("add artist: without albums gone after a view change")
        << kBase << false << "" << QStringList{u"addArtist"_s, u"news"_s, u"all"_s}
        << QStringList{u"Nový"_s} << "" << QStringList{kInputArtist} << kBase << kBaseTree
        << "Alfa";

    // Deleting albums.
    const QStringList delAlb = {u"deleteAlbum"_s};
    QTest::newRow("delete album: nothing selected")
        << kBase << false << "" << delAlb << none << "" << none << kBase << kBaseTree << "";
    QTest::newRow("delete album: artist selected") << kBase << false << "Kapela" << delAlb << none
                                                   << "" << none << kBase << kBaseTree << "Kapela";
    QTest::newRow("delete album: answered No")
        << kBase << false << "Kapela>Druhé album" << delAlb << none << "N" << QStringList{kAskAlbum}
        << kBase << kBaseTree << "Kapela>Druhé album";
    QTest::newRow("delete album: Yes, next album selected")
        << kBase << false << "Kapela>Druhé album" << delAlb << none << "Y" << QStringList{kAskAlbum}
        << without(kBase, {u"Kapela>Druhé album *"_s})
        << without(kBaseTree, {u"Kapela>Druhé album *"_s}) << "Kapela>První album";
    QTest::newRow("delete album: the artist's own, not an earlier one of that name")
        << kBase << false << "Kapela>Společné" << delAlb << none << "Y" << QStringList{kAskAlbum}
        << without(kBase, {u"Kapela>Společné"_s}) << without(kBaseTree, {u"Kapela>Společné"_s})
        << "Kapela>První album";
    QTest::newRow("delete album: last one, artist stays and is selected")
        << kBase << false << "Alfa>Společné" << delAlb << none << "Y" << QStringList{kAskAlbum}
        << without(kBase, {u"Alfa>Společné *"_s}) << without(kBaseTree, {u"Alfa>Společné *"_s})
        << "Alfa";
    QTest::newRow("delete album: one shown for two entries, the shown one goes")
        << QStringList{u"A>X"_s, u"A>X *"_s} << true << "A>X" << delAlb << none << "Y"
        << QStringList{kAskAlbum} << QStringList{u"A>X"_s} << QStringList{u"A"_s} << "A";
    QTest::newRow("delete album: added one of an existing name")
        << kBase << false << "Kapela"
        << QStringList{u"addAlbum"_s, u"select:Kapela>První album"_s, u"deleteAlbum"_s,
                       u"deleteAlbum"_s}
        << QStringList{u"První album"_s} << "YY" << QStringList{kInputAlbum, kAskAlbum, kAskAlbum}
        << without(kBase, {u"Kapela>První album"_s})
        << without(kBaseTree, {u"Kapela>První album"_s}) << "Kapela>Společné";

    // Deleting artists.
    const QStringList delArt = {u"deleteArtist"_s};
    QTest::newRow("delete artist: nothing selected")
        << kBase << false << "" << delArt << none << "" << none << kBase << kBaseTree << "";
    QTest::newRow("delete artist: album selected")
        << kBase << false << "Alfa>Společné" << delArt << none << "" << none << kBase << kBaseTree
        << "Alfa>Společné";
    QTest::newRow("delete artist: still has albums")
        << kBase << false << "Kapela" << delArt << none << ""
        << QStringList{u"message(!): Složka obsahuje alba, ty odstraňte jako první!"_s} << kBase
        << kBaseTree << "Kapela";
    QTest::newRow("delete artist: new one, answered No")
        << kBase << false << "" << QStringList{u"addArtist"_s, u"deleteArtist"_s}
        << QStringList{u"Nový"_s} << "N" << QStringList{kInputArtist, kAskArtist} << kBase
        << with(kBaseTree, 6, u"Nový"_s) << "Nový";
    QTest::newRow("delete artist: new one, Yes, next artist selected")
        << kBase << false << "" << QStringList{u"addArtist"_s, u"deleteArtist"_s}
        << QStringList{u"Nový"_s} << "Y" << QStringList{kInputArtist, kAskArtist} << kBase
        << kBaseTree << "Žluťoučký kůň";
    QTest::newRow("delete artist: the last one, previous artist selected")
        << kBase << false << "Žluťoučký kůň>Úpěl"
        << QStringList{u"deleteAlbum"_s, u"deleteArtist"_s} << none << "YY"
        << QStringList{kAskAlbum, kAskArtist} << without(kBase, {u"Žluťoučký kůň>Úpěl *"_s})
        << kBaseTree.mid(0, 6) << "Kapela";
    QTest::newRow("delete artist: news view, other albums stay in the catalogue")
        << kBase << true << "Kapela>Druhé album" << QStringList{u"deleteAlbum"_s, u"deleteArtist"_s}
        << none << "YY" << QStringList{kAskAlbum, kAskArtist}
        << without(kBase, {u"Kapela>Druhé album *"_s})
        << QStringList{u"Alfa"_s, u"Alfa>Společné *"_s, u"Žluťoučký kůň"_s,
                       u"Žluťoučký kůň>Úpěl *"_s}
        << "Žluťoučký kůň";
    QTest::newRow("delete artist: only artist, nothing left to select")
        << QStringList{u"A>X"_s} << false << "A>X"
        << QStringList{u"deleteAlbum"_s, u"deleteArtist"_s} << none << "YY"
        << QStringList{kAskAlbum, kAskArtist} << none << none << "";

    // New-release status.
    const QStringList mark = {u"markNew"_s};
    const QStringList unmark = {u"unmarkNew"_s};
    QTest::newRow("mark: nothing selected")
        << kBase << false << "" << mark << none << "" << none << kBase << kBaseTree << "";
    QTest::newRow("unmark: artist selected")
        << kBase << false << "Alfa" << unmark << none << "" << none << kBase << kBaseTree << "Alfa";
    QTest::newRow("mark: the artist's own album of a shared name")
        << kBase << false << "Kapela>Společné" << mark << none << "" << none
        << QStringList(kBase).replaceInStrings(u"Kapela>Společné"_s, u"Kapela>Společné *"_s)
        << QStringList(kBaseTree).replaceInStrings(u"Kapela>Společné"_s, u"Kapela>Společné *"_s)
        << "Kapela>Společné";
    QTest::newRow("unmark: a plain album leaves the other artist's new one")
        << kBase << false << "Kapela>Společné" << unmark << none << "" << none << kBase << kBaseTree
        << "Kapela>Společné";
    QTest::newRow("unmark: a new album")
        << kBase << false << "Alfa>Společné" << unmark << none << "" << none
        << QStringList(kBase).replaceInStrings(u"Alfa>Společné *"_s, u"Alfa>Společné"_s)
        << QStringList(kBaseTree).replaceInStrings(u"Alfa>Společné *"_s, u"Alfa>Společné"_s)
        << "Alfa>Společné";
    QTest::newRow("mark: already new") << kBase << false << "Kapela>Druhé album" << mark << none
                                       << "" << none << kBase << kBaseTree << "Kapela>Druhé album";
    QTest::newRow("unmark: news view keeps the node, plain")
        << kBase << true << "Kapela>Druhé album" << unmark << none << "" << none
        << QStringList(kBase).replaceInStrings(u"Druhé album *"_s, u"Druhé album"_s)
        << QStringList(newsTree).replaceInStrings(u"Druhé album *"_s, u"Druhé album"_s)
        << "Kapela>Druhé album";
    QTest::newRow("unmark: news view, gone after rebuilding it")
        << kBase << true << "Kapela>Druhé album" << QStringList{u"unmarkNew"_s, u"news"_s} << none
        << "" << none << QStringList(kBase).replaceInStrings(u"Druhé album *"_s, u"Druhé album"_s)
        << without(newsTree, {u"Kapela"_s, u"Kapela>Druhé album *"_s}) << "Alfa";
    QTest::newRow("unmark: one shown for two entries, the new one changes")
        << QStringList{u"A>X"_s, u"A>X *"_s} << true << "A>X" << unmark << none << "" << none
        << QStringList{u"A>X"_s, u"A>X"_s} << QStringList{u"A"_s, u"A>X"_s} << "A>X";
    QTest::newRow("mark: one shown for two entries, the shown one changes")
        << QStringList{u"A>X"_s, u"A>X *"_s, u"A>X"_s} << false << "A>X" << mark << none << ""
        << none << QStringList{u"A>X *"_s, u"A>X *"_s, u"A>X"_s} << QStringList{u"A"_s, u"A>X *"_s}
        << "A>X";
    QTest::newRow("mark: letter case of the entry aside")
        << QStringList{u"kapela>živě"_s, u"Kapela>Živě"_s} << false << "kapela>živě" << mark << none
        << "" << none << QStringList{u"kapela>živě *"_s, u"Kapela>Živě"_s}
        << QStringList{u"kapela"_s, u"kapela>živě *"_s} << "kapela>živě";

    // Clearing every new-release mark.
    const QStringList clear = {u"clearAll"_s};
    const QStringList plain = QStringList(kBase).replaceInStrings(kNewMark, u""_s);
    QTest::newRow("clear all: No") << kBase << false << "" << clear << none << "N"
                                   << QStringList{kAskClear} << kBase << kBaseTree << "";
    QTest::newRow("clear all: Yes")
        << kBase << false << "Kapela" << clear << none << "Y" << QStringList{kAskClear} << plain
        << QStringList(kBaseTree).replaceInStrings(kNewMark, u""_s) << "Kapela";
    QTest::newRow("clear all: news view keeps the nodes, then shows none")
        << kBase << true << "" << QStringList{u"clearAll"_s, u"select:Alfa"_s} << none << "Y"
        << QStringList{kAskClear} << plain
        << QStringList(newsTree).replaceInStrings(kNewMark, u""_s) << "Alfa";
    QTest::newRow("clear all: rebuilt news view is empty")
        << kBase << true << "" << QStringList{u"clearAll"_s, u"news"_s} << none << "Y"
        << QStringList{kAskClear} << plain << none << "";
}

void TestEditing::commands() {
    QFETCH(QStringList, albums);
    QFETCH(bool, news);
    QFETCH(QString, select);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, inputs);
    QFETCH(QString, answers);
    QFETCH(QStringList, log);
    QFETCH(QStringList, store);
    QFETCH(QStringList, tree);
    QFETCH(QString, selected);

    Fixture f;
    QAbstractItemModelTester tester(&f.tree,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.ctx.catalogue.Albums = albumsFrom(albums);
    ReadAlbums(f.ctx, news);
    f.ctx.newsOnly = news;
    f.view.selectNode(select.isEmpty() ? nullptr : nodeAtPath(f.tree, select));
    QCOMPARE(pathOf(f.view.selectedNode()), select);
    f.prompts.inputs = inputs;
    f.prompts.answers = yesNo(answers);

    for (const QString& step : steps)
        runStep(f.ctx, step);

    QCOMPARE(f.prompts.log, log);
    QVERIFY(f.prompts.allUsed());
    QCOMPARE(storeLines(f.ctx.catalogue.Albums), store);
    QCOMPARE(treeLines(f.tree), tree);
    QCOMPARE(pathOf(f.view.selectedNode()), selected);
    QCOMPARE(f.tree.nodeCount(), qsizetype(tree.size()));
    // The editing commands never touch the status bar.
    QCOMPARE(f.status.texts[0], QString());
    QCOMPARE(f.status.texts[1], QString());
}

void TestEditing::refusedValues_data() {
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    const QString quote = u"obsahuje uvozovky (\"), které datový soubor neumí uložit."_s;
    QTest::newRow("album with a double quote")
        << "Kapela"
        << "addAlbum"
        << "Best \"of\"" << u"message(!): Název alba "_s + quote + u"\nAlbum nebylo přidáno."_s;
    QTest::newRow("album beyond Windows-1250")
        << "Kapela"
        << "addAlbum"
        << "東京"
        << u"message(!): Název alba obsahuje znak „東“, který nelze uložit v kódování "
           u"Windows-1250.\nAlbum nebylo přidáno."_s;
    QTest::newRow("artist with a double quote")
        << ""
        << "addArtist"
        << "\"Weird Al\""
        << u"message(!): Název položky artist "_s + quote + u"\nPoložka artist nebyla přidána."_s;
    QTest::newRow("database name with a double quote")
        << ""
        << "rename"
        << "Moje \"sbírka\""
        << u"message(!): Název databáze "_s + quote + u"\nNázev databáze zůstal beze změny."_s;
    QTest::newRow("e-mail beyond Windows-1250")
        << ""
        << "email"
        << "jan@ŋ.cz"
        << u"message(!): Kontaktní email obsahuje znak „ŋ“, který nelze uložit v kódování "
           u"Windows-1250.\nKontaktní email zůstal beze změny."_s;
}

void TestEditing::refusedValues() {
    QFETCH(QString, select);
    QFETCH(QString, step);
    QFETCH(QString, typed);
    QFETCH(QString, message);

    Fixture f;
    f.ctx.catalogue.Albums = albumsFrom(kBase);
    f.ctx.catalogue.ContactEmail = u"jan@example.cz"_s;
    setDatabaseName(f.status, u"Sbírka"_s);
    ReadAlbums(f.ctx, false);
    f.view.selectNode(select.isEmpty() ? nullptr : nodeAtPath(f.tree, select));
    f.prompts.inputs = {typed};

    runStep(f.ctx, step);

    QCOMPARE(f.prompts.log.size(), 2);
    QCOMPARE(f.prompts.log.at(1), message);
    QCOMPARE(storeLines(f.ctx.catalogue.Albums), kBase);
    QCOMPARE(treeLines(f.tree), kBaseTree);
    QCOMPARE(f.ctx.catalogue.ContactEmail, u"jan@example.cz"_s);
    QCOMPARE(f.status.text(kPanelVlastnik), u"Databáze: Sbírka"_s);
    QCOMPARE(pathOf(f.view.selectedNode()), select);
}

void TestEditing::settings_data() {
    QTest::addColumn<QString>("panel"); // the owner panel's text before
    QTest::addColumn<QString>("email"); // the contact e-mail before
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("prompt"); // the input box's prompt
    QTest::addColumn<QString>("panelAfter");
    QTest::addColumn<QString>("emailAfter");

    QTest::newRow("name: none known") << ""
                                      << ""
                                      << "rename"
                                      << "Moje sbírka"
                                      << "Současný název databáze je \"\""
                                      << "Databáze: Moje sbírka"
                                      << "";
    QTest::newRow("name: empty name known") << "Databáze: "
                                            << ""
                                            << "rename"
                                            << "Nová"
                                            << "Současný název databáze je :"
                                            << "Databáze: Nová"
                                            << "";
    QTest::newRow("name: replaced") << "Databáze: Stará"
                                    << "a@b.cz"
                                    << "rename"
                                    << "Nová"
                                    << "Současný název databáze je Stará:"
                                    << "Databáze: Nová"
                                    << "a@b.cz";
    QTest::newRow("name: cancelled") << "Databáze: Stará"
                                     << ""
                                     << "rename"
                                     << ""
                                     << "Současný název databáze je Stará:"
                                     << "Databáze: Stará"
                                     << "";
    QTest::newRow("name: spaces only, as typed") << "Databáze: Stará"
                                                 << ""
                                                 << "rename"
                                                 << "   "
                                                 << "Současný název databáze je Stará:"
                                                 << "Databáze:    "
                                                 << "";
    QTest::newRow("name: a colon and a space kept") << "Databáze: : x "
                                                    << ""
                                                    << "rename"
                                                    << " y:"
                                                    << "Současný název databáze je : x :"
                                                    << "Databáze:  y:"
                                                    << "";
    QTest::newRow("e-mail: none known") << "Databáze: X"
                                        << ""
                                        << "email"
                                        << "jan@example.cz"
                                        << "Současný kontaktní email je \"\""
                                        << "Databáze: X"
                                        << "jan@example.cz";
    QTest::newRow("e-mail: replaced") << ""
                                      << "jan@example.cz"
                                      << "email"
                                      << "eva@example.cz"
                                      << "Současný kontaktní email je jan@example.cz:"
                                      << ""
                                      << "eva@example.cz";
    QTest::newRow("e-mail: cancelled") << ""
                                       << "jan@example.cz"
                                       << "email"
                                       << ""
                                       << "Současný kontaktní email je jan@example.cz:"
                                       << ""
                                       << "jan@example.cz";
    QTest::newRow("e-mail: not checked for form") << ""
                                                  << "jan@example.cz"
                                                  << "email"
                                                  << "není adresa"
                                                  << "Současný kontaktní email je jan@example.cz:"
                                                  << ""
                                                  << "není adresa";
}

void TestEditing::settings() {
    QFETCH(QString, panel);
    QFETCH(QString, email);
    QFETCH(QString, step);
    QFETCH(QString, typed);
    QFETCH(QString, prompt);
    QFETCH(QString, panelAfter);
    QFETCH(QString, emailAfter);

    Fixture f;
    f.ctx.catalogue.Albums = albumsFrom(kBase);
    ReadAlbums(f.ctx, false);
    TreeNode* selected = f.view.selectedNode();
    f.status.setText(kPanelVlastnik, panel);
    f.ctx.catalogue.ContactEmail = email;
    f.prompts.inputs = {typed};

    runStep(f.ctx, step);

    QCOMPARE(f.prompts.log, QStringList{u"input: "_s + prompt});
    QCOMPARE(f.status.text(kPanelVlastnik), panelAfter);
    QCOMPARE(f.ctx.catalogue.ContactEmail, emailAfter);
    QCOMPARE(storeLines(f.ctx.catalogue.Albums), kBase);
    QCOMPARE(treeLines(f.tree), kBaseTree);
    QCOMPARE(f.view.selectedNode(), selected);
}

void TestEditing::savedFile_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QByteArray>("bytes");

    // "Kapela","Prvni","Spolecne","Druhe" with Czech letters in Windows-1250:
    // í = ED, č = E8, é = E9, ž = 9E, ň = F2, Ž = 8E, ť = 9D, ý = FD, ů = F9, Ú = DA, ě = EC.
    const QByteArray kapela = "\"Kapela\",\"Prvn\xed album\",#FALSE#\r\n"
                              "\"Kapela\",\"Spole\xe8n\xe9\",#FALSE#\r\n";
    const QByteArray alfa = "\"Alfa\",\"Spole\xe8n\xe9\",#TRUE#\r\n";
    const QByteArray druhe = "\"Kapela\",\"Druh\xe9 album\",#TRUE#\r\n";
    const QByteArray kun = "\"\x8elu\x9dou\xe8k\xfd k\xf9\xf2\",\"\xdap\xecl\",#TRUE#\r\n";
    const QByteArray tail = "\"#DataOwner\",\"Sb\xedrka\",#FALSE#\r\n"
                            "\"#ContactEmail\",\"jan@example.cz\",#FALSE#\r\n";

    QTest::newRow("unchanged") << QStringList{} << QStringList{} << "Y"
                               << alfa + kapela + druhe + kun + tail;
    QTest::newRow("save answered No writes nothing")
        << QStringList{u"select:Alfa>Společné"_s, u"deleteAlbum"_s} << QStringList{} << "YN"
        << QByteArray();
    QTest::newRow("new artist with albums, appended; empty artist left out")
        << QStringList{u"addArtist"_s, u"addAlbum"_s, u"toggle"_s, u"addAlbum"_s, u"addArtist"_s}
        << QStringList{u"Čechomor"_s, u"Živě"_s, u"Proměny"_s, u"Prázdný"_s} << "Y"
        << alfa + kapela + druhe + kun +
               "\"\xc8"
               "echomor\",\"\x8eiv\xec\",#TRUE#\r\n"
               "\"\xc8"
               "echomor\",\"Prom\xecny\",#FALSE#\r\n" +
               tail;
    QTest::newRow("deleted and marked albums")
        << QStringList{u"select:Kapela>Společné"_s, u"markNew"_s, u"select:Alfa>Společné"_s,
                       u"deleteAlbum"_s}
        << QStringList{} << "YY"
        << QByteArray("\"Kapela\",\"Prvn\xed album\",#FALSE#\r\n"
                      "\"Kapela\",\"Spole\xe8n\xe9\",#TRUE#\r\n") +
               druhe + kun + tail;
    QTest::newRow("cleared new releases, new name and address")
        << QStringList{u"clearAll"_s, u"rename"_s, u"email"_s}
        << QStringList{u"Nová sbírka"_s, u"eva@example.cz"_s} << "YY"
        << QByteArray("\"Alfa\",\"Spole\xe8n\xe9\",#FALSE#\r\n") + kapela +
               "\"Kapela\",\"Druh\xe9 album\",#FALSE#\r\n"
               "\"\x8elu\x9dou\xe8k\xfd k\xf9\xf2\",\"\xdap\xecl\",#FALSE#\r\n"
               "\"#DataOwner\",\"Nov\xe1 sb\xedrka\",#FALSE#\r\n"
               "\"#ContactEmail\",\"eva@example.cz\",#FALSE#\r\n";
}

void TestEditing::savedFile() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, inputs);
    QFETCH(QString, answers);
    QFETCH(QByteArray, bytes);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    setProgramFolderForTesting(dir.path());

    Fixture f;
    f.ctx.catalogue.Albums = albumsFrom(kBase);
    f.ctx.catalogue.ContactEmail = u"jan@example.cz"_s;
    setDatabaseName(f.status, u"Sbírka"_s);
    ReadAlbums(f.ctx, false);
    f.prompts.inputs = inputs;
    f.prompts.answers = yesNo(answers);

    for (const QString& step : steps)
        runStep(f.ctx, step);
    saveDataFile(f.ctx);
    QVERIFY(f.prompts.allUsed());

    QFile file(dir.filePath(u"Velbor.dat"_s));
    if (bytes.isEmpty()) {
        QVERIFY(!file.exists());
        QVERIFY(!f.prompts.log.contains(u"message(i): Hotovo."_s));
        return;
    }
    QCOMPARE(f.prompts.log.last(), u"message(i): Hotovo."_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

// The node the logic selects after a deletion must be one the tree still shows; deleting again
// and again down to an empty tree never reaches a removed node.
void TestEditing::selectionAfterDelete() {
    Fixture f;
    f.ctx.catalogue.Albums = albumsFrom(kBase);
    ReadAlbums(f.ctx, false);
    f.view.selectNode(nodeAtPath(f.tree, u"Kapela>Druhé album"_s));
    for (int i = 0; i < 20; ++i)
        f.prompts.answers << true;

    int deletions = 0;
    while (TreeNode* node = f.view.selectedNode()) {
        QVERIFY(node == nodeAtPath(f.tree, pathOf(node)));
        if (node->image == NodeImage::Mp3) {
            deleteAlbum(f.ctx);
        } else if (node->children.empty()) {
            deleteArtist(f.ctx);
        } else {
            f.view.selectNode(node->children.front());
            continue;
        }
        ++deletions;
        QVERIFY(deletions <= 8);
    }
    QCOMPARE(deletions, 8);
    QCOMPARE(f.tree.nodeCount(), qsizetype(0));
    QVERIFY(f.ctx.catalogue.Albums.empty());
}

QTEST_GUILESS_MAIN(TestEditing)
#include "tst_editing.moc"
