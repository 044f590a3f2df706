// The Editing commands from the real main window (offscreen, scripted boxes): the chord, the
// Insert keys, the menu shortcuts before and after the chord, and the menu items.

#include "fixture.h"

#include "catalogue/datafile.h"
#include "catalogue/programfolder.h"
#include "catalogue/textcompare.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/qtports.h"
#include "mainwindow/windowlogic.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

const QStringList kBase = {u"Kapela>První"_s, u"Kapela>Druhé *"_s, u"Alfa>Jediné"_s};

QByteArray dataFile(const QStringList& albums, const QString& owner, const QString& email) {
    const auto bytes = formatDataFile(albumsFrom(albums), owner, email);
    return bytes ? *bytes : QByteArray();
}

// A window on the base catalogue in its own program folder, shown and active.
struct Window {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> w;

    bool open() {
        if (!dir.isValid())
            return false;
        setProgramFolderForTesting(dir.path());
        QFile file(dir.filePath(u"Velbor.dat"_s));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(dataFile(kBase, u"Sbírka"_s, u"jan@example.cz"_s)) < 0)
            return false;
        file.close();
        w = std::make_unique<MainWindow>(&prompts);
        w->setQuitHandler([] {});
        w->load();
        w->show();
        w->activateWindow();
        return QTest::qWaitForWindowActive(w.get());
    }
    AppContext& ctx() { return w->context(); }
    QByteArray saved() {
        QFile file(dir.filePath(u"Velbor.dat"_s));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void select(const QString& path) {
        w->treeView()->setCurrentIndex(w->model()->indexOf(nodeAtPath(*w->model(), path)));
    }
    QString selected() { return pathOf(CatalogueTree::nodeAt(w->treeView()->currentIndex())); }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(w->treeView(), Qt::Key(key), modifiers);
    }
    void chord() { key(Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier); }
};

} // namespace

class TestEditingWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }
    void keys_data();
    void keys();
    void editAndSave();
    void deleteFromMenu();
    void databaseNameInStatusBar();
};

void TestEditingWindow::keys_data() {
    QTest::addColumn<QString>("before"); // "", "chord", "chord+alt", "chord twice"
    QTest::addColumn<QString>("select");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QStringList>("store");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("editingShown");

    const int none = Qt::NoModifier;
    const int shift = Qt::ShiftModifier;
    const int ctrl = Qt::ControlModifier;
    const QStringList nothing;
    const QStringList album = {u"input: Název alba:"_s};
    const QStringList added = kBase + QStringList{u"Kapela>Nové *"_s};

    QTest::newRow("Insert before the chord")
        << ""
        << "Kapela" << int(Qt::Key_Insert) << none << nothing << kBase << "Kapela" << false;
    QTest::newRow("Shift+Insert before the chord")
        << ""
        << "Kapela" << int(Qt::Key_Insert) << shift << nothing << kBase << "Kapela" << false;
    QTest::newRow("Ctrl+P before the chord")
        << ""
        << "Kapela>První" << int(Qt::Key_P) << ctrl << nothing << kBase << "Kapela>První" << false;
    QTest::newRow("Ctrl+S before the chord")
        << ""
        << "Kapela>Druhé" << int(Qt::Key_S) << ctrl << nothing << kBase << "Kapela>Druhé" << false;
    QTest::newRow("F12 before the chord")
        << ""
        << "Kapela" << int(Qt::Key_F12) << none << nothing << kBase << "Kapela" << false;
    QTest::newRow("the chord with Alt shows nothing")
        << "chord+alt"
        << "Kapela" << int(Qt::Key_Insert) << none << nothing << kBase << "Kapela" << false;
    QTest::newRow("Insert after the chord")
        << "chord"
        << "Kapela" << int(Qt::Key_Insert) << none << album << added << "Kapela" << true;
    QTest::newRow("Ctrl+Insert after the chord")
        << "chord"
        << "Kapela" << int(Qt::Key_Insert) << ctrl << album << added << "Kapela" << true;
    QTest::newRow("Ctrl+Shift+Insert after the chord")
        << "chord"
        << "Kapela" << int(Qt::Key_Insert) << (ctrl | shift) << album << added << "Kapela" << true;
    QTest::newRow("Insert after the chord pressed twice")
        << "chord twice"
        << "Kapela" << int(Qt::Key_Insert) << none << album << added << "Kapela" << true;
    QTest::newRow("Shift+Insert after the chord")
        << "chord"
        << "Kapela>První" << int(Qt::Key_Insert) << shift
        << QStringList{u"input: Název položky artist:"_s} << kBase << "Nové" << true;
    QTest::newRow("Ctrl+P after the chord")
        << "chord"
        << "Kapela>První" << int(Qt::Key_P) << ctrl << nothing
        << QStringList{u"Kapela>První *"_s, u"Kapela>Druhé *"_s, u"Alfa>Jediné"_s} << "Kapela>První"
        << true;
    QTest::newRow("Ctrl+S after the chord")
        << "chord"
        << "Kapela>Druhé" << int(Qt::Key_S) << ctrl << nothing
        << QStringList{u"Kapela>První"_s, u"Kapela>Druhé"_s, u"Alfa>Jediné"_s} << "Kapela>Druhé"
        << true;
    QTest::newRow("F12 after the chord, answered No")
        << "chord"
        << "Kapela" << int(Qt::Key_F12) << none
        << QStringList{u"ask: Chcete uložit soubor Velbor.dat? (Starší verze bude přepsána)"_s}
        << kBase << "Kapela" << true;
}

