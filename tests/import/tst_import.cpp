// "Přidat alba ze složky..." over the scripted doubles and a generated music folder: the ticked
// albums added in one step (the view respected, the unstorable never), undone to the very bytes
// a save wrote before; cancelling adds nothing.

#include "folderfixture.h"

#include "commands/editsteps.h"
#include "commands/importfolder.h"
#include "import/musicscan.h"

#include <QUndoStack>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

// Answers the progress box with a cancel when cancelReading, the list with ticks.
struct ScriptedImport : ImportDialogs {
    bool cancelReading = false;
    std::optional<QList<int>> ticks;
    QStringList shown; // the albums listed, "artist|album|files|status", then the summary

    void runWithProgress(const std::function<void(const Progress&)>& work) override {
        work([this](int) { return !cancelReading; });
    }
    std::optional<QList<int>> chooseAlbums(const MusicScan& scan, const QString& summary) override {
        for (const FoundAlbum& a : scan.albums)
            shown << u"%1|%2|%3|%4"_s.arg(a.artist, a.title).arg(a.fileCount).arg(int(a.status));
        shown << summary;
        return ticks;
    }
};

} // namespace

class TestImport : public QObject {
    Q_OBJECT
    QTemporaryDir m_music;
private Q_SLOTS:
    // Tracks of two silent MPEG frames without tags: each takes its album from "Artist - Album".
    void initTestCase() {
        TextCompare::setProgramLocale(u"cs_CZ"_s);
        const QByteArray frame = "\xFF\xFB\x18\xC0"_ba + QByteArray(140, '\0');
        for (const QString& track :
             {u"Beta - Jedna/01.mp3"_s, u"Beta - Jedna/02.mp3"_s, u"Beta - Jedna/vadná.mp3"_s,
              u"alfa - první/01.mp3"_s, u"Alfa - Druhé/01.mp3"_s, u"Gama - \"Uvozovky\"/01.mp3"_s,
              u"Žižka - Tábor/01.mp3"_s, u"bez alba.mp3"_s}) {
            QVERIFY(QDir(m_music.path()).mkpath(QFileInfo(track).path()));
            const QByteArray bytes = track.contains(u"vadná"_s) ? QByteArray() : frame + frame;
            QVERIFY(reliability::writeFile(m_music.filePath(track), bytes));
        }
        QVERIFY(QDir(m_music.path()).mkdir(u"prázdná"_s));
    }

    void import_data() {
        // "cancel": cancelled while reading, "-": in the list, "empty": an empty folder chosen.
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<bool>("news");     // the "Novinky" view
        QTest::addColumn<QString>("added"); // to the catalogue; added as new where " *" says
        QTest::addColumn<QString>("tree");

        const QString base = u"Alfa(První) Kapela(*Staré)"_s;
        QTest::newRow("ticked ones, the unstorable never")
            << u"0,2,3,4"_s << false << u"Alfa>Druhé *|Beta>Jedna *|Žižka>Tábor *"_s
            << u"Alfa(*Druhé,První) Beta(*Jedna) Kapela(*Staré) Žižka(*Tábor)"_s;
        QTest::newRow("one the catalogue has: no second node")
            << u"1,4"_s << false << u"Alfa>První|Žižka>Tábor"_s
            << u"Alfa(První) Kapela(*Staré) Žižka(Tábor)"_s;
        QTest::newRow("new-releases view, added as old: not shown")
            << u"0,2"_s << true << u"Alfa>Druhé|Beta>Jedna"_s << u"Kapela(*Staré)"_s;
        QTest::newRow("new-releases view, added as new")
            << u"2"_s << true << u"Beta>Jedna *"_s << u"Beta(*Jedna) Kapela(*Staré)"_s;
        QTest::newRow("cancelled while reading") << u"cancel"_s << false << u""_s << base;
        QTest::newRow("cancelled in the list") << u"-"_s << false << u""_s << base;
        QTest::newRow("nothing found") << u"empty"_s << false << u""_s << base;
    }

    void import() {
        QFETCH(QString, ticks);
        QFETCH(bool, news);
        QFETCH(QString, added);
        QFETCH(QString, tree);
        FolderFixture f;
        QUndoStack stack;
        FakeFileDialog files;
        ScriptedImport dialogs;
        f.ctx.fileDialog = &files;
        f.ctx.importDialogs = &dialogs;
        attachUndoStack(f.ctx, &stack);
        f.ctx.catalogue.albums = albumsFrom({u"Alfa>První"_s, u"Kapela>Staré *"_s});
        f.ctx.addAsNew = added.isEmpty() || added.contains(u'*');
        const auto rebuild = [&] { news ? showNewReleases(f.ctx) : showAllAlbums(f.ctx); };
        rebuild();
        showAlbumCount(f.ctx);
        const QString treeBefore = treeText(f.tree);
        const QByteArray bytesBefore = formatDataFile(f.ctx.catalogue.albums, {}, {}).value();

        files.folders = {m_music.filePath(ticks == u"empty"_s ? u"prázdná"_s : QString())};
        dialogs.cancelReading = ticks == u"cancel"_s;
        if (ticks != u"-"_s && !dialogs.cancelReading)
            for (const QString& i : ticks.split(u','))
                dialogs.ticks = dialogs.ticks.value_or(QList<int>()) << i.toInt();
        importFolder(f.ctx);
        QCOMPARE(files.folderRequests, {u"Přidat alba ze složky|"_s + QDir::homePath()});
        QCOMPARE(storeLines(f.ctx.catalogue.albums).mid(2).join(u'|'), added);
        QCOMPARE(treeText(f.tree), tree);
        const int count = added.isEmpty() ? 0 : int(added.count(u'|')) + 1;
        QCOMPARE(stack.count(), count ? 1 : 0);
        QCOMPARE(f.ctx.unsavedEdits, count > 0);
        QCOMPARE(f.status.texts[0], u"V databázi je %1 MP3 alb."_s.arg(2 + count));
        if (count)
            QCOMPARE(stack.undoText(), u"Přidat alba ze složky (%1)"_s.arg(count));
        const bool listed = ticks != u"cancel"_s && ticks != u"empty"_s;
        QCOMPARE(dialogs.shown,
                 !listed
                     ? QStringList()
                     : QStringList({u"Alfa|Druhé|1|0"_s, u"Alfa|První|1|1"_s, u"Beta|Jedna|2|0"_s,
                                    u"Gama|\"Uvozovky\"|1|2"_s, u"Žižka|Tábor|1|0"_s,
                                    u"Přečteno souborů: 8, přeskočeno: 2 (nečitelné: 1, "
                                    u"bez značek a bez použitelného názvu složky: 1)."_s}));
        if (ticks == u"empty"_s)
            QCOMPARE(f.prompts.log,
                     {u"message(i): Ve složce nejsou žádná alba.\nPřečteno souborů: 0, "
                      u"přeskočeno: 0."_s});

        // Undone, redone, the view built anew (it shows what the step showed), undone.
        stack.undo();
        QCOMPARE(formatDataFile(f.ctx.catalogue.albums, {}, {}).value(), bytesBefore);
        QCOMPARE(treeText(f.tree), treeBefore);
        QVERIFY(!f.ctx.unsavedEdits);
        stack.redo();
        rebuild();
        QCOMPARE(treeText(f.tree), tree);
        stack.undo();
        QCOMPARE(treeText(f.tree), treeBefore);
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
