// The undo history over the scripted doubles: every edit undone and done again gives back exactly
// the state it started from (catalogue, tree, order of addition, selection, status bar, the bytes a
// save writes); rename with its refusals; "Najít další".

#include "folderfixture.h"

#include "catalogue/textcompare.h"
#include "commands/editing.h"
#include "commands/editsteps.h"
#include "commands/find.h"

#include <QAbstractItemModelTester>
#include <QUndoStack>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

// Two artists have an album called "Společné", Alfa's first.
const QString kBase = u"Alfa>Společné *|Kapela>První|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *"_s;
const QString kBaseTree = u"Alfa(*Společné) Kapela(*Druhé,První,Společné) Žižka(*Úpěl)"_s;

// "command=answer" answers its one box: Y/N for a question, a text for an input box.
const QHash<QString, void (*)(AppContext&)> kCommands = {
    {u"addAlbum"_s, addAlbum},
    {u"addArtist"_s, addArtist},
    {u"deleteAlbum"_s, deleteAlbum},
    {u"deleteArtist"_s, deleteArtist},
    {u"clearAll"_s, clearAllNewReleases},
    {u"markNew"_s, markNewRelease},
    {u"unmarkNew"_s, unmarkNewRelease},
    {u"dbName"_s, changeDatabaseName},
    {u"email"_s, changeContactEmail},
    {u"rename"_s, renameSelected},
    {u"untickAll"_s, untickAll},
    {u"all"_s, showAllAlbums},
    {u"news"_s, showNewReleases},
    {u"find"_s, findByName},
    {u"next"_s, findNext},
};

struct Window : FolderFixture {
    QUndoStack stack;
    // The state at each point of the history: last seen there, and when a step arrived there.
    QHash<int, QStringList> seen, arrived;

    Window() {
        QObject::connect(&tree, &CatalogueTree::nodeCheckChanged,
                         [this](TreeNode* node) { nodeChecked(ctx, node); });
        attachUndoStack(ctx, &stack);
        ctx.catalogue.albums = albumsFrom(kBase.split(u'|'));
        ctx.catalogue.contactEmail = u"jan@example.cz"_s;
        setDatabaseName(status, u"Sbírka"_s);
        showAlbumCount(ctx);
        showAllAlbums(ctx);
    }
    QString store() const { return storeLines(ctx.catalogue.albums).join(u'|'); }
    QStringList state() const {
        return {store(),
                treeText(tree),
                pathOf(view.selectedNode()),
                additionOrder(tree).join(u'|'),
                status.texts[0] + u'|' + status.texts[1],
                QString::fromLatin1(formatDataFile(ctx.catalogue.albums, databaseName(status),
                                                   ctx.catalogue.contactEmail)
                                        .value_or("<cannot be saved>")
                                        .toHex())};
    }

    // One step (see kCommands; "select:path", "+path" ticks, "undo", "redo", "save"). An undo
    // must give back the state last seen at that point of the history, a redo the state its step
    // first gave, unless the view was built anew in between.
    void run(const QString& step) {
        const int index = stack.index();
        const QString name = step.section(u'=', 0, 0);
        const QString answer = step.section(u'=', 1);
        if (step.startsWith(u"select:"_s)) {
            view.selectNode(nodeAtPath(tree, step.mid(7)));
        } else if (step.startsWith(u'+')) {
            tree.setData(tree.indexOf(nodeAtPath(tree, step.mid(1))), Qt::Checked,
                         Qt::CheckStateRole);
        } else if (step == u"undo"_s || step == u"redo"_s) {
            const bool undo = step == u"undo"_s;
            undo ? stack.undo() : stack.redo();
            QCOMPARE(state(), (undo ? seen : arrived).value(stack.index(), state()));
        } else if (step == u"save"_s) {
            QCOMPARE(save(), reliability::kSaved);
        } else if (const auto c = kCommands.constFind(name); c != kCommands.cend()) {
            if (answer == u"Y"_s || answer == u"N"_s)
                prompts.answers = {answer == u"Y"_s};
            else if (step.contains(u'='))
                prompts.inputs = {answer};
            (*c)(ctx);
            if (name == u"all"_s || name == u"news"_s) {
                seen.clear();
                arrived.clear();
            }
        } else {
            QFAIL(qPrintable(u"unknown step "_s + step));
        }
        seen.insert(stack.index(), state());
        if (stack.index() > index && step != u"redo"_s)
            arrived.insert(stack.index(), state());
        // The album count follows every step.
        QCOMPARE(status.texts[0], u"V databázi je %1 MP3 alb."_s.arg(ctx.catalogue.albums.size()));
    }
};

} // namespace

