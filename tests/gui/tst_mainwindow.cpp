// The real main window, offscreen, over scripted boxes: start, keys and menu items before and after
// the Editing chord, the exit question, the views, F3, undo and the long report's hand-off.

#include "folderfixture.h"

#include "catalogue/textcompare.h"
#include "commands/reporttext.h"
#include "gui/mainwindow.h"
#include "gui/qtports.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTreeView>

#include <memory>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

const QString kBase = u"Kapela>První|Kapela>Druhé *|Alfa>Jediné"_s;
const QString kChord = u"Ctrl+Shift+F11;"_s; // shows the Editing menu

QByteArray dataFile(const QString& albums, const QString& owner = u"Sbírka"_s) {
    return formatDataFile(albumsFrom(albums.split(u'|')), owner, u"jan@example.cz"_s).value();
}

// A window in its own program folder over data (none: no data file), shown and active.
struct Window {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> w;
    int quits = 0;

    explicit Window(const QByteArray& data = dataFile(kBase)) {
        setProgramFolderForTesting(dir.path());
        if (!data.isNull())
            reliability::writeFile(file(), data);
        w = std::make_unique<MainWindow>(&prompts);
        w->setQuitHandler([this] { ++quits; });
        w->load();
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("window not active");
    }
    ~Window() { setProgramFolderForTesting(QString()); }
    QString file() const { return dir.filePath(u"Velbor.dat"_s); }
    QByteArray saved() const { return reliability::readFile(file()); }
    QString store() { return storeLines(w->context().catalogue.albums).join(u'|'); }
    QString count() const { return w->statusPanels()->text(StatusPanel::AlbumCount); }
    QAction* item(const QString& name) const { return w->menuItem(name); }
    QModelIndex index(const QString& path) {
        return w->model()->indexOf(nodeAtPath(*w->model(), path));
    }
    QString selected() { // the current node, marked unless shown selected
        const QModelIndex i = w->treeView()->currentIndex();
        return pathOf(CatalogueTree::nodeAt(i)) +
               (w->treeView()->selectionModel()->isSelected(i) ? QString() : u" (unselected)"_s);
    }
    // Keys ("Ctrl+Shift+F11"), menu items ("actionAddAlbum") and "select:path", ";" between.
    void press(const QString& input) {
        for (const QString& item : input.split(u';', Qt::SkipEmptyParts)) {
            if (item.startsWith(u"select:"_s))
                w->treeView()->setCurrentIndex(index(item.mid(7)));
            else if (item.startsWith(u"action"_s))
                w->menuItem(item)->trigger();
            else
                QTest::keySequence(w->treeView(), QKeySequence(item));
        }
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        TextCompare::setProgramLocale(u"cs_CZ"_s);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void startsAsDesigned();
    void missingFileOpensEmpty();
    void keys_data();
    void keys();
    void exits_data();
    void exits();
    void editAndSave();
    void undoFindNext();
    void longReportOnTheClipboard();
};

void TestMainWindow::startsAsDesigned() {
    Window w(dataFile(kBase + u"|Alfa>Jediné"_s, u"Moje"_s)); // the duplicate counts, shown once
    QCOMPARE((QStringList{w.w->windowTitle(), w.count(),
                          w.w->statusPanels()->text(StatusPanel::DatabaseName),
                          treeText(*w.w->model()), w.selected()}),
             (QStringList{u"MP3 Velbor"_s, u"V databázi je 4 MP3 alb."_s, u"Databáze: Moje"_s,
                          u"Alfa(Jediné) Kapela(*Druhé,První)"_s, u"Alfa"_s}));
    QVERIFY(!w.w->treeView()->isExpanded(w.w->treeView()->currentIndex()));
    QCOMPARE(w.w->focusWidget(), w.w->treeView());

    // The panels fill the bar edge to edge and keep their widths as the window grows; each shows
    // its text whole, or as a tooltip.
    QLabel* count = w.w->statusPanels()->panel(StatusPanel::AlbumCount);
    QLabel* owner = w.w->statusPanels()->panel(StatusPanel::DatabaseName);
    const auto panels = [&] {
        return QList<int>{count->x(), count->width(), owner->x(), owner->width(),
                          count->parentWidget()->width() - w.w->width()};
    };
    const int p2 = MainWindow::kOwnerPanelWidth, p1 = MainWindow::kClientWidth - p2;
    const QList<int> rule{0, p1, p1, p2, 0};
    QTRY_COMPARE(panels(), rule);
    QVERIFY(count->fontMetrics().horizontalAdvance(count->text()) <= count->contentsRect().width());
    QCOMPARE(owner->toolTip(), owner->text());
    w.w->resize(w.w->width() + 200, w.w->height() + 100);
    QTRY_COMPARE(w.w->treeView()->width(), w.w->width());
    QCOMPARE(panels(), rule);

    QStringList top;
    for (QAction* a : w.w->menuBar()->actions())
        if (a->isVisible())
            top << a->text();
    QCOMPARE(top, (QStringList{u"&Služby"_s, u"&Zobrazení"_s, u"&Konec"_s, u"&Info"_s}));
    // The new items stand last in their menus, after a separator.
    const auto tail = [&w](const QString& menu) {
        QStringList names;
        for (const QAction* a : w.item(menu)->menu()->actions())
            names << (a->isSeparator() ? u"-"_s : a->objectName());
        return names.mid(names.size() - 4).join(u' ');
    };
    QCOMPARE(tail(u"menuServices"_s), u"actionFind - actionFindNext actionUntickAll"_s);
    QCOMPARE(tail(u"menuEditing"_s), u"actionRedo actionRename - actionImportFolder"_s);
    w.press(u"Ctrl+O"_s);
    QVERIFY(w.w->treeView()->isExpanded(w.index(u"Kapela"_s)));
}

void TestMainWindow::missingFileOpensEmpty() {
    Window w{QByteArray()};
    w.press(u"Ctrl+O;Ctrl+Q"_s); // expand and tick all on nothing
    QCOMPARE(
        (QStringList{w.prompts.log.join(u'\n'), w.count(),
                     w.w->statusPanels()->text(StatusPanel::DatabaseName),
                     treeText(*w.w->model())}),
        (QStringList{
            u"message(x): Datový soubor neexistuje!"_s, u"V databázi je 0 MP3 alb."_s, {}, {}}));
}

void TestMainWindow::keys_data() {
    QTest::addColumn<QString>("input"); // from Kapela selected; every box is answered "Nové" or No
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("after"); // the catalogue and the tree
    QTest::addColumn<int>("quits");

    const QString album = u"input: Název alba:"_s, artist = u"input: Název položky artist:"_s;
    const QString added = u"|Kapela>Nové *"_s, tree = u" Alfa(Jediné) Kapela(*Druhé,První)"_s;
    QTest::newRow("before the chord no Editing key works")
        << u"Ins;Shift+Ins;F12;Ctrl+F11;Ctrl+Alt+Shift+F11;Ins;Shift+Ins;F12;F6;Ctrl+Z;"
           u"select:Kapela>První;Ctrl+P;select:Kapela>Druhé;Ctrl+S"_s
        << QStringList() << kBase + tree << 0;
    QTest::newRow("Insert with Ctrl and Shift, after the chord pressed twice")
        << kChord + kChord + u"Ins;Ctrl+Ins;Ctrl+Shift+Ins"_s << QStringList{album, album, album}
        << kBase + added + added + added + u" Alfa(Jediné) Kapela(*Druhé,*Nové,*Nové,*Nové,První)"_s
        << 0;
    QTest::newRow("Ctrl+P, Ctrl+S")
        << kChord + u"select:Kapela>První;Ctrl+P;select:Kapela>Druhé;Ctrl+S"_s << QStringList()
        << u"Kapela>První *|Kapela>Druhé|Alfa>Jediné Alfa(Jediné) Kapela(Druhé,*První)"_s << 0;
    QTest::newRow("F12")
        << kChord + u"F12"_s
        << QStringList{u"ask: Chcete uložit soubor Velbor.dat? (Starší verze bude přepsána)"_s}
        << kBase + tree << 0;
    QTest::newRow("menu: add album, add artist, clear all, contact e-mail")
        << kChord + u"actionAddAlbum;actionAddArtist;actionClearAllNewReleases;"
                    u"actionChangeContactEmail"_s
        << QStringList{album, artist, u"ask: Zrušit status všech novinek?"_s,
                       u"input: Současný kontaktní email je jan@example.cz:"_s}
        << kBase + added + u" Alfa(Jediné) Kapela(*Druhé,*Nové,První) Nové()"_s << 0;
    QTest::newRow("Space, Enter and Return do nothing; Esc quits")
        << u"Space;Return;Enter;Esc"_s << QStringList() << kBase + tree << 1;
    QTest::newRow("the news view, tick all")
        << u"Ctrl+N;Ctrl+Q"_s << QStringList() << kBase + u" [x]Kapela([x]*Druhé)"_s << 0;
    QTest::newRow("all albums again, tick all, untick all before the chord")
        << u"Ctrl+N;Ctrl+A;Ctrl+Q;Ctrl+Shift+Q"_s << QStringList() << kBase + tree << 0;
}

void TestMainWindow::keys() {
    QFETCH(QString, input);
    QFETCH(QStringList, log);
    QFETCH(QString, after);
    QFETCH(int, quits);

    Window w;
    w.press(u"select:Kapela"_s);
    w.prompts.inputs = {u"Nové"_s, u"Nové"_s, u"Nové"_s};
    w.prompts.answers = {false};
    w.press(input);

    QCOMPARE(w.prompts.log, log);
    QCOMPARE(w.store() + u' ' + treeText(*w.w->model()), after);
    QCOMPARE(w.count(), u"V databázi je %1 MP3 alb."_s.arg(w.store().count(u'|') + 1));
    // Quits, the Editing menu shown, the file untouched, the tree keeps the keyboard (rebuilt too).
    const bool chord = input.startsWith(kChord);
    QCOMPARE(
        (QList<int>{w.quits, w.item(u"menuEditing"_s)->isVisible(), w.w->context().editingVisible,
                    w.saved() == dataFile(kBase), w.w->focusWidget() == w.w->treeView()}),
        (QList<int>{quits, chord, chord, true, true}));
}

// Esc, "&Konec" and the close box, each without edits ("") and with an album added and the
// question answered Yes, No, Cancel or Yes with a failing save ("Y!").
void TestMainWindow::exits_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("answer");
    for (const char* path : {"Esc", "Konec", "close box"})
        for (const char* answer : {"", "Y", "N", "C", "Y!"})
            QTest::addRow("%s %s", path, answer)
                << QString::fromLatin1(path) << QString::fromLatin1(answer);
}

