#include "commands/cdialogs.h"

#include "catalogue/programfolder.h"

#include "doubles.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setCatalogueFile(u"/opt/velbor/Velbor.dat"_s); }

    void nameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("patterns shown in the description")
            << u"Textové soubory (*.txt)|*.txt"_s << QStringList{u"Textové soubory (*.txt)"_s};
        QTest::newRow("patterns not shown")
            << u"Text|*.txt;*.log|Vše|*"_s << QStringList{u"Text (*.txt *.log)"_s, u"Vše (*)"_s};
        QTest::newRow("bars at the end") << u"a|b|||"_s << QStringList{u"a (b)"_s};
    }
    void nameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(CDialogs::nameFilters(filter), expected);
    }

    // A new object asks for the export's file; the answer comes back in its properties.
    void exportRequestAndAnswer() {
        FakeFileDialog dialog;
        dialog.paths << u"/home/u/report.txt"_s;
        CDialogs d(&dialog);
        QVERIFY(d.showSave());
        QCOMPARE(dialog.requests.size(), 1);
        const SaveRequest& r = dialog.requests[0];
        QCOMPARE(r.title, u"Exportovat zaškrtnuté"_s);
        QCOMPARE(r.folder, u"/opt/velbor"_s);
        QCOMPARE(r.proposedName, u"mp3.txt"_s);
        QCOMPARE(r.filters, QStringList{u"Textové soubory (*.txt)"_s});
        QCOMPARE(r.defaultSuffix, u"txt"_s);
        QCOMPARE(d.fileName(), u"/home/u/report.txt"_s);
        QCOMPARE(d.fileTitle(), u"report.txt"_s);
        QCOMPARE(d.initialDirectory(), u"/home/u"_s);
    }

    // Cancel, no dialog, or a proposed name too long for the dialog: false, nothing changed.
    void nothingChosen_data() {
        QTest::addColumn<bool>("hasDialog");
        QTest::addColumn<int>("nameLength");
        QTest::addColumn<int>("asked");
        QTest::newRow("cancel, the longest name that fits") << true << 261 << 1;
        QTest::newRow("no dialog") << false << 7 << 0;
        QTest::newRow("name one over the room") << true << 262 << 0;
    }
    void nothingChosen() {
        QFETCH(bool, hasDialog);
        QFETCH(int, nameLength);
        QFETCH(int, asked);
        FakeFileDialog dialog;
        CDialogs d(hasDialog ? &dialog : nullptr);
        const QString name(nameLength, u'x');
        d.setFileName(name);
        QVERIFY(!d.showSave());
        QCOMPARE(dialog.requests.size(), asked);
        QCOMPARE(d.fileName(), name);
        QCOMPARE(d.fileTitle(), QString());
        QCOMPARE(d.initialDirectory(), u"/opt/velbor"_s);
    }
};

QTEST_MAIN(TestCDialogs)
#include "tst_cdialogs.moc"
