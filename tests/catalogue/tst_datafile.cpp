#include "catalogue/datafile.h"
#include "catalogue/programfolder.h"
#include "catalogue/windows1250.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Windows-1250 bytes with CR LF line ends, from UTF-8 source text with "\n" line ends.
QByteArray cp1250(const QString& text) {
    QByteArray out;
    const QString crlf = QString(text).replace(u"\n"_s, u"\r\n"_s);
    if (!Windows1250::encodeAppend(crlf, out))
        qFatal("test text is not Windows-1250");
    return out;
}

QString describe(const std::vector<Album>& albums) {
    QStringList parts;
    for (const Album& a : albums)
        parts << a.Artist + u'|' + a.Album + u'|' + (a.Novinka ? u"T"_s : u"F"_s);
    return parts.join(u'/');
}

const TextCompare& czech() {
    static const TextCompare cmp(u"cs_CZ"_s);
    return cmp;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("albums");
        QTest::addColumn<QString>("owner"); // "<none>" when no #DataOwner line
        QTest::addColumn<QString>("email");
        QTest::addColumn<QList<qsizetype>>("skipped");

        const QList<qsizetype> none;
        QTest::newRow("example") << cp1250(u"\"Kapela\",\"Prvni album\",#FALSE#\n"
                                           "\"Kapela\",\"Druhe album\",#TRUE#\n"
                                           "\"#DataOwner\",\"Moje sbirka\",#FALSE#\n"
                                           "\"#ContactEmail\",\"\",#FALSE#\n"_s)
                                 << u"Kapela|Prvni album|F/Kapela|Druhe album|T"_s
                                 << u"Moje sbirka"_s << QString() << none;
        QTest::newRow("empty file")
            << QByteArray() << QString() << u"<none>"_s << QString() << none;
        QTest::newRow("only CR LF")
            << QByteArray("\r\n") << QString() << u"<none>"_s << QString() << none;
        QTest::newRow("special lines only, any case, any order")
            << cp1250(u"\"#contactemail\",\"a@b.cz\",#TRUE#\n\"#DATAOWNER\",\"Sbírka\",#TRUE#\n"_s)
            << QString() << u"Sbírka"_s << u"a@b.cz"_s << none;
        QTest::newRow("last special line wins")
            << cp1250(u"\"#DataOwner\",\"první\",#FALSE#\n\"#ContactEmail\",\"x@y\",#FALSE#\n"
                      "\"A\",\"B\",#FALSE#\n\"#DataOwner\",\"druhý\",#FALSE#\n"
                      "\"#ContactEmail\",\"z@w\",#FALSE#\n"_s)
            << u"A|B|F"_s << u"druhý"_s << u"z@w"_s << none;
        QTest::newRow("empty database name") << cp1250(u"\"#DataOwner\",\"\",#FALSE#\n"_s)
                                             << QString() << QString() << QString() << none;
        QTest::newRow("duplicates kept in order")
            << cp1250(u"\"A\",\"X\",#FALSE#\n\"A\",\"X\",#FALSE#\n\"A\",\"X\",#TRUE#\n"_s)
            << u"A|X|F/A|X|F/A|X|T"_s << u"<none>"_s << QString() << none;
        QTest::newRow("commas, spaces and czech letters inside names")
            << cp1250(u"\" Čechomor, live \",\"Proměny, ,\",#TRUE#\n"_s)
            << u" Čechomor, live |Proměny, ,|T"_s << u"<none>"_s << QString() << none;
        QTest::newRow("spaces between fields") << QByteArray("  \"A\" , \"B\" ,  #TRUE#  \r\n")
                                               << u"A|B|T"_s << u"<none>"_s << QString() << none;
        QTest::newRow("last line without CR LF")
            << QByteArray("\"A\",\"B\",#FALSE#\r\n\"C\",\"D\",#TRUE#") << u"A|B|F/C|D|T"_s
            << u"<none>"_s << QString() << none;
        QTest::newRow("LF-only line ends")
            << QByteArray("\"A\",\"B\",#FALSE#\n\"C\",\"D\",#TRUE#\n") << u"A|B|F/C|D|T"_s
            << u"<none>"_s << QString() << none;
        QTest::newRow("backslash in names")
            << QByteArray("\"A\\B\",\"C\\\\D\",#FALSE#\r\n") << u"A\\B|C\\\\D|F"_s << u"<none>"_s
            << QString() << none;
        QTest::newRow("malformed lines are skipped, the rest loads")
            << QByteArray("\"A\",\"1\",#FALSE#\r\n"
                          "\"B\",\"2\"\r\n"            // two fields
                          "C,\"3\",#FALSE#\r\n"        // unquoted
                          "\"D\",\"4,#FALSE#\r\n"      // unterminated
                          "\"E\",\"5\",#MAYBE#\r\n"    // not a Boolean
                          "\"F\",\"6\",#TRUE# x\r\n"   // text after the line
                          "\"G\"H\",\"7\",#FALSE#\r\n" // quote inside a name
                          "\"I\",\"8\",#true#\r\n"     // the words are upper case
                          "\r\n"                       // blank: nothing, no complaint
                          "\"J\",\"9\",#TRUE#\r\n")
            << u"A|1|F/J|9|T"_s << u"<none>"_s << QString()
            << QList<qsizetype>{2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("NUL byte inside a name is kept")
            << QByteArray("\"A\0B\",\"C\",#FALSE#\r\n", 19) << u"A"_s + QChar(0) + u"B|C|F"_s
            << u"<none>"_s << QString() << none;
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBF\"Čechomor\",\"Proměny\",#TRUE#\r\n")
            << u"Čechomor|Proměny|T"_s << u"<none>"_s << QString() << none;
        QTest::newRow("UTF-8 without BOM")
            << QByteArray("\"\xC5\xBDlut\xC3\xBD pes\",\"Hlavn\xC4\x9B\",#FALSE#\r\n")
            << u"Žlutý pes|Hlavně|F"_s << u"<none>"_s << QString() << none;
        QTest::newRow("ASCII is Windows-1250") << QByteArray("\"A\",\"B\",#FALSE#\r\n")
                                               << u"A|B|F"_s << u"<none>"_s << QString() << none;
    }
    void parse() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, albums);
        QFETCH(QString, owner);
        QFETCH(QString, email);
        QFETCH(QList<qsizetype>, skipped);
        const DataFileContent content = parseDataFile(bytes, czech());
        QCOMPARE(describe(content.albums), albums);
        QCOMPARE(content.owner.value_or(u"<none>"_s), owner);
        QCOMPARE(content.contactEmail, email);
        QCOMPARE(content.skippedLines, skipped);
    }

    // A large file is read in two halves side by side: the result must not show the seam.
    void largeFileReadsAsOne() {
        QByteArray bytes;
        QList<qsizetype> broken;
        const int lines = 120000; // about 5 MB
        for (int i = 1; i <= lines; ++i) {
            if (i % 9999 == 0) {
                bytes += "no record here\r\n";
                broken.append(i);
            } else if (i == 100 || i == lines - 100) {
                bytes += "\"#DataOwner\",\"owner " + QByteArray::number(i) + "\",#FALSE#\r\n";
            } else {
                bytes += "\"Artist " + QByteArray::number(i % 70) + "\",\"Album \xE8\xED\xF8 " +
                         QByteArray::number(i) + "\"," + (i % 4 ? "#FALSE#" : "#TRUE#") + "\r\n";
            }
        }
        QVERIFY(bytes.size() > 4 << 20);
        const DataFileContent c = parseDataFile(bytes, czech());
        QCOMPARE(c.skippedLines, broken);
        QCOMPARE(c.owner.value_or(QString()), u"owner %1"_s.arg(lines - 100));
        QCOMPARE(qsizetype(c.albums.size()), qsizetype(lines - broken.size() - 2));
        for (size_t k = 1; k < c.albums.size(); ++k) // file order kept across the seam
            QVERIFY(c.albums[k - 1].Album.mid(10).toInt() < c.albums[k].Album.mid(10).toInt());
        QCOMPARE(c.albums.back().Album, u"Album číř %1"_s.arg(lines));
        QCOMPARE(c.albums.back().Novinka, lines % 4 == 0);
    }

    void encodingIsDetected_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("czech Windows-1250")
            << cp1250(u"\"Žluťoučký kůň\",\"úpěl\",#FALSE#\n"_s) << false;
        QTest::newRow("undefined bytes")
            << QByteArray("\"\x81\x83\",\"\x88\x90\x98\",#FALSE#\r\n") << false;
        QTest::newRow("UTF-8") << QByteArray("\"\xC5\xBD\",\"x\",#FALSE#\r\n") << true;
        QTest::newRow("valid UTF-8 without a Latin letter stays Windows-1250")
            << QByteArray("\"\xC2\xA9 \xE2\x80\x9E\",\"x\",#FALSE#\r\n") << false;
        QTest::newRow("overlong UTF-8 is not UTF-8")
            << QByteArray("\"\xC0\xAF\",\"x\",#FALSE#\r\n") << false;
        QTest::newRow("truncated sequence at the end")
            << QByteArray("\"a\",\"b\",#FALSE#\xC5") << false;
    }
    void encodingIsDetected() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QCOMPARE(parseDataFile(bytes, czech()).utf8, utf8);
    }

    void controlCharactersInsideNamesRoundTrip() {
        const QByteArray bytes(
            "\"a\rb\",\"c\td\",#FALSE#\r\n"
            "\"#DataOwner\",\"\x01\",#FALSE#\r\n\"#ContactEmail\",\"\",#FALSE#\r\n");
        const DataFileContent c = parseDataFile(bytes, czech());
        QCOMPARE(c.albums.at(0).Artist, u"a\rb"_s);
        QCOMPARE(formatDataFile(c.albums, c.owner.value_or(QString()), c.contactEmail).value(),
                 bytes);
    }

    void undefinedBytesRoundTrip() {
        const QByteArray bytes("\"\x81\x83\",\"\x88\x90\x98\",#FALSE#\r\n"
                               "\"#DataOwner\",\"\",#FALSE#\r\n\"#ContactEmail\",\"\",#FALSE#\r\n");
        const DataFileContent c = parseDataFile(bytes, czech());
        QCOMPARE(formatDataFile(c.albums, c.owner.value_or(QString()), c.contactEmail).value(),
                 bytes);
    }

    void formatIsExact_data() {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty catalogue")
            << QString() << QString()
            << QByteArray("\"#DataOwner\",\"\",#FALSE#\r\n\"#ContactEmail\",\"\",#FALSE#\r\n");
        QTest::newRow("czech name and address")
            << u"Sbírka Žofie"_s << u"zofie@example.cz"_s
            << cp1250(u"\"#DataOwner\",\"Sbírka Žofie\",#FALSE#\n"
                      "\"#ContactEmail\",\"zofie@example.cz\",#FALSE#\n"_s);
    }
    void formatIsExact() {
        QFETCH(QString, owner);
        QFETCH(QString, email);
        QFETCH(QByteArray, expected);
        QCOMPARE(formatDataFile({}, owner, email).value(), expected);
    }

    void loadAndSaveGiveTheSameBytes() {
        const QByteArray bytes = cp1250(u"\"Zed\",\"beta\",#FALSE#\n"
                                        "\"abba\",\"Alfa\",#TRUE#\n"
                                        "\"Zed\",\"beta\",#FALSE#\n"
                                        "\"Čechomor\",\"Proměny, live\",#TRUE#\n"
                                        "\"#DataOwner\",\"Moje, sbírka\",#FALSE#\n"
                                        "\"#ContactEmail\",\"me@example.cz\",#FALSE#\n"_s);
        const DataFileContent c = parseDataFile(bytes, czech());
        const QByteArray saved =
            formatDataFile(c.albums, c.owner.value_or(QString()), c.contactEmail).value();
        QCOMPARE(saved, bytes);
        const DataFileContent again = parseDataFile(saved, czech());
        QCOMPARE(describe(again.albums), describe(c.albums));
    }

    void unwritableValuesAreNamed_data() {
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("album");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("quote") << u"A\"B"_s << u"x"_s << u"uvozovky"_s;
        QTest::newRow("line break") << u"A"_s << u"x\ny"_s << u"konec řádku"_s;
        QTest::newRow("emoji") << u"A"_s << u"x\U0001F3B5"_s << u"\U0001F3B5"_s;
        // It would read back as the database name line, and the album would be gone.
        QTest::newRow("artist that is a special word")
            << u"#dataOWNER"_s << u"x"_s << u"název databáze"_s;
    }
    void unwritableValuesAreNamed() {
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(QString, fragment);
        QString problem;
        QVERIFY(!formatDataFile({Album{artist, album, false}}, QString(), QString(), &problem,
                                czech()));
        QVERIFY2(problem.contains(fragment), qPrintable(problem));
        QVERIFY2(problem.contains(artist), qPrintable(problem));
    }

    void neverWritesWhatWouldReadBackAsUtf8() {
        // "Äš" alone is, byte for byte, the UTF-8 form of "Ě": such a file would not read back.
        QString problem;
        QVERIFY(!formatDataFile({Album{u"Äš"_s, u"x"_s, false}}, QString(), QString(), &problem));
        QVERIFY(problem.contains(u"UTF-8"));
        // With any ordinary Czech letter beside it the file is plain Windows-1250 again.
        const auto bytes = formatDataFile({Album{u"Äš"_s, u"řeka"_s, false}}, QString(), QString());
        QVERIFY(bytes);
        QCOMPARE(parseDataFile(*bytes, czech()).albums.at(0).Artist, u"Äš"_s);
    }

    void typedValuesRefuseControlCharacters() {
        QVERIFY(valueProblem(u"Tab\there", true).contains(u"řídicí"));
        QVERIFY(valueProblem(u"Tab\there", false).isEmpty()); // a loaded value is kept
        QVERIFY(!valueProblem(u"CR\rhere", true).isEmpty());
        QVERIFY(valueProblem(u"CR\rhere", false).isEmpty());
        QVERIFY(valueProblem(u"   ", true).isEmpty());
        QVERIFY(valueProblem(QString(10000, u'ž'), true).isEmpty());
    }

    void atomicWrite() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Velbor.dat"_s);
        QString error;
        QVERIFY(writeFileAtomically(path, "old", false, &error));
        QVERIFY(writeFileAtomically(path, "new", true, &error));
        QCOMPARE(readAll(path), QByteArray("new"));
        QCOMPARE(readAll(path + u".bak"_s), QByteArray("old"));

        // A folder that does not exist: a Czech reason, nothing written.
        const QString missing = dir.filePath(u"nic/Velbor.dat"_s);
        QVERIFY(!writeFileAtomically(missing, "x", false, &error));
        QVERIFY2(error.contains(u"neexistuje"), qPrintable(error));
        QVERIFY(!QFile::exists(missing));
    }

    void fileExist() {
        QTemporaryDir dir;
        QVERIFY(!FileExist(dir.filePath(u"none"_s)));
        QVERIFY(!FileExist(dir.path())); // a folder is no data file
        QFile f(dir.filePath(u"f"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("abc");
        f.close();
        QVERIFY(FileExist(f.fileName()));
        QCOMPARE(readAll(f.fileName()), QByteArray("abc"));
    }

    void loadRefusesAFolder() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"Velbor.dat"_s));
        QVERIFY(!loadDataFile(dir.filePath(u"Velbor.dat"_s), czech()).opened);
    }

    void cestaHasOneTrailingSeparator() {
        QCOMPARE(withTrailingSeparator(u"/"_s), u"/"_s);
        QCOMPARE(withTrailingSeparator(u"/opt/velbor"_s), u"/opt/velbor/"_s);
        setProgramFolderForTesting(u"/opt/velbor"_s);
        QCOMPARE(Cesta(), u"/opt/velbor/"_s);
        QCOMPARE(programFolder(), u"/opt/velbor"_s);
        setProgramFolderForTesting(QString());
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
