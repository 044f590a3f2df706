// The Editing commands, "Najít" and "Najít další" with the undo history as step sequences; every
// step checks that undo gives back its start, the album count follows and changed nodes redraw.

#include "folderfixture.h"

#include "catalogue/textcompare.h"
#include "commands/editing.h"
#include "commands/editsteps.h"
#include "commands/find.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QUndoStack>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

// Two artists have an album called "Společné", Alfa's first.
const QString kBase = u"Alfa>Společné *|Kapela>První|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *"_s;
const QString kValues = u"Databáze: Sbírka @jan@example.cz"_s;

// The commands by name; "command=answer" answers its one box (Y/N, or a text to type).
const QStringList kNames =
    u"addAlbum addArtist deleteAlbum deleteArtist clearAll markNew unmarkNew toggle dbName "
    u"email rename tickAll untickAll all news find next"_s.split(u' ');
void (*const kCommands[])(AppContext&) = {
    addAlbum,       addArtist,        deleteAlbum,    deleteArtist,       clearAllNewReleases,
    markNewRelease, unmarkNewRelease, toggleAddAsNew, changeDatabaseName, changeContactEmail,
    renameSelected, tickAll,          untickAll,      showAllAlbums,      showNewReleases,
    findByName,     findNext};

// Whether a dataChanged signal in spy covered index for role, so the view draws it anew.
bool announced(const QSignalSpy& spy, const QModelIndex& index, int role) {
    for (const QList<QVariant>& args : spy) {
        const QModelIndex from = args[0].toModelIndex(), to = args[1].toModelIndex();
        const auto roles = args[2].value<QList<int>>();
        if (from.parent() == index.parent() && from.row() <= index.row() &&
            index.row() <= to.row() && (roles.isEmpty() || roles.contains(role)))
            return true;
    }
    return false;
}

struct Window : FolderFixture {
    QUndoStack stack;
    // The state at each point of the history: last seen there, and when a step arrived there.
    QHash<int, QStringList> seen, arrived;
    QStringList loaded; // the catalogue and the tree as the last load left them

    Window() {
        QObject::connect(&tree, &CatalogueTree::nodeCheckChanged,
                         [this](TreeNode* node) { nodeChecked(ctx, node); });
        attachUndoStack(ctx, &stack);
        ctx.catalogue.contactEmail = u"jan@example.cz"_s;
        setDatabaseName(status, u"Sbírka"_s);
        load(kBase);
    }
    void load(const QString& albums) {
        ctx.catalogue.albums = albumsFrom(albums.split(u'|', Qt::SkipEmptyParts));
        showAlbumCount(ctx);
        showAllAlbums(ctx);
        loaded = {store(), treeText(tree)};
    }
    // The albums, then the owner panel and the e-mail where they differ from the base's.
    QString store() const {
        const QString values = status.texts[1] + u" @"_s + ctx.catalogue.contactEmail;
        return storeLines(ctx.catalogue.albums).join(u'|') +
               (values == kValues ? QString() : u" # "_s + values);
    }
    QStringList state() const {
        const auto bytes =
            formatDataFile(ctx.catalogue.albums, databaseName(status), ctx.catalogue.contactEmail);
        return {store(),
                treeText(tree),
                pathOf(view.selectedNode()),
                additionOrder(tree).join(u'|'),
                status.texts[0],
                QString::fromLatin1(bytes.value_or("<cannot be saved>").toHex())};
    }

