// Trying to lose the catalogue: hostile files and names, missing rights, a file size limit. A save
// writes everything back intact, or refuses with a reason and leaves the old file whole.

#include "folderfixture.h"

#include "commands/cdialogs.h"
#include "commands/editing.h"
#include "commands/export.h"
#include "commands/reporttext.h"

#include <QCoreApplication>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace reliability;
using namespace fixture;

namespace {

using Edit = void (*)(AppContext&);

const QByteArray kSpecials = "\"#DataOwner\",\"\",#FALSE#\r\n\"#ContactEmail\",\"\",#FALSE#\r\n";
// Velbor.dat made something else than a readable file.
const QByteArray kFolder = "<a folder>", kFifo = "<a named pipe>", kHuge = "<too large>",
                 kLink = "<a link to no file>";
const QString kMissing = u"message(x): Datový soubor neexistuje!"_s;

QString savedWithBackup(const QString& number = {}) {
    return kSaved + u"\nPůvodní soubor je zachován jako Velbor.dat.bak"_s + number + u'.';
}

bool setMode(const QString& path, int mode) {
    return ::chmod(QFile::encodeName(path), mode) == 0;
}

bool refused(const QString& box, const QString& reason) {
    return box.startsWith(kNotSaved) && box.contains(reason) && box.endsWith(kKept);
}

// What is at path: one of the markers above, or a regular file's bytes.
QByteArray entry(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return info.isDir() ? kFolder : kFifo;
    return info.size() > maxDataFileBytes() ? kHuge : readFile(path);
}

bool make(const QString& path, const QByteArray& what) {
    return what == kHuge     ? writeFile(path, {}) && QFile::resize(path, maxDataFileBytes() + 1)
           : what == kFolder ? QDir().mkdir(path)
           : what == kFifo   ? ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0
           : what == kLink   ? QFile::link(path + u".target"_s, path)
                             : writeFile(path, what);
}

struct Hostile {
    QByteArray file;    // or a marker above
    int albums = 0;     // loaded
    QString box;        // fragments of the one box at start, "|" between; none: no box
    QByteArray saved{}; // what the first save writes
    QString refusal{};  // or: why it refuses, leaving the file
};

struct Typed {
    Edit edit; // none: the album added as typed, refused by the save
    QString typed, refusal{};
};

struct Blocked {
    int folderMode, fileMode;
    bool loaded, backup;        // loaded: the rights are taken after loading
    QString reason;             // %1: the folder
    int albums = 3, stride = 0; // stride: a file size limit at every stride-th byte
};

// The rights given back before the folder is removed, whatever a case left.
struct RightsFixture : FolderFixture {
    ~RightsFixture() { setMode(dir.path(), 0755), setMode(dataFile(), 0644); }
};

// Saves while a file may grow to at most limit bytes, if any (EFBIG beyond, as on a full disk).
QString saveWithin(FolderFixture& f, qsizetype limit) {
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit lowered{limit < 0 ? old.rlim_cur : rlim_t(limit), old.rlim_max};
    const QString box = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0 ? f.save() : u"<no limit>"_s;
    ::setrlimit(RLIMIT_FSIZE, &old);
    return box;
}

} // namespace

class TestReliability : public QObject {
    Q_OBJECT
    bool m_root = ::getuid() == 0;

    // As root, which may do anything, a case about rights runs as nobody; cleanup() goes back.
    bool asNobody() {
        return !m_root || (::setresgid(65534, 65534, 0) == 0 && ::setresuid(65534, 65534, 0) == 0);
    }

private Q_SLOTS:
    void initTestCase() {
        TextCompare::setProgramLocale(u"cs_CZ"_s);
        QCoreApplication::setApplicationName(u"velbor"_s);
        std::signal(SIGXFSZ, SIG_IGN);
        if (m_root) // a folder nobody may write in
            qputenv("TMPDIR", "/tmp");
    }
    void cleanup() { QVERIFY(!m_root || (::setresuid(0, 0, 0) == 0 && ::setresgid(0, 0, 0) == 0)); }

