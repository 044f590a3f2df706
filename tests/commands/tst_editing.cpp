// The Editing menu's commands and the check marks over the scripted doubles: what each command
// asks and says, and the catalogue, the tree and the selection after it.

#include "folderfixture.h"

#include "catalogue/textcompare.h"
#include "commands/editing.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

// Two artists have an album called "Společné", Alfa's first.
const QString kBase = u"Alfa>Společné *|Kapela>První|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *"_s;
const QString kBaseTree = u"Alfa(*Společné) Kapela(*Druhé,První,Společné) Žižka(*Úpěl)"_s;

struct Command {
    void (*run)(AppContext&);
    QString box; // what it asks; "ask: " takes Y/N, "input: " a text
};

const QHash<QString, Command> kCommands = {
    {u"addAlbum"_s, {addAlbum, u"input: Název alba:"_s}},
    {u"addArtist"_s, {addArtist, u"input: Název položky artist:"_s}},
    {u"deleteAlbum"_s, {deleteAlbum, u"ask: Opravdu chcete smazat toto album?"_s}},
    {u"deleteArtist"_s, {deleteArtist, u"ask: Opravdu chcete smazat tuto položku artist?"_s}},
    {u"clearAll"_s, {clearAllNewReleases, u"ask: Zrušit status všech novinek?"_s}},
    {u"markNew"_s, {[](AppContext& c) { markNewRelease(c); }, {}}},
    {u"unmarkNew"_s, {[](AppContext& c) { unmarkNewRelease(c); }, {}}},
    {u"toggle"_s, {toggleAddAsNew, {}}},
    {u"rename"_s, {changeDatabaseName, u"input: "_s}},
    {u"email"_s, {changeContactEmail, u"input: "_s}},
    {u"tickAll"_s, {tickAll, {}}},
    {u"all"_s, {showAllAlbums, {}}},
    {u"news"_s, {showNewReleases, {}}},
};

// Reads albums ("Artist>Album *|...") into the full view, the first node selected.
void load(Fixture& f, const QString& albums) {
    f.ctx.catalogue.albums = albumsFrom(albums.split(u'|', Qt::SkipEmptyParts));
    showAllAlbums(f.ctx);
}

QString store(const Fixture& f) {
    return storeLines(f.ctx.catalogue.albums).join(u'|');
}

// One step: a command, "command=answer" to answer its box, "select:path" ("select:" for none),
// "+path"/"-path" to click a check box, "load:albums", "panel:text", "mail:text". Returns the
// boxes shown.
QStringList run(Fixture& f, const QString& step) {
    const qsizetype before = f.prompts.log.size();
    const qsizetype eq = step.indexOf(u'=');
    const QString name = eq < 0 ? step : step.left(eq);
    if (step.startsWith(u"select:"_s)) {
        f.view.selectNode(nodeAtPath(f.tree, step.mid(7)));
    } else if (step.startsWith(u"panel:"_s)) {
        f.status.setText(StatusPanel::DatabaseName, step.mid(6));
    } else if (step.startsWith(u"mail:"_s)) {
        f.ctx.catalogue.contactEmail = step.mid(5);
    } else if (step.startsWith(u"load:"_s)) {
        load(f, step.mid(5));
    } else if (step.startsWith(u'+') || step.startsWith(u'-')) {
        const QModelIndex i = f.tree.indexOf(nodeAtPath(f.tree, step.mid(1)));
        if (!f.tree.setData(i, step[0] == u'+' ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole))
            qFatal("cannot click %s", qPrintable(step));
    } else if (const auto c = kCommands.constFind(name); c != kCommands.cend()) {
        if (eq >= 0 && c->box.startsWith(u"ask"_s))
            f.prompts.answers = {step.mid(eq + 1) == u"Y"_s};
        else if (eq >= 0)
            f.prompts.inputs = {step.mid(eq + 1)};
        c->run(f.ctx);
    } else {
        qFatal("unknown step %s", qPrintable(step));
    }
    return f.prompts.log.mid(before);
}

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

} // namespace

class TestEditing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }
    void commands_data();
    void commands();
    void values_data();
    void values();
    void savedFile();
};

