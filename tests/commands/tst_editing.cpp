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
        for (const TreeNode* a : tree.artists()) // the view draws an expander by this
            QCOMPARE(tree.hasChildren(tree.indexOf(a)), !a->children.empty());
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

// Whether steps (";" between) from the base catalogue with Alfa selected leave edits unsaved, and
// what they leave, "¦" between: the catalogue (see Window::store()) and the tree ("=" first: the
// loaded one), the selection, the last box and the history ("|" between).
void row(const char* name, bool unsaved, const QString& steps, const QString& after) {
    QTest::newRow(name) << steps << after.split(u'¦') << unsaved;
}

void TestEditing::steps_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("unsaved");
    row("no selection of their kind, cancelled, answered No or unchanged: nothing", false,
        u"select:;addAlbum;deleteAlbum;deleteArtist;markNew;unmarkNew;rename;select:Kapela;"
        u"deleteAlbum;markNew;unmarkNew;addAlbum=;addArtist=;clearAll=N;dbName=;rename=Kapela;"
        u"select:Kapela>První;addAlbum;deleteArtist;deleteAlbum=N;rename=;email="_s,
        u"=¦=¦Kapela>První¦input: Současný kontaktní email je jan@example.cz:¦"_s);
    row("add: names as typed, an album name again, its new node undone", true,
        u"select:Kapela;addAlbum=První;addAlbum=  ;addArtist= ;undo;undo;redo"_s,
        u"=|Kapela>První *|Kapela>   *¦Alfa(*Společné) Kapela(*  ,*Druhé,První,*První,Společné) "
        u"Žižka(*Úpěl)¦Kapela¦input: Název položky artist:¦Přidat album První|Přidat album   |"
        u"Přidat artist  "_s);
    row("add album in the news view, not new: shown; toggled back, new", true,
        u"news;select:Kapela;toggle;addAlbum=Archiv;toggle;addAlbum=Bonus"_s,
        u"=|Kapela>Archiv|Kapela>Bonus *¦Alfa(*Společné) Kapela(Archiv,*Bonus,*Druhé) Žižka(*Úpěl)¦"
        u"Kapela¦input: Název alba:¦Přidat album Archiv|Přidat album Bonus"_s);
    row("add artist: in its Czech place, not in the catalogue; shown already", true,
        u"select:;addArtist=Čechomor;select:Alfa>Společné;addArtist=KAPELA"_s,
        u"=¦Alfa(*Společné) Čechomor() Kapela(*Druhé,První,Společné) Žižka(*Úpěl)¦Alfa>Společné¦"
        u"input: Název položky artist:¦Přidat artist Čechomor"_s);
    row("add artist, then albums in the order added; all undone and done again", true,
        u"select:Kapela;addArtist=Nový;addAlbum=Zima;toggle;addAlbum=Alba;undo;undo;undo;redo;redo;"
        u"redo"_s,
        u"=|Nový>Zima *|Nový>Alba¦Alfa(*Společné) Kapela(*Druhé,První,Společné) Nový(*Zima,Alba) "
        u"Žižka(*Úpěl)¦Nový¦input: Název alba:¦Přidat artist Nový|Přidat album Zima|"
        u"Přidat album Alba"_s);
    row("refused: an artist with albums, double quotes, an e-mail beyond Windows-1250", false,
        u"select:Kapela;deleteArtist;!message(!): Složka obsahuje alba, ty odstraňte jako první!;"
        u"addAlbum=Best \"of\";!message(!): Název alba obsahuje uvozovky (\"), které datový soubor "
        u"neumí uložit.\nAlbum nebylo přidáno.;addArtist=\"Weird Al\";"
        u"!message(!): Název položky artist obsahuje uvozovky (\"), které datový soubor neumí "
        u"uložit.\nPoložka artist nebyla přidána.;dbName=Moje \"sbírka\";"
        u"!message(!): Název databáze obsahuje uvozovky (\"), které datový soubor neumí "
        u"uložit.\nNázev databáze zůstal beze změny.;email=jan@ŋ.cz"_s,
        u"=¦=¦Kapela¦message(!): Kontaktní email obsahuje znak „ŋ“, který nelze uložit v kódování "
        u"Windows-1250.\nKontaktní email zůstal beze změny.¦"_s);
    row("delete album: the next or the one before selected; its own of a shared name", true,
        u"select:Alfa>Společné;unmarkNew;select:Kapela>Druhé;deleteAlbum=Y;?Kapela>První;"
        u"select:Kapela>Společné;deleteAlbum=Y;?Kapela>První;select:Alfa>Společné;deleteAlbum=Y;"
        u"?Alfa;undo;undo;undo"_s,
        u"Alfa>Společné|Kapela>První|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *¦"
        u"Alfa(Společné) Kapela(*Druhé,První,Společné) Žižka(*Úpěl)¦Kapela>Druhé¦"
        u"ask: Opravdu chcete smazat toto album?¦Odebrat status novinky Společné|"
        u"Odstranit album Druhé|Odstranit album Společné|Odstranit album Společné"_s);
    row("delete album: one node for two entries, the one shown goes", true,
        u"load:A>X|A>X *;news;select:A>X;deleteAlbum=Y"_s,
        u"A>X¦A()¦A¦ask: Opravdu chcete smazat toto album?¦Odstranit album X"_s);
    row("delete artist: No, then Yes, the next one selected", true,
        u"addArtist=Nový;deleteArtist=N;deleteArtist=Y"_s,
        u"=¦=¦Žižka¦ask: Opravdu chcete smazat tuto položku artist?¦Přidat artist Nový|"
        u"Odstranit artist Nový"_s);
    row("delete artist: the last one, the one before selected; undone, done again", true,
        u"select:Žižka>Úpěl;deleteAlbum=Y;deleteArtist=Y;undo;undo;redo;redo"_s,
        u"Alfa>Společné *|Kapela>První|Kapela>Společné|Kapela>Druhé *¦"
        u"Alfa(*Společné) Kapela(*Druhé,První,Společné)¦Kapela¦"
        u"ask: Opravdu chcete smazat tuto položku artist?¦Odstranit album Úpěl|"
        u"Odstranit artist Žižka"_s);
    row("delete artist in the news view: its other albums stay", true,
        u"news;select:Kapela>Druhé;deleteAlbum=Y;deleteArtist=Y"_s,
        u"Alfa>Společné *|Kapela>První|Kapela>Společné|Žižka>Úpěl *¦Alfa(*Společné) Žižka(*Úpěl)¦"
        u"Žižka¦ask: Opravdu chcete smazat tuto položku artist?¦Odstranit album Druhé|"
        u"Odstranit artist Kapela"_s);
    row("delete artist: the only one, nothing left to select", true,
        u"load:A>X;select:A>X;deleteAlbum=Y;deleteArtist=Y"_s,
        u"¦¦¦ask: Opravdu chcete smazat tuto položku artist?¦Odstranit album X|"
        u"Odstranit artist A"_s);
    row("marks: one that changes nothing is no step", false,
        u"select:Kapela>Druhé;markNew;select:Kapela>První;markNew;select:Kapela>Druhé;unmarkNew;"
        u"undo;redo;undo;undo"_s,
        u"=¦=¦Kapela>První¦¦Přidat status novinky První|Odebrat status novinky Druhé"_s);
    row("unmark in the news view: the node stays, plain", true,
        u"news;select:Kapela>Druhé;unmarkNew"_s,
        u"Alfa>Společné *|Kapela>První|Kapela>Společné|Kapela>Druhé|Žižka>Úpěl *¦"
        u"Alfa(*Společné) Kapela(Druhé) Žižka(*Úpěl)¦Kapela>Druhé¦¦Odebrat status novinky Druhé"_s);
    row("unmark: one node for two entries, the new one changes", true,
        u"load:A>X|A>X *;news;select:A>X;unmarkNew"_s,
        u"A>X|A>X¦A(X)¦A>X¦¦Odebrat status novinky X"_s);
    row("mark: letter case of the entry aside", true,
        u"load:kapela>živě|Kapela>Živě;select:kapela>živě;markNew"_s,
        u"kapela>živě *|Kapela>Živě¦kapela(*živě)¦kapela>živě¦¦Přidat status novinky živě"_s);
    row("clear all in the news view: one step, the nodes and ticks stay", true,
        u"news;+Kapela;clearAll=Y;undo;redo"_s,
        u"Alfa>Společné|Kapela>První|Kapela>Společné|Kapela>Druhé|Žižka>Úpěl¦"
        u"Alfa(Společné) [x]Kapela([x]Druhé) Žižka(Úpěl)¦Alfa¦ask: Zrušit status všech novinek?¦"
        u"Zrušit status všech novinek"_s);
    row("ticks: an artist's spread down, never up", true,
        u"+Kapela;-Kapela>První;+Alfa>Společné;addArtist=X;+X"_s,
        u"=¦Alfa([x]*Společné) [x]Kapela([x]*Druhé,První,[x]Společné) [x]X() Žižka(*Úpěl)¦X¦"
        u"input: Název položky artist:¦Přidat artist X"_s);
    row("ticks: unticking an artist unticks its albums", false, u"+Kapela>První;+Kapela;-Kapela"_s,
        u"=¦=¦Alfa¦¦"_s);
    row("ticks: all, an added artist and album too; untick all", true,
        u"addArtist=X;addAlbum=Z;tickAll"_s,
        u"=|X>Z *¦[x]Alfa([x]*Společné) [x]Kapela([x]*Druhé,[x]První,[x]Společné) [x]X([x]*Z) "
        u"[x]Žižka([x]*Úpěl)¦X¦input: Název alba:¦Přidat artist X|Přidat album Z"_s);
    row("ticks: editing leaves the others' alone", true,
        u"+Kapela;select:Kapela;addAlbum=Nové;select:Kapela>Druhé;deleteAlbum=Y;"
        u"select:Kapela>Společné;markNew"_s,
        u"Alfa>Společné *|Kapela>První|Kapela>Společné *|Žižka>Úpěl *|Kapela>Nové *¦"
        u"Alfa(*Společné) [x]Kapela(*Nové,[x]První,[x]*Společné) Žižka(*Úpěl)¦Kapela>Společné¦"
        u"ask: Opravdu chcete smazat toto album?¦Přidat album Nové|Odstranit album Druhé|"
        u"Přidat status novinky Společné"_s);
    row("name: none known, empty, colons and spaces kept; e-mail: none known, any text", true,
        u"panel:;dbName=Moje sbírka;!input: Současný název databáze je \"\";panel:Databáze: ;"
        u"dbName=Nová;!input: Současný název databáze je :;panel:Databáze: : x ;dbName= y:;"
        u"!input: Současný název databáze je : x :;mail:;email=není adresa"_s,
        u"= # Databáze:  y: @není adresa¦=¦Alfa¦input: Současný kontaktní email je \"\"¦"
        u"Změnit název databáze|Změnit název databáze|Změnit název databáze|"
        u"Změnit kontaktní email"_s);
    row("name and e-mail undone; the same name again is no step", true,
        u"dbName=Nová;email=eva@example.cz;dbName=Nová;undo;undo;redo"_s,
        u"= # Databáze: Nová @jan@example.cz¦=¦Alfa¦input: Současný název databáze je Nová:¦"
        u"Změnit název databáze|Změnit kontaktní email"_s);
    row("rename album: to its sorted place and back", true,
        u"select:Kapela>První;rename=A capella;undo;redo"_s,
        u"Alfa>Společné *|Kapela>A capella|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *¦"
        u"Alfa(*Společné) Kapela(A capella,*Druhé,Společné) Žižka(*Úpěl)¦Kapela>A capella¦"
        u"input: Nový název alba: «První»¦Přejmenovat První na A capella"_s);
    row("rename artist: every entry, of any capitals", true,
        u"load:Kapela>První|kapela>Živě|Alfa>X;select:Kapela;rename=KAPELA;rename=Čechomor;undo;"
        u"undo;redo"_s,
        u"KAPELA>První|KAPELA>Živě|Alfa>X¦Alfa(X) KAPELA(První,Živě)¦KAPELA¦"
        u"input: Nový název položky artist: «KAPELA»¦Přejmenovat Kapela na KAPELA|"
        u"Přejmenovat KAPELA na Čechomor"_s);
    row("rename in the news view, undone after all shown", false,
        u"news;select:Kapela;rename=Čechomor;all;undo"_s,
        u"=¦=¦Kapela¦input: Nový název položky artist: «Kapela»¦Přejmenovat Kapela na Čechomor"_s);
    row("rename refused: a double quote, the artist's other album, the database-name word", false,
        u"select:Kapela>První;rename=Best \"of\";!message(!): Název alba obsahuje uvozovky (\"), "
        u"které datový soubor neumí uložit.\nAlbum nebylo přejmenováno.;rename=DRUHÉ;"
        u"!message(!): Album „DRUHÉ“ už u této položky artist existuje.\nAlbum nebylo "
        u"přejmenováno.;select:Kapela;rename=#dataowner"_s,
        u"=¦=¦Kapela¦message(!): Název položky artist je slovo „#dataowner“, kterým datový soubor "
        u"označuje název databáze.\nPoložka artist nebyla přejmenována.¦"_s);
    row("rename refused in the news view: an album or an artist it does not show", true,
        u"select:Alfa>Společné;unmarkNew;news;select:Kapela>Druhé;rename=první;"
        u"!message(!): Album „první“ už u této položky artist existuje.\nAlbum nebylo "
        u"přejmenováno.;select:Kapela;rename=alfa"_s,
        u"Alfa>Společné|Kapela>První|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *¦"
        u"Kapela(*Druhé) Žižka(*Úpěl)¦Kapela¦message(!): Položka artist „alfa“ už "
        u"existuje.\nPoložka artist nebyla přejmenována.¦Odebrat status novinky Společné"_s);
    row("undone in the news view built after the steps", true,
        u"select:Kapela;addAlbum=Nové;select:Kapela>Druhé;deleteAlbum=Y;news;undo;undo;redo"_s,
        u"=|Kapela>Nové *¦Alfa(*Společné) Kapela(*Druhé,*Nové) Žižka(*Úpěl)¦Kapela¦"
        u"ask: Opravdu chcete smazat toto album?¦Přidat album Nové|Odstranit album Druhé"_s);
    row("undone past a save, done again up to it: nothing unsaved; a Czech place", false,
        u"select:Kapela;addAlbum=Čtvrté;save;addAlbum=B;undo;undo;redo"_s,
        u"=|Kapela>Čtvrté *¦Alfa(*Společné) Kapela(*Čtvrté,*Druhé,První,Společné) Žižka(*Úpěl)¦"
        u"Kapela¦input: Název alba:¦Přidat album Čtvrté|Přidat album B"_s);
    row("undone past a save: unsaved", true, u"select:Kapela;addAlbum=A;save;undo"_s,
        u"=¦=¦Kapela¦message(i): Hotovo.¦Přidat album A"_s);
    row("find: the first added matching, an artist before its album; no match", false,
        u"load:Zed>Alfa Beta|Abba>beta|Nightwish>Night Songs|K>xabcx|K>Dvě  mezery|K>Dvě mezery|"
        u"Kapela>Album [abc;find=BETA;?Zed>Alfa Beta;find=night;?Nightwish;find=a?c;?K>xabcx;"
        u"find=  ;?K>Dvě  mezery;select:Abba;find=[abc;find=Kapela - Album;find=beta;"
        u"?Zed>Alfa Beta;select:Abba;find="_s,
        u"=¦=¦Abba¦input: Zadejte název (část názvu) hledaného alba/skupiny: [MP3 Velbor]¦"_s);
    row("find in the news view: what it shows", false,
        u"load:Zed>Druhý|Abba>Druhá *|Abba>Arrival;news;find=druh;?Abba>Druhá;select:Abba;"
        u"find=arriv"_s,
        u"=¦Abba(*Druhá)¦Abba¦input: Zadejte název (část názvu) hledaného alba/skupiny: [MP3 "
        u"Velbor]¦"_s);
    row("find next: albums and artists of one name in order, then from the start", false,
        u"load:Mlha>Mlha|Alfa>Mlha|Mlha>Jiné|Beta>Mlhy *;find=mlh;?Mlha;next;?Mlha>Mlha;next;"
        u"?Alfa>Mlha;next;?Beta>Mlhy;next;?Beta>Mlhy;next"_s,
        u"=¦=¦Mlha¦message(i): Nenalezeno.¦"_s);
    row("find next: no pattern yet, asked for; one match only", false,
        u"load:Mlha>Mlha|Alfa>Mlha|Mlha>Jiné|Beta>Mlhy *;next=JINÉ;?Mlha>Jiné;next;?Mlha>Jiné;"
        u"next"_s,
        u"=¦=¦Mlha>Jiné¦message(i): Nenalezeno.¦"_s);
    row("find next: an added album found next; F3 starts from the first", true,
        u"load:Mlha>Mlha|Alfa>Mlha|Mlha>Jiné|Beta>Mlhy *;find=mlhy;select:Alfa;addAlbum=Mlhy 2;"
        u"next;?Alfa>Mlhy 2;find=mlhy"_s,
        u"Mlha>Mlha|Alfa>Mlha|Mlha>Jiné|Beta>Mlhy *|Alfa>Mlhy 2 *¦"
        u"Alfa(Mlha,*Mlhy 2) Beta(*Mlhy) Mlha(Jiné,Mlha)¦Beta>Mlhy¦"
        u"input: Zadejte název (část názvu) hledaného alba/skupiny: [MP3 Velbor]¦"
        u"Přidat album Mlhy 2"_s);
    row("find next: the view built anew, from the first", false,
        u"load:Mlha>Mlha|Alfa>Mlha|Mlha>Jiné|Beta>Mlhy *;find=mlh;next;news;?Beta;next"_s,
        u"=¦Beta(*Mlhy)¦Beta>Mlhy¦input: Zadejte název (část názvu) hledaného alba/skupiny: [MP3 "
        u"Velbor]¦"_s);
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
    for (int i : {0, 1}) // "=" first: as loaded
        if (after[i].startsWith(u'='))
            after[i].replace(0, 1, w.loaded[i]);
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
