// The Editing commands and "Najít" from the real main window (offscreen, scripted boxes): the chord
// that shows the Editing menu, its keys, its items, a whole edit saved, and F3.

#include "folderfixture.h"

#include "catalogue/textcompare.h"
#include "gui/mainwindow.h"
#include "gui/qtports.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

#include <memory>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

const QString kBase = u"Kapela>První|Kapela>Druhé *|Alfa>Jediné"_s;
const QString kChord = u"Ctrl+Shift+F11;"_s; // shows the Editing menu

QByteArray dataFile(const QString& albums, const QString& owner) {
    return formatDataFile(albumsFrom(albums.split(u'|')), owner, u"jan@example.cz"_s).value();
}

// A window on the base catalogue in its own program folder, shown and active.
struct Window {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> w;

    bool open() {
        setProgramFolderForTesting(dir.path());
        if (!reliability::writeFile(dir.filePath(u"Velbor.dat"_s), dataFile(kBase, u"Sbírka"_s)))
            return false;
        w = std::make_unique<MainWindow>(&prompts);
        w->setQuitHandler([] {});
        w->load();
        w->show();
        w->activateWindow();
        return QTest::qWaitForWindowActive(w.get());
    }
    ~Window() { setProgramFolderForTesting(QString()); }
    QByteArray saved() { return reliability::readFile(dir.filePath(u"Velbor.dat"_s)); }
    QString store() { return storeLines(w->context().catalogue.albums).join(u'|'); }
    void select(const QString& path) {
        w->treeView()->setCurrentIndex(w->model()->indexOf(nodeAtPath(*w->model(), path)));
    }
    QString selected() { return pathOf(CatalogueTree::nodeAt(w->treeView()->currentIndex())); }
    // Key sequences ("Ctrl+Shift+F11"), menu items ("actionAddAlbum") and "select:path", ";"
    // between.
    void press(const QString& input) {
        for (const QString& item : input.split(u';', Qt::SkipEmptyParts)) {
            if (item.startsWith(u"select:"_s))
                select(item.mid(7));
            else if (item.startsWith(u"action"_s))
                w->menuItem(item)->trigger();
            else
                QTest::keySequence(w->treeView(), QKeySequence(item));
        }
    }
};

} // namespace

class TestEditingWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }
    void commands_data();
    void commands();
    void editAndSave();
    void deleteFromMenu();
    void findByF3();
    void undoRenameFindNext();
};

void TestEditingWindow::commands_data() {
    QTest::addColumn<QString>("input"); // every box is answered "Nové" or No
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("store");

    const QString chord = kChord;
    const QString album = u"input: Název alba:"_s, artist = u"input: Název položky artist:"_s;
    const QString added = u"|Kapela>Nové *"_s;

    QTest::newRow("before the chord no key works")
        << u"Ins;Shift+Ins;F12;Ctrl+Alt+Shift+F11;Ins;Shift+Ins;F12;select:Kapela>První;Ctrl+P;"
           u"select:Kapela>Druhé;Ctrl+S"_s
        << QStringList() << kBase;
    QTest::newRow("Insert with Ctrl and Shift, after the chord pressed twice")
        << chord + chord + u"Ins;Ctrl+Ins;Ctrl+Shift+Ins"_s << QStringList{album, album, album}
        << kBase + added + added + added;
    QTest::newRow("Shift+Insert") << chord + u"select:Kapela>První;Shift+Ins"_s
                                  << QStringList{artist} << kBase;
    QTest::newRow("Ctrl+P") << chord + u"select:Kapela>První;Ctrl+P"_s << QStringList()
                            << u"Kapela>První *|Kapela>Druhé *|Alfa>Jediné"_s;
    QTest::newRow("Ctrl+S") << chord + u"select:Kapela>Druhé;Ctrl+S"_s << QStringList()
                            << u"Kapela>První|Kapela>Druhé|Alfa>Jediné"_s;
    QTest::newRow("F12")
        << chord + u"F12"_s
        << QStringList{u"ask: Chcete uložit soubor Velbor.dat? (Starší verze bude přepsána)"_s}
        << kBase;
    QTest::newRow("menu: add album")
        << chord + u"actionAddAlbum"_s << QStringList{album} << kBase + added;
    QTest::newRow("menu: add artist")
        << chord + u"actionAddArtist"_s << QStringList{artist} << kBase;
    QTest::newRow("menu: clear all new releases")
        << chord + u"actionClearAllNewReleases"_s
        << QStringList{u"ask: Zrušit status všech novinek?"_s} << kBase;
    QTest::newRow("menu: contact e-mail")
        << chord + u"actionChangeContactEmail"_s
        << QStringList{u"input: Současný kontaktní email je jan@example.cz:"_s} << kBase;
}