void TestEditing::commands_data() {
    QTest::addColumn<QString>("steps"); // run in turn on the base catalogue, ";" between
    QTest::addColumn<QString>("store"); // the catalogue after
    QTest::addColumn<QString>("tree");  // the tree after
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("edited"); // the catalogue has unsaved edits after

    const QString b = kBase;
    QTest::newRow("nothing selected: nothing asked or changed")
        << u"select:;addAlbum;deleteAlbum;deleteArtist;markNew;unmarkNew"_s << b << kBaseTree
        << u""_s << false;
    QTest::newRow("artist selected: the album commands do nothing")
        << u"select:Kapela;deleteAlbum;markNew;unmarkNew"_s << b << kBaseTree << u"Kapela"_s
        << false;
    QTest::newRow("album selected: the artist commands do nothing")
        << u"select:Kapela>První;addAlbum;deleteArtist"_s << b << kBaseTree << u"Kapela>První"_s
        << false;
    QTest::newRow("cancelled and answered No")
        << u"select:Kapela;addAlbum=;addArtist=;clearAll=N;select:Kapela>Druhé;deleteAlbum=N"_s << b
        << kBaseTree << u"Kapela>Druhé"_s << false;

    QTest::newRow("add album: a new release in its Czech place")
        << u"select:Kapela;addAlbum=Čtvrté"_s << b + u"|Kapela>Čtvrté *"_s
        << u"Alfa(*Společné) Kapela(*Čtvrté,*Druhé,První,Společné) Žižka(*Úpěl)"_s << u"Kapela"_s
        << true;
    QTest::newRow("add album: the toggle affects later albums only")
        << u"select:Alfa;addAlbum=A1;toggle;addAlbum=A2;toggle;addAlbum=A3"_s
        << b + u"|Alfa>A1 *|Alfa>A2|Alfa>A3 *"_s
        << u"Alfa(*A1,A2,*A3,*Společné) Kapela(*Druhé,První,Společné) Žižka(*Úpěl)"_s << u"Alfa"_s
        << true;
    QTest::newRow("add: names as typed, an album name again")
        << u"select:Kapela;addAlbum=První;addAlbum=  ;addArtist= "_s
        << b + u"|Kapela>První *|Kapela>   *"_s
        << u" () Alfa(*Společné) Kapela(*  ,*Druhé,První,*První,Společné) Žižka(*Úpěl)"_s << u" "_s
        << true;
    QTest::newRow("add album in the news view, not new: shown")
        << u"news;select:Kapela;toggle;addAlbum=Archiv"_s << b + u"|Kapela>Archiv"_s
        << u"Alfa(*Společné) Kapela(Archiv,*Druhé) Žižka(*Úpěl)"_s << u"Kapela"_s << true;
    QTest::newRow("add artist: in its Czech place, not in the catalogue")
        << u"select:;addArtist=Čechomor"_s << b
        << u"Alfa(*Společné) Čechomor() Kapela(*Druhé,První,Společné) Žižka(*Úpěl)"_s
        << u"Čechomor"_s << true;
    QTest::newRow("add artist: shown already, letter case aside")
        << u"select:Alfa>Společné;addArtist=KAPELA"_s << b << kBaseTree << u"Alfa>Společné"_s
        << false;
    QTest::newRow("add artist, then albums in the order added")
        << u"select:Kapela;addArtist=Nový;addAlbum=Zima;toggle;addAlbum=Alba"_s
        << b + u"|Nový>Zima *|Nový>Alba"_s
        << u"Alfa(*Společné) Kapela(*Druhé,První,Společné) Nový(*Zima,Alba) Žižka(*Úpěl)"_s
        << u"Nový"_s << true;

    QTest::newRow("delete album: the next one selected")
        << u"select:Kapela>Druhé;deleteAlbum=Y"_s
        << u"Alfa>Společné *|Kapela>První|Kapela>Společné|Žižka>Úpěl *"_s
        << u"Alfa(*Společné) Kapela(První,Společné) Žižka(*Úpěl)"_s << u"Kapela>První"_s << true;
    QTest::newRow("delete album: the artist's own of a shared name, the one before selected")
        << u"select:Alfa>Společné;unmarkNew;select:Kapela>Společné;deleteAlbum=Y"_s
        << u"Alfa>Společné|Kapela>První|Kapela>Druhé *|Žižka>Úpěl *"_s
        << u"Alfa(Společné) Kapela(*Druhé,První) Žižka(*Úpěl)"_s << u"Kapela>První"_s << true;
    QTest::newRow("delete album: the artist's last, the artist selected")
        << u"select:Alfa>Společné;deleteAlbum=Y"_s
        << u"Kapela>První|Kapela>Společné|Kapela>Druhé *|Žižka>Úpěl *"_s
        << u"Alfa() Kapela(*Druhé,První,Společné) Žižka(*Úpěl)"_s << u"Alfa"_s << true;
    QTest::newRow("delete album: one node for two entries, the one shown goes")
        << u"load:A>X|A>X *;news;select:A>X;deleteAlbum=Y"_s << u"A>X"_s << u"A()"_s << u"A"_s
        << true;
    QTest::newRow("delete artist: No, then Yes, the next one selected")
        << u"addArtist=Nový;deleteArtist=N;deleteArtist=Y"_s << b << kBaseTree << u"Žižka"_s
        << true;
    QTest::newRow("delete artist: the last one, the one before selected")
        << u"select:Žižka>Úpěl;deleteAlbum=Y;deleteArtist=Y"_s
        << u"Alfa>Společné *|Kapela>První|Kapela>Společné|Kapela>Druhé *"_s
        << u"Alfa(*Společné) Kapela(*Druhé,První,Společné)"_s << u"Kapela"_s << true;
    QTest::newRow("delete artist in the news view: its other albums stay")
        << u"news;select:Kapela>Druhé;deleteAlbum=Y;deleteArtist=Y"_s
        << u"Alfa>Společné *|Kapela>První|Kapela>Společné|Žižka>Úpěl *"_s
        << u"Alfa(*Společné) Žižka(*Úpěl)"_s << u"Žižka"_s << true;
    QTest::newRow("delete artist: the only one, nothing left to select")
        << u"load:A>X;select:A>X;deleteAlbum=Y;deleteArtist=Y"_s << u""_s << u""_s << u""_s << true;

    QTest::newRow("unmark in the news view: the node stays, plain")
        << u"news;select:Kapela>Druhé;unmarkNew"_s
        << u"Alfa>Společné *|Kapela>První|Kapela>Společné|Kapela>Druhé|Žižka>Úpěl *"_s
        << u"Alfa(*Společné) Kapela(Druhé) Žižka(*Úpěl)"_s << u"Kapela>Druhé"_s << true;
    QTest::newRow("unmark: one node for two entries, the new one changes")
        << u"load:A>X|A>X *;news;select:A>X;unmarkNew"_s << u"A>X|A>X"_s << u"A(X)"_s << u"A>X"_s
        << true;
    QTest::newRow("mark: letter case of the entry aside")
        << u"load:kapela>živě|Kapela>Živě;select:kapela>živě;markNew"_s
        << u"kapela>živě *|Kapela>Živě"_s << u"kapela(*živě)"_s << u"kapela>živě"_s << true;
    QTest::newRow("clear all in the news view: the nodes stay")
        << u"news;clearAll=Y"_s
        << u"Alfa>Společné|Kapela>První|Kapela>Společné|Kapela>Druhé|Žižka>Úpěl"_s
        << u"Alfa(Společné) Kapela(Druhé) Žižka(Úpěl)"_s << u"Alfa"_s << true;

    QTest::newRow("ticks: an artist's spread down, never up")
        << u"+Kapela;-Kapela>První;+Alfa>Společné;addArtist=X;+X"_s << b
        << u"Alfa([x]*Společné) [x]Kapela([x]*Druhé,První,[x]Společné) [x]X() Žižka(*Úpěl)"_s
        << u"X"_s << true;
    QTest::newRow("ticks: unticking an artist unticks its albums")
        << u"+Kapela>První;+Kapela;-Kapela"_s << b << kBaseTree << u"Alfa"_s << false;
    QTest::newRow("ticks: select all, an added artist and album too")
        << u"addArtist=X;addAlbum=Y;tickAll"_s << b + u"|X>Y *"_s
        << u"[x]Alfa([x]*Společné) [x]Kapela([x]*Druhé,[x]První,[x]Společné) [x]X([x]*Y) "
           u"[x]Žižka([x]*Úpěl)"_s
        << u"X"_s << true;
    QTest::newRow("ticks: select all in the news view")
        << u"news;tickAll"_s << b
        << u"[x]Alfa([x]*Společné) [x]Kapela([x]*Druhé) [x]Žižka([x]*Úpěl)"_s << u"Alfa"_s << false;
    QTest::newRow("ticks: select all on an empty tree")
        << u"load:;tickAll"_s << u""_s << u""_s << u""_s << false;
    QTest::newRow("ticks: editing leaves the others' alone")
        << u"+Kapela;select:Kapela;addAlbum=Nové;select:Kapela>Druhé;deleteAlbum=Y;"
           u"select:Kapela>Společné;markNew"_s
        << u"Alfa>Společné *|Kapela>První|Kapela>Společné *|Žižka>Úpěl *|Kapela>Nové *"_s
        << u"Alfa(*Společné) [x]Kapela(*Nové,[x]První,[x]*Společné) Žižka(*Úpěl)"_s
        << u"Kapela>Společné"_s << true;
}