class TestUndo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }
    void history_data();
    void history();
    void findNext_data();
    void findNext();
};

void TestUndo::history_data() {
    QTest::addColumn<QString>("steps"); // on the base catalogue, Alfa selected, ";" between
    QTest::addColumn<QString>("store"); // the catalogue after
    QTest::addColumn<QString>("tree");  // the tree after
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("box");     // the last box shown
    QTest::addColumn<QString>("history"); // the steps on the stack, "|" between
    QTest::addColumn<bool>("unsaved");

    const QString b = kBase, t = kBaseTree;
    const QString album = u"input: Název alba:"_s,
                  del = u"ask: Opravdu chcete smazat toto album?"_s;
    const QString kapela = u"Alfa>Společné *|%1>První|%1>Společné|%1>Druhé *|Žižka>Úpěl *"_s;
    QTest::newRow("add album: undone, done again")
        << u"select:Kapela;addAlbum=Čtvrté;undo;redo"_s << b + u"|Kapela>Čtvrté *"_s
        << u"Alfa(*Společné) Kapela(*Čtvrté,*Druhé,První,Společné) Žižka(*Úpěl)"_s << u"Kapela"_s
        << album << u"Přidat album Čtvrté"_s << true;
    QTest::newRow("add album of a name the artist has: the new node goes")
        << u"select:Kapela;addAlbum=První;addAlbum=Čtvrté;undo;undo;redo"_s
        << b + u"|Kapela>První *"_s
        << u"Alfa(*Společné) Kapela(*Druhé,První,*První,Společné) Žižka(*Úpěl)"_s << u"Kapela"_s
        << album << u"Přidat album První|Přidat album Čtvrté"_s << true;
    QTest::newRow("add artist and albums: all undone, the artist done again")
        << u"addArtist=Nový;addAlbum=Zima;addAlbum=Alba;undo;undo;undo;redo"_s << b
        << u"Alfa(*Společné) Kapela(*Druhé,První,Společné) Nový() Žižka(*Úpěl)"_s << u"Nový"_s
        << album << u"Přidat artist Nový|Přidat album Zima|Přidat album Alba"_s << true;
    QTest::newRow("delete albums of one name: each back at its index and place")
        << u"select:Kapela>Společné;deleteAlbum=Y;select:Alfa>Společné;deleteAlbum=Y;undo;undo"_s
        << b << t << u"Kapela>Společné"_s << del
        << u"Odstranit album Společné|Odstranit album Společné"_s << false;
    QTest::newRow("delete an artist after its album: undone and done again")
        << u"select:Žižka>Úpěl;deleteAlbum=Y;deleteArtist=Y;undo;undo;redo;redo"_s
        << u"Alfa>Společné *|Kapela>První|Kapela>Společné|Kapela>Druhé *"_s
        << u"Alfa(*Společné) Kapela(*Druhé,První,Společné)"_s << u"Kapela"_s
        << u"ask: Opravdu chcete smazat tuto položku artist?"_s
        << u"Odstranit album Úpěl|Odstranit artist Žižka"_s << true;
    QTest::newRow("marks: one that changes nothing is no step")
        << u"select:Kapela>Druhé;markNew;select:Kapela>První;markNew;select:Kapela>Druhé;"
           u"unmarkNew;undo;redo;undo;undo"_s
        << b << t << u"Kapela>První"_s << u""_s
        << u"Přidat status novinky První|Odebrat status novinky Druhé"_s << false;
    QTest::newRow("clear all: one step, the ticks stay")
        << u"+Kapela;clearAll=Y;undo;redo"_s
        << u"Alfa>Společné|Kapela>První|Kapela>Společné|Kapela>Druhé|Žižka>Úpěl"_s
        << u"Alfa(Společné) [x]Kapela([x]Druhé,[x]První,[x]Společné) Žižka(Úpěl)"_s << u"Alfa"_s
        << u"ask: Zrušit status všech novinek?"_s << u"Zrušit status všech novinek"_s << true;
    QTest::newRow("database name and e-mail; the same name again is no step")
        << u"dbName=Nová;email=eva@example.cz;dbName=Nová;undo;undo;redo"_s << b << t << u"Alfa"_s
        << u"input: Současný název databáze je Nová:"_s
        << u"Změnit název databáze|Změnit kontaktní email"_s << true;
    QTest::newRow("rename album: to its sorted place and back")
        << u"select:Kapela>První;rename=A capella;undo;redo"_s
        << u"Alfa>Společné *|Kapela>A capella|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *"_s
        << u"Alfa(*Společné) Kapela(A capella,*Druhé,Společné) Žižka(*Úpěl)"_s
        << u"Kapela>A capella"_s << u"input: Nový název alba: «První»"_s
        << u"Přejmenovat První na A capella"_s << true;
    QTest::newRow("rename artist: every entry, its own capitals too")
        << u"select:Kapela;rename=KAPELA;rename=Čechomor;undo;undo;redo"_s
        << kapela.arg(u"KAPELA"_s)
        << u"Alfa(*Společné) KAPELA(*Druhé,První,Společné) Žižka(*Úpěl)"_s << u"KAPELA"_s
        << u"input: Nový název položky artist: «KAPELA»"_s
        << u"Přejmenovat Kapela na KAPELA|Přejmenovat KAPELA na Čechomor"_s << true;
    QTest::newRow("rename in the news view, undone after all shown")
        << u"news;select:Kapela;rename=Čechomor;all;undo"_s << b << t << u"Kapela"_s
        << u"input: Nový název položky artist: «Kapela»"_s << u"Přejmenovat Kapela na Čechomor"_s
        << false;
    QTest::newRow("rename cancelled or unchanged: no step")
        << u"select:Kapela;rename=;rename=Kapela"_s << b << t << u"Kapela"_s
        << u"input: Nový název položky artist: «Kapela»"_s << u""_s << false;

    const QString notAlbum = u"\nAlbum nebylo přejmenováno."_s;
    const QString notArtist = u"\nPoložka artist nebyla přejmenována."_s;
    QTest::newRow("refused: a double quote")
        << u"select:Kapela>První;rename=Best \"of\""_s << b << t << u"Kapela>První"_s
        << u"message(!): Název alba obsahuje uvozovky (\"), které datový soubor neumí uložit."_s +
               notAlbum
        << u""_s << false;
    QTest::newRow("refused: the word of the database-name line")
        << u"select:Kapela;rename=#dataowner"_s << b << t << u"Kapela"_s
        << u"message(!): Název položky artist je slovo „#dataowner“, kterým datový soubor "
           u"označuje název databáze"_s +
               notArtist.mid(1).prepend(u".\n"_s)
        << u""_s << false;
    QTest::newRow("refused: the artist's other album, capitals aside")
        << u"select:Kapela>První;rename=DRUHÉ"_s << b << t << u"Kapela>První"_s
        << u"message(!): Album „DRUHÉ“ už u této položky artist existuje."_s + notAlbum << u""_s
        << false;
    QTest::newRow("refused in the news view: an album it does not show")
        << u"news;select:Kapela>Druhé;rename=první"_s << b
        << u"Alfa(*Společné) Kapela(*Druhé) Žižka(*Úpěl)"_s << u"Kapela>Druhé"_s
        << u"message(!): Album „první“ už u této položky artist existuje."_s + notAlbum << u""_s
        << false;
    QTest::newRow("refused in the news view: an artist it does not show")
        << u"select:Alfa>Společné;unmarkNew;news;select:Kapela;rename=alfa"_s
        << u"Alfa>Společné|Kapela>První|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *"_s
        << u"Kapela(*Druhé) Žižka(*Úpěl)"_s << u"Kapela"_s
        << u"message(!): Položka artist „alfa“ už existuje."_s + notArtist
        << u"Odebrat status novinky Společné"_s << true;

    QTest::newRow("undone in the news view built after the steps")
        << u"select:Kapela;addAlbum=Nové;select:Kapela>Druhé;deleteAlbum=Y;news;undo;undo;redo"_s
        << b + u"|Kapela>Nové *"_s << u"Alfa(*Společné) Kapela(*Druhé,*Nové) Žižka(*Úpěl)"_s
        << u"Kapela"_s << del << u"Přidat album Nové|Odstranit album Druhé"_s << true;
    QTest::newRow("a new step after an undo: the undone one is gone")
        << u"addArtist=X;undo;addArtist=Z;redo"_s << b
        << u"Alfa(*Společné) Kapela(*Druhé,První,Společné) Z() Žižka(*Úpěl)"_s << u"Z"_s
        << u"input: Název položky artist:"_s << u"Přidat artist Z"_s << true;
    QTest::newRow("undone past a save, done again up to it: nothing unsaved")
        << u"select:Kapela;addAlbum=A;save;addAlbum=B;undo;undo;redo"_s << b + u"|Kapela>A *"_s
        << u"Alfa(*Společné) Kapela(*A,*Druhé,První,Společné) Žižka(*Úpěl)"_s << u"Kapela"_s
        << album << u"Přidat album A|Přidat album B"_s << false;
    QTest::newRow("undone past a save: unsaved")
        << u"select:Kapela;addAlbum=A;save;undo"_s << b << t << u"Kapela"_s
        << u"message(i): Hotovo."_s << u"Přidat album A"_s << true;
    QTest::newRow("untick all") << u"+Kapela;+Alfa>Společné;untickAll"_s << b << t << u"Alfa"_s
                                << u""_s << u""_s << false;
}