void TestMainWindow::exits() {
    QFETCH(QString, path);
    QFETCH(QString, answer);
    const bool saved = answer == u"Y"_s, ended = saved || answer.isEmpty() || answer == u"N"_s;
    Window w;
    QStringList log;
    if (!answer.isEmpty()) {
        w.prompts.inputs = {u"Nové"_s};
        w.press(kChord + u"select:Kapela;Ins"_s);
        w.prompts.log.clear();
        w.prompts.choices = {answer[0] == u'Y'   ? Choice::Yes
                             : answer[0] == u'N' ? Choice::No
                                                 : Choice::Cancel};
        log << u"choose: Databáze obsahuje neuložené změny. Uložit je před ukončením?"_s;
    }
    if (answer == u"Y!"_s) // a folder in the data file's place
        QVERIFY(QFile::remove(w.file()) && QDir(w.dir.path()).mkdir(u"Velbor.dat"_s));
    const QByteArray before = w.saved();

    if (path != u"close box"_s)
        w.press(path == u"Esc"_s ? path : u"actionQuit"_s);
    QCOMPARE(path == u"close box"_s ? w.w->close() : w.quits == 1, ended);

    QCOMPARE(w.prompts.log.mid(0, 1), log);
    QCOMPARE(w.prompts.log.size(), log.size() + (answer == u"Y!"_s)); // the failure shown
    QCOMPARE(w.saved(), saved ? dataFile(kBase + u"|Kapela>Nové *"_s) : before);
    QCOMPARE(w.w->context().unsavedEdits, !answer.isEmpty() && !saved);
}

