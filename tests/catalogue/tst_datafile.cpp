// The data file's bytes: the Windows-1250 codec, reading, writing, and replacing the file.
#include "catalogue/datafile.h"
#include "catalogue/windows1250.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Windows-1250 bytes with CR LF line ends, from UTF-8 source text with "\n" line ends.
QByteArray cp1250(const QString& text) {
    QByteArray out;
    if (!Windows1250::encodeAppend(QString(text).replace(u"\n"_s, u"\r\n"_s), out))
        qFatal("test text is not Windows-1250");
    return out;
}

// "Artist|Album|T/..." and then " owner=", " email=", " skipped=2,3" and " UTF-8" where present.
QString describe(const DataFileContent& c) {
    QStringList parts;
    for (const Album& a : c.albums)
        parts << a.artist + u'|' + a.title + (a.isNew ? u"|T"_s : u"|F"_s);
    QString s = parts.join(u'/');
    if (c.owner)
        s += u" owner="_s + *c.owner;
    if (!c.contactEmail.isEmpty())
        s += u" email="_s + c.contactEmail;
    QStringList lines;
    for (qsizetype n : c.skippedLines)
        lines << QString::number(n);
    if (!lines.isEmpty())
        s += u" skipped="_s + lines.join(u',');
    return c.utf8 ? s + u" UTF-8"_s : s;
}

