#include "fixture.h"

#include "catalogue/programfolder.h"
#include "gui/mainwindow.h"
#include "gui/qtports.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

struct Window {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
    int quits = 0;

    explicit Window(const QByteArray& data = QByteArray()) {
        setProgramFolderForTesting(dir.path());
        if (!data.isNull()) {
            QFile f(dir.filePath(u"Velbor.dat"_s));
            if (f.open(QIODevice::WriteOnly))
                f.write(data);
        }
        window = std::make_unique<MainWindow>(&prompts);
        window->setQuitHandler([this] { ++quits; });
        window->load();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("window not active");
    }
    ~Window() { setProgramFolderForTesting(QString()); }

    QTreeView* tree() const { return window->treeView(); }
    QAction* item(const char* name) const { return window->menuItem(QString::fromLatin1(name)); }
    void key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(tree(), key, mods);
    }
    QString panel(int n) const {
        return window->statusPanels()->text(n == 1 ? StatusPanel::AlbumCount
                                                   : StatusPanel::DatabaseName);
    }
};

// The duplicate counts in the status bar; the tree shows it once.
const QByteArray kData("\"Kapela\",\"Prvni\",#FALSE#\r\n\"Kapela\",\"Druha\",#TRUE#\r\n"
                       "\"Abba\",\"Arrival\",#FALSE#\r\n\"Abba\",\"Arrival\",#FALSE#\r\n"
                       "\"#DataOwner\",\"Moje\",#FALSE#\r\n"
                       "\"#ContactEmail\",\"\",#FALSE#\r\n");

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void startsAsDesigned() {
        Window w(kData);
        QCOMPARE(w.window->windowTitle(), u"MP3 Velbor"_s);
        QCOMPARE(w.panel(1), u"V databázi je 4 MP3 alb."_s);
        QCOMPARE(w.panel(2), u"Databáze: Moje"_s);
        QCOMPARE(w.tree()->model()->rowCount(), 2);
        QCOMPARE(w.tree()->currentIndex().data().toString(), u"Abba"_s);
        QCOMPARE(w.tree()->model()->rowCount(w.tree()->currentIndex()), 1);
        QVERIFY(!w.tree()->isExpanded(w.tree()->currentIndex()));
        QCOMPARE(w.window->focusWidget(), w.tree());

        // The panels keep their widths when the window grows; the tree follows the window.
        const int p1 = w.window->statusPanels()->panelWidth(StatusPanel::AlbumCount);
        const int p2 = w.window->statusPanels()->panelWidth(StatusPanel::DatabaseName);
        QCOMPARE(p2, MainWindow::kOwnerPanelWidth);
        QCOMPARE(p1, MainWindow::kClientWidth - p2); // the rest of the bar
        w.window->resize(w.window->width() + 200, w.window->height() + 100);
        QTRY_COMPARE(w.tree()->width(), w.window->width());
        QCOMPARE(w.window->statusPanels()->panelWidth(StatusPanel::AlbumCount), p1);
        QCOMPARE(w.window->statusPanels()->panelWidth(StatusPanel::DatabaseName), p2);

        QStringList top;
        for (QAction* a : w.window->menuBar()->actions())
            if (a->isVisible())
                top << a->text();
        QCOMPARE(top, (QStringList{u"&Služby"_s, u"&Zobrazení"_s, u"&Konec"_s, u"&Info"_s}));
        QCOMPARE(w.item("actionExpandAll")->shortcut(), QKeySequence(u"Ctrl+O"_s));
        QCOMPARE(w.item("actionSendByMail")->text(), u"Odeslat zaškrtnuté na e-mail"_s);
        QCOMPARE(w.item("actionSendByMail")->shortcut(), QKeySequence(u"Shift+F2"_s));
        QVERIFY(w.item("actionShowAll")->isChecked());
        QVERIFY(!w.item("actionShowNewReleases")->isChecked());
        QVERIFY(w.item("actionAddAsNew")->isChecked());
        QVERIFY(!w.item("menuEditing")->isVisible());
    }

    // Only Ctrl+Shift+F11 shows the Editing menu; pressed again, it keeps it shown.
    void editingChord() {
        Window w(kData);
        w.key(Qt::Key_F11, Qt::ControlModifier);
        w.key(Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
        QVERIFY(!w.item("menuEditing")->isVisible() && !w.window->context().editingVisible);
        for (int again = 0; again < 2; ++again) {
            w.key(Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY(w.item("menuEditing")->isVisible() && w.window->context().editingVisible);
        }
    }

    void enterAndSpaceDoNothingEscQuits() {
        Window w(kData);
        const QModelIndex current = w.tree()->currentIndex();
        w.key(Qt::Key_Space);
        w.key(Qt::Key_Return);
        w.key(Qt::Key_Enter);
        QCOMPARE(current.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(w.tree()->currentIndex(), current);
        QCOMPARE(w.quits, 0);
        w.key(Qt::Key_Escape);
        QCOMPARE(w.quits, 1);
        QVERIFY(w.prompts.log.isEmpty());
    }

    void viewsByShortcut() {
        Window w(kData);
        w.key(Qt::Key_Q, Qt::ControlModifier); // tick all
        QCOMPARE(w.tree()->currentIndex().data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        w.key(Qt::Key_N, Qt::ControlModifier);
        QVERIFY(w.item("actionShowNewReleases")->isChecked());
        QVERIFY(!w.item("actionShowAll")->isChecked());
        QCOMPARE(w.tree()->model()->rowCount(), 1);
        const QModelIndex kapela = w.tree()->model()->index(0, 0);
        QCOMPARE(kapela.data().toString(), u"Kapela"_s);
        QCOMPARE(kapela.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        w.key(Qt::Key_A, Qt::ControlModifier);
        QVERIFY(w.item("actionShowAll")->isChecked());
        QCOMPARE(w.tree()->model()->rowCount(), 2);
        // The tree keeps the keyboard after a rebuild.
        QCOMPARE(w.window->focusWidget(), w.tree());
        w.key(Qt::Key_O, Qt::ControlModifier);
        QVERIFY(w.tree()->isExpanded(w.tree()->model()->index(1, 0)));
        QCOMPARE(w.panel(1), u"V databázi je 4 MP3 alb."_s);
    }

    void missingFileOpensEmpty() {
        Window w;
        QCOMPARE(w.prompts.log, QStringList{u"message(x): Datový soubor neexistuje!"_s});
        QCOMPARE(w.panel(1), u"V databázi je 0 MP3 alb."_s);
        QCOMPARE(w.panel(2), QString());
        QCOMPARE(w.tree()->model()->rowCount(), 0);
        w.key(Qt::Key_O, Qt::ControlModifier); // expand all on nothing
        w.key(Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(w.prompts.log.size(), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