    void hostileFile_data() {
        QTest::addColumn<Hostile>("c");
        const QString unread = u"nelze přečíst"_s,
                      unreadable = u"nelze přečíst, a proto ho program nepřepíše|přesuňte jinam"_s;
        const QByteArray good = "\"A\",\"B\",#TRUE#\r\n", kept = good + kSpecials,
                         two = "\"A\",\"B\"\r\n";
        QTest::newRow("empty file") << Hostile{{}, 0, {}, kSpecials};
        QTest::newRow("8 MB of LFs") << Hostile{QByteArray(8 << 20, '\n'), 0, {}, kSpecials};
        QTest::newRow("NUL line") << Hostile{QByteArray("\0\r\n", 3) + good, 1,
                                             u"1 řádek, který nemá|(čísla řádků: 1)|.bak"_s, kept};
        QTest::newRow("1 MB") << Hostile{QByteArray(1 << 20, '"') + "\r\n" + two + good, 1,
                                         u"2 řádky, které nemají|(čísla řádků: 1, 2)|.bak"_s, kept};
        QTest::newRow("100,000") << Hostile{two.repeated(100000) + good, 1,
                                            u"100000 řádků|: 1, 2, 3|, 20 a další)|.bak"_s, kept};
        QTest::newRow("UTF-8") << Hostile{"\xEF\xBB\xBF\"\xC4\x8C\",\"\xC4\x9B\",#TRUE#\r\n", 1,
                                          u"UTF-8|.bak"_s,
                                          "\"\xC8\",\"\xEC\",#TRUE#\r\n" + kSpecials};
        // Written as read, the character would become "?": the save refuses instead.
        QTest::newRow("bad UTF-8")
            << Hostile{"\xEF\xBB\xBF\"A\",\"\xFF\",#FALSE#\r\n", 1, u"UTF-8"_s, {}, u"„\uFFFD“"_s};
        QTest::newRow("folder") << Hostile{kFolder, 0, unreadable, {}, unread};
        QTest::newRow("named pipe") << Hostile{kFifo, 0, unreadable, {}, unread};
        QTest::newRow("too large") << Hostile{kHuge, 0, u"je příliš velký"_s, {}, unread};
        // A link to a file not made yet: the save makes the file and keeps the link.
        QTest::newRow("link") << Hostile{kLink, 0, kMissing, kSpecials};
    }
    void hostileFile() {
        QFETCH(Hostile, c);
        FolderFixture f;
        QVERIFY(make(f.dataFile(), c.file));
        startUp(f.ctx);
        QCOMPARE(f.ctx.catalogue.albums.size(), size_t(c.albums));
        QCOMPARE(f.tree.nodeCount(), qsizetype(c.albums ? c.albums + 1 : 0));
        QCOMPARE(f.prompts.log.size(), c.box.isEmpty() ? 0 : 1);
        for (const QString& fragment : c.box.split(u'|', Qt::SkipEmptyParts))
            QVERIFY2(f.prompts.log[0].contains(fragment) && f.prompts.log[0].size() < 400,
                     qPrintable(f.prompts.log[0].left(500))); // the lines listed briefly
        const QString result = f.save();
        const bool backup = c.box.contains(u".bak"_s);
        QVERIFY2(c.refusal.isEmpty() ? result == (backup ? savedWithBackup() : kSaved)
                                     : refused(result, c.refusal),
                 qPrintable(result));
        QCOMPARE(entry(f.dataFile()), c.refusal.isEmpty() ? c.saved : c.file);
        QCOMPARE(QFile::exists(f.backupFile()), backup);
        QCOMPARE(QFileInfo(f.dataFile()).isSymLink(), c.file == kLink);
        if (backup) { // only the first save keeps one: the file it replaces next is ours
            QCOMPARE(f.save(), kSaved);
            QVERIFY(readFile(f.backupFile()) == c.file && readFile(f.dataFile()) == c.saved);
        }
    }