// Starting with Kapela selected.
void TestEditingWindow::commands() {
    QFETCH(QString, input);
    QFETCH(QStringList, log);
    QFETCH(QString, store);

    Window win;
    QVERIFY(win.open());
    const QByteArray original = win.saved();
    win.select(u"Kapela"_s);
    win.prompts.inputs = {u"Nové"_s, u"Nové"_s, u"Nové"_s};
    win.prompts.answers = {false};

    win.press(input);

    QCOMPARE(win.prompts.log, log);
    QCOMPARE(win.store(), store);
    QCOMPARE(win.w->menuItem(u"menuEditing"_s)->isVisible(), input.startsWith(kChord));
    QCOMPARE(win.saved(), original);
}

// One edit from start to end: a new artist, an album, the toggle, another album, a new database
// name shown at once, all saved.
void TestEditingWindow::editAndSave() {
    Window win;
    QVERIFY(win.open());
    QLabel* owner = win.w->statusPanels()->panel(StatusPanel::DatabaseName);
    QCOMPARE(owner->text(), u"Databáze: Sbírka"_s);

    win.prompts.inputs = {u"Čechomor"_s, u"Živě"_s, u"Proměny"_s, u"Nová sbírka"_s};
    win.press(kChord + u"Shift+Ins"_s);
    QCOMPARE(win.selected(), u"Čechomor"_s);
    win.press(u"Ins;actionAddAsNew;Ins;actionChangeDatabaseName"_s);
    QVERIFY(!win.w->menuItem(u"actionAddAsNew"_s)->isChecked());
    QCOMPARE(win.selected(), u"Čechomor"_s);
    QCOMPARE(owner->text(), u"Databáze: Nová sbírka"_s);
    QVERIFY(win.prompts.allUsed());
    QCOMPARE(treeText(*win.w->model()),
             u"Alfa(Jediné) Čechomor(*Živě,Proměny) Kapela(*Druhé,První)"_s);
    // The album count follows the edits.
    QCOMPARE(win.w->statusPanels()->text(StatusPanel::AlbumCount), u"V databázi je 5 MP3 alb."_s);

    win.prompts.answers = {true};
    win.press(u"F12"_s);
    QCOMPARE(win.prompts.log.last(), u"message(i): Hotovo."_s);
    QCOMPARE(win.saved(),
             dataFile(kBase + u"|Čechomor>Živě *|Čechomor>Proměny"_s, u"Nová sbírka"_s));
}

// Deleting from the menu leaves the real view with a selected node that Insert can use.
void TestEditingWindow::deleteFromMenu() {
    Window win;
    QVERIFY(win.open());
    win.prompts.answers = {true, true};
    win.press(kChord + u"select:Alfa>Jediné;actionDeleteAlbum"_s);
    QCOMPARE(win.selected(), u"Alfa"_s);
    QVERIFY(win.w->treeView()->selectionModel()->isSelected(win.w->treeView()->currentIndex()));
    QCOMPARE(win.w->statusPanels()->text(StatusPanel::AlbumCount), u"V databázi je 2 MP3 alb."_s);
    win.press(u"actionDeleteArtist"_s);
    QCOMPARE(win.selected(), u"Kapela"_s);
    QCOMPARE(win.prompts.log, (QStringList{u"ask: Opravdu chcete smazat toto album?"_s,
                                           u"ask: Opravdu chcete smazat tuto položku artist?"_s}));

    win.prompts.inputs = {u"Třetí"_s};
    win.press(u"Ins"_s);
    QCOMPARE(win.store(), u"Kapela>První|Kapela>Druhé *|Kapela>Třetí *"_s);
}

