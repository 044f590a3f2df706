// The data file's bytes: the Windows-1250 codec, reading, writing, and replacing the file.
#include "catalogue/datafile.h"
#include "catalogue/parallel.h"
#include "catalogue/windows1250.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// "Artist|Album|T/..." and then " owner=", " email=", " #2 #3" (lines skipped) and " UTF-8".
QString describe(const DataFileContent& c) {
    QStringList parts;
    for (const Album& a : c.albums)
        parts << a.artist + u'|' + a.title + (a.isNew ? u"|T"_s : u"|F"_s);
    QString s = parts.join(u'/') + (c.owner ? u" owner="_s + *c.owner : QString());
    s += c.contactEmail.isEmpty() ? QString() : u" email="_s + c.contactEmail;
    for (qsizetype n : c.skippedLines)
        s += u" #"_s + QString::number(n);
    return c.utf8 ? s + u" UTF-8"_s : s;
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void parse_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("content");
        QTest::newRow("special lines in any case, the last one wins")
            << QByteArray("\"#DataOwner\",\"one\",#FALSE#\r\n\"#ContactEmail\",\"x@y\",#TRUE#\r\n"
                          "\"A\",\"B\",#FALSE#\r\n\"#contactemail\",\"z@w\",#FALSE#\r\n"
                          "\"#DATAOWNER\",\"Sb\355rka\",#FALSE#\r\n")
            << u"A|B|F owner=Sbírka email=z@w"_s;
        QTest::newRow("commas and spaces in names and between fields, LF, no line end")
            << QByteArray("  \" \xC8, live \" , \"B, ,\" ,  #TRUE#  "
                          "\r\n\"C\",\"D\",#FALSE#\n\"E\",\"F\",#TRUE#")
            << u" Č, live |B, ,|T/C|D|F/E|F|T"_s;
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
            << u"A|1|F/J|9|T #2 #3 #4 #5 #6 #7 #8"_s;
        // Encoding: UTF-8 only when it is valid and holds a letter with a diacritic.
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBF\"Čechomor\",\"Proměny\",#TRUE#\r\n")
            << u"Čechomor|Proměny|T UTF-8"_s;
        QTest::newRow("UTF-8 without BOM")
            << QByteArray("\"\xC5\xBDlut\xC3\xBD pes\",\"Hlavn\xC4\x9B\",#FALSE#\r\n")
            << u"Žlutý pes|Hlavně|F UTF-8"_s;
        QTest::newRow("valid UTF-8 without a Latin letter")
            << QByteArray("\"\xC2\xA9 \xE2\x80\x9E\",\"x\",#FALSE#\r\n") << u"Â© â€ž|x|F"_s;
    }
    void parse() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, content);
        QCOMPARE(describe(parseDataFile(bytes)), content);
    }

    // A large file is read in pieces side by side: nothing may show the seams.
    void largeFileReadsAsOne() {
        QByteArray bytes;
        QList<qsizetype> broken;
        for (int i = 1; i <= 170000; ++i) {
            const QByteArray n = QByteArray::number(i);
            if (i % 9999 == 0)
                broken.append(i), bytes += "no record here\r\n";
            else
                bytes += (i % 50000 == 1 ? QByteArray("\"#DataOwner\",\"owner ")
                                         : "\"Artist name " + n + "\",\"\xE8\xED\xF8 ") +
                         n + "\",#FALSE#\r\n";
        }
        QVERIFY(bytes.size() / 64 >= qsizetype(2 * kParallelAbove)); // two pieces at least
        const DataFileContent c = parseDataFile(bytes);
        QCOMPARE(c.skippedLines, broken);
        QCOMPARE(*c.owner, u"owner 150001"_s);
        QCOMPARE(qsizetype(c.albums.size()), 170000 - broken.size() - 4);
        for (size_t k = 1; k < c.albums.size(); ++k) // file order kept across the seam
            QVERIFY(c.albums[k - 1].title.mid(4).toInt() < c.albums[k].title.mid(4).toInt() &&
                    c.albums[k].artist.mid(12) == c.albums[k].title.mid(4)); // one artist a line
        QCOMPARE(c.albums.back().title, u"číř 170000"_s); // decoded on both sides
    }

    // Whatever was loaded is saved back byte for byte.
    void loadAndSaveGiveTheSameBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("catalogue")
            << QByteArray("\"Zed\",\"beta\",#FALSE#\r\n\"abba\",\"Alfa\",#TRUE#\r\n"
                          "\"Zed\",\"beta\",#FALSE#\r\n"
                          "\"\310echomor\",\"Prom\354ny, live\",#TRUE#\r\n"
                          "\"#DataOwner\",\"Moje, sb\355rka\",#FALSE#\r\n"
                          "\"#ContactEmail\",\"me@example.cz\",#FALSE#\r\n");
        QByteArray every = "\"#DataOwner\",\"";
        for (int b = 1; b < 256; ++b)
            every += b == '"' || b == '\n' ? "" : QByteArray(1, char(b));
        QTest::newRow("every byte but quote, line feed and NUL")
            << every + "\",#FALSE#\r\n\"#ContactEmail\",\"\",#FALSE#\r\n";
        QTest::newRow("letters that alone would pass for UTF-8")
            << QByteArray("\"\xC4\x9A\",\"x\xF8\",#FALSE#\r\n\"#DataOwner\",\"\",#FALSE#\r\n"
                          "\"#ContactEmail\",\"\",#FALSE#\r\n");
    }
    void loadAndSaveGiveTheSameBytes() {
        QFETCH(QByteArray, bytes);
        const DataFileContent c = parseDataFile(bytes);
        QCOMPARE(formatDataFile(c.albums, *c.owner, c.contactEmail).value_or("<not written>"),
                 bytes);
    }

    void unwritableValuesAreNamed_data() {
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("quote") << u"A\"B"_s << u"uvozovky"_s;
        QTest::newRow("line break") << u"x\ny"_s << u"konec řádku"_s;
        QTest::newRow("not Windows-1250") << u"čÁgætis"_s << u"znak „æ“"_s;
        // It would read back as the database name line, and the album would be gone.
        QTest::newRow("a special word") << u"#dataOWNER"_s << u"název databáze"_s;
        // Byte for byte the UTF-8 form of "Ě" (beside "ř" it is written: see loadAndSave...).
        QTest::newRow("reads back as UTF-8") << u"Äš"_s << u"UTF-8"_s;
    }
    void unwritableValuesAreNamed() {
        QFETCH(QString, artist);
        QFETCH(QString, fragment);
        QString problem;
        QVERIFY(!formatDataFile({Album{artist, u"x"_s, false}}, QString(), QString(), &problem));
        QVERIFY2(problem.contains(fragment), qPrintable(problem));
    }

    void writeIntoAMissingFolder() {
        QString error;
        QVERIFY(!writeFileAtomically(u"/nonexistent/Velbor.dat"_s, "x", false, &error));
        QVERIFY2(error.contains(u"neexistuje"), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