    // Neither an earlier backup nor another program's later write is overwritten unseen.
    void nothingOverwrittenUnseen() {
        FolderFixture f;
        QVERIFY(writeFile(f.dataFile(), "bad line\r\n" + catalogueBytes(2)));
        QVERIFY(writeFile(f.backupFile(), "an older backup"));
        startUp(f.ctx);
        QCOMPARE(f.save(), savedWithBackup(u".1"_s));
        QVERIFY(readFile(f.backupFile()) == "an older backup" &&
                readFile(f.backupFile() + u".1"_s).startsWith("bad line"));

        // Another user's program writes it; as root, a save keeps its owner and group.
        const QByteArray theirs = catalogueBytes(5), name = QFile::encodeName(f.dataFile());
        QVERIFY(writeFile(f.dataFile(), theirs) && (!m_root || ::chown(name, 65534, 65534) == 0));
        const QString question = u"ask: Soubor Velbor.dat byl mezitím změněn jiným programem. "
                                 u"Přesto jej přepsat?"_s;
        QCOMPARE(f.save(), question + u" (unscripted)"_s); // No: theirs stays
        QCOMPARE(readFile(f.dataFile()), theirs);
        f.prompts.answers = {true, true};
        saveCatalogue(f.ctx);
        QCOMPARE(f.prompts.log.mid(f.prompts.log.size() - 2),
                 (QStringList{question, savedWithBackup(u".2"_s)}));
        QCOMPARE(readFile(f.backupFile() + u".2"_s), theirs);
        QCOMPARE(f.save(), kSaved); // ours from now on
        struct stat st {};
        QVERIFY(!m_root || (::stat(name, &st) == 0 && st.st_uid == 65534 && st.st_gid == 65534));
    }

    // Typed names: refused at once with the reason, or taken, saved and read back as typed. A name
    // whose Windows-1250 bytes read as UTF-8 is refused only by the save, naming the album.
    void typedNames_data() {
        QTest::addColumn<Typed>("t");
        const QString control = u"řídicí znak"_s;
        QTest::newRow("name, tab") << Typed{changeDatabaseName, u"Moje\tsbírka"_s, control};
        QTest::newRow("album, NUL") << Typed{addAlbum, u"A\0B"_s, control};
        QTest::newRow("e-mail, DEL") << Typed{changeContactEmail, u"a\x7f@b.cz"_s, control};
        QTest::newRow("#dataowner") << Typed{addArtist, u"#dataowner"_s, u"název databáze"_s};
        QTest::newRow("#ContactEmail")
            << Typed{addArtist, u"#ContactEmail"_s, u"kontaktní email"_s};
        // Only an artist's field marks the file's own lines.
        QTest::newRow("album, #DataOwner") << Typed{addAlbum, u"#DataOwner"_s};
        QTest::newRow("album, combining") << Typed{addAlbum, u"Dvor\u030Ca\u0301k"_s};
        QTest::newRow("1001 characters") << Typed{addAlbum, QString(1001, u'a'), u"nejvýše 1000"_s};
        QTest::newRow("album, RLO") << Typed{addAlbum, u"A\u202EB"_s, u"„U+202E“"_s}; // by code
        QTest::newRow("garbled") << Typed{nullptr, u"PÄ›sniÄŤky"_s,
                                          u"alba „Kapela - PÄ›sniÄŤky“."_s};
    }
    void typedNames() {
        QFETCH(Typed, t);
        FolderFixture f;
        const QByteArray old = "\"Kapela\",\"Album\",#FALSE#\r\n" + kSpecials;
        QVERIFY(writeFile(f.dataFile(), old));
        startUp(f.ctx);
        f.prompts.inputs = {t.typed};
        if (t.edit)
            t.edit(f.ctx); // an album goes under Kapela, selected at start
        else
            f.ctx.catalogue.albums.push_back(Album{u"Kapela"_s, t.typed, false});
        const QString box = f.save(), said = f.prompts.log.value(1);
        if (t.refusal.isEmpty())
            QCOMPARE(storeLines(loadDataFile(f.dataFile()).content.albums),
                     (QStringList{u"Kapela>Album"_s,
                                  u"Kapela>" + t.typed.normalized(QString::NormalizationForm_C) +
                                      u" *"}));
        else
            QVERIFY2(readFile(f.dataFile()) == old &&
                         (t.edit ? said.startsWith(u"message(!): ") && said.contains(t.refusal)
                                 : refused(box, t.refusal)),
                     qPrintable(f.prompts.log.join(u'\n')));
    }