void TestEditingWindow::keys() {
    QFETCH(QString, before);
    QFETCH(QString, select);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, log);
    QFETCH(QStringList, store);
    QFETCH(QString, selected);
    QFETCH(bool, editingShown);

    Window win;
    QVERIFY(win.open());
    const QByteArray original = win.saved();
    if (before == u"chord+alt"_s)
        win.key(Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (before.startsWith(u"chord"_s) && before != u"chord+alt"_s)
        win.chord();
    if (before == u"chord twice"_s)
        win.chord();
    win.select(select);
    QCOMPARE(win.selected(), select);
    win.prompts.inputs = {u"Nové"_s};
    win.prompts.answers = {false};

    win.key(key, Qt::KeyboardModifiers(modifiers));

    QCOMPARE(win.prompts.log, log);
    QCOMPARE(storeLines(win.ctx().catalogue.Albums), store);
    QCOMPARE(win.selected(), selected);
    QCOMPARE(win.w->menuItem(u"mnuCheat"_s)->isVisible(), editingShown);
    QCOMPARE(win.ctx().editingVisible, editingShown);
    QCOMPARE(win.saved(), original);
}

// The road of one edit, with the menu's toggle in between: a new artist, two albums, saved.
void TestEditingWindow::editAndSave() {
    Window win;
    QVERIFY(win.open());
    QAction* novinka = win.w->menuItem(u"mnuCNovinka"_s);
    QVERIFY(novinka->isChecked());

    win.chord();
    win.prompts.inputs = {u"Čechomor"_s, u"Živě"_s, u"Proměny"_s};
    win.key(Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(win.selected(), u"Čechomor"_s);
    win.key(Qt::Key_Insert);
    novinka->trigger();
    QVERIFY(!novinka->isChecked());
    QVERIFY(!win.ctx().addAsNew);
    win.key(Qt::Key_Insert);
    QCOMPARE(win.selected(), u"Čechomor"_s);
    QVERIFY(win.prompts.allUsed());
    QCOMPARE(
        treeLines(*win.w->model()),
        (QStringList{u"Alfa"_s, u"Alfa>Jediné"_s, u"Čechomor"_s, u"Čechomor>Živě *"_s,
                     u"Čechomor>Proměny"_s, u"Kapela"_s, u"Kapela>Druhé *"_s, u"Kapela>První"_s}));
    // The album count shows what was read at start-up.
    QCOMPARE(win.w->statusPanels()->text(kPanelAlba), u"V databázi je 3 MP3 alb."_s);

    win.prompts.answers = {true};
    win.key(Qt::Key_F12);
    QCOMPARE(win.prompts.log.last(), u"message(i): Hotovo."_s);
    QCOMPARE(win.saved(), dataFile(kBase + QStringList{u"Čechomor>Živě *"_s, u"Čechomor>Proměny"_s},
                                   u"Sbírka"_s, u"jan@example.cz"_s));
}

// Deleting from the menu leaves the real view with a selected node that Insert can use.
void TestEditingWindow::deleteFromMenu() {
    Window win;
    QVERIFY(win.open());
    win.chord();
    win.select(u"Alfa>Jediné"_s);
    win.prompts.answers = {true, true};
    win.w->menuItem(u"mnuDelAlb"_s)->trigger();
    QCOMPARE(win.selected(), u"Alfa"_s);
    QVERIFY(win.w->treeView()->selectionModel()->isSelected(win.w->treeView()->currentIndex()));
    win.w->menuItem(u"mnuDelArt"_s)->trigger();
    QCOMPARE(win.selected(), u"Kapela"_s);
    QCOMPARE(win.prompts.log, (QStringList{u"ask: Opravdu chcete smazat toto album?"_s,
                                           u"ask: Opravdu chcete smazat tuto položku artist?"_s}));

    win.prompts.inputs = {u"Třetí"_s};
    win.key(Qt::Key_Insert);
    QCOMPARE(storeLines(win.ctx().catalogue.Albums),
             (QStringList{u"Kapela>První"_s, u"Kapela>Druhé *"_s, u"Kapela>Třetí *"_s}));
}

// The new database name shows in the status bar at once.
void TestEditingWindow::databaseNameInStatusBar() {
    Window win;
    QVERIFY(win.open());
    QLabel* panel = win.w->statusPanels()->panel(kPanelVlastnik);
    QCOMPARE(panel->text(), u"Databáze: Sbírka"_s);
    win.chord();
    win.prompts.inputs = {u"Nová sbírka"_s, u""_s};
    win.w->menuItem(u"mnuDatab"_s)->trigger();
    QCOMPARE(panel->text(), u"Databáze: Nová sbírka"_s);
    win.w->menuItem(u"mnuChEm"_s)->trigger();
    QCOMPARE(win.ctx().catalogue.ContactEmail, u"jan@example.cz"_s);
    QCOMPARE(win.prompts.log,
             (QStringList{u"input: Současný název databáze je Sbírka:"_s,
                          u"input: Současný kontaktní email je jan@example.cz:"_s}));
}

QTEST_MAIN(TestEditingWindow)
#include "tst_editingwindow.moc"