    // One step (see kCommands; "select:path", "+path"/"-path" ticks, "?path" checks the
    // selection, "!text" the last box, "load:albums", "panel:text", "mail:text", "undo", "redo",
    // "save"). An undo gives back the state last seen at that point of the history, a redo the
    // state its step first gave, unless the view was built anew in between.
    void run(const QString& step) {
        const int index = stack.index();
        const QString name = step.section(u'=', 0, 0), answer = step.section(u'=', 1);
        QHash<const TreeNode*, std::pair<bool, bool>> looks;
        for (const TreeNode* n = tree.firstAdded(); n; n = n->nextAdded)
            looks.insert(n, {n->checked, n->bold});
        QSignalSpy changed(&tree, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&tree, &QAbstractItemModel::modelReset);

        if (step.startsWith(u"select:"_s)) {
            view.selectNode(nodeAtPath(tree, step.mid(7)));
        } else if (step.startsWith(u'?')) {
            QCOMPARE(pathOf(view.selectedNode()), step.mid(1));
        } else if (step.startsWith(u'!')) {
            QCOMPARE(prompts.log.value(prompts.log.size() - 1), step.mid(1));
        } else if (step.startsWith(u"panel:"_s)) {
            status.setText(StatusPanel::DatabaseName, step.mid(6));
        } else if (step.startsWith(u"mail:"_s)) {
            ctx.catalogue.contactEmail = step.mid(5);
        } else if (step.startsWith(u"load:"_s)) {
            load(step.mid(5));
            stack.clear();
        } else if (step.startsWith(u'+') || step.startsWith(u'-')) {
            QVERIFY(tree.setData(tree.indexOf(nodeAtPath(tree, step.mid(1))),
                                 step[0] == u'+' ? Qt::Checked : Qt::Unchecked,
                                 Qt::CheckStateRole));
        } else if (step == u"undo"_s || step == u"redo"_s) {
            step == u"undo"_s ? stack.undo() : stack.redo();
            QCOMPARE(state(), (step == u"undo"_s ? seen : arrived).value(stack.index(), state()));
        } else if (step == u"save"_s) {
            QCOMPARE(save(), reliability::kSaved);
        } else if (const qsizetype c = kNames.indexOf(name); c >= 0) {
            if (answer == u"Y"_s || answer == u"N"_s)
                prompts.answers = {answer == u"Y"_s};
            else if (step.contains(u'='))
                prompts.inputs = {answer};
            kCommands[c](ctx);
            QVERIFY2(prompts.allUsed(), "not asked");
        } else {
            QFAIL(qPrintable(u"unknown step "_s + step));
        }
        if (!reset.isEmpty())
            seen = arrived = {};
        seen.insert(stack.index(), state());
        if (stack.index() > index && step != u"redo"_s)
            arrived.insert(stack.index(), state());
        QCOMPARE(status.texts[0], u"V databázi je %1 MP3 alb."_s.arg(ctx.catalogue.albums.size()));
        // Every node that changed its tick or bold face is drawn anew.
        for (const TreeNode* n = tree.firstAdded(); n && reset.isEmpty(); n = n->nextAdded) {
            const auto was = looks.value(n, {n->checked, n->bold});
            QVERIFY2(was.first == n->checked ||
                         announced(changed, tree.indexOf(n), Qt::CheckStateRole),
                     qPrintable(u"tick of "_s + pathOf(n)));
            QVERIFY2(was.second == n->bold || announced(changed, tree.indexOf(n), Qt::FontRole),
                     qPrintable(u"bold face of "_s + pathOf(n)));
        }
        // A found album's artist is expanded.
        if (const TreeNode* s = view.selectedNode(); (name == u"find"_s || name == u"next"_s) && s)
            QVERIFY(!s->parent || view.expanded.contains(s->parent));
    }
};

} // namespace

class TestEditing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }
    void steps_data();
    void steps();
};

// Steps (";" between) from the base catalogue with Alfa selected, then what they leave: the
// catalogue (see Window::store()) and the tree ("=": as loaded), the selection, the last box, the
// history ("|" between) and whether edits are unsaved.
void row(const char* name, const QString& steps, const QString& store, const QString& tree,
         const QString& selected, const QString& box = {}, const QString& history = {},
         bool unsaved = false) {
    QTest::newRow(name) << steps << QStringList{store, tree, selected, box, history} << unsaved;
}