    // Beside the program if its folder is writable (or holds one: saveBlocked), else in the user's
    // data folder, found empty without a word; the backup, the report's folder and the copy of
    // edits left unsaved at a session's end go with it; the next start names the copy.
    void catalogueLocation_data() {
        QTest::addColumn<bool>("home"); // the folder closed: the catalogue is the user's own
        QTest::addColumn<bool>("save"); // or end the session without a box
        QTest::newRow("writable folder") << false << true;
        QTest::newRow("closed folder") << true << true;
        QTest::newRow("unsaved at the end") << false << false;
    }
    void catalogueLocation() {
        QVERIFY(asNobody());
        QFETCH(bool, home);
        QFETCH(bool, save);
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        RightsFixture f;
        const QByteArray old = catalogueBytes(3);
        QVERIFY(setMode(f.dir.path(), home ? 0555 : 0755) &&
                (save || writeFile(f.dataFile(), old)));
        const QString file = home ? data.filePath(u"velbor/Velbor.dat"_s) : f.dataFile();
        QCOMPARE(dataFilePath(), file);
        QCOMPARE(CDialogs(nullptr).initialDirectory(), QFileInfo(file).path());
        startUp(f.ctx);
        QCOMPARE(f.prompts.log, home || !save ? QStringList() : QStringList{kMissing});
        QVERIFY(mayEndSession(f.ctx, false) && !QFile::exists(unsavedCopyPath())); // none to keep
        f.ctx.catalogue.albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        f.ctx.unsavedEdits = !save;
        if (save) {
            QCOMPARE(f.save(), kSaved);
            f.ctx.backupBeforeSave = true;
            QCOMPARE(f.save(), savedWithBackup());
        } else {
            QVERIFY(mayEndSession(f.ctx, false) && f.prompts.log.isEmpty());
        }
        QCOMPARE(readFile(save ? file : unsavedCopyPath()),
                 formatDataFile(f.ctx.catalogue.albums, databaseName(f.status),
                                f.ctx.catalogue.contactEmail)
                     .value());
        QVERIFY(QFile::exists(file + u".bak"_s) == save && QFile::exists(f.dataFile()) != home);
        QVERIFY(save || readFile(file) == old);
        Fixture next; // reads what was saved, not the copy, which it names
        startUp(next.ctx);
        const QString said = next.prompts.log.join(u'\n');
        QCOMPARE(next.ctx.catalogue.albums.size(), save ? 1u : 3u);
        QVERIFY2(save ? said.isEmpty()
                      : next.prompts.log.size() == 1 && said.contains(u"počet alb v něm: 4.\n"_s) &&
                            said.startsWith(u"message(i): Vedle datového souboru je soubor "_s +
                                            unsavedCopyPath()),
                 qPrintable(said));
    }

    // The report is written in place where the folder is closed; a named pipe is left a pipe.
    void reportFile_data() {
        QTest::addColumn<QByteArray>("old");
        QTest::newRow("over a file in a closed folder") << QByteArray(4096, 'x'); // the longer
        QTest::newRow("a named pipe") << kFifo;
    }
    void reportFile() {
        QVERIFY(asNobody());
        QFETCH(QByteArray, old);
        RightsFixture f;
        const QString report = f.dir.filePath(u"mp3.txt"_s);
        QVERIFY(make(report, old));
        f.ctx.catalogue.albums = {Album{u"Kapela"_s, u"Živě"_s, false}};
        showAllAlbums(f.ctx);
        f.tree.checkAll();
        FakeFileDialog dialog;
        dialog.paths << report;
        f.ctx.fileDialog = &dialog;
        QVERIFY(old == kFifo || setMode(f.dir.path(), 0555));
        exportToFile(f.ctx);
        QVERIFY(setMode(f.dir.path(), 0755));
        QCOMPARE(entry(report), old == kFifo ? kFifo : reportFileBytes(f.tree, {}, {}).value());
        QVERIFY2(f.prompts.log == QStringList{kSaved} ||
                     (old == kFifo && f.prompts.log.value(0).contains(u"není to obyčejný"_s)),
                 qPrintable(f.prompts.log.join(u'\n')));
        QCOMPARE(f.strays(), QStringList{u"mp3.txt"_s});
    }

