#include "catalogue/likepattern.h"

#include "catalogue/textcompare.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLikePattern : public QObject {
    Q_OBJECT

    TextCompare m_czech{u"cs_CZ"_s};

private Q_SLOTS:
    // Pattern, text and the answer: 1 matches, 0 does not, -1 the pattern is not valid.
    void matches_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        const QString rows =
            u"literal, case ignored|aBc|AbC|1\n"
            u"literal, longer text|abc|abcd|0\n"
            u"empty pattern, empty text|||1\n"
            u"star, empty text|*||1\n"
            u"star must backtrack|*ab|aab|1\n"
            u"star at the end, text after it|a*|abc|1\n"
            u"text left after last token|a*b|a_b_c|0\n"
            u"question mark needs a character|a?c|ac|0\n"
            u"hash, digit|a#c|a5c|1\n"
            u"hash, letter|a#c|abc|0\n"
            u"hash, other script digit|#|\u0663|0\n"
            u"list, case ignored|[xbz]|B|1\n"
            u"list, missing|[xbz]|d|0\n"
            u"negated list, case ignored|[!xbz]|B|0\n"
            u"negated list|[!xbz]|d|1\n"
            u"range, upper ends|[A-C]|b|1\n"
            u"star in brackets is literal|[*]|a|0\n"
            u"question mark in brackets is literal|a[?]|ab|0\n"
            u"hash in brackets|[#]|#|1\n"
            u"opening bracket in brackets|[[]|[|1\n"
            u"closing bracket alone|a]|a]|1\n"
            u"hyphen first|[-a]|-|1\n"
            u"negated hyphen|[!-]|-|0\n"
            u"exclamation mark alone|[!]|!|1\n"
            u"empty brackets are nothing|a[]b|ab|1\n"
            u"unclosed bracket|[abc|[abc|-1\n"
            u"unclosed bracket at end|*[*|[|-1\n"
            u"lone opening bracket|[|[|-1\n"
            u"descending range|*[z-a]*|m|-1\n"
            u"descending Czech range|[č-c]|c|-1\n"
            u"range of equal ends|[A-a]|a|1\n"
            u"Czech, upper against lower|*ŽLUŤOUČKÝ KŮŇ*|příliš žluťoučký kůň|1\n"
            u"Czech, accent counts|c|č|0\n"
            u"Czech, negated list|[!čř]|Ř|0\n"
            u"Czech, range in text order|[a-d]|č|1\n"
            u"Czech, c-c holds no č|[c-c]|č|0\n"
            u"Czech, ž after z|[a-z]|ž|0\n"
            u"Czech, range to ž|[a-ž]|Ž|1\n"
            u"character beyond 16 bits is one|?|😀|1\n"
            u"character beyond 16 bits, two marks|??|😀|0\n"
            u"runs of spaces, one space|*  *|a b|0\n"
            u"more lists than have tables|[a][b][c][d][e][f][g][h][!i][j-k]|ABCDEFGHXK|1"_s;
        for (const QString& row : rows.split(u'\n')) {
            const QStringList f = row.split(u'|');
            QTest::newRow(qPrintable(f[0])) << f[1] << f[2] << f[3].toInt();
        }
        QTest::newRow("many stars, no match")
            << u"*a*a*a*a*a*a*a*a*b"_s << QString(4000, u'a') << 0;
        QTest::newRow("long runs between stars")
            << u"*"_s + QString(100, u'a') + u"b*"_s + QString(70, u'?') + u"c"_s
            << QString(300, u'a') + u"b"_s + QString(80, u'z') + u"c"_s << 1;
        QTest::newRow("prefix and suffix must not overlap")
            << QString(40, u'a') + u"*"_s + QString(40, u'a') << QString(70, u'a') << 0;
    }

    void matches() {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(int, expected);
        const LikePattern compiled(pattern, m_czech);
        QCOMPARE(compiled.isValid(), expected >= 0);
        QCOMPARE(compiled.matches(text), expected > 0);
        QCOMPARE(compiled.matches(text), expected > 0); // again: ranges cache what they saw
        // The same case behind a long plain start takes the matcher for long patterns.
        const QString start(LikePattern::kShortPattern + 6, u'x');
        const LikePattern longer(QString(start + pattern), m_czech);
        QCOMPARE(longer.matches(QString(start + text)), expected > 0);
    }
};

QTEST_GUILESS_MAIN(TestLikePattern)
#include "tst_likepattern.moc"
