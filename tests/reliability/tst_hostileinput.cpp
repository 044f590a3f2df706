// Hostile data files and typed names, each with the outcome the program must give: it loads what
// it can, says briefly what it could not, and a save either writes everything back intact or
// refuses with a reason and leaves the old file.

#include "folderfixture.h"

#include "commands/editing.h"

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace reliability;
using namespace fixture;

namespace {

const QByteArray kSpecials = "\"#DataOwner\",\"\",#FALSE#\r\n\"#ContactEmail\",\"\",#FALSE#\r\n";
const QByteArray kFolder = "<a folder>";   // Velbor.dat is made a folder
const QByteArray kFifo = "<a named pipe>"; // or a named pipe, which no one writes into

QByteArray repeated(const QByteArray& line, int times) {
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += line;
    return out;
}

} // namespace

class TestHostileInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void hostileFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("albums");       // loaded
        QTest::addColumn<QStringList>("box");  // fragments of the one box at start; none: no box
        QTest::addColumn<QByteArray>("saved"); // what the first save writes
        QTest::addColumn<QString>("refusal");  // or: why it refuses, leaving the file
        const QString backup = u"Velbor.dat.bak"_s;
        const QByteArray good = "\"A\",\"B\",#TRUE#\r\n";
        QTest::newRow("empty file") << QByteArray() << 0 << QStringList() << kSpecials << QString();
        QTest::newRow("NUL byte as a line")
            << QByteArray("\0\r\n", 3) + good << 1
            << QStringList{u"obsahuje 1 řádek, který nemá"_s, u"nebyly načteny (čísla řádků: 1)"_s,
                           backup}
            << good + kSpecials << QString();
        QTest::newRow("a line of 1 MB and a line of two fields")
            << QByteArray(1 << 20, '"') + "\r\n\"A\",\"B\"\r\n" + good << 1
            << QStringList{u"obsahuje 2 řádky, které nemají"_s, u"(čísla řádků: 1, 2)"_s, backup}
            << good + kSpecials << QString();
        QTest::newRow("100,000 malformed lines")
            << repeated("\"A\",\"B\"\r\n", 100000) + good << 1
            << QStringList{u"100000 řádků, které nemají"_s, u"(čísla řádků: 1, 2, 3"_s,
                           u", 20 a další)"_s, backup}
            << good + kSpecials << QString();
        const QByteArray longName = "\"A\",\"" + QByteArray(1 << 20, 'x') + "\",#FALSE#\r\n";
        QTest::newRow("a name of 1 MB")
            << longName + kSpecials << 1 << QStringList() << longName + kSpecials << QString();
        QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF\"\xC4\x8C"
                                             "echomor\",\"Prom\xC4\x9Bny\",#TRUE#\r\n")
                               << 1 << QStringList{u"UTF-8"_s, backup}
                               << QByteArray("\"\xC8"
                                             "echomor\",\"Prom\xECny\",#TRUE#\r\n") +
                                      kSpecials
                               << QString();
        // Written as read, the character would become "?": the save refuses instead.
        QTest::newRow("bytes no UTF-8 after a BOM")
            << QByteArray("\xEF\xBB\xBF\"A\",\"\xFF\",#FALSE#\r\n") << 1 << QStringList{u"UTF-8"_s}
            << QByteArray() << u"„\uFFFD“"_s;
        const QStringList unreadable{u"nelze přečíst, a proto ho program nepřepíše"_s,
                                     u"přesuňte jinam, a program spusťte znovu."_s};
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
            QVERIFY2(f.prompts.log[0].contains(fragment), qPrintable(f.prompts.log[0].left(500)));
        if (!box.isEmpty())
            QVERIFY2(f.prompts.log[0].size() < 400, "the box lists the lines briefly");

        const QString result = f.save();
        if (!refusal.isEmpty()) {
            QVERIFY2(result.startsWith(kNotSaved) && result.contains(refusal) &&
                         result.endsWith(kKept),
                     qPrintable(result));
            if (file == kFolder || file == kFifo)
                QVERIFY(QFileInfo::exists(f.dataFile()) && !QFileInfo(f.dataFile()).isFile());
            else
                QVERIFY(readFile(f.dataFile()) == file);
            return;
        }
        QCOMPARE(result, kSaved);
        QVERIFY(readFile(f.dataFile()) == saved);
        const bool backup = box.contains(u"Velbor.dat.bak"_s);
        QCOMPARE(QFile::exists(f.backupFile()), backup);
        if (backup) { // only the first save keeps one: the file it replaces next is ours
            QCOMPARE(f.save(), kSaved);
            QVERIFY(readFile(f.backupFile()) == file && readFile(f.dataFile()) == saved);
        }
    }

    // Names typed into the editing commands: refused at once with the reason, or taken, saved
    // and read back exactly as typed.
    void typedNames_data() {
        QTest::addColumn<QString>("command"); // artist (then an album under it), album, name, email
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal"); // empty: taken
        const QString control = u"řídicí znak"_s;
        QTest::newRow("name with a tab") << u"name"_s << u"Moje\tsbírka"_s << control;
        QTest::newRow("album with a NUL") << u"album"_s << u"A\0B"_s << control;
        QTest::newRow("e-mail with DEL") << u"email"_s << u"a\x7f@b.cz"_s << control;
        QTest::newRow("album with a line break") << u"album"_s << u"A\nB"_s << u"konec řádku"_s;
        QTest::newRow("artist with an emoji")
            << u"artist"_s << u"Kapela \U0001F3B8"_s << u"znak „\U0001F3B8“"_s;
        QTest::newRow("artist that is the name line's word")
            << u"artist"_s << u"#dataowner"_s << u"název databáze"_s;
        QTest::newRow("artist that is the e-mail line's word")
            << u"artist"_s << u"#ContactEmail"_s << u"kontaktní email"_s;
        QTest::newRow("album that is the name line's word") << u"album"_s << u"#DataOwner"_s << "";
        QTest::newRow("artist of 10,000 characters") << u"artist"_s << QString(10000, u'ř') << "";
        QTest::newRow("spaces, commas, Czech quotes")
            << u"album"_s << u"  „Best of“, live,  "_s << "";
        QTest::newRow("name of spaces") << u"name"_s << u"   "_s << "";
        QTest::newRow("e-mail with odd characters")
            << u"email"_s << u"o'brien&co+1@example.cz"_s << "";
    }
    void typedNames() {
        QFETCH(QString, command);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        FolderFixture f;
        const QByteArray old = "\"Kapela\",\"Album\",#FALSE#\r\n" + kSpecials;
        QVERIFY(writeFile(f.dataFile(), old));
        startUp(f.ctx);
        f.prompts.inputs = {typed, u"Nové"_s};
        if (command == u"artist") {
            f.view.selectNode(nullptr);
            addArtist(f.ctx);
            addAlbum(f.ctx); // under the new artist, selected now
        } else if (command == u"album") {
            addAlbum(f.ctx); // under Kapela, selected at start
        } else if (command == u"name") {
            changeDatabaseName(f.ctx);
        } else {
            changeContactEmail(f.ctx);
        }
        QCOMPARE(f.save(), kSaved);
        const DataFileContent back = loadDataFile(f.dataFile()).content;
        if (!refusal.isEmpty()) {
            QVERIFY2(f.prompts.log.size() > 1 && f.prompts.log[1].startsWith(u"message(!): ") &&
                         f.prompts.log[1].contains(refusal),
                     qPrintable(f.prompts.log.join(u'\n')));
            QVERIFY(readFile(f.dataFile()) == old);
        } else if (command == u"artist") {
            QCOMPARE(storeLines(back.albums), (QStringList{u"Kapela>Album"_s, typed + u">Nové *"}));
        } else if (command == u"album") {
            QCOMPARE(storeLines(back.albums),
                     (QStringList{u"Kapela>Album"_s, u"Kapela>" + typed + u" *"}));
        } else {
            QCOMPARE(command == u"name" ? back.owner.value_or(QString()) : back.contactEmail,
                     typed);
        }
    }
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
