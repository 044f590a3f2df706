#include "dialogs/cdialogs.h"

#include "catalogue/programfolder.h"

#include "report/scriptedports.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

class TestCDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setProgramFolderForTesting(u"/opt/velbor"_s); }

    void initialValues() {
        CDialogs d(nullptr);
        QCOMPARE(d.Flags(), 4);
        QCOMPARE(d.DefaultExtension(), u"txt"_s);
        QCOMPARE(d.File(), u"mp3.txt"_s);
        QCOMPARE(d.MaxFileSize(), 260);
        QCOMPARE(d.Filter(), u"Textové soubory (*.txt)|*.txt"_s);
        QCOMPARE(d.InitialDirectory(), u"/opt/velbor"_s);
        QCOMPARE(d.Title(), u"Exportovat zaškrtnuté"_s);
        QCOMPARE(d.FilterIndex(), 1);
        QCOMPARE(d.hwnd() + d.FileNameOffset() + d.FileExtensionOffset() + d.FontFlags() +
                     d.FontSizeMin() + d.FontSizeMax() + d.FontColor() + d.ColorFlags() + d.Color(),
                 0);
        QVERIFY(d.Files().isEmpty() && d.FileTitle().isEmpty());
        QCOMPARE(d.ColorUserDefined(), (std::array<qint32, 16>{}));
    }

    void filter_data() {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("stored"); // what the dialog is given
        QTest::addColumn<QString>("read");
        QTest::newRow("pair") << u"Textové soubory (*.txt)|*.txt"_s
                              << u"Textové soubory (*.txt)\0*.txt\0\0"_s
                              << u"Textové soubory (*.txt)|*.txt"_s;
        QTest::newRow("no bar") << u"*.txt"_s << u"*.txt\0\0"_s << u"*.txt"_s;
        QTest::newRow("one bar at the end")
            << u"Textové soubory (*.txt)|*.txt|"_s << u"Textové soubory (*.txt)\0*.txt\0\0"_s
            << u"Textové soubory (*.txt)|*.txt"_s;
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
        QTest::addColumn<int>("kind"); // 0 open, 1 save, 2 multi-open
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
        const bool shown = kind == 0 ? d.ShowOpen() : kind == 1 ? d.ShowSave() : d.ShowMultiOpen();
        QVERIFY(!shown);
        QCOMPARE(backend.saves, QList<bool>{save});
        QCOMPARE(backend.opened[0].Flags, flags);
        QCOMPARE(d.Flags(), 4);
        // A bit already set is not added a second time.
        d.setFlags(flags);
        kind == 0 ? d.ShowOpen() : kind == 1 ? d.ShowSave() : d.ShowMultiOpen();
        QCOMPARE(backend.opened[1].Flags, flags);
    }

    void recordPassedToTheDialog() {
        FakeFileDialogs backend;
        CDialogs d(&backend);
        d.setHwnd(77);
        d.setFile(u"zprava.txt"_s);
        d.setFileTitle(u"zprava"_s);
        d.setMaxFileSize(100);
        d.setInitialDirectory(u"/home/já"_s);
        d.setTitle(u"Titulek"_s);
        d.setFilterIndex(2);
        d.setDefaultExtension(u"log"_s);
        d.ShowSave();
        const OpenFileName& ofn = backend.opened[0];
        QCOMPARE(ofn.lStructSize, 76);
        QCOMPARE(ofn.hwndOwner, 77);
        QCOMPARE(ofn.lpstrFile, u"zprava.txt"_s);
        QCOMPARE(ofn.nMaxFile, 100);
        QCOMPARE(ofn.lpstrFileTitle, u"zprava"_s);
        QCOMPARE(ofn.nMaxFileTitle, 100);
        QCOMPARE(ofn.lpstrInitialDir, u"/home/já"_s);
        QCOMPARE(ofn.lpstrTitle, u"Titulek"_s);
        QCOMPARE(ofn.nFilterIndex, 2);
        QCOMPARE(ofn.lpstrDefExt, u"log"_s);
        QCOMPARE(ofn.lpTemplateName, u"0"_s);
        QCOMPARE(ofn.nFileOffset, 0);
        QCOMPARE(ofn.nFileExtension, 0);
    }

    void answerIsReadBack() {
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
        d.setFilterIndex(3);
        QVERIFY(d.ShowSave());
        QCOMPARE(d.File(), u"/data/zprava.txt"_s); // the fill is not part of the path
        QCOMPARE(d.FileTitle(), u"zprava.txt"_s);
        QCOMPARE(d.InitialDirectory(), u"/data"_s);
        QCOMPARE(d.FileNameOffset(), 6);
        QCOMPARE(d.FileExtensionOffset(), 13);
        QCOMPARE(d.FilterIndex(), 1);

        // The answer is the next call's proposal.
        QVERIFY(d.ShowSave());
        QCOMPARE(backend.opened[1].lpstrFile, u"/data/zprava.txt"_s);
        QCOMPARE(backend.opened[1].lpstrFileTitle, u"zprava.txt"_s);
    }

    // Cancel (or a failed dialog) changes no property, whatever the dialog left in the record.
    void cancelChangesNothing() {
        FakeFileDialogs backend;
        backend.answer = [](OpenFileName& ofn) {
            ofn.lpstrFile = u"/jinde/x.txt"_s;
            ofn.lpstrInitialDir = u"/jinde"_s;
            ofn.nFileOffset = 7;
            ofn.nFilterIndex = 5;
            return false;
        };
        CDialogs d(&backend);
        QVERIFY(!d.ShowOpen());
        QVERIFY(!d.ShowMultiOpen());
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
        QVERIFY(d.File().startsWith(u"/D"_s));
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
        if (!opens)
            QCOMPARE(d.File(), file);
    }

    void withoutBackendNothingOpens() {
        CDialogs d(nullptr);
        QVERIFY(!d.ShowOpen());
        QVERIFY(!d.ShowSave());
        QVERIFY(!d.ShowMultiOpen());
    }

    void colorUserDefined_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("taken");
        QTest::newRow("15") << 15 << false;
        QTest::newRow("16") << 16 << true;
        QTest::newRow("17") << 17 << false;
    }

    void colorUserDefined() {
        QFETCH(int, size);
        QFETCH(bool, taken);
        CDialogs d(nullptr);
        std::vector<qint32> colours(static_cast<size_t>(size));
        for (int k = 0; k < size; ++k)
            colours[size_t(k)] = 0x100 + k;
        d.setColorUserDefined(colours);
        for (int k = 0; k < 16; ++k)
            QCOMPARE(d.ColorUserDefined()[size_t(k)], taken ? 0x100 + k : 0);
    }

    void fontIsMadeOnceOnFirstRead() {
        CDialogs d(nullptr);
        QFont& first = d.Font();
        first.setPointSize(31);
        QCOMPARE(&d.Font(), &first);
        QCOMPARE(d.Font().pointSize(), 31);
    }
};

QTEST_MAIN(TestCDialogs)
#include "test_cdialogs.moc"
