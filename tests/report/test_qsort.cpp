#include "report/qsort.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The quicksort written out step by step, straight on the texts, with the text comparison: the
// sort must give exactly its arrangement, equal texts included.
void referenceSortRange(QStringList& list, int lo, int hi, const TextCompare& compare) {
    int i = lo;
    int j = hi;
    const QString pivot = list[(lo + hi) / 2];
    for (;;) {
        while (compare.compare(list[i], pivot) < 0)
            ++i;
        while (compare.compare(pivot, list[j]) < 0)
            --j;
        if (i > j)
            break;
        list.swapItemsAt(i, j);
        ++i;
        --j;
        if (i > j)
            break;
    }
    if (lo < j)
        referenceSortRange(list, lo, j, compare);
    if (i < hi)
        referenceSortRange(list, i, hi, compare);
}

} // namespace

class TestQSort : public QObject {
    Q_OBJECT

    TextCompare m_czech{u"cs_CZ"_s};

private Q_SLOTS:
    void sortArray_data() {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one element") << QStringList{u"b"_s} << QStringList{u"b"_s};
        QTest::newRow("empty text first, case ignored")
            << QStringList{u""_s, u"b"_s, u"A"_s, u"c"_s}
            << QStringList{u""_s, u"A"_s, u"b"_s, u"c"_s};
        QTest::newRow("ascending") << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}
                                   << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};
        QTest::newRow("descending") << QStringList{u"e"_s, u"d"_s, u"c"_s, u"b"_s, u"a"_s}
                                    << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};
        QTest::newRow("Czech: č after c, ch after h")
            << QStringList{u"ch"_s, u"i"_s, u"h"_s, u"d"_s, u"č"_s, u"c"_s}
            << QStringList{u"c"_s, u"č"_s, u"d"_s, u"h"_s, u"ch"_s, u"i"_s};
        QTest::newRow("Czech: ř after r, ž after z")
            << QStringList{u"Žába"_s, u"zebra"_s, u"řeka"_s, u"Rak"_s, u"Chata"_s, u"Hrad"_s}
            << QStringList{u"Hrad"_s, u"Chata"_s, u"Rak"_s, u"řeka"_s, u"zebra"_s, u"Žába"_s};
        QTest::newRow("report entries") << QStringList{u""_s, u"Zed - beta"_s, u"abba - Alfa"_s}
                                        << QStringList{u""_s, u"abba - Alfa"_s, u"Zed - beta"_s};
    }

    void sortArray() {
        QFETCH(QStringList, input);
        QFETCH(QStringList, expected);
        SortArray(input, m_czech);
        QCOMPARE(input, expected);
    }

    // Texts equal but for case all stay; the arrangement among them is the quicksort's own,
    // whether the sort uses the fast keys or (a text outside Windows-1250 among them) ICU's.
    void sameArrangementAsTheQuicksort_data() {
        QTest::addColumn<QStringList>("words");
        const QStringList words{u"a"_s,  u"A"_s,  u"b"_s,  u"B"_s, u"č"_s, u"Č"_s,
                                u"ch"_s, u"CH"_s, u"Ch"_s, u"h"_s, u""_s};
        QTest::newRow("fast keys") << words;
        QTest::newRow("ICU keys") << words + QStringList{u"c\u030c"_s, u"C\u030cH"_s};
        const QStringList long_{u"Karel Gott - Be"_s,  u"Karel Gott - Bé"_s, u"KAREL GOTT - be"_s,
                                u"Karel Gott - B"_s,   u"Karel Gott"_s,      u"Karel Gott - Bez"_s,
                                u"Karel Gott - Bez"_s, u"Karel Gotta"_s,     u""_s};
        QTest::newRow("long texts alike at the start, fast keys") << long_;
        QTest::newRow("long texts alike at the start, ICU keys")
            << long_ + QStringList{u"Karel Gott - Be\u0301"_s};
    }

    void sameArrangementAsTheQuicksort() {
        QFETCH(QStringList, words);
        QRandomGenerator random(20240611);
        for (int round = 0; round < 200; ++round) {
            QStringList list;
            const int n = 1 + int(random.bounded(40));
            for (int k = 0; k < n; ++k)
                list << words[int(random.bounded(int(words.size())))];
            QStringList expected = list;
            referenceSortRange(expected, 0, int(expected.size()) - 1, m_czech);
            SortArray(list, m_czech);
            QCOMPARE(list, expected);
        }
    }

    // A long list is sorted on two threads; the arrangement is still the quicksort's own, also
    // when one text, in either half, has no fast key.
    void longListSameArrangementAsTheQuicksort_data() {
        QTest::addColumn<int>("foreignAt");
        QTest::newRow("fast keys") << -1;
        QTest::newRow("ICU keys, first half") << 10;
        QTest::newRow("ICU keys, second half") << 59990;
    }

    void longListSameArrangementAsTheQuicksort() {
        QFETCH(int, foreignAt);
        QRandomGenerator random(7);
        const QStringList words{u"a"_s, u"A"_s, u"č"_s, u"Č"_s, u"ch"_s, u"CH"_s, u"h"_s};
        QStringList list;
        for (int k = 0; k < 60000; ++k)
            list << words[int(random.bounded(int(words.size())))] +
                        QString::number(random.bounded(50));
        if (foreignAt >= 0)
            list[foreignAt] = u"c\u030ch1"_s; // c with a combining caron: "čh1"
        QStringList expected = list;
        referenceSortRange(expected, 0, int(expected.size()) - 1, m_czech);
        SortArray(list, m_czech);
        QCOMPARE(list, expected);
    }

    void sortRangeLeavesTheRestAlone() {
        QStringList list{u"z"_s, u"y"_s, u"x"_s, u"w"_s, u"v"_s};
        SortRange(list, 1, 3, m_czech);
        QCOMPARE(list, (QStringList{u"z"_s, u"w"_s, u"x"_s, u"y"_s, u"v"_s}));
    }

    void badRangesChangeNothing_data() {
        QTest::addColumn<int>("lo");
        QTest::addColumn<int>("hi");
        QTest::newRow("lo above hi") << 2 << 1;
        QTest::newRow("negative lo") << -1 << 2;
        QTest::newRow("hi past the end") << 0 << 3;
    }

    void badRangesChangeNothing() {
        QFETCH(int, lo);
        QFETCH(int, hi);
        QStringList list{u"c"_s, u"b"_s, u"a"_s};
        SortRange(list, lo, hi, m_czech);
        QCOMPARE(list, (QStringList{u"c"_s, u"b"_s, u"a"_s}));
    }

    // Many equal texts and a long run of one text do not deepen the recursion into trouble.
    void largeListWithRuns() {
        QStringList list;
        for (int k = 0; k < 50000; ++k)
            list << (k % 3 ? u"stejné"_s : QString::number(k % 977));
        SortArray(list, m_czech);
        for (qsizetype k = 1; k < list.size(); ++k)
            QVERIFY(m_czech.compare(list[k - 1], list[k]) <= 0);
        QCOMPARE(list.count(u"stejné"_s), 33333);
    }
};

QTEST_GUILESS_MAIN(TestQSort)
#include "test_qsort.moc"