    // A right missing at load (never saved over) or at save, or a size limit at every stride-th
    // byte and each side of every 64 KiB piece: the save says why and leaves the old file, its
    // backup and no stray file; once the right is back, the same session saves.
    void saveBlocked_data() {
        QTest::addColumn<Blocked>("b");
        const QString closed = u"do složky %1 nemáte právo zapisovat"_s, failed = u"zápis selhal"_s,
                      unreadable = u"na jeho místě je soubor nebo složka"_s,
                      readOnly = u"soubor Velbor.dat je chráněn proti zápisu"_s;
        QTest::newRow("folder") << Blocked{0555, 0644, true, false, closed};
        QTest::newRow("file") << Blocked{0755, 0444, true, false, readOnly};
        QTest::newRow("backup, folder")
            << Blocked{0555, 0644, true, true, u"zálohu Velbor.dat.bak nelze zapsat: "_s + closed};
        QTest::newRow("file, no read") << Blocked{0755, 0200, false, false, unreadable};
        QTest::newRow("folder, no search") << Blocked{0600, 0644, false, false, unreadable};
        QTest::newRow("limit, new file") << Blocked{0755, 0644, true, false, failed, 3, 1};
        QTest::newRow("limit, backup") << Blocked{0755, 0644, true, true, failed, 12, 1};
        QTest::newRow("limit, pieces") << Blocked{0755, 0644, true, true, failed, 3000, 1999};
    }
    void saveBlocked() {
        QVERIFY(asNobody());
        QFETCH(Blocked, b);
        RightsFixture f;
        const QString dir = f.dir.path();
        const QByteArray old = catalogueBytes(b.albums);
        QVERIFY(writeFile(f.dataFile(), old));
        auto block = [&] {
            return setMode(f.dataFile(), b.fileMode) && setMode(dir, b.folderMode);
        };
        QVERIFY(b.loaded || block());
        startUp(f.ctx);
        QVERIFY(b.loaded ? f.prompts.log.isEmpty()
                         : f.prompts.log.value(0).contains(u" nelze přečíst, a proto ho"_s));
        f.ctx.catalogue.albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        f.ctx.backupBeforeSave = b.backup;
        QVERIFY(!b.loaded || (block() && dataFilePath() == f.dataFile())); // stays where found
        const QByteArray updated =
            formatDataFile(f.ctx.catalogue.albums, u"Sbírka"_s, u"kun@example.cz"_s).value();
        // Whole files need this many bytes: the backup first, then the new file.
        const qsizetype needed = b.backup ? std::max(old.size(), updated.size()) : updated.size();
        for (qsizetype limit = 0; limit < (b.stride ? needed : 1); ++limit) {
            if (b.stride && limit % b.stride != 0 && (limit + 1) % 65536 > 2)
                continue;
            const QString box = saveWithin(f, b.stride ? limit : -1);
            QVERIFY(setMode(dir, 0755) && setMode(f.dataFile(), 0644));
            // Without the right to make files in the folder, the box says the folder needs it.
            QVERIFY2(refused(box, QString(b.reason).replace(u"%1"_s, dir)) &&
                         box.contains(u"musí být do složky %1 povolen zápis"_s.arg(dir)) ==
                             (b.folderMode == 0555) &&
                         readFile(f.dataFile()) == old && f.strays().isEmpty() &&
                         (!QFile::exists(f.backupFile()) || readFile(f.backupFile()) == old),
                     qPrintable(u"%1: %2"_s.arg(limit).arg(box)));
        }
        const QString last = saveWithin(f, b.stride ? needed : -1);
        QVERIFY2(b.loaded ? last == (b.backup ? savedWithBackup() : kSaved)
                          : refused(last, b.reason),
                 qPrintable(last));
        QVERIFY(readFile(f.dataFile()) == (b.loaded ? updated : old));
        QCOMPARE(QFile::exists(f.backupFile()), b.backup);
    }
};

QTEST_GUILESS_MAIN(TestReliability)
#include "tst_reliability.moc"
