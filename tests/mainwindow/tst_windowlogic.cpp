#include "folderfixture.h"

#include "catalogue/datafile.h"
#include "catalogue/programfolder.h"
#include "catalogue/windows1250.h"
#include "mainwindow/appcontext.h"
#include "mainwindow/windowlogic.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

QByteArray cp1250(const QString& text) {
    QByteArray out;
    Windows1250::encodeAppend(QString(text).replace(u"\n"_s, u"\r\n"_s), out);
    return out;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A program folder of its own with the fakes around one context.

const QByteArray kSample = cp1250(u"\"Zed\",\"beta\",#FALSE#\n"
                                  "\"abba\",\"Alfa\",#TRUE#\n"
                                  "\"Zed\",\"beta\",#FALSE#\n"
                                  "\"#DataOwner\",\"Sbírka\",#FALSE#\n"
                                  "\"#ContactEmail\",\"a@b.cz\",#FALSE#\n"_s);

} // namespace

class TestWindowLogic : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void startWithoutDataFile() {
        FolderFixture f;
        formLoad(f.ctx);
        QCOMPARE(f.prompts.log, QStringList{u"message(x): Datový soubor neexistuje!"_s});
        QCOMPARE(f.status.texts[0], u"V databázi je 0 MP3 alb."_s);
        QCOMPARE(f.status.texts[1], QString());
        QCOMPARE(f.tree.nodeCount(), 0);
        QVERIFY(!f.view.selected);
        QVERIFY(f.view.drawing);
        // Panel 1 takes what panel 2 leaves of the bar.
        QCOMPARE(f.status.widths[0], 278 - 120);
    }

    void startWithDataFile() {
        FolderFixture f;
        writeFile(f.dataFile(), kSample);
        formLoad(f.ctx);
        QVERIFY(f.prompts.log.isEmpty());
        QCOMPARE(f.status.texts[0], u"V databázi je 3 MP3 alb."_s); // duplicates count
        QCOMPARE(f.status.texts[1], u"Databáze: Sbírka"_s);
        QCOMPARE(f.ctx.catalogue.ContactEmail, u"a@b.cz"_s);
        QCOMPARE(treeText(f.tree), u"abba(*Alfa) Zed(beta)"_s);
        QCOMPARE(f.view.selected, f.tree.artists()[0]);
        QVERIFY(!f.ctx.backupBeforeSave);
    }

    void unreadableDataFileIsNeverOverwritten() {
        FolderFixture f;
        QVERIFY(QDir(f.dir.path()).mkdir(u"Velbor.dat"_s));
        formLoad(f.ctx);
        QCOMPARE(f.prompts.log, QStringList{u"message(x): Datový soubor neexistuje!"_s});
        f.prompts.log.clear();
        f.prompts.answers = {true};
        saveDataFile(f.ctx);
        QCOMPARE(f.prompts.log.size(), 2);
        QVERIFY(f.prompts.log[1].contains(u"nepodařilo uložit"));
        QVERIFY(QFileInfo(f.dataFile()).isDir());
    }

    void skippedLinesAreReportedAndBackedUp() {
        FolderFixture f;
        const QByteArray original =
            QByteArray("\"A\",\"1\",#FALSE#\r\nbroken\r\n\"B\",\"2\"\r\n") + kSample;
        writeFile(f.dataFile(), original);
        formLoad(f.ctx);
        QCOMPARE(f.prompts.log.size(), 1);
        const QString text = f.prompts.log[0];
        QVERIFY2(text.contains(u"2 řádky") && text.contains(u"2, 3") &&
                     text.contains(u"Velbor.dat.bak"),
                 qPrintable(text));
        QCOMPARE(f.status.texts[0], u"V databázi je 4 MP3 alb."_s);

        f.prompts.answers = {true, true};
        saveDataFile(f.ctx);
        QCOMPARE(readAll(f.dataFile() + u".bak"_s), original);
        const QByteArray firstSave = readAll(f.dataFile());
        QVERIFY(firstSave.startsWith("\"A\",\"1\",#FALSE#\r\n\"Zed\""));
        // Only the first save keeps a backup: the file it would replace is ours now.
        saveDataFile(f.ctx);
        QCOMPARE(readAll(f.dataFile() + u".bak"_s), original);
        QCOMPARE(readAll(f.dataFile()), firstSave);
    }

    void utf8FileIsReadAndSavedAsWindows1250() {
        FolderFixture f;
        writeFile(f.dataFile(), "\"\xC4\x8C"
                                "echomor\",\"Prom\xC4\x9Bny\",#TRUE#\r\n");
        formLoad(f.ctx);
        QCOMPARE(f.prompts.log.size(), 1);
        QVERIFY(f.prompts.log[0].contains(u"UTF-8"));
        QCOMPARE(treeText(f.tree), u"Čechomor(*Proměny)"_s);
        f.prompts.answers = {true};
        saveDataFile(f.ctx);
        QCOMPARE(readAll(f.dataFile()),
                 cp1250(u"\"Čechomor\",\"Proměny\",#TRUE#\n\"#DataOwner\",\"\",#FALSE#\n"
                        "\"#ContactEmail\",\"\",#FALSE#\n"_s));
    }

    void save_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("written");
        QTest::newRow("Yes writes") << true << true;
        QTest::newRow("No leaves the file") << false << false;
    }
    void save() {
        QFETCH(bool, yes);
        QFETCH(bool, written);
        FolderFixture f;
        writeFile(f.dataFile(), kSample);
        formLoad(f.ctx);
        f.ctx.catalogue.Albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        f.ctx.catalogue.ContactEmail = u"jiny@example.cz"_s;
        setDatabaseName(f.status, u"Jiná"_s);
        f.prompts.answers = {yes};
        saveDataFile(f.ctx);
        QCOMPARE(f.prompts.log[0],
                 u"ask: Chcete uložit soubor Velbor.dat? (Starší verze bude přepsána)"_s);
        const QByteArray expected = cp1250(u"\"Zed\",\"beta\",#FALSE#\n"
                                           "\"abba\",\"Alfa\",#TRUE#\n"
                                           "\"Zed\",\"beta\",#FALSE#\n"
                                           "\"Nový\",\"Čerstvé\",#TRUE#\n"
                                           "\"#DataOwner\",\"Jiná\",#FALSE#\n"
                                           "\"#ContactEmail\",\"jiny@example.cz\",#FALSE#\n"_s);
        QCOMPARE(readAll(f.dataFile()), written ? expected : kSample);
        QCOMPARE(f.prompts.log.size(), written ? 2 : 1);
        if (written)
            QCOMPARE(f.prompts.log[1], u"message(i): Hotovo."_s);
    }

    void saveThatCannotBeWrittenLosesNothing() {
        FolderFixture f;
        writeFile(f.dataFile(), kSample);
        formLoad(f.ctx);
        // An album name the file cannot carry (as if it had slipped in): a message, no file.
        f.ctx.catalogue.Albums.push_back(Album{u"X"_s, u"say \"hi\""_s, false});
        f.prompts.answers = {true};
        saveDataFile(f.ctx);
        QCOMPARE(f.prompts.log.size(), 2);
        QVERIFY(f.prompts.log[1].startsWith(u"message(x): "));
        QVERIFY(f.prompts.log[1].contains(u"uvozovky"));
        QCOMPARE(readAll(f.dataFile()), kSample);
    }

    void databaseNameFromThePanel_data() {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("name");
        QTest::newRow("empty panel") << QString() << QString();
        QTest::newRow("prefix alone") << u"Databáze: "_s << QString();
        QTest::newRow("name") << u"Databáze: Moje"_s << u"Moje"_s;
        QTest::newRow("spaces kept") << u"Databáze:   "_s << u"  "_s;
    }
    void databaseNameFromThePanel() {
        QFETCH(QString, panel);
        QFETCH(QString, name);
        FakeStatusBar status;
        status.setText(kPanelVlastnik, panel);
        QCOMPARE(databaseName(status), name);
    }

    void viewsRebuildAndClearMarks() {
        FolderFixture f;
        writeFile(f.dataFile(), kSample);
        formLoad(f.ctx);
        selectAll(f.ctx);
        QCOMPARE(treeText(f.tree), u"[x]abba([x]*Alfa) [x]Zed([x]beta)"_s);
        showNewReleases(f.ctx);
        QVERIFY(f.ctx.newsOnly);
        QCOMPARE(treeText(f.tree), u"abba(*Alfa)"_s);
        showAllAlbums(f.ctx);
        QCOMPARE(treeText(f.tree), u"abba(*Alfa) Zed(beta)"_s);
        QCOMPARE(f.view.selected, f.tree.artists()[0]);
        expandAll(f.ctx);
        QCOMPARE(f.view.expanded.size(), 2);
    }

    void tickingAnArtistTicksItsAlbumsOnly() {
        FolderFixture f;
        writeFile(f.dataFile(), cp1250(u"\"A\",\"1\",#FALSE#\n\"A\",\"2\",#FALSE#\n"
                                       "\"B\",\"3\",#FALSE#\n"_s));
        formLoad(f.ctx);
        TreeNode* a = f.tree.artists()[0];
        a->checked = true;
        nodeChecked(f.ctx, a);
        QCOMPARE(treeText(f.tree), u"[x]A([x]1,[x]2) B(3)"_s);
        // Unticking one album leaves the artist ticked: nothing spreads upwards.
        a->children[0]->checked = false;
        nodeChecked(f.ctx, a->children[0]);
        QCOMPARE(treeText(f.tree), u"[x]A(1,[x]2) B(3)"_s);
        a->checked = false;
        nodeChecked(f.ctx, a);
        QCOMPARE(treeText(f.tree), u"A(1,2) B(3)"_s);
    }

    void windowKeys_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("shift");
        QTest::addColumn<int>("command");
        const int none = int(KeyCommand::None), show = int(KeyCommand::ShowEditing),
                  artist = int(KeyCommand::AddArtist), album = int(KeyCommand::AddAlbum);
        QTest::newRow("chord") << false << kKeyF11 << 3 << show;
        QTest::newRow("chord with Alt") << false << kKeyF11 << 7 << none;
        QTest::newRow("F11 with Ctrl only") << false << kKeyF11 << 2 << none;
        QTest::newRow("chord again") << true << kKeyF11 << 3 << show;
        QTest::newRow("Insert before the chord") << false << kKeyInsert << 0 << none;
        QTest::newRow("Shift+Insert before the chord") << false << kKeyInsert << 1 << none;
        QTest::newRow("Insert") << true << kKeyInsert << 0 << album;
        QTest::newRow("Ctrl+Insert") << true << kKeyInsert << 2 << album;
        QTest::newRow("Ctrl+Shift+Insert") << true << kKeyInsert << 3 << album;
        QTest::newRow("Shift+Insert") << true << kKeyInsert << 1 << artist;
        QTest::newRow("Alt+Shift+Insert") << true << kKeyInsert << 5 << album;
        QTest::newRow("other key") << true << 65 << 0 << none;
    }
    void windowKeys() {
        QFETCH(bool, editing);
        QFETCH(int, key);
        QFETCH(int, shift);
        QFETCH(int, command);
        FolderFixture f;
        f.ctx.editingVisible = editing;
        QCOMPARE(int(windowKeyCommand(f.ctx, key, shift)), command);
    }

    void treeCharacters() {
        QCOMPARE(treeKeyChar(13), TreeCharAction::Discard);
        QCOMPARE(treeKeyChar(32), TreeCharAction::Discard);
        QCOMPARE(treeKeyChar(27), TreeCharAction::Quit);
        QCOMPARE(treeKeyChar('a'), TreeCharAction::Pass);
    }
};

QTEST_GUILESS_MAIN(TestWindowLogic)
#include "tst_windowlogic.moc"
