#include "catalogue/likepattern.h"

#include "catalogue/textcompare.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLikePattern : public QObject {
    Q_OBJECT

    TextCompare m_czech{u"cs_CZ"_s};

private Q_SLOTS:
    void matches_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");

        QTest::newRow("literal") << u"abc"_s << u"abc"_s << true;
        QTest::newRow("literal, case ignored") << u"aBc"_s << u"AbC"_s << true;
        QTest::newRow("literal, longer text") << u"abc"_s << u"abcd"_s << false;
        QTest::newRow("empty pattern, empty text") << u""_s << u""_s << true;
        QTest::newRow("star, empty text") << u"*"_s << u""_s << true;
        QTest::newRow("star must backtrack") << u"*ab"_s << u"aab"_s << true;
        QTest::newRow("two stars") << u"a*b*c"_s << u"a_b_b_c"_s << true;
        QTest::newRow("text left after last token") << u"a*b"_s << u"a_b_c"_s << false;
        QTest::newRow("question mark") << u"a?c"_s << u"abc"_s << true;
        QTest::newRow("question mark needs a character") << u"a?c"_s << u"ac"_s << false;
        QTest::newRow("hash, digit") << u"a#c"_s << u"a5c"_s << true;
        QTest::newRow("hash, letter") << u"a#c"_s << u"abc"_s << false;
        QTest::newRow("hash, other script digit") << u"#"_s << u"\u0663"_s << false;
        QTest::newRow("list") << u"[xbz]"_s << u"b"_s << true;
        QTest::newRow("list, case ignored") << u"[xbz]"_s << u"B"_s << true;
        QTest::newRow("list, missing") << u"[xbz]"_s << u"d"_s << false;
        QTest::newRow("negated list") << u"[!xbz]"_s << u"d"_s << true;
        QTest::newRow("negated list, case ignored") << u"[!xbz]"_s << u"B"_s << false;
        QTest::newRow("range") << u"[a-c]"_s << u"B"_s << true;
        QTest::newRow("range, upper ends") << u"[A-C]"_s << u"b"_s << true;
        QTest::newRow("range, outside") << u"[a-c]"_s << u"d"_s << false;
        QTest::newRow("several ranges") << u"[a-c0-9]"_s << u"7"_s << true;
        QTest::newRow("star in brackets is literal") << u"[*]"_s << u"a"_s << false;
        QTest::newRow("question mark in brackets is literal") << u"a[?]"_s << u"ab"_s << false;
        QTest::newRow("hash in brackets") << u"[#]"_s << u"#"_s << true;
        QTest::newRow("opening bracket in brackets") << u"[[]"_s << u"["_s << true;
        QTest::newRow("closing bracket alone") << u"a]"_s << u"a]"_s << true;
        QTest::newRow("hyphen first") << u"[-a]"_s << u"-"_s << true;
        QTest::newRow("negated hyphen") << u"[!-]"_s << u"-"_s << false;
        QTest::newRow("exclamation mark alone") << u"[!]"_s << u"!"_s << true;
        QTest::newRow("empty brackets are nothing") << u"a[]b"_s << u"ab"_s << true;
        QTest::newRow("unclosed bracket") << u"[abc"_s << u"[abc"_s << false;
        QTest::newRow("unclosed bracket at end") << u"*[*"_s << u"["_s << false;
        QTest::newRow("descending range") << u"*[z-a]*"_s << u"m"_s << false;
        QTest::newRow("range of equal ends") << u"[A-a]"_s << u"a"_s << true;
        QTest::newRow("Czech, upper against lower")
            << u"*ŽLUŤOUČKÝ KŮŇ*"_s << u"příliš žluťoučký kůň"_s << true;
        QTest::newRow("Czech, accent counts") << u"c"_s << u"č"_s << false;
        QTest::newRow("Czech, list case ignored") << u"[č]"_s << u"Č"_s << true;
        QTest::newRow("Czech, negated list") << u"[!čř]"_s << u"Ř"_s << false;
        QTest::newRow("Czech, range in text order") << u"[a-d]"_s << u"č"_s << true;
        QTest::newRow("Czech, c-c holds no č") << u"[c-c]"_s << u"č"_s << false;
        QTest::newRow("Czech, ž after z") << u"[a-z]"_s << u"ž"_s << false;
        QTest::newRow("Czech, range to ž") << u"[a-ž]"_s << u"Ž"_s << true;
        QTest::newRow("character beyond 16 bits is one") << u"?"_s << u"😀"_s << true;
        QTest::newRow("character beyond 16 bits, two marks") << u"??"_s << u"😀"_s << false;
        QTest::newRow("runs of spaces") << u"*  *"_s << u"a  b"_s << true;
        QTest::newRow("runs of spaces, one space") << u"*  *"_s << u"a b"_s << false;
        QTest::newRow("more lists than have tables")
            << u"[a][b][c][d][e][f][g][h][!i][j-k]"_s << u"ABCDEFGHXK"_s << true;
        QTest::newRow("many stars, no match")
            << u"*a*a*a*a*a*a*a*a*b"_s << QString(4000, u'a') << false;
        QTest::newRow("long runs between stars")
            << u"*"_s + QString(100, u'a') + u"b*"_s + QString(70, u'?') + u"c"_s
            << QString(300, u'a') + u"b"_s + QString(80, u'z') + u"c"_s << true;
        QTest::newRow("long run found only at the end")
            << u"*"_s + QString(100, u'a') + u"b"_s << QString(3000, u'a') + u"b"_s << true;
        QTest::newRow("prefix and suffix must not overlap")
            << QString(40, u'a') + u"*"_s + QString(40, u'a') << QString(70, u'a') << false;
    }

    void matches() {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, expected);
        const LikePattern compiled(pattern, m_czech);
        QCOMPARE(compiled.matches(text), expected);
        // A second look gives the same answer (ranges cache what they have seen).
        QCOMPARE(compiled.matches(text), expected);
        // The same case behind a long plain start takes the matcher for long patterns.
        const QString start(LikePattern::kShortPattern + 6, u'x');
        const LikePattern longer(QString(start + pattern), m_czech);
        const QString longText = start + text;
        QCOMPARE(longer.matches(longText), expected);
        QCOMPARE(longer.matches(longText), expected);
    }

    void validity_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("valid");
        QTest::newRow("closing bracket alone") << u"]"_s << true;
        QTest::newRow("empty brackets") << u"[]"_s << true;
        QTest::newRow("unclosed") << u"a[b"_s << false;
        QTest::newRow("lone opening bracket") << u"["_s << false;
        QTest::newRow("descending range") << u"[b-a]"_s << false;
        QTest::newRow("descending Czech range") << u"[č-c]"_s << false;
    }

    void validity() {
        QFETCH(QString, pattern);
        QFETCH(bool, valid);
        QCOMPARE(LikePattern(pattern, m_czech).isValid(), valid);
    }
};

QTEST_GUILESS_MAIN(TestLikePattern)
#include "tst_likepattern.moc"