void TestEditing::steps_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("unsaved");

    const QString b = kBase, same = u"="_s;
    const QString album = u"input: Název alba:"_s, artist = u"input: Název položky artist:"_s;
    const QString del = u"ask: Opravdu chcete smazat toto album?"_s;
    const QString delArtist = u"ask: Opravdu chcete smazat tuto položku artist?"_s;
    const QString quote = u"obsahuje uvozovky (\"), které datový soubor neumí uložit.\n"_s;
    const QString find =
        u"input: Zadejte název (část názvu) hledaného alba/skupiny: [MP3 Velbor]"_s;
    const QString none = u"message(i): Nenalezeno."_s;

    row("no selection of their kind, cancelled, answered No or unchanged: nothing",
        u"select:;addAlbum;deleteAlbum;deleteArtist;markNew;unmarkNew;rename;select:Kapela;"
        u"deleteAlbum;markNew;unmarkNew;addAlbum=;addArtist=;clearAll=N;dbName=;rename=Kapela;"
        u"select:Kapela>První;addAlbum;deleteArtist;deleteAlbum=N;rename=;email="_s,
        b, same, u"Kapela>První"_s, u"input: Současný kontaktní email je jan@example.cz:"_s);

    row("add: names as typed, an album name again, its new node undone",
        u"select:Kapela;addAlbum=První;addAlbum=  ;addArtist= ;undo;undo;redo"_s,
        b + u"|Kapela>První *|Kapela>   *"_s,
        u"Alfa(*Společné) Kapela(*  ,*Druhé,První,*První,Společné) Žižka(*Úpěl)"_s, u"Kapela"_s,
        artist, u"Přidat album První|Přidat album   |Přidat artist  "_s, true);
    row("add album in the news view, not new: shown; toggled back, new",
        u"news;select:Kapela;toggle;addAlbum=Archiv;toggle;addAlbum=Bonus"_s,
        b + u"|Kapela>Archiv|Kapela>Bonus *"_s,
        u"Alfa(*Společné) Kapela(Archiv,*Bonus,*Druhé) Žižka(*Úpěl)"_s, u"Kapela"_s, album,
        u"Přidat album Archiv|Přidat album Bonus"_s, true);
    row("add artist: in its Czech place, not in the catalogue; shown already",
        u"select:;addArtist=Čechomor;select:Alfa>Společné;addArtist=KAPELA"_s, b,
        u"Alfa(*Společné) Čechomor() Kapela(*Druhé,První,Společné) Žižka(*Úpěl)"_s,
        u"Alfa>Společné"_s, artist, u"Přidat artist Čechomor"_s, true);
    row("add artist, then albums in the order added; all undone and done again",
        u"select:Kapela;addArtist=Nový;addAlbum=Zima;toggle;addAlbum=Alba;undo;undo;undo;"
        u"redo;redo;redo"_s,
        b + u"|Nový>Zima *|Nový>Alba"_s,
        u"Alfa(*Společné) Kapela(*Druhé,První,Společné) Nový(*Zima,Alba) Žižka(*Úpěl)"_s, u"Nový"_s,
        album, u"Přidat artist Nový|Přidat album Zima|Přidat album Alba"_s, true);
    row("refused: an artist with albums, double quotes, an e-mail beyond Windows-1250",
        u"select:Kapela;deleteArtist;!message(!): Složka obsahuje alba, ty odstraňte jako první!;"
        u"addAlbum=Best \"of\";!message(!): Název alba %1Album nebylo přidáno.;addArtist=\"Weird "
        u"Al\";!message(!): Název položky artist %1Položka artist nebyla přidána.;dbName=Moje "
        u"\"sbírka\";!message(!): Název databáze %1Název databáze zůstal beze změny.;"
        u"email=jan@ŋ.cz"_s.arg(quote),
        b, same, u"Kapela"_s,
        u"message(!): Kontaktní email obsahuje znak „ŋ“, který nelze uložit v kódování "
        u"Windows-1250.\nKontaktní email zůstal beze změny."_s);

    row("delete album: the next or the one before selected; its own of a shared name",
        u"select:Alfa>Společné;unmarkNew;select:Kapela>Druhé;deleteAlbum=Y;?Kapela>První;"
        u"select:Kapela>Společné;deleteAlbum=Y;?Kapela>První;select:Alfa>Společné;"
        u"deleteAlbum=Y;?Alfa;undo;undo;undo"_s,
        u"Alfa>Společné|Kapela>První|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *"_s,
        u"Alfa(Společné) Kapela(*Druhé,První,Společné) Žižka(*Úpěl)"_s, u"Kapela>Druhé"_s, del,
        u"Odebrat status novinky Společné|Odstranit album Druhé|Odstranit album Společné|"
        u"Odstranit album Společné"_s,
        true);
    row("delete album: one node for two entries, the one shown goes",
        u"load:A>X|A>X *;news;select:A>X;deleteAlbum=Y"_s, u"A>X"_s, u"A()"_s, u"A"_s, del,
        u"Odstranit album X"_s, true);
    row("delete artist: No, then Yes, the next one selected",
        u"addArtist=Nový;deleteArtist=N;deleteArtist=Y"_s, b, same, u"Žižka"_s, delArtist,
        u"Přidat artist Nový|Odstranit artist Nový"_s, true);
    row("delete artist: the last one, the one before selected; undone, done again",
        u"select:Žižka>Úpěl;deleteAlbum=Y;deleteArtist=Y;undo;undo;redo;redo"_s,
        u"Alfa>Společné *|Kapela>První|Kapela>Společné|Kapela>Druhé *"_s,
        u"Alfa(*Společné) Kapela(*Druhé,První,Společné)"_s, u"Kapela"_s, delArtist,
        u"Odstranit album Úpěl|Odstranit artist Žižka"_s, true);
    row("delete artist in the news view: its other albums stay",
        u"news;select:Kapela>Druhé;deleteAlbum=Y;deleteArtist=Y"_s,
        u"Alfa>Společné *|Kapela>První|Kapela>Společné|Žižka>Úpěl *"_s,
        u"Alfa(*Společné) Žižka(*Úpěl)"_s, u"Žižka"_s, delArtist,
        u"Odstranit album Druhé|Odstranit artist Kapela"_s, true);
    row("delete artist: the only one, nothing left to select",
        u"load:A>X;select:A>X;deleteAlbum=Y;deleteArtist=Y"_s, u""_s, u""_s, u""_s, delArtist,
        u"Odstranit album X|Odstranit artist A"_s, true);

    row("marks: one that changes nothing is no step",
        u"select:Kapela>Druhé;markNew;select:Kapela>První;markNew;select:Kapela>Druhé;"
        u"unmarkNew;undo;redo;undo;undo"_s,
        b, same, u"Kapela>První"_s, u""_s,
        u"Přidat status novinky První|Odebrat status novinky Druhé"_s);
    row("unmark in the news view: the node stays, plain", u"news;select:Kapela>Druhé;unmarkNew"_s,
        u"Alfa>Společné *|Kapela>První|Kapela>Společné|Kapela>Druhé|Žižka>Úpěl *"_s,
        u"Alfa(*Společné) Kapela(Druhé) Žižka(*Úpěl)"_s, u"Kapela>Druhé"_s, u""_s,
        u"Odebrat status novinky Druhé"_s, true);
    row("unmark: one node for two entries, the new one changes",
        u"load:A>X|A>X *;news;select:A>X;unmarkNew"_s, u"A>X|A>X"_s, u"A(X)"_s, u"A>X"_s, u""_s,
        u"Odebrat status novinky X"_s, true);
    row("mark: letter case of the entry aside",
        u"load:kapela>živě|Kapela>Živě;select:kapela>živě;markNew"_s,
        u"kapela>živě *|Kapela>Živě"_s, u"kapela(*živě)"_s, u"kapela>živě"_s, u""_s,
        u"Přidat status novinky živě"_s, true);
    row("clear all in the news view: one step, the nodes and ticks stay",
        u"news;+Kapela;clearAll=Y;undo;redo"_s,
        u"Alfa>Společné|Kapela>První|Kapela>Společné|Kapela>Druhé|Žižka>Úpěl"_s,
        u"Alfa(Společné) [x]Kapela([x]Druhé) Žižka(Úpěl)"_s, u"Alfa"_s,
        u"ask: Zrušit status všech novinek?"_s, u"Zrušit status všech novinek"_s, true);

    row("ticks: an artist's spread down, never up",
        u"+Kapela;-Kapela>První;+Alfa>Společné;addArtist=X;+X"_s, b,
        u"Alfa([x]*Společné) [x]Kapela([x]*Druhé,První,[x]Společné) [x]X() Žižka(*Úpěl)"_s, u"X"_s,
        artist, u"Přidat artist X"_s, true);
    row("ticks: unticking an artist unticks its albums", u"+Kapela>První;+Kapela;-Kapela"_s, b,
        same, u"Alfa"_s);
    row("ticks: all, an added artist and album too; untick all",
        u"addArtist=X;addAlbum=Z;tickAll"_s, b + u"|X>Z *"_s,
        u"[x]Alfa([x]*Společné) [x]Kapela([x]*Druhé,[x]První,[x]Společné) [x]X([x]*Z) "
        u"[x]Žižka([x]*Úpěl)"_s,
        u"X"_s, album, u"Přidat artist X|Přidat album Z"_s, true);
    row("ticks: all in the news view, then none", u"news;tickAll;?Alfa;untickAll"_s, b,
        u"Alfa(*Společné) Kapela(*Druhé) Žižka(*Úpěl)"_s, u"Alfa"_s);
    row("ticks: all on an empty tree", u"load:;tickAll"_s, u""_s, u""_s, u""_s);
    row("ticks: editing leaves the others' alone",
        u"+Kapela;select:Kapela;addAlbum=Nové;select:Kapela>Druhé;deleteAlbum=Y;"
        u"select:Kapela>Společné;markNew"_s,
        u"Alfa>Společné *|Kapela>První|Kapela>Společné *|Žižka>Úpěl *|Kapela>Nové *"_s,
        u"Alfa(*Společné) [x]Kapela(*Nové,[x]První,[x]*Společné) Žižka(*Úpěl)"_s,
        u"Kapela>Společné"_s, del,
        u"Přidat album Nové|Odstranit album Druhé|Přidat status novinky Společné"_s, true);

    row("name: none known, an empty one, colons and spaces kept; e-mail: none known, any text",
        u"panel:;dbName=Moje sbírka;!input: Současný název databáze je \"\";panel:Databáze: ;"
        u"dbName=Nová;!input: Současný název databáze je :;panel:Databáze: : x ;dbName= y:;"
        u"!input: Současný název databáze je : x :;mail:;email=není adresa"_s,
        b + u" # Databáze:  y: @není adresa"_s, same, u"Alfa"_s,
        u"input: Současný kontaktní email je \"\""_s,
        u"Změnit název databáze|Změnit název databáze|Změnit název databáze|Změnit kontaktní email"_s,
        true);
    row("name and e-mail undone; the same name again is no step",
        u"dbName=Nová;email=eva@example.cz;dbName=Nová;undo;undo;redo"_s,
        b + u" # Databáze: Nová @jan@example.cz"_s, same, u"Alfa"_s,
        u"input: Současný název databáze je Nová:"_s,
        u"Změnit název databáze|Změnit kontaktní email"_s, true);

    row("rename album: to its sorted place and back",
        u"select:Kapela>První;rename=A capella;undo;redo"_s,
        u"Alfa>Společné *|Kapela>A capella|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *"_s,
        u"Alfa(*Společné) Kapela(A capella,*Druhé,Společné) Žižka(*Úpěl)"_s, u"Kapela>A capella"_s,
        u"input: Nový název alba: «První»"_s, u"Přejmenovat První na A capella"_s, true);
    row("rename artist: every entry, of any capitals",
        u"load:Kapela>První|kapela>Živě|Alfa>X;select:Kapela;rename=KAPELA;rename=Čechomor;"
        u"undo;undo;redo"_s,
        u"KAPELA>První|KAPELA>Živě|Alfa>X"_s, u"Alfa(X) KAPELA(První,Živě)"_s, u"KAPELA"_s,
        u"input: Nový název položky artist: «KAPELA»"_s,
        u"Přejmenovat Kapela na KAPELA|Přejmenovat KAPELA na Čechomor"_s, true);
    row("rename in the news view, undone after all shown",
        u"news;select:Kapela;rename=Čechomor;all;undo"_s, b, same, u"Kapela"_s,
        u"input: Nový název položky artist: «Kapela»"_s, u"Přejmenovat Kapela na Čechomor"_s);

    row("rename refused: a double quote, the artist's other album, the database-name word",
        u"select:Kapela>První;rename=Best \"of\";!message(!): Název alba obsahuje uvozovky (\"), "
        u"které datový soubor neumí uložit.%1;rename=DRUHÉ;!message(!): Album „DRUHÉ“ už u této "
        u"položky artist existuje.%1;select:Kapela;rename=#dataowner"_s.arg(
            u"\nAlbum nebylo přejmenováno."_s),
        b, same, u"Kapela"_s,
        u"message(!): Název položky artist je slovo „#dataowner“, kterým datový soubor "
        u"označuje název databáze.\nPoložka artist nebyla přejmenována."_s);
    row("rename refused in the news view: an album or an artist it does not show",
        u"select:Alfa>Společné;unmarkNew;news;select:Kapela>Druhé;rename=první;!message(!): Album "
        u"„první“ už u této položky artist existuje.\nAlbum nebylo přejmenováno.;select:Kapela;"
        u"rename=alfa"_s,
        u"Alfa>Společné|Kapela>První|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *"_s,
        u"Kapela(*Druhé) Žižka(*Úpěl)"_s, u"Kapela"_s,
        u"message(!): Položka artist „alfa“ už existuje.\nPoložka artist nebyla přejmenována."_s,
        u"Odebrat status novinky Společné"_s, true);

    row("undone in the news view built after the steps",
        u"select:Kapela;addAlbum=Nové;select:Kapela>Druhé;deleteAlbum=Y;news;undo;undo;redo"_s,
        b + u"|Kapela>Nové *"_s, u"Alfa(*Společné) Kapela(*Druhé,*Nové) Žižka(*Úpěl)"_s,
        u"Kapela"_s, del, u"Přidat album Nové|Odstranit album Druhé"_s, true);
    row("a new step after an undo: the undone one is gone", u"addArtist=X;undo;addArtist=Z;redo"_s,
        b, u"Alfa(*Společné) Kapela(*Druhé,První,Společné) Z() Žižka(*Úpěl)"_s, u"Z"_s, artist,
        u"Přidat artist Z"_s, true);
    row("undone past a save, done again up to it: nothing unsaved; a Czech place",
        u"select:Kapela;addAlbum=Čtvrté;save;addAlbum=B;undo;undo;redo"_s,
        b + u"|Kapela>Čtvrté *"_s,
        u"Alfa(*Společné) Kapela(*Čtvrté,*Druhé,První,Společné) Žižka(*Úpěl)"_s, u"Kapela"_s, album,
        u"Přidat album Čtvrté|Přidat album B"_s);
    row("undone past a save: unsaved", u"select:Kapela;addAlbum=A;save;undo"_s, b, same,
        u"Kapela"_s, u"message(i): Hotovo."_s, u"Přidat album A"_s, true);

    const QString found = u"load:Zed>Alfa Beta|Abba>beta|Nightwish>Night Songs|K>xabcx|"
                          u"K>Dvě  mezery|K>Dvě mezery|Kapela>Album [abc"_s;
    row("find: the first added matching, an artist before its album; no match",
        found + u";find=BETA;?Zed>Alfa Beta;find=night;?Nightwish;find=a?c;?K>xabcx;find=  ;"
                u"?K>Dvě  mezery;select:Abba;find=[abc;find=Kapela - Album;find=beta;"
                u"?Zed>Alfa Beta;select:Abba;find="_s,
        same, same, u"Abba"_s, find);
    row("find in the news view: what it shows",
        u"load:Zed>Druhý|Abba>Druhá *|Abba>Arrival;news;find=druh;?Abba>Druhá;select:Abba;"
        u"find=arriv"_s,
        same, u"Abba(*Druhá)"_s, u"Abba"_s, find);
    const QString mlha = u"load:Mlha>Mlha|Alfa>Mlha|Mlha>Jiné|Beta>Mlhy *;"_s;
    row("find next: albums and artists of one name in order, then from the start",
        mlha + u"find=mlh;?Mlha;next;?Mlha>Mlha;next;?Alfa>Mlha;next;?Beta>Mlhy;next;"
               u"?Beta>Mlhy;next"_s,
        same, same, u"Mlha"_s, none);
    row("find next: no pattern yet, asked for; one match only",
        mlha + u"next=JINÉ;?Mlha>Jiné;next;?Mlha>Jiné;next"_s, same, same, u"Mlha>Jiné"_s, none);
    row("find next: an added album found next; F3 starts from the first",
        mlha + u"find=mlhy;select:Alfa;addAlbum=Mlhy 2;next;?Alfa>Mlhy 2;find=mlhy"_s,
        u"Mlha>Mlha|Alfa>Mlha|Mlha>Jiné|Beta>Mlhy *|Alfa>Mlhy 2 *"_s,
        u"Alfa(Mlha,*Mlhy 2) Beta(*Mlhy) Mlha(Jiné,Mlha)"_s, u"Beta>Mlhy"_s, find,
        u"Přidat album Mlhy 2"_s, true);
    row("find next: the view built anew, from the first", mlha + u"find=mlh;next;news;?Beta;next"_s,
        same, u"Beta(*Mlhy)"_s, u"Beta>Mlhy"_s, find);
}

