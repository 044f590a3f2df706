// Trying to lose the catalogue: hostile data files, hostile typed names, missing rights and a file
// size limit at every byte. The program loads what it can and says what it could not; a save
// writes everything back intact, or refuses with a reason and leaves the old file (and its backup)
// whole. What could not be read is never saved over.

#include "folderfixture.h"

#include "commands/cdialogs.h"
#include "commands/editing.h"
#include "commands/export.h"
#include "commands/reporttext.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace reliability;
using namespace fixture;

namespace {

const QByteArray kSpecials = "\"#DataOwner\",\"\",#FALSE#\r\n\"#ContactEmail\",\"\",#FALSE#\r\n";
const QByteArray kFolder = "<a folder>";   // Velbor.dat is made a folder
const QByteArray kFifo = "<a named pipe>"; // or a named pipe, which no one writes into

const QString kSavedWithBackup = kSaved + u"\nPůvodní soubor je zachován jako Velbor.dat.bak."_s;

bool setMode(const QString& path, int mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

bool refused(const QString& box, const QString& reason) {
    return box.startsWith(kNotSaved) && box.contains(reason) && box.endsWith(kKept);
}

// The rights given back before the folder is removed, whatever a case left.
struct RightsFixture : FolderFixture {
    ~RightsFixture() {
        setMode(dir.path(), 0755);
        setMode(dataFile(), 0644);
    }
};

// Saves while the system lets the process give a file at most limit bytes (EFBIG beyond, as a
// full disk or a quota fails a write).
QString saveWithin(FolderFixture& f, qsizetype limit) {
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit lowered = old;
    lowered.rlim_cur = rlim_t(limit);
    if (::setrlimit(RLIMIT_FSIZE, &lowered) != 0)
        return u"<no limit>"_s;
    const QString box = f.save();
    ::setrlimit(RLIMIT_FSIZE, &old);
    return box;
}

} // namespace

class TestReliability : public QObject {
    Q_OBJECT
    QStringList m_asNobody; // runs a program as nobody; empty when not root
    QTemporaryDir m_copy;   // a copy of this test that nobody may run

    // As root, which may read and write anything: runs the current case again as nobody and
    // checks it passed. False when the case is to run here.
    bool ranAsNobody() {
        if (m_asNobody.isEmpty())
            return false;
        const QString testCase = QString::fromLatin1(QTest::currentTestFunction()) + u':' +
                                 QString::fromUtf8(QTest::currentDataTag());
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"TMPDIR"_s, u"/tmp"_s);
        env.insert(u"HOME"_s, u"/tmp"_s);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(m_asNobody.first(), m_asNobody.mid(1)
                                            << m_copy.filePath(u"tst_reliability"_s) << testCase);
        const bool passed = child.waitForFinished(60000) &&
                            child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
        if (!passed)
            qWarning("%s", child.readAll().constData());
        [&] { QVERIFY2(passed, "the case failed as nobody"); }();
        return true;
    }

private Q_SLOTS:
    void initTestCase() {
        TextCompare::setProgramLocale(u"cs_CZ"_s);
        QCoreApplication::setApplicationName(u"velbor"_s);
        std::signal(SIGXFSZ, SIG_IGN);
        if (::geteuid() != 0)
            return;
        const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
        QVERIFY2(!setpriv.isEmpty(), "run as root, and no setpriv to drop the rights");
        m_asNobody = {setpriv, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s};
        // The build folder may be closed to nobody; the copy sits in a folder open to all.
        const QString copy = m_copy.filePath(u"tst_reliability"_s);
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
        QVERIFY(setMode(m_copy.path(), 0755) && setMode(copy, 0755));
    }

