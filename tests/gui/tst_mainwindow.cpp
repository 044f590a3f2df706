#include "fixture.h"

#include "catalogue/datafile.h"
#include "catalogue/programfolder.h"
#include "commands/reporttext.h"
#include "gui/mainwindow.h"
#include "gui/qtports.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
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

    QString dataFile() const { return dir.filePath(u"Velbor.dat"_s); }
    QByteArray saved() const {
        QFile f(dataFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
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
    void initTestCase() {
        TextCompare::setProgramLocale(u"cs_CZ"_s);
        QApplication::setQuitOnLastWindowClosed(false);
    }

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
        // The panels fill the bar from edge to edge; each shows its text whole, or as a tooltip.
        QLabel* count = w.window->statusPanels()->panel(StatusPanel::AlbumCount);
        QLabel* owner = w.window->statusPanels()->panel(StatusPanel::DatabaseName);
        QTRY_COMPARE(count->geometry(), QRect(0, 0, p1, count->height()));
        QCOMPARE(owner->geometry(), QRect(p1, 0, p2, count->height()));
        QCOMPARE(count->parentWidget()->width(), w.window->width());
        QVERIFY(count->fontMetrics().horizontalAdvance(count->text()) <=
                count->contentsRect().width());
        for (QLabel* panel : {count, owner})
            QCOMPARE(panel->toolTip(), panel->text());
        w.window->resize(w.window->width() + 200, w.window->height() + 100);
        QTRY_COMPARE(w.tree()->width(), w.window->width());
        QCOMPARE(w.window->statusPanels()->panelWidth(StatusPanel::AlbumCount), p1);
        QCOMPARE(count->width(), p1);
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

    // Esc, "&Konec" and the close box without edits, and with an album added and the question
    // answered (Y!: Yes, and the save fails).
    void exits_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("answer"); // empty: no edits
        QTest::addColumn<bool>("ended");
        QTest::addColumn<bool>("saved");
        for (const QString& path : {u"Esc"_s, u"Konec"_s, u"close box"_s}) {
            const QByteArray p = path.toUtf8();
            QTest::addRow("%s without edits", p.data()) << path << u""_s << true << false;
            QTest::addRow("%s, saved", p.data()) << path << u"Y"_s << true << true;
            QTest::addRow("%s, not saved", p.data()) << path << u"N"_s << true << false;
            QTest::addRow("%s, cancelled", p.data()) << path << u"C"_s << false << false;
            QTest::addRow("%s, the save failed", p.data()) << path << u"Y!"_s << false << false;
        }
    }
    void exits() {
        QFETCH(QString, path);
        QFETCH(QString, answer);
        QFETCH(bool, ended);
        QFETCH(bool, saved);
        Window w(kData);
        QStringList log;
        if (!answer.isEmpty()) {
            w.prompts.inputs = {u"Nové"_s};
            QTest::keySequence(w.tree(), QKeySequence(u"Ctrl+Shift+F11"_s));
            w.key(Qt::Key_Insert);
            QVERIFY(w.prompts.allUsed());
            w.prompts.log.clear();
            w.prompts.choices = {answer[0] == u'Y'   ? Choice::Yes
                                 : answer[0] == u'N' ? Choice::No
                                                     : Choice::Cancel};
            log << u"choose: Databáze obsahuje neuložené změny. Uložit je před ukončením?"_s;
        }
        if (answer == u"Y!"_s) // a folder in the data file's place
            QVERIFY(QFile::remove(w.dataFile()) && QDir(w.dir.path()).mkdir(u"Velbor.dat"_s));
        const QByteArray before = w.saved();

        if (path == u"Esc"_s)
            w.key(Qt::Key_Escape);
        else if (path == u"Konec"_s)
            w.item("actionQuit")->trigger();
        QCOMPARE(path == u"close box"_s ? w.window->close() : w.quits == 1, ended);

        QCOMPARE(w.prompts.log.mid(0, 1), log);
        QCOMPARE(w.prompts.log.size(), log.size() + (answer == u"Y!"_s)); // the failure shown
        if (saved)
            QVERIFY(w.saved().contains("\"Abba\",\"Nov\xE9\",#TRUE#\r\n"));
        else
            QCOMPARE(w.saved(), before);
        QCOMPARE(w.window->context().unsavedEdits, !answer.isEmpty() && !saved);
    }

    // A report too long for a mailto: link goes to the clipboard, and the mail program gets the
    // recipient and the subject alone.
    void longReportOnTheClipboard() {
        std::vector<Album> albums;
        for (int i = 0; i < 2000; ++i)
            albums.push_back(
                Album{u"Kapela"_s, u"Album číslo %1 s dlouhým názvem"_s.arg(i), false});
        Window w(formatDataFile(albums, u"Moje"_s, u"a@b.cz"_s).value());
        RecordingMailer mailer;
        mailer.firstResult = MailResult::TooLong; // the whole report; then recipient and subject
        w.window->context().mailer = &mailer;
        QApplication::clipboard()->clear();
        w.key(Qt::Key_Q, Qt::ControlModifier); // tick all
        w.prompts.answers = {true};
        w.item("actionSendByMail")->trigger();

        QCOMPARE(w.prompts.log.size(), 1);
        QVERIFY(w.prompts.log[0].startsWith(u"ask: Zpráva je příliš dlouhá"_s));
        QCOMPARE(QApplication::clipboard()->text(),
                 reportText(*w.window->model(), w.panel(2), u"a@b.cz"_s));
        QCOMPARE(mailer.calls, 2);
        QCOMPARE(mailer.name, u"Moje"_s);
        QCOMPARE(mailer.address, u"a@b.cz"_s);
        QCOMPARE(mailer.subject, u"MP3 Velbor"_s);
        QCOMPARE(mailer.body, QString());
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