void TestUndo::history() {
    QFETCH(QString, steps);
    QFETCH(QString, store);
    QFETCH(QString, tree);
    QFETCH(QString, selected);
    QFETCH(QString, box);
    QFETCH(QString, history);
    QFETCH(bool, unsaved);

    Window w;
    QAbstractItemModelTester tester(&w.tree,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (const QString& step : steps.split(u';')) {
        w.run(step);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(u"at "_s + step));
    }
    QCOMPARE(w.store(), store);
    QCOMPARE(treeText(w.tree), tree);
    QCOMPARE(pathOf(w.view.selectedNode()), selected);
    QCOMPARE(w.prompts.log.value(w.prompts.log.size() - 1), box);
    QStringList texts;
    for (int i = 0; i < w.stack.count(); ++i)
        texts << w.stack.text(i);
    QCOMPARE(texts.join(u'|'), history);
    QCOMPARE(w.ctx.unsavedEdits, unsaved);
    // At the saved point the file holds what a save would write now.
    if (!unsaved && QFile::exists(w.dataFile()))
        QCOMPARE(reliability::readFile(w.dataFile()).toHex(), w.state().last().toLatin1());
}

void TestUndo::findNext_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("seen"); // after each step: the selection and the boxes shown

    const QString none = u" message(i): Nenalezeno."_s;
    QTest::newRow("albums and artists of one name in order of addition, then from the start")
        << u"find=mlh;next;next;next;next;next"_s
        << QStringList{u"Mlha input"_s, u"Mlha>Mlha"_s,        u"Alfa>Mlha"_s,
                       u"Beta>Mlhy"_s,  u"Beta>Mlhy"_s + none, u"Mlha"_s};
    QTest::newRow("no pattern yet: asked for; one match only")
        << u"next=JINÉ;next;next"_s
        << QStringList{u"Mlha>Jiné input"_s, u"Mlha>Jiné"_s + none, u"Mlha>Jiné"_s};
    QTest::newRow("an added album found next; F3 starts from the first")
        << u"find=mlhy;select:Alfa;addAlbum=Mlhy 2;next;find=mlhy"_s
        << QStringList{u"Beta>Mlhy input"_s, u"Alfa"_s, u"Alfa input"_s, u"Alfa>Mlhy 2"_s,
                       u"Beta>Mlhy input"_s};
    QTest::newRow("the view built anew: from the first")
        << u"find=mlh;next;news;next"_s
        << QStringList{u"Mlha input"_s, u"Mlha>Mlha"_s, u"Beta"_s, u"Beta>Mlhy"_s};
}

void TestUndo::findNext() {
    QFETCH(QString, steps);
    QFETCH(QStringList, seen);

    Window w;
    w.ctx.catalogue.albums = albumsFrom(u"Mlha>Mlha|Alfa>Mlha|Mlha>Jiné|Beta>Mlhy *"_s.split(u'|'));
    showAlbumCount(w.ctx);
    showAllAlbums(w.ctx);
    QStringList got;
    for (const QString& step : steps.split(u';')) {
        const qsizetype before = w.prompts.log.size();
        w.run(step);
        QString line = pathOf(w.view.selectedNode());
        for (const QString& shown : w.prompts.log.mid(before))
            line += u' ' + (shown.startsWith(u"input"_s) ? u"input"_s : shown);
        got << line;
    }
    QCOMPARE(got, seen);
}

QTEST_GUILESS_MAIN(TestUndo)
#include "tst_undo.moc"