void TestEditing::commands() {
    QFETCH(QString, steps);
    QFETCH(QString, store);
    QFETCH(QString, tree);
    QFETCH(QString, selected);
    QFETCH(bool, edited);

    Fixture f;
    QAbstractItemModelTester tester(&f.tree,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QObject::connect(&f.tree, &CatalogueTree::nodeCheckChanged,
                     [&f](TreeNode* node) { nodeChecked(f.ctx, node); });
    load(f, kBase);

    for (const QString& step : steps.split(u';')) {
        QHash<const TreeNode*, std::pair<bool, bool>> looks;
        for (const TreeNode* n = f.tree.firstAdded(); n; n = n->nextAdded)
            looks.insert(n, {n->checked, n->bold});
        QSignalSpy changed(&f.tree, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&f.tree, &QAbstractItemModel::modelReset);

        const QStringList shown = run(f, step);

        // A command asks its one question only when given an answer here.
        const auto c = kCommands.constFind(step.section(u'=', 0, 0));
        const bool asks = step.contains(u'=') && c != kCommands.cend();
        QCOMPARE(shown, asks ? QStringList{c->box} : QStringList());
        // Every node that changed its tick or bold face is drawn anew.
        for (const TreeNode* n = f.tree.firstAdded(); n && reset.isEmpty(); n = n->nextAdded) {
            const auto was = looks.value(n, {n->checked, n->bold});
            if (was.first != n->checked)
                QVERIFY2(announced(changed, f.tree.indexOf(n), Qt::CheckStateRole),
                         qPrintable(step + u": tick of "_s + pathOf(n)));
            if (was.second != n->bold)
                QVERIFY2(announced(changed, f.tree.indexOf(n), Qt::FontRole),
                         qPrintable(step + u": bold face of "_s + pathOf(n)));
        }
    }

    QCOMPARE(::store(f), store);
    QCOMPARE(treeText(f.tree), tree);
    QCOMPARE(pathOf(f.view.selectedNode()), selected);
    QCOMPARE(f.ctx.unsavedEdits, edited);
    // The album count follows the edits; the owner panel is left alone.
    const qsizetype albums = store.isEmpty() ? 0 : store.count(u'|') + 1;
    QCOMPARE(f.status.texts[0], edited ? u"V databázi je %1 MP3 alb."_s.arg(albums) : QString());
    QCOMPARE(f.status.texts[1], QString());
}

void TestEditing::values_data() {
    QTest::addColumn<QString>("steps"); // "panel:text" and "mail:text" set the values before
    QTest::addColumn<QString>("box");   // the last box shown
    QTest::addColumn<QString>("panel"); // the owner panel after
    QTest::addColumn<QString>("email"); // the contact e-mail after

    const QString name = u"Databáze: Sbírka"_s, mail = u"jan@example.cz"_s;
    const QString quote = u"obsahuje uvozovky (\"), které datový soubor neumí uložit.\n"_s;
    QTest::newRow("name: none known")
        << u"panel:;rename=Moje sbírka"_s << u"input: Současný název databáze je \"\""_s
        << u"Databáze: Moje sbírka"_s << mail;
    QTest::newRow("name: an empty one known")
        << u"panel:Databáze: ;rename=Nová"_s << u"input: Současný název databáze je :"_s
        << u"Databáze: Nová"_s << mail;
    QTest::newRow("name: colons and spaces kept")
        << u"panel:Databáze: : x ;rename= y:"_s << u"input: Současný název databáze je : x :"_s
        << u"Databáze:  y:"_s << mail;
    QTest::newRow("name: cancelled")
        << u"rename="_s << u"input: Současný název databáze je Sbírka:"_s << name << mail;
    QTest::newRow("name with a double quote")
        << u"rename=Moje \"sbírka\""_s
        << u"message(!): Název databáze "_s + quote + u"Název databáze zůstal beze změny."_s << name
        << mail;
    QTest::newRow("e-mail: none known")
        << u"mail:;email=eva@example.cz"_s << u"input: Současný kontaktní email je \"\""_s << name
        << u"eva@example.cz"_s;
    QTest::newRow("e-mail: any text")
        << u"email=není adresa"_s << u"input: Současný kontaktní email je jan@example.cz:"_s << name
        << u"není adresa"_s;
    QTest::newRow("e-mail: cancelled")
        << u"email="_s << u"input: Současný kontaktní email je jan@example.cz:"_s << name << mail;
    QTest::newRow("e-mail beyond Windows-1250")
        << u"email=jan@ŋ.cz"_s
        << u"message(!): Kontaktní email obsahuje znak „ŋ“, který nelze uložit v kódování "
           u"Windows-1250.\nKontaktní email zůstal beze změny."_s
        << name << mail;
    QTest::newRow("album with a double quote")
        << u"select:Kapela;addAlbum=Best \"of\""_s
        << u"message(!): Název alba "_s + quote + u"Album nebylo přidáno."_s << name << mail;
    QTest::newRow("artist with a double quote")
        << u"addArtist=\"Weird Al\""_s
        << u"message(!): Název položky artist "_s + quote + u"Položka artist nebyla přidána."_s
        << name << mail;
    QTest::newRow("artist that still has albums")
        << u"select:Kapela;deleteArtist"_s
        << u"message(!): Složka obsahuje alba, ty odstraňte jako první!"_s << name << mail;
}

// The database name and the contact e-mail; a refused value or command shows why and changes
// nothing.
void TestEditing::values() {
    QFETCH(QString, steps);
    QFETCH(QString, box);
    QFETCH(QString, panel);
    QFETCH(QString, email);

    Fixture f;
    load(f, kBase);
    f.ctx.catalogue.contactEmail = u"jan@example.cz"_s;
    setDatabaseName(f.status, u"Sbírka"_s);
    for (const QString& step : steps.split(u';'))
        run(f, step);

    QCOMPARE(f.prompts.log.last(), box);
    QCOMPARE(f.status.text(StatusPanel::DatabaseName), panel);
    QCOMPARE(f.ctx.catalogue.contactEmail, email);
    QCOMPARE(f.ctx.unsavedEdits, panel != u"Databáze: Sbírka"_s || email != u"jan@example.cz"_s);
    QCOMPARE(store(f), kBase);
    QCOMPARE(treeText(f.tree), kBaseTree);
}

// What the edits leave in the catalogue is what the data file gets, in Windows-1250: í ED, č E8,
// é E9, Ž 8E, ž 9E, Ú DA, ě EC, Č C8, á E1.
void TestEditing::savedFile() {
    FolderFixture f;
    load(f, kBase);
    f.ctx.catalogue.contactEmail = u"jan@example.cz"_s;
    setDatabaseName(f.status, u"Sbírka"_s);
    for (const QString& step :
         u"clearAll=Y;select:Kapela>Společné;markNew;select:Alfa>Společné;deleteAlbum=Y;"
         u"addArtist=Čechomor;addAlbum=Živě;toggle;addAlbum=Proměny;addArtist=Prázdný;"
         u"rename=Nová sbírka;email=eva@example.cz"_s.split(u';'))
        run(f, step);

    QVERIFY(f.ctx.unsavedEdits);
    QCOMPARE(f.save(), reliability::kSaved);
    QVERIFY(!f.ctx.unsavedEdits);
    QCOMPARE(reliability::readFile(f.dataFile()),
             QByteArray("\"Kapela\",\"Prvn\xed\",#FALSE#\r\n"
                        "\"Kapela\",\"Spole\xe8n\xe9\",#TRUE#\r\n"
                        "\"Kapela\",\"Druh\xe9\",#FALSE#\r\n"
                        "\"\x8ei\x9eka\",\"\xdap\xecl\",#FALSE#\r\n"
                        "\"\xc8"
                        "echomor\",\"\x8eiv\xec\",#TRUE#\r\n"
                        "\"\xc8"
                        "echomor\",\"Prom\xecny\",#FALSE#\r\n"
                        "\"#DataOwner\",\"Nov\xe1 sb\xedrka\",#FALSE#\r\n"
                        "\"#ContactEmail\",\"eva@example.cz\",#FALSE#\r\n"));
}

QTEST_GUILESS_MAIN(TestEditing)
#include "tst_editing.moc"
