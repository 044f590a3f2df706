#include "commands/qsort.h"

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
    // when one text, in either half, has no fast key, and when one text fills two thirds of it.
    void longListSameArrangementAsTheQuicksort_data() {
        QTest::addColumn<int>("foreignAt");
        QTest::addColumn<bool>("runs");
        QTest::newRow("fast keys") << -1 << false;
        QTest::newRow("ICU keys, first half") << 10 << false;
        QTest::newRow("ICU keys, second half") << 59990 << false;
        QTest::newRow("long runs of one text") << -1 << true;
    }

    void longListSameArrangementAsTheQuicksort() {
        QFETCH(int, foreignAt);
        QFETCH(bool, runs);
        QRandomGenerator random(7);
        const QStringList words{u"a"_s, u"A"_s, u"č"_s, u"Č"_s, u"ch"_s, u"CH"_s, u"h"_s};
        QStringList list;
        for (int k = 0; k < 60000; ++k)
            list << (runs && k % 3 ? u"stejné"_s
                                   : words[int(random.bounded(int(words.size())))] +
                                         QString::number(random.bounded(50)));
        if (foreignAt >= 0)
            list[foreignAt] = u"c\u030ch1"_s; // c with a combining caron: "čh1"
        QStringList expected = list;
        referenceSortRange(expected, 0, int(expected.size()) - 1, m_czech);
        SortArray(list, m_czech);
        QCOMPARE(list, expected);
    }

    // Positions lo to hi are sorted, the rest left alone; a range out of bounds changes nothing.
    void sortRange_data() {
        QTest::addColumn<int>("lo");
        QTest::addColumn<int>("hi");
        QTest::addColumn<QString>("expected");
        QTest::newRow("middle") << 1 << 3 << u"zwxyv"_s;
        QTest::newRow("lo above hi") << 2 << 1 << u"zyxwv"_s;
        QTest::newRow("negative lo") << -1 << 2 << u"zyxwv"_s;
        QTest::newRow("hi past the end") << 0 << 5 << u"zyxwv"_s;
    }

    void sortRange() {
        QFETCH(int, lo);
        QFETCH(int, hi);
        QFETCH(QString, expected);
        QStringList list{u"z"_s, u"y"_s, u"x"_s, u"w"_s, u"v"_s};
        SortRange(list, lo, hi, m_czech);
        QCOMPARE(list.join(QString()), expected);
    }
};

QTEST_GUILESS_MAIN(TestQSort)
#include "tst_qsort.moc"