// F3 expands the collapsed artist of the match and selects it.
void TestEditingWindow::findByF3() {
    Window win;
    QVERIFY(win.open());
    QTreeView* view = win.w->treeView();
    const QModelIndex kapela = win.w->model()->indexOf(nodeAtPath(*win.w->model(), u"Kapela"_s));
    QVERIFY(!view->isExpanded(kapela));
    win.prompts.inputs = {u"DRUH"_s};
    win.press(u"F3"_s);
    QCOMPARE(win.prompts.log, QStringList{u"input: Zadejte název (část názvu) hledaného "
                                          u"alba/skupiny: [MP3 Velbor]"_s});
    QVERIFY(view->isExpanded(kapela));
    QCOMPARE(win.selected(), u"Kapela>Druhé"_s);
    QVERIFY(view->selectionModel()->isSelected(view->currentIndex()));
}

// The new items stand last in their menus, after a separator; the undo items name their step; the
// Editing keys work only after the chord, "Najít další" and "Zrušit označení" always.
void TestEditingWindow::undoRenameFindNext() {
    Window win;
    QVERIFY(win.open());
    const auto tail = [&win](const char* menu) {
        QStringList names;
        for (const QAction* a : win.w->menuItem(QLatin1String(menu))->menu()->actions())
            names << (a->isSeparator() ? u"-"_s : a->objectName());
        return names.mid(names.size() - 4);
    };
    QCOMPARE(tail("menuServices"),
             (QStringList{u"actionFind"_s, u"-"_s, u"actionFindNext"_s, u"actionUntickAll"_s}));
    QCOMPARE(tail("menuEditing"),
             (QStringList{u"actionRedo"_s, u"actionRename"_s, u"-"_s, u"actionImportFolder"_s}));
    QAction* undo = win.w->menuItem(u"actionUndo"_s);
    QAction* redo = win.w->menuItem(u"actionRedo"_s);

    win.prompts.inputs = {u"Nové"_s, u"Skupina"_s, u"DRUH"_s};
    win.press(u"select:Kapela;Ins;F6;Ctrl+Z"_s);
    QVERIFY(win.prompts.log.isEmpty());
    win.press(kChord + u"Ins"_s);
    QCOMPARE(undo->text(), u"&Zpět: Přidat album Nové"_s);
    QVERIFY(!redo->isEnabled());
    win.press(u"Ctrl+Z"_s);
    QCOMPARE(win.store(), kBase);
    QCOMPARE(win.w->statusPanels()->text(StatusPanel::AlbumCount), u"V databázi je 3 MP3 alb."_s);
    QCOMPARE(redo->text(), u"Z&novu: Přidat album Nové"_s);
    QCOMPARE(undo->text(), u"&Zpět"_s);
    win.press(u"Ctrl+Y;Ctrl+Z;Ctrl+Shift+Z;F6"_s);
    QCOMPARE(win.store(), u"Skupina>První|Skupina>Druhé *|Alfa>Jediné|Skupina>Nové *"_s);
    QCOMPARE(win.selected(), u"Skupina"_s);
    QCOMPARE(undo->text(), u"&Zpět: Přejmenovat Kapela na Skupina"_s);

    // Shift+F3 with no pattern yet asks for one; past the last match it says so.
    win.press(u"Shift+F3;Shift+F3"_s);
    QCOMPARE(win.selected(), u"Skupina>Druhé"_s);
    QCOMPARE(win.prompts.log.last(), u"message(i): Nenalezeno."_s);
    win.press(u"Ctrl+Q;Ctrl+Shift+Q"_s);
    QCOMPARE(treeText(*win.w->model()), u"Alfa(Jediné) Skupina(*Druhé,*Nové,První)"_s);
}

QTEST_MAIN(TestEditingWindow)
#include "tst_editingwindow.moc"