QByteArray save(const DataFileContent& c) {
    return formatDataFile(c.albums, c.owner.value_or(QString()), c.contactEmail)
        .value_or("<not written>");
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void everyByteRoundTrips() {
        QByteArray all, back;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        QVERIFY(Windows1250::encodeAppend(Windows1250::decode(all), back));
        QCOMPARE(back, all);
    }

    void knownLetters_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("czech") << QByteArray("\xE8\xEC\xF8\x9A\x9E\xFD\xE1\xED\xE9\xF9\xFA\xC8\xCC"
                                             "\xD8\x8A\x8E\xDD\xC1\xCD\xC9\xD9\xDA")
                               << u"čěřšžýáíéůúČĚŘŠŽÝÁÍÉŮÚ"_s;
        QTest::newRow("polish, slovak, euro, quotes, undefined bytes")
            << QByteArray("\xB3\x9C\xBE\xE5\x80\x84\x93\x81\x98") << u"łśľĺ€„“\u0081\u0098"_s;
    }
    void knownLetters() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(Windows1250::decode(bytes), text);
        QByteArray back;
        QVERIFY(Windows1250::encodeAppend(text, back));
        QCOMPARE(back, bytes);
    }

    void parse_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("content");
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("special lines only, any case, any order")
            << cp1250(u"\"#contactemail\",\"a@b.cz\",#TRUE#\n\"#DATAOWNER\",\"Sbírka\",#TRUE#\n"_s)
            << u" owner=Sbírka email=a@b.cz"_s;
        QTest::newRow("last special line wins")
            << cp1250(u"\"#DataOwner\",\"první\",#FALSE#\n\"#ContactEmail\",\"x@y\",#FALSE#\n"
                      "\"A\",\"B\",#FALSE#\n\"#DataOwner\",\"druhý\",#FALSE#\n"
                      "\"#ContactEmail\",\"z@w\",#FALSE#\n"_s)
            << u"A|B|F owner=druhý email=z@w"_s;
        QTest::newRow("commas, spaces and czech letters inside names")
            << cp1250(u"\" Čechomor, live \",\"Proměny, ,\",#TRUE#\n"_s)
            << u" Čechomor, live |Proměny, ,|T"_s;
        QTest::newRow("spaces between fields, LF line ends, none at the end")
            << QByteArray("  \"A\" , \"B\" ,  #TRUE#  \r\n\"C\",\"D\",#FALSE#\n\"E\",\"F\",#TRUE#")
            << u"A|B|T/C|D|F/E|F|T"_s;
        QTest::newRow("empty names, the artist's twice")
            << QByteArray("\"\",\"\",#TRUE#\r\n\"\",\"B\",#FALSE#\r\n") << u"||T/|B|F"_s;
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
            << u"A|1|F/J|9|T skipped=2,3,4,5,6,7,8"_s;
        QTest::newRow("NUL byte inside a name is kept")
            << QByteArray("\"A\0B\",\"C\",#FALSE#\r\n", 19) << u"A"_s + QChar(0) + u"B|C|F"_s;
        // Encoding: UTF-8 only when it is valid and holds a letter with a diacritic.
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBF\"Čechomor\",\"Proměny\",#TRUE#\r\n")
            << u"Čechomor|Proměny|T UTF-8"_s;
        QTest::newRow("UTF-8 without BOM")
            << QByteArray("\"\xC5\xBDlut\xC3\xBD pes\",\"Hlavn\xC4\x9B\",#FALSE#\r\n")
            << u"Žlutý pes|Hlavně|F UTF-8"_s;
        QTest::newRow("valid UTF-8 without a Latin letter")
            << QByteArray("\"\xC2\xA9 \xE2\x80\x9E\",\"x\",#FALSE#\r\n") << u"Â© â€ž|x|F"_s;
        QTest::newRow("overlong UTF-8")
            << QByteArray("\"\xC0\xAF\",\"x\",#FALSE#\r\n") << u"ŔŻ|x|F"_s;
        QTest::newRow("truncated UTF-8 at the end")
            << QByteArray("\"a\",\"b\",#FALSE#\xC5") << u" skipped=1"_s;
    }
    void parse() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, content);
        QCOMPARE(describe(parseDataFile(bytes)), content);
    }

    // Over 4 MB the file is read in two halves side by side: nothing may show the seam.
    void largeFileReadsAsOne() {
        QByteArray bytes = "\"#ContactEmail\",\"first@half.cz\",#FALSE#\r\n";
        QList<qsizetype> broken;
        const int lines = 120000; // about 5 MB
        for (int i = 2; i <= lines; ++i) {
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
        const DataFileContent c = parseDataFile(bytes);
        QCOMPARE(c.skippedLines, broken);
        QCOMPARE(c.owner.value_or(QString()), u"owner %1"_s.arg(lines - 100));
        QCOMPARE(c.contactEmail, u"first@half.cz"_s);
        QCOMPARE(qsizetype(c.albums.size()), qsizetype(lines - broken.size() - 3));
        for (size_t k = 1; k < c.albums.size(); ++k) // file order kept across the seam
            QVERIFY(c.albums[k - 1].title.mid(10).toInt() < c.albums[k].title.mid(10).toInt());
        QCOMPARE(c.albums.back().title, u"Album číř %1"_s.arg(lines));
        QCOMPARE(c.albums.back().isNew, lines % 4 == 0);
    }

    // Whatever was loaded is saved back byte for byte.
    void loadAndSaveGiveTheSameBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray specials =
            "\"#DataOwner\",\"\",#FALSE#\r\n\"#ContactEmail\",\"\",#FALSE#\r\n";
        QTest::newRow("catalogue") << cp1250(u"\"Zed\",\"beta\",#FALSE#\n"
                                             "\"abba\",\"Alfa\",#TRUE#\n"
                                             "\"Zed\",\"beta\",#FALSE#\n"
                                             "\"Čechomor\",\"Proměny, live\",#TRUE#\n"
                                             "\"#DataOwner\",\"Moje, sbírka\",#FALSE#\n"
                                             "\"#ContactEmail\",\"me@example.cz\",#FALSE#\n"_s);
        QTest::newRow("empty catalogue") << specials;
        QTest::newRow("control characters inside names")
            << QByteArray("\"a\rb\",\"c\td\",#FALSE#\r\n\"#DataOwner\",\"\x01\",#FALSE#\r\n"
                          "\"#ContactEmail\",\"\",#FALSE#\r\n");
        QTest::newRow("undefined bytes") << "\"\x81\x83\",\"\x88\x90\x98\",#FALSE#\r\n" + specials;
        QTest::newRow("letters that alone would pass for UTF-8")
            << cp1250(u"\"Äš\",\"řeka\",#FALSE#\n"_s) + specials;
    }
    void loadAndSaveGiveTheSameBytes() {
        QFETCH(QByteArray, bytes);
        QCOMPARE(save(parseDataFile(bytes)), bytes);
    }

    void unwritableValuesAreNamed_data() {
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("album");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("quote") << u"A\"B"_s << u"x"_s << u"uvozovky"_s;
        QTest::newRow("line break") << u"A"_s << u"x\ny"_s << u"konec řádku"_s;
        QTest::newRow("emoji") << u"A"_s << u"x\U0001F3B5"_s << u"znak „\U0001F3B5“"_s;
        QTest::newRow("Latin-1 but not Windows-1250") << u"A"_s << u"čÁgætis"_s << u"znak „æ“"_s;
        // It would read back as the database name line, and the album would be gone.
        QTest::newRow("artist that is a special word")
            << u"#dataOWNER"_s << u"x"_s << u"název databáze"_s;
    }
    void unwritableValuesAreNamed() {
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(QString, fragment);
        QString problem;
        QVERIFY(!formatDataFile({Album{artist, album, false}}, QString(), QString(), &problem));
        QVERIFY2(problem.contains(fragment) && problem.contains(artist), qPrintable(problem));
    }

    void neverWritesWhatWouldReadBackAsUtf8() {
        // "Äš" alone is, byte for byte, the UTF-8 form of "Ě": such a file would not read back.
        // (Beside an ordinary Czech letter it is written: see loadAndSaveGiveTheSameBytes.)
        QString problem;
        QVERIFY(!formatDataFile({Album{u"Äš"_s, u"x"_s, false}}, QString(), QString(), &problem));
        QVERIFY(problem.contains(u"UTF-8"));
    }

    void writeIntoAMissingFolder() {
        QTemporaryDir dir;
        const QString missing = dir.filePath(u"nic/Velbor.dat"_s);
        QString error;
        QVERIFY(!writeFileAtomically(missing, "x", false, &error));
        QVERIFY2(error.contains(u"neexistuje"), qPrintable(error));
        QVERIFY(!QFile::exists(missing));
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