void TestEditing::steps() {
    QFETCH(QString, steps);
    QFETCH(QStringList, after);
    QFETCH(bool, unsaved);

    Window w;
    QAbstractItemModelTester tester(&w.tree,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (const QString& step : steps.split(u';')) {
        w.run(step);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(u"at "_s + step));
    }
    QStringList history;
    for (int i = 0; i < w.stack.count(); ++i)
        history << w.stack.text(i);
    for (int i : {0, 1}) // "=": as loaded
        after[i].replace(u"="_s, w.loaded[i]);
    QCOMPARE((QStringList{w.store(), treeText(w.tree), pathOf(w.view.selectedNode()),
                          w.prompts.log.value(w.prompts.log.size() - 1), history.join(u'|')}),
             after);
    QCOMPARE(w.ctx.unsavedEdits, unsaved);
    // Nothing asked that the row did not answer.
    QVERIFY2(!w.prompts.log.join(u'\n').contains(u"(unscripted)"_s),
             qPrintable(w.prompts.log.join(u'\n')));
    // At the saved point the file holds what a save would write now.
    if (!unsaved && QFile::exists(w.dataFile()))
        QCOMPARE(reliability::readFile(w.dataFile()).toHex(), w.state().last().toLatin1());
}

QTEST_GUILESS_MAIN(TestEditing)
#include "tst_editing.moc"
