// Hostile data files and hostile typed names, each with the outcome the program must give: it
// loads what can be loaded, says briefly what it could not, and a save either writes everything
// back intact or refuses with a reason and leaves the old file.

#include "folderfixture.h"

#include "catalogue/windows1250.h"
#include "editing/editing.h"

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
    out.reserve(line.size() * times);
    for (int i = 0; i < times; ++i)
        out += line;
    return out;
}

QByteArray cp1250(const QString& text) {
    QByteArray out;
    if (!Windows1250::encodeAppend(text, out))
        qFatal("not Windows-1250: %s", qPrintable(text));
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
        const QStringList none;
        const QString skipped = u"nebyly načteny"_s, backup = u"Velbor.dat.bak"_s;
        const QByteArray good = "\"A\",\"B\",#TRUE#\r\n";

        QTest::newRow("empty file") << QByteArray() << 0 << none << kSpecials << QString();
        QTest::newRow("only CR LF") << QByteArray("\r\n") << 0 << none << kSpecials << QString();
        QTest::newRow("NUL byte in a name")
            << QByteArray("\"A\0B\",\"C\",#FALSE#\r\n", 19) + kSpecials << 1 << none
            << QByteArray("\"A\0B\",\"C\",#FALSE#\r\n", 19) + kSpecials << QString();
        QTest::newRow("NUL byte as a line")
            << QByteArray("\0\r\n", 3) + good << 1 << QStringList{u"1 řádek"_s, skipped, backup}
            << good + kSpecials << QString();
        const QByteArray longName = "\"A\",\"" + QByteArray(1 << 20, 'x') + "\",#FALSE#\r\n";
        QTest::newRow("a name of 1 MB")
            << longName + kSpecials << 1 << none << longName + kSpecials << QString();
        QTest::newRow("a line of 1 MB that is no record")
            << QByteArray(1 << 20, '"') + "\r\n" + good << 1
            << QStringList{u"(čísla řádků: 1)"_s, backup} << good + kSpecials << QString();
        QTest::newRow("100,000 malformed lines")
            << repeated("\"A\",\"B\"\r\n", 100000) + good << 1
            << QStringList{u"100000 řádků"_s, u"1, 2, 3"_s, u"20 a další)"_s, backup}
            << good + kSpecials << QString();
        const QByteArray undefined =
            "\"\x81\x83\",\"\x88\x90\x98\",#TRUE#\r\n\"#DataOwner\",\"\x90\",#FALSE#\r\n"
            "\"#ContactEmail\",\"\x98@\x81\",#FALSE#\r\n";
        QTest::newRow("bytes Windows-1250 leaves undefined")
            << undefined << 1 << none << undefined << QString();
        const QByteArray czech = cp1250(u"\"Čechomor\",\"Proměny\",#TRUE#\r\n"_s) + kSpecials;
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBF\"\xC4\x8C"
                          "echomor\",\"Prom\xC4\x9Bny\",#TRUE#\r\n")
            << 1 << QStringList{u"UTF-8"_s, backup} << czech << QString();
        QTest::newRow("UTF-8 without BOM")
            << QByteArray("\"\xC4\x8C"
                          "echomor\",\"Prom\xC4\x9Bny\",#TRUE#\n")
            << 1 << QStringList{u"UTF-8"_s, backup} << czech << QString();
        QTest::newRow("BOM alone") << QByteArray("\xEF\xBB\xBF") << 0
                                   << QStringList{u"UTF-8"_s, backup} << kSpecials << QString();
        QTest::newRow("bytes no UTF-8 after a BOM")
            << QByteArray("\xEF\xBB\xBF\"A\",\"\xFF\",#FALSE#\r\n") << 1 << QStringList{u"UTF-8"_s}
            << QByteArray() << u"„\uFFFD“"_s;
        QTest::newRow("lone CR inside a name is written back as it came")
            << QByteArray("\"A\rB\",\"C\",#FALSE#\r\n") << 1 << none
            << QByteArray("\"A\rB\",\"C\",#FALSE#\r\n") + kSpecials << QString();
        QTest::newRow("Velbor.dat is a folder")
            << kFolder << 0 << QStringList{u"Datový soubor neexistuje!"_s} << QByteArray()
            << u"nelze přečíst"_s;
        QTest::newRow("Velbor.dat is a named pipe")
            << kFifo << 0 << QStringList{u"Datový soubor neexistuje!"_s} << QByteArray()
            << u"nelze přečíst"_s;
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

        formLoad(f.ctx);
        QCOMPARE(f.ctx.catalogue.Albums.size(), size_t(albums));
        QCOMPARE(f.tree.nodeCount(), qsizetype(albums ? albums + 1 : 0));
        QCOMPARE(f.prompts.log.size(), box.isEmpty() ? 0 : 1);
        for (const QString& fragment : std::as_const(box))
            QVERIFY2(f.prompts.log[0].contains(fragment), qPrintable(f.prompts.log[0].left(500)));
        if (!box.isEmpty())
            QVERIFY2(f.prompts.log[0].size() < 400, "the box lists the lines briefly");

        const QString result = f.save();
        if (refusal.isEmpty()) {
            QCOMPARE(result, kSaved);
            QVERIFY(readFile(f.dataFile()) == saved);
            QCOMPARE(QFile::exists(f.backupFile()), box.contains(u"Velbor.dat.bak"_s));
            if (QFile::exists(f.backupFile()))
                QVERIFY(readFile(f.backupFile()) == file);
        } else {
            QVERIFY2(result.startsWith(kNotSaved) && result.contains(refusal) &&
                         result.endsWith(kKept),
                     qPrintable(result));
            if (file == kFolder || file == kFifo)
                QVERIFY(QFileInfo::exists(f.dataFile()) && !QFileInfo(f.dataFile()).isFile());
            else
                QVERIFY(readFile(f.dataFile()) == file);
        }
    }

    // Over 4 MB the reader reads two halves side by side: nothing may show the seam.
    void largeFileReadInTwoHalves() {
        QByteArray bytes;
        QList<qsizetype> broken;
        qsizetype lines = 0, albums = 0;
        auto add = [&](const QByteArray& line) {
            bytes += line;
            ++lines;
        };
        add("\"#ContactEmail\",\"first@half.cz\",#FALSE#\r\n");
        add("\"#DataOwner\",\"first\",#FALSE#\r\n");
        const QByteArray album = "\"Kapela\",\"" + QByteArray(60, 'a') + "\",#TRUE#\r\n";
        while (bytes.size() < 7 << 20) {
            add(album);
            ++albums;
            if (lines % 10007 == 0) {
                add("broken\r\n");
                broken << lines;
            }
        }
        add("\"#DataOwner\",\"second\",#FALSE#\r\n");
        const DataFileContent c = parseDataFile(bytes);
        QCOMPARE(qsizetype(c.albums.size()), albums);
        QCOMPARE(c.skippedLines, broken);
        QCOMPARE(c.owner.value_or(QString()), u"second"_s);
        QCOMPARE(c.contactEmail, u"first@half.cz"_s);
        QCOMPARE(c.albums.back().Album, QString(60, u'a'));
    }

    // Names typed into the editing commands: refused at once with the reason, or taken, saved
    // and read back exactly as typed.
    void typedNames_data() {
        QTest::addColumn<QString>("command"); // artist (then an album under it), album, name, email
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal"); // empty: taken
        const QString quotes = u"uvozovky"_s, control = u"řídicí znak"_s,
                      charset = u"nelze uložit v kódování Windows-1250"_s;
        QTest::newRow("artist with quotes") << "artist"
                                            << "Jan \"Honza\" Novák" << quotes;
        QTest::newRow("album of a lone quote") << "album"
                                               << "\"" << quotes;
        QTest::newRow("name with a tab") << "name"
                                         << "Moje\tsbírka" << control;
        QTest::newRow("album with a NUL") << "album" << u"A\0B"_s << control;
        QTest::newRow("e-mail with DEL") << "email"
                                         << "a\x7f@b.cz" << control;
        QTest::newRow("album with a line break") << "album"
                                                 << "A\nB" << u"konec řádku"_s;
        QTest::newRow("artist with an emoji") << "artist"
                                              << "Kapela \U0001F3B8" << charset;
        QTest::newRow("album with a combining accent") << "album"
                                                       << "Cafe\u0301" << charset;
        QTest::newRow("artist that is the name line's word") << "artist"
                                                             << "#dataowner" << u"název databáze"_s;
        QTest::newRow("artist that is the e-mail line's word")
            << "artist"
            << "#ContactEmail" << u"kontaktní email"_s;
        QTest::newRow("album that is the name line's word") << "album"
                                                            << "#DataOwner"
                                                            << "";
        QTest::newRow("artist of 10,000 characters") << "artist" << QString(10000, u'ř') << "";
        QTest::newRow("album of 10,000 characters")
            << "album" << u"Příliš žluťoučký kůň úpěl ďábelské ódy, "_s.repeated(250) << "";
        QTest::newRow("name of 10,000 characters") << "name" << QString(10000, u'Ž') << "";
        QTest::newRow("spaces, commas, Czech quotes") << "album"
                                                      << "  „Best of“, live,  "
                                                      << "";
        QTest::newRow("e-mail with odd characters") << "email"
                                                    << "o'brien&co+1@example.cz"
                                                    << "";
    }
    void typedNames() {
        QFETCH(QString, command);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        FolderFixture f;
        const QByteArray old = "\"Kapela\",\"Album\",#FALSE#\r\n" + kSpecials;
        QVERIFY(writeFile(f.dataFile(), old));
        formLoad(f.ctx);
        // A new artist is selected once added; an album goes under the selected artist.
        f.view.selectNode(command == u"artist" ? nullptr : nodeAtPath(f.tree, u"Kapela"_s));
        f.prompts.inputs = {typed};
        if (command == u"artist") {
            f.prompts.inputs << u"Nové"_s;
            addArtist(f.ctx);
            addAlbum(f.ctx); // under the new artist, selected now
        } else if (command == u"album") {
            addAlbum(f.ctx);
        } else if (command == u"name") {
            changeDatabaseName(f.ctx);
        } else {
            changeContactEmail(f.ctx);
        }
        const QString result = f.save();
        const DataFileContent back = loadDataFile(f.dataFile()).content;

        if (!refusal.isEmpty()) {
            QVERIFY2(f.prompts.log.size() > 1 && f.prompts.log[1].startsWith(u"message(!): ") &&
                         f.prompts.log[1].contains(refusal),
                     qPrintable(f.prompts.log.join(u'\n')));
            QCOMPARE(f.ctx.catalogue.Albums.size(), size_t(1));
            QCOMPARE(result, kSaved);
            QVERIFY(readFile(f.dataFile()) == old);
            return;
        }
        QCOMPARE(result, kSaved);
        QVERIFY(back.skippedLines.isEmpty());
        if (command == u"artist")
            QCOMPARE(storeLines(back.albums), (QStringList{u"Kapela>Album"_s, typed + u">Nové *"}));
        else if (command == u"album")
            QCOMPARE(storeLines(back.albums),
                     (QStringList{u"Kapela>Album"_s, u"Kapela>" + typed + u" *"}));
        else if (command == u"name")
            QCOMPARE(back.owner.value_or(QString()), typed);
        else
            QCOMPARE(back.contactEmail, typed);
    }
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