// Deleting from the menu leaves the real view a selected node that Insert can use; a new database
// name shows at once; all saved.
void TestMainWindow::editAndSave() {
    Window w;
    w.prompts.answers = {true, true, true};
    w.prompts.inputs = {u"Třetí"_s, u"Nová sbírka"_s};
    w.press(kChord + u"select:Alfa>Jediné;actionDeleteAlbum"_s);
    QCOMPARE(w.selected(), u"Alfa"_s);
    w.press(u"actionDeleteArtist"_s);
    QCOMPARE(w.selected(), u"Kapela"_s);
    w.press(u"Ins;actionChangeDatabaseName"_s);
    QCOMPARE(w.w->statusPanels()->panel(StatusPanel::DatabaseName)->text(),
             u"Databáze: Nová sbírka"_s);
    w.press(u"F12"_s);
    QVERIFY(w.prompts.allUsed());
    QCOMPARE(w.prompts.log.last(), u"message(i): Hotovo."_s);
    QCOMPARE(w.saved(),
             dataFile(u"Kapela>První|Kapela>Druhé *|Kapela>Třetí *"_s, u"Nová sbírka"_s));
}

// The undo items name their step (the keys and renaming: the end-to-end story "editing"); F3
// expands the collapsed artist of the match and selects it.
void TestMainWindow::undoFindNext() {
    Window w;
    QAction* undo = w.item(u"actionUndo"_s);
    QAction* redo = w.item(u"actionRedo"_s);
    w.prompts.inputs = {u"Nové"_s, u"DRUH"_s, u"JED"_s};
    w.press(kChord + u"select:Kapela;Ins"_s);
    QCOMPARE(undo->text(), u"&Zpět: Přidat album Nové"_s);
    QVERIFY(!redo->isEnabled());
    w.press(u"Ctrl+Z"_s);
    QCOMPARE(w.store(), kBase);
    QCOMPARE(w.count(), u"V databázi je 3 MP3 alb."_s);
    QCOMPARE(redo->text(), u"Z&novu: Přidat album Nové"_s);
    QCOMPARE(undo->text(), u"&Zpět"_s);
    // Shift+F3 with no pattern yet asks for one; past the last match it says so.
    w.press(u"Shift+F3;Shift+F3"_s);
    QCOMPARE(w.selected(), u"Kapela>Druhé"_s);
    QCOMPARE(w.prompts.log.last(), u"message(i): Nenalezeno."_s);
    QVERIFY(!w.w->treeView()->isExpanded(w.index(u"Alfa"_s)));
    w.press(u"F3"_s);
    QCOMPARE(w.prompts.log.last(),
             u"input: Zadejte název (část názvu) hledaného alba/skupiny: [MP3 Velbor]"_s);
    QVERIFY(w.w->treeView()->isExpanded(w.index(u"Alfa"_s)));
    QCOMPARE(w.selected(), u"Alfa>Jediné"_s);
}

// A report too long for a mailto: link goes to the real clipboard (what the mail program gets
// then: tst_report).
void TestMainWindow::longReportOnTheClipboard() {
    Window w;
    RecordingMailer mailer;
    mailer.firstResult = MailResult::TooLong;
    w.w->context().mailer = &mailer;
    QApplication::clipboard()->clear();
    w.prompts.answers = {true};
    w.press(u"Ctrl+Q;actionSendByMail"_s);
    QCOMPARE(QApplication::clipboard()->text(),
             reportText(*w.w->model(), u"Databáze: Sbírka"_s, u"jan@example.cz"_s));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
