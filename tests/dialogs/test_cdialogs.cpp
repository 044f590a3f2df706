#include "dialogs/cdialogs.h"

#include "catalogue/programfolder.h"

#include "report/scriptedports.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Shows the dialog of kind 0 (open), 1 (save) or 2 (several files).
bool show(CDialogs& d, int kind) {
    return kind == 0 ? d.ShowOpen() : kind == 1 ? d.ShowSave() : d.ShowMultiOpen();
}

} // namespace

class TestCDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setProgramFolderForTesting(u"/opt/velbor"_s); }

    void filter_data() {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("stored"); // what the dialog is given
        QTest::addColumn<QString>("read");
        QTest::newRow("pair") << u"Textové soubory (*.txt)|*.txt"_s
                              << u"Textové soubory (*.txt)\0*.txt\0\0"_s
                              << u"Textové soubory (*.txt)|*.txt"_s;
        QTest::newRow("no bar") << u"*.txt"_s << u"*.txt\0\0"_s << u"*.txt"_s;
        QTest::newRow("one bar at the end") << u"a|b|"_s << u"a\0b\0\0"_s << u"a|b"_s;
        QTest::newRow("two pairs")
            << u"Text|*.txt|Vše|*.*"_s << u"Text\0*.txt\0Vše\0*.*\0\0"_s << u"Text|*.txt|Vše|*.*"_s;
        QTest::newRow("three bars at the end: two go")
            << u"a|b|||"_s << u"a\0b\0\0\0"_s << u"a|b|"_s;
        QTest::newRow("empty") << u""_s << u"\0\0"_s << u""_s;
    }
    void filter() {
        QFETCH(QString, written);
        QFETCH(QString, stored);
        QFETCH(QString, read);
        FakeFileDialogs backend;
        CDialogs d(&backend);
        d.setFilter(written);
        QCOMPARE(d.Filter(), read);
        d.ShowOpen();
        QCOMPARE(backend.opened.size(), 1);
        QCOMPARE(backend.opened[0].lpstrFilter, stored);
    }

    void showFunctionsAddTheirFlagsForTheCallOnly_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("save");
        QTest::addColumn<int>("flags");
        QTest::newRow("ShowOpen") << 0 << false << 4;
        QTest::newRow("ShowSave") << 1 << true << 6;
        QTest::newRow("ShowMultiOpen") << 2 << false << 4 + 524800;
    }
    void showFunctionsAddTheirFlagsForTheCallOnly() {
        QFETCH(int, kind);
        QFETCH(bool, save);
        QFETCH(int, flags);
        FakeFileDialogs backend;
        CDialogs d(&backend);
        QVERIFY(!show(d, kind));
        QCOMPARE(backend.saves, QList<bool>{save});
        QCOMPARE(backend.opened[0].Flags, flags);
        QCOMPARE(d.Flags(), 4);
        d.setFlags(flags); // a bit already set is not added a second time
        show(d, kind);
        QCOMPARE(backend.opened[1].Flags, flags);
    }

    // The properties go into the record; the answer comes back into them and is the next call's
    // proposal.
    void recordAndAnswer() {
        FakeFileDialogs backend;
        backend.answer = [](OpenFileName& ofn) {
            ofn.lpstrFile = u"/data/zprava.txt"_s + QString(20, QChar(u'\0'));
            ofn.lpstrFileTitle = u"zprava.txt"_s + QChar(u'\0') + QString(5, u' ');
            ofn.lpstrInitialDir = u"/data"_s;
            ofn.nFileOffset = 6;
            ofn.nFileExtension = 13;
            ofn.nFilterIndex = 1;
            return true;
        };
        CDialogs d(&backend);
        d.setHwnd(77);
        d.setFile(u"zpráva.txt"_s);
        d.setFileTitle(u"zpráva"_s);
        d.setMaxFileSize(100);
        d.setInitialDirectory(u"/home/já"_s);
        d.setTitle(u"Titulek"_s);
        d.setFilterIndex(2);
        d.setDefaultExtension(u"log"_s);
        QVERIFY(d.ShowSave());
        const OpenFileName& in = backend.opened[0];
        QCOMPARE(QList<qint32>({in.lStructSize, in.hwndOwner, in.nMaxFile, in.nMaxFileTitle,
                                in.nFilterIndex, in.nFileOffset, in.nFileExtension}),
                 QList<qint32>({76, 77, 100, 100, 2, 0, 0}));
        QCOMPARE(QStringList({in.lpstrFile, in.lpstrFileTitle, in.lpstrInitialDir, in.lpstrTitle,
                              in.lpstrDefExt, in.lpTemplateName}),
                 QStringList({u"zpráva.txt"_s, u"zpráva"_s, u"/home/já"_s, u"Titulek"_s, u"log"_s,
                              u"0"_s}));

        QCOMPARE(d.File(), u"/data/zprava.txt"_s); // the fill is not part of the path
        QCOMPARE(d.FileTitle(), u"zprava.txt"_s);
        QCOMPARE(d.InitialDirectory(), u"/data"_s);
        QCOMPARE(QList<qint32>({d.FileNameOffset(), d.FileExtensionOffset(), d.FilterIndex()}),
                 QList<qint32>({6, 13, 1}));
        QVERIFY(d.ShowSave());
        QCOMPARE(backend.opened[1].lpstrFile, u"/data/zprava.txt"_s);
        QCOMPARE(backend.opened[1].lpstrFileTitle, u"zprava.txt"_s);
    }

    // Cancel (or a failed dialog, or none at all) changes no property, whatever the dialog left in
    // the record.
    void cancelChangesNothing() {
        FakeFileDialogs backend;
        backend.answer = [](OpenFileName& ofn) {
            ofn.lpstrFile = u"/jinde/x.txt"_s;
            ofn.lpstrInitialDir = u"/jinde"_s;
            ofn.nFileOffset = 7;
            ofn.nFilterIndex = 5;
            return false;
        };
        CDialogs d(&backend), none(nullptr);
        for (int kind = 0; kind < 3; ++kind)
            QVERIFY(!show(d, kind) && !show(none, kind));
        QCOMPARE(backend.opened.size(), 3);
        QCOMPARE(d.File(), u"mp3.txt"_s);
        QCOMPARE(d.InitialDirectory(), u"/opt/velbor"_s);
        QCOMPARE(d.FileNameOffset(), 0);
        QCOMPARE(d.FilterIndex(), 1);
        QVERIFY(d.Files().isEmpty());
    }

    void multiOpen_data() {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<int>("nameOffset");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("file");
        const QChar nul(u'\0');
        QTest::newRow("two files") << (u"/D"_s + nul + u"a.txt"_s + nul + u"b.txt"_s + nul) << 3
                                   << QStringList{u"a.txt"_s, u"b.txt"_s}
                                   << (u"/D"_s + nul + u"a.txt"_s + nul + u"b.txt"_s);
        QTest::newRow("three files, fill after them")
            << (u"/D"_s + nul + u"a"_s + nul + u"b"_s + nul + u"c"_s + QString(9, nul)) << 3
            << QStringList{u"a"_s, u"b"_s, u"c"_s}
            << (u"/D"_s + nul + u"a"_s + nul + u"b"_s + nul + u"c"_s);
        QTest::newRow("one file") << (u"/D/jeden.txt"_s + QString(3, nul)) << 3
                                  << QStringList{u"jeden.txt"_s} << u"/D/jeden.txt"_s;
        QTest::newRow("offset out of range") << u"/D/x"_s << 99 << QStringList{u""_s} << u"/D/x"_s;
    }
    void multiOpen() {
        QFETCH(QString, buffer);
        QFETCH(int, nameOffset);
        QFETCH(QStringList, files);
        QFETCH(QString, file);
        FakeFileDialogs backend;
        backend.answer = [&](OpenFileName& ofn) {
            ofn.lpstrFile = buffer;
            ofn.nFileOffset = nameOffset;
            return true;
        };
        CDialogs d(&backend);
        QVERIFY(d.ShowMultiOpen());
        QCOMPARE(d.Files(), files);
        QCOMPARE(d.File(), file);
    }

    // A proposal that does not fit MaxFileSize opens no dialog (and ends nothing).
    void proposalTooLong_data() {
        QTest::addColumn<int>("maxFileSize");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("fileTitle");
        QTest::addColumn<bool>("opens");
        QTest::newRow("file fits exactly") << 6 << u"mp3.txt"_s << u""_s << true;
        QTest::newRow("file one too long") << 5 << u"mp3.txt"_s << u""_s << false;
        QTest::newRow("title too long") << 5 << u"a"_s << u"mp3.txt"_s << false;
        QTest::newRow("negative size") << -1 << u"mp3.txt"_s << u""_s << false;
        QTest::newRow("size past 32 bits")
            << std::numeric_limits<qint32>::max() << u""_s << u""_s << false;
        QTest::newRow("largest size that fits")
            << std::numeric_limits<qint32>::max() << u"x"_s << u"y"_s << true;
    }
    void proposalTooLong() {
        QFETCH(int, maxFileSize);
        QFETCH(QString, file);
        QFETCH(QString, fileTitle);
        QFETCH(bool, opens);
        FakeFileDialogs backend;
        backend.answer = FakeFileDialogs::choose(u"/x/y.txt"_s);
        CDialogs d(&backend);
        d.setMaxFileSize(maxFileSize);
        d.setFile(file);
        d.setFileTitle(fileTitle);
        QCOMPARE(d.ShowSave(), opens);
        QCOMPARE(backend.opened.size(), opens ? 1 : 0);
        QCOMPARE(d.File(), opens ? u"/x/y.txt"_s : file);
    }

    // Exactly 16 colours are taken; a longer list is not copied past the end.
    void colorUserDefined() {
        CDialogs d(nullptr);
        std::vector<qint32> colours(17);
        for (int k = 0; k < 17; ++k)
            colours[size_t(k)] = 0x100 + k;
        d.setColorUserDefined(colours);
        QCOMPARE(d.ColorUserDefined()[0], 0);
        d.setColorUserDefined(std::span(colours).first(16));
        QCOMPARE(d.ColorUserDefined()[15], 0x10f);
    }
};

QTEST_MAIN(TestCDialogs)
#include "test_cdialogs.moc"