    void hostileFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("albums");       // loaded
        QTest::addColumn<QStringList>("box");  // fragments of the one box at start; none: no box
        QTest::addColumn<QByteArray>("saved"); // what the first save writes
        QTest::addColumn<QString>("refusal");  // or: why it refuses, leaving the file
        const QString bak = u"Velbor.dat.bak"_s;
        const QStringList unreadable{u"nelze přečíst, a proto ho program nepřepíše"_s,
                                     u"přesuňte jinam, a program spusťte znovu."_s};
        const QByteArray good = "\"A\",\"B\",#TRUE#\r\n";
        QByteArray many;
        for (int i = 0; i < 100000; ++i)
            many += "\"A\",\"B\"\r\n";
        QTest::newRow("empty file") << QByteArray() << 0 << QStringList() << kSpecials << "";
        QTest::newRow("8 MB of line feeds")
            << QByteArray(8 << 20, '\n') << 0 << QStringList() << kSpecials << "";
        QTest::newRow("NUL byte as a line")
            << QByteArray("\0\r\n", 3) + good << 1
            << QStringList{u"obsahuje 1 řádek, který nemá"_s, u"(čísla řádků: 1)"_s, bak}
            << good + kSpecials << "";
        QTest::newRow("a line of 1 MB and a line of two fields")
            << QByteArray(1 << 20, '"') + "\r\n\"A\",\"B\"\r\n" + good << 1
            << QStringList{u"obsahuje 2 řádky, které nemají"_s, u"(čísla řádků: 1, 2)"_s, bak}
            << good + kSpecials << "";
        QTest::newRow("100,000 malformed lines")
            << many + good << 1
            << QStringList{u"100000 řádků, které nemají"_s, u"(čísla řádků: 1, 2, 3"_s,
                           u", 20 a další)"_s, bak}
            << good + kSpecials << "";
        QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF\"\xC4\x8C"
                                             "echomor\",\"Prom\xC4\x9Bny\",#TRUE#\r\n")
                               << 1 << QStringList{u"UTF-8"_s, bak}
                               << "\"\xC8"
                                  "echomor\",\"Prom\xECny\",#TRUE#\r\n" +
                                      kSpecials
                               << "";
        // Written as read, the character would become "?": the save refuses instead.
        QTest::newRow("bytes no UTF-8 after a BOM")
            << QByteArray("\xEF\xBB\xBF\"A\",\"\xFF\",#FALSE#\r\n") << 1 << QStringList{u"UTF-8"_s}
            << QByteArray() << u"„\uFFFD“"_s;
        QTest::newRow("Velbor.dat is a folder")
            << kFolder << 0 << unreadable << QByteArray() << u"nelze přečíst"_s;
        QTest::newRow("Velbor.dat is a named pipe")
            << kFifo << 0 << unreadable << QByteArray() << u"nelze přečíst"_s;
    }
    void hostileFile() {
        QFETCH(QByteArray, file);
        QFETCH(int, albums);
        QFETCH(QStringList, box);
        QFETCH(QByteArray, saved);
        QFETCH(QString, refusal);
        FolderFixture f;
        if (file == kFolder)
            QVERIFY(QDir(f.dir.path()).mkdir(u"Velbor.dat"_s));
        else if (file == kFifo)
            QCOMPARE(::mkfifo(QFile::encodeName(f.dataFile()).constData(), 0644), 0);
        else
            QVERIFY(writeFile(f.dataFile(), file));

        startUp(f.ctx);
        QCOMPARE(f.ctx.catalogue.albums.size(), size_t(albums));
        QCOMPARE(f.tree.nodeCount(), qsizetype(albums ? albums + 1 : 0));
        QCOMPARE(f.prompts.log.size(), box.isEmpty() ? 0 : 1);
        for (const QString& fragment : std::as_const(box))
            QVERIFY2(f.prompts.log[0].contains(fragment) && f.prompts.log[0].size() < 400,
                     qPrintable(f.prompts.log[0].left(500))); // the lines listed briefly

        const QString result = f.save();
        if (!refusal.isEmpty()) {
            QVERIFY2(refused(result, refusal), qPrintable(result));
            if (file == kFolder || file == kFifo)
                QVERIFY(QFileInfo::exists(f.dataFile()) && !QFileInfo(f.dataFile()).isFile());
            else
                QVERIFY(readFile(f.dataFile()) == file);
            return;
        }
        const bool backup = box.contains(u"Velbor.dat.bak"_s);
        QCOMPARE(result, backup ? kSavedWithBackup : kSaved);
        QVERIFY(readFile(f.dataFile()) == saved);
        QCOMPARE(QFile::exists(f.backupFile()), backup);
        if (backup) { // only the first save keeps one: the file it replaces next is ours
            QCOMPARE(f.save(), kSaved);
            QVERIFY(readFile(f.backupFile()) == file && readFile(f.dataFile()) == saved);
        }
    }

    // Typed names: refused at once with the reason, or taken, saved and read back as typed.
    void typedNames_data() {
        QTest::addColumn<QString>("command"); // artist, album, name or email
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal"); // empty: taken
        const QString control = u"řídicí znak"_s;
        QTest::newRow("name with a tab") << u"name"_s << u"Moje\tsbírka"_s << control;
        QTest::newRow("album with a NUL") << u"album"_s << u"A\0B"_s << control;
        QTest::newRow("e-mail with DEL") << u"email"_s << u"a\x7f@b.cz"_s << control;
        QTest::newRow("artist that is the name line's word")
            << u"artist"_s << u"#dataowner"_s << u"název databáze"_s;
        QTest::newRow("artist that is the e-mail line's word")
            << u"artist"_s << u"#ContactEmail"_s << u"kontaktní email"_s;
        // Only an artist's field marks the file's own lines.
        QTest::newRow("album that is the name line's word") << u"album"_s << u"#DataOwner"_s << "";
        QTest::newRow("album pasted with combining accents")
            << u"album"_s << u"Dvor\u030Ca\u0301k"_s << "";
        QTest::newRow("album over the length limit")
            << u"album"_s << QString(1001, u'a') << u"nejvýše 1000 znaků"_s;
        QTest::newRow("album with a right-to-left override, quoted by its code")
            << u"album"_s << u"A\u202EB"_s << u"„U+202E“"_s;
    }
    void typedNames() {
        QFETCH(QString, command);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        FolderFixture f;
        const QByteArray old = "\"Kapela\",\"Album\",#FALSE#\r\n" + kSpecials;
        QVERIFY(writeFile(f.dataFile(), old));
        startUp(f.ctx);
        f.prompts.inputs = {typed};
        if (command == u"artist")
            addArtist(f.ctx);
        else if (command == u"album")
            addAlbum(f.ctx); // under Kapela, selected at start
        else
            command == u"name" ? changeDatabaseName(f.ctx) : changeContactEmail(f.ctx);
        QCOMPARE(f.save(), kSaved);
        const DataFileContent back = loadDataFile(f.dataFile()).content;
        if (!refusal.isEmpty()) {
            QVERIFY2(f.prompts.log.size() > 1 && f.prompts.log[1].startsWith(u"message(!): ") &&
                         f.prompts.log[1].contains(refusal),
                     qPrintable(f.prompts.log.join(u'\n')));
            QVERIFY(readFile(f.dataFile()) == old);
        } else {
            QCOMPARE(
                storeLines(back.albums),
                (QStringList{u"Kapela>Album"_s,
                             u"Kapela>" + typed.normalized(QString::NormalizationForm_C) + u" *"}));
        }
    }

    // A right missing when the catalogue is loaded (it loads as missing, and what could not be
    // read is never saved over), or only when it is saved: the save says why and leaves the
    // file; once the right is back, the same session saves everything.
    void withoutRights_data() {
        QTest::addColumn<bool>("loaded"); // the rights are taken after loading
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<bool>("backup");
        QTest::addColumn<QString>("reason"); // %1: the folder
        const QString unreadable = u"na jeho místě je soubor nebo složka"_s;
        QTest::newRow("folder without write right")
            << true << 0555 << 0644 << false << u"do složky %1 nemáte právo zapisovat"_s;
        QTest::newRow("file without write right")
            << true << 0755 << 0444 << false << u"soubor Velbor.dat je chráněn proti zápisu"_s;
        QTest::newRow("backup into a folder without write right")
            << true << 0555 << 0644 << true
            << u"zálohu Velbor.dat.bak nelze zapsat: do složky %1 nemáte právo zapisovat"_s;
        QTest::newRow("file without read right") << false << 0755 << 0200 << false << unreadable;
        QTest::newRow("folder without search right")
            << false << 0600 << 0644 << false << unreadable;
    }
    void withoutRights() {
        if (ranAsNobody())
            return;
        QFETCH(bool, loaded);
        QFETCH(int, folderMode);
        QFETCH(int, fileMode);
        QFETCH(bool, backup);
        QFETCH(QString, reason);
        RightsFixture f;
        const QByteArray old = catalogueBytes(3);
        QVERIFY(writeFile(f.dataFile(), old));
        auto takeRights = [&] {
            return setMode(f.dataFile(), fileMode) && setMode(f.dir.path(), folderMode);
        };
        if (!loaded)
            QVERIFY(takeRights());
        startUp(f.ctx);
        QCOMPARE(
            f.prompts.log,
            loaded ? QStringList()
                   : QStringList{u"message(x): Datový soubor %1 nelze přečíst, a proto ho "
                                 u"program nepřepíše.\nOpravte jeho přístupová práva, nebo ho "
                                 u"přesuňte jinam, a program spusťte znovu."_s.arg(f.dataFile())});
        f.ctx.catalogue.albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        f.ctx.backupBeforeSave = backup;
        if (loaded)
            QVERIFY(takeRights());

        const QString box = f.save();
        QVERIFY(setMode(f.dir.path(), 0755) && setMode(f.dataFile(), 0644));
        QVERIFY2(refused(box, QString(reason).replace(u"%1"_s, f.dir.path())), qPrintable(box));
        // Without the right to make files in the folder, the box says the folder needs it.
        QCOMPARE(box.contains(u"musí být do složky %1 povolen zápis"_s.arg(f.dir.path())),
                 folderMode == 0555);
        QVERIFY(readFile(f.dataFile()) == old);
        QVERIFY(!QFile::exists(f.backupFile()));
        QCOMPARE(f.strays(), QStringList());
        if (!loaded) { // not even once it could be read
            QVERIFY(refused(f.save(), u"na jeho místě je soubor nebo složka"_s));
            QVERIFY(readFile(f.dataFile()) == old);
            return;
        }
        QCOMPARE(f.save(), backup ? kSavedWithBackup : kSaved);
        QVERIFY(readFile(f.dataFile())
                    .contains("\"Nov\xFD\",\"\xC8"
                              "erstv\xE9\",#TRUE#\r\n"));
        QCOMPARE(QFile::exists(f.backupFile()), backup);
    }

    // Where the catalogue is kept: beside the program when anything of its name is there or the
    // folder is writable (a missing one is reported, as ever); else in the user's data folder,
    // which a first start finds empty without a word and the first save creates. The backup and
    // the report's folder go with the catalogue.
    void catalogueLocation_data() {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<bool>("beside"); // a Velbor.dat beside the program
        QTest::addColumn<bool>("home");   // the catalogue is the user's own
        QTest::newRow("writable folder, no catalogue") << 0755 << false << false;
        QTest::newRow("closed folder with a catalogue") << 0555 << true << false;
        QTest::newRow("closed folder, no catalogue") << 0555 << false << true;
    }
    void catalogueLocation() {
        if (ranAsNobody())
            return;
        QFETCH(int, folderMode);
        QFETCH(bool, beside);
        QFETCH(bool, home);
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        RightsFixture f;
        if (beside)
            QVERIFY(writeFile(f.dataFile(), catalogueBytes(3)));
        QVERIFY(setMode(f.dir.path(), folderMode));
        const QString file = home ? data.filePath(u"velbor/Velbor.dat"_s) : f.dataFile();
        QCOMPARE(dataFilePath(), file);
        QCOMPARE(CDialogs(nullptr).initialDirectory(), QFileInfo(file).path());

        startUp(f.ctx);
        QCOMPARE(f.prompts.log, beside || home
                                    ? QStringList()
                                    : QStringList{u"message(x): Datový soubor neexistuje!"_s});
        QCOMPARE(f.ctx.catalogue.albums.size(), beside ? size_t(3) : size_t(0));
        if (beside)
            return; // saving into the closed folder: withoutRights
        f.ctx.catalogue.albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        QCOMPARE(f.save(), kSaved);

        // The next start reads what was saved; a backup is kept beside it.
        Fixture again;
        startUp(again.ctx);
        QCOMPARE(again.prompts.log, QStringList());
        QCOMPARE(again.ctx.catalogue.albums.size(), size_t(1));
        again.ctx.backupBeforeSave = true;
        again.prompts.answers = {true};
        saveCatalogue(again.ctx);
        QCOMPARE(again.prompts.log.last(), kSavedWithBackup);
        QVERIFY(QFile::exists(file + u".bak"_s));
        QCOMPARE(QFile::exists(f.dataFile()), !home);
    }

    // The report, which can always be made again, is written over a writable file in place where
    // the folder lets no new file be made.
    void reportOverAFileInAClosedFolder() {
        if (ranAsNobody())
            return;
        RightsFixture f;
        const QString report = f.dir.filePath(u"mp3.txt"_s);
        QVERIFY(writeFile(report, QByteArray(4096, 'x'))); // longer than the new report
        f.ctx.catalogue.albums = {Album{u"Kapela"_s, u"Živě"_s, false}};
        showAllAlbums(f.ctx);
        f.tree.checkAll();
        FakeFileDialog dialog;
        dialog.paths << report;
        f.ctx.fileDialog = &dialog;
        QVERIFY(setMode(f.dir.path(), 0555));
        exportToFile(f.ctx);
        QVERIFY(setMode(f.dir.path(), 0755));
        QCOMPARE(f.prompts.log, QStringList{kSaved});
        QCOMPARE(readFile(report), reportFileBytes(f.tree, QString(), QString()).value());
        QCOMPARE(f.strays(), QStringList{u"mp3.txt"_s});
    }

    // The session ends with unsaved edits and no box may be shown: they go beside the data file,
    // which stays as it was, and the next start names the copy.
    void sessionEndsWithoutQuestions() {
        FolderFixture f;
        QVERIFY(writeFile(f.dataFile(), catalogueBytes(3)));
        startUp(f.ctx);
        QVERIFY(mayEndSession(f.ctx, false));
        QVERIFY(!QFile::exists(unsavedCopyPath())); // nothing to keep
        f.ctx.catalogue.albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        f.ctx.unsavedEdits = true;
        QVERIFY(mayEndSession(f.ctx, false));
        QCOMPARE(f.prompts.log, QStringList());
        QVERIFY(readFile(f.dataFile()) == catalogueBytes(3));
        QCOMPARE(readFile(unsavedCopyPath()),
                 formatDataFile(f.ctx.catalogue.albums, u"Sbírka"_s, u"kun@example.cz"_s).value());

        Fixture next;
        startUp(next.ctx);
        QCOMPARE(next.ctx.catalogue.albums.size(), size_t(3));
        QCOMPARE(next.prompts.log.size(), 1);
        QVERIFY2(next.prompts.log[0].startsWith(u"message(i): Vedle datového souboru je soubor "_s +
                                                unsavedCopyPath()) &&
                     next.prompts.log[0].contains(u"počet alb v něm: 4.\n"_s),
                 qPrintable(next.prompts.log[0]));
    }

    // Nothing written over unseen: an earlier backup, the work of another program that wrote the
    // file since it was read (kept as a backup when the user overwrites it), a file that is too
    // large to load, and a link to a file that does not exist yet (a save creates the file).
    void nothingOverwrittenUnseen() {
        FolderFixture f;
        QVERIFY(writeFile(f.dataFile(), "bad line\r\n" + catalogueBytes(2)));
        QVERIFY(writeFile(f.backupFile(), "an older backup"));
        startUp(f.ctx);
        QCOMPARE(f.save(), kSaved + u"\nPůvodní soubor je zachován jako Velbor.dat.bak.1."_s);
        QCOMPARE(readFile(f.backupFile()), QByteArray("an older backup"));
        QVERIFY(readFile(f.backupFile() + u".1"_s).startsWith("bad line"));

        const QByteArray theirs = catalogueBytes(5);
        QVERIFY(writeFile(f.dataFile(), theirs));
        const QString question = u"ask: Soubor Velbor.dat byl mezitím změněn jiným programem. "
                                 u"Přesto jej přepsat?"_s;
        QCOMPARE(f.save(), question + u" (unscripted)"_s); // No: theirs stays
        QCOMPARE(readFile(f.dataFile()), theirs);
        f.prompts.answers = {true, true};
        saveCatalogue(f.ctx);
        QCOMPARE(f.prompts.log.mid(f.prompts.log.size() - 2),
                 (QStringList{question, kSaved + u"\nPůvodní soubor je zachován jako "
                                                 u"Velbor.dat.bak.2."_s}));
        QCOMPARE(readFile(f.backupFile() + u".2"_s), theirs);
        QCOMPARE(f.save(), kSaved); // ours from now on

        FolderFixture big;
        QFile huge(big.dataFile());
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(maxDataFileBytes() + 1));
        huge.close();
        startUp(big.ctx);
        QVERIFY2(big.prompts.log.value(0).contains(u"je příliš velký"_s),
                 qPrintable(big.prompts.log.value(0)));
        QVERIFY(refused(big.save(), u"nelze přečíst"_s));
        QCOMPARE(QFileInfo(big.dataFile()).size(), maxDataFileBytes() + 1);

        FolderFixture linked;
        const QString target = linked.dir.filePath(u"sbirka.dat"_s);
        QVERIFY(QFile::link(target, linked.dataFile()));
        startUp(linked.ctx);
        QCOMPARE(linked.prompts.log, QStringList{u"message(x): Datový soubor neexistuje!"_s});
        linked.ctx.catalogue.albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        QCOMPARE(linked.save(), kSaved);
        QVERIFY(QFileInfo(linked.dataFile()).isSymLink());
        QVERIFY(readFile(target).startsWith("\"Nov\xFD\""));
    }

    // A name whose Windows-1250 bytes read as UTF-8 would make the file load wrongly: the save
    // refuses and names the album to mend.
    void garbledNameNamedWhenSaving() {
        FolderFixture f;
        f.ctx.catalogue.albums = {Album{u"Kapela"_s, u"PÄ›sniÄŤky"_s, false}};
        QVERIFY2(refused(f.save(), u"Týká se to například alba „Kapela - PÄ›sniÄŤky“."_s),
                 qPrintable(f.prompts.log.join(u'\n')));
    }

    // As root, a save keeps the file's owner and group: its user can go on saving it.
    void ownerKept() {
        if (::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        FolderFixture f;
        QVERIFY(writeFile(f.dataFile(), catalogueBytes(1)));
        QCOMPARE(::chown(QFile::encodeName(f.dataFile()).constData(), 65534, 65534), 0);
        startUp(f.ctx);
        QCOMPARE(f.save(), kSaved);
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(f.dataFile()).constData(), &st), 0);
        QCOMPARE(st.st_uid, uid_t(65534));
        QCOMPARE(st.st_gid, gid_t(65534));
    }

    // The report goes only into a regular file: a named pipe of that name stays a pipe.
    void reportOnlyIntoARegularFile() {
        FolderFixture f;
        const QString pipe = f.dir.filePath(u"mp3.txt"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
        FakeFileDialog dialog;
        dialog.paths << pipe;
        f.ctx.fileDialog = &dialog;
        exportToFile(f.ctx);
        QVERIFY2(f.prompts.log.value(0).contains(u"není to obyčejný soubor"_s),
                 qPrintable(f.prompts.log.value(0)));
        QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    }

    // Cut off at every byte (every stride-th, and each side of every 64 KiB piece), the save
    // fails, says so in Czech and leaves the old file, its backup and no stray file.
    void fileSizeLimit_data() {
        QTest::addColumn<int>("albums");
        QTest::addColumn<bool>("backup");
        QTest::addColumn<int>("stride");
        QTest::newRow("new file larger") << 3 << false << 1;
        QTest::newRow("backup of a larger old file") << 12 << true << 1;
        QTest::newRow("several pieces") << 3000 << true << 1999;
    }
    void fileSizeLimit() {
        QFETCH(int, albums);
        QFETCH(bool, backup);
        QFETCH(int, stride);
        FolderFixture f;
        const QByteArray old = catalogueBytes(albums);
        QVERIFY(writeFile(f.dataFile(), old));
        startUp(f.ctx);
        f.ctx.catalogue.albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        f.ctx.backupBeforeSave = backup;
        const QByteArray updated = formatDataFile(f.ctx.catalogue.albums, databaseName(f.status),
                                                  f.ctx.catalogue.contactEmail)
                                       .value();
        // Whole files need this many bytes: the backup first, then the new file.
        const qsizetype needed = backup ? std::max(old.size(), updated.size()) : updated.size();
        for (qsizetype limit = 0; limit < needed; ++limit) {
            if (limit % stride != 0 && (limit + 1) % 65536 > 2)
                continue;
            const QString box = saveWithin(f, limit);
            QVERIFY2(refused(box, u"zápis selhal"_s), qPrintable(u"%1: %2"_s.arg(limit).arg(box)));
            QVERIFY2(readFile(f.dataFile()) == old, qPrintable(QString::number(limit)));
            QVERIFY(!QFile::exists(f.backupFile()) || readFile(f.backupFile()) == old);
            QCOMPARE(f.strays(), QStringList());
        }
        QCOMPARE(saveWithin(f, needed), backup ? kSavedWithBackup : kSaved);
        QVERIFY(readFile(f.dataFile()) == updated);
        QCOMPARE(QFile::exists(f.backupFile()), backup);
    }
};

QTEST_GUILESS_MAIN(TestReliability)
#include "tst_reliability.moc"
