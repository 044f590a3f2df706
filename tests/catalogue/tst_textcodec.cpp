#include "catalogue/textcompare.h"
#include "catalogue/windows1250.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestTextCodec : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyByteRoundTrips() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QString text = Windows1250::decode(all);
        QCOMPARE(text.size(), 256);
        QByteArray back;
        QVERIFY(Windows1250::encodeAppend(text, back));
        QCOMPARE(back, all);
    }

    void knownLetters_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("czech small")
            << QByteArray("\xE8\xEC\xF8\x9A\x9E\xFD\xE1\xED\xE9\xF9\xFA") << u"čěřšžýáíéůú"_s;
        QTest::newRow("czech capital")
            << QByteArray("\xC8\xCC\xD8\x8A\x8E\xDD\xC1\xCD\xC9\xD9\xDA") << u"ČĚŘŠŽÝÁÍÉŮÚ"_s;
        QTest::newRow("polish, slovak") << QByteArray("\xB3\x9C\xBE\xE5") << u"łśľĺ"_s;
        QTest::newRow("euro, quotes") << QByteArray("\x80\x84\x93") << u"€„“"_s;
        QTest::newRow("undefined bytes keep their number")
            << QByteArray("\x81\x83\x88\x90\x98") << u"\u0081\u0083\u0088\u0090\u0098"_s;
    }
    void knownLetters() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(Windows1250::decode(bytes), text);
        QByteArray back;
        QVERIFY(Windows1250::encodeAppend(text, back));
        QCOMPARE(back, bytes);
    }

    void unencodableIsRefusedNotReplaced_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("badIndex");
        QTest::newRow("emoji") << u"ab\U0001F600"_s << qsizetype(2);
        QTest::newRow("greek") << u"Αθήνα"_s << qsizetype(0);
        QTest::newRow("ae ligature") << u"Ágætis"_s << qsizetype(2);
        QTest::newRow("cyrillic after czech") << u"čaj ж"_s << qsizetype(4);
    }
    void unencodableIsRefusedNotReplaced() {
        QFETCH(QString, text);
        QFETCH(qsizetype, badIndex);
        qsizetype bad = -1;
        QVERIFY(!Windows1250::canEncode(text, &bad));
        QCOMPARE(bad, badIndex);
        QByteArray out("kept");
        QVERIFY(!Windows1250::encodeAppend(text, out));
        QCOMPARE(out, QByteArray("kept"));
    }

    void czechOrder_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("ch after h") << u"Hudba"_s << u"Chinaski"_s << -1;
        QTest::newRow("ch before i") << u"Chinaski"_s << u"Iva"_s << -1;
        QTest::newRow("č after c") << u"Cyril"_s << u"Čechomor"_s << -1;
        QTest::newRow("case ignored") << u"ABBA"_s << u"abba"_s << 0;
        QTest::newRow("case ignored in czech") << u"ŽLUŤOUČKÝ"_s << u"žluťoučký"_s << 0;
        QTest::newRow("accents count") << u"Sara"_s << u"Sára"_s << -1;
        QTest::newRow("empty first") << QString() << u"a"_s << -1;
        QTest::newRow("Alfa before beta") << u"Alfa"_s << u"beta"_s << -1;
        QTest::newRow("alfa before Beta") << u"alfa"_s << u"Beta"_s << -1;
    }
    void czechOrder() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        const TextCompare cmp(u"C"_s); // no real locale: the program's Czech
        QCOMPARE(qBound(-1, cmp.compare(a, b), 1), sign);
        QCOMPARE(qBound(-1, cmp.compare(b, a), 1), -sign);
        QCOMPARE(cmp.equals(a, b), sign == 0);
        const QByteArray ka = cmp.sortKey(a), kb = cmp.sortKey(b);
        QCOMPARE(ka < kb, sign < 0);
        QCOMPARE(ka == kb, sign == 0);
    }

    void keywordsIgnoreCase() {
        const TextCompare cmp(u"cs_CZ"_s);
        QVERIFY(cmp.equals(u"#DATAOWNER", u"#DataOwner"));
        QVERIFY(cmp.equals(u"#contactemail", u"#ContactEmail"));
        QVERIFY(!cmp.equals(u"#DataOwner ", u"#DataOwner"));
        QVERIFY(!cmp.equals(u"DataOwner", u"#DataOwner"));
    }
};

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
