#include "report/export.h"
#include "report/reporttext.h"

#include "catalogue/programfolder.h"
#include "catalogue/windows1250.h"
#include "mainwindow/windowlogic.h"

#include "scriptedports.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kRule(64, '=');

// Zed/beta, abba/Alfa, Žlutý pes/Hlavně nezmatkuj and "A - B"/C ticked; the artist Kapela ticked
// without its album; Olympic/Želva not ticked.
void buildTickedTree(TestContext& t, bool newsOnly = false) {
    t.tree.rebuild({{u"Zed"_s, u"beta"_s, false},
                    {u"Olympic"_s, u"Želva"_s, false},
                    {u"abba"_s, u"Alfa"_s, false},
                    {u"Žlutý pes"_s, u"Hlavně nezmatkuj"_s, true},
                    {u"Kapela"_s, u"Prvni"_s, false},
                    {u"A - B"_s, u"C"_s, false}},
                   newsOnly);
    for (const auto& [artist, album] : {std::pair{u"Zed"_s, u"beta"_s},
                                        {u"abba"_s, u"Alfa"_s},
                                        {u"Žlutý pes"_s, u"Hlavně nezmatkuj"_s},
                                        {u"A - B"_s, u"C"_s}}) {
        if (TreeNode* a = t.tree.artistNode(artist)) {
            for (TreeNode* n : a->children)
                if (n->text == album)
                    t.tree.setChecked(n, true);
        }
    }
    if (TreeNode* kapela = t.tree.artistNode(u"Kapela"))
        t.tree.setChecked(kapela, true);
    setDatabaseName(t.status, u"Moje sbírka"_s);
}

QByteArray expectedReport(const QByteArray& line2) {
    return "Export z programu MP3 Velbor\r\n" + line2 + "\r\n" + kRule +
           "\r\n"
           "A - B - C\r\n"
           "abba - Alfa\r\n"
           "Zed - beta\r\n"
           "\x8Elut\xFD pes - Hlavn\xEC nezmatkuj\r\n";
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

private Q_SLOTS:
    void initTestCase() {
        TextCompare::setProgramLocale(u"cs_CZ"_s);
        QVERIFY(m_folder.isValid());
        setProgramFolderForTesting(m_folder.path());
    }

    void reportBytes_data() {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QByteArray>("line2");
        QTest::newRow("contact e-mail in brackets")
            << u"vlastnik@example.cz"_s
            << QByteArray("Datab\xE1ze: Moje sb\xEDrka (vlastnik@example.cz)");
        QTest::newRow("no contact e-mail")
            << QString() << QByteArray("Datab\xE1ze: Moje sb\xEDrka");
    }

    void reportBytes() {
        QFETCH(QString, email);
        QFETCH(QByteArray, line2);
        TestContext t;
        buildTickedTree(t);
        const auto bytes = reportFileBytes(t.tree, t.status.text(kPanelVlastnik), email);
        QVERIFY(bytes);
        QCOMPARE(*bytes, expectedReport(line2));
        // The e-mail carries the same lines.
        QCOMPARE(reportText(t.tree, t.status.text(kPanelVlastnik), email),
                 Windows1250::decode(*bytes));
    }

    void noTickedAlbum() {
        TestContext t;
        t.tree.rebuild({{u"Kapela"_s, u"Album"_s, false}}, false);
        t.tree.setChecked(t.tree.artistNode(u"Kapela"), true); // an artist alone adds nothing
        const QString text = reportText(t.tree, u"Databáze: "_s, QString());
        QCOMPARE(text, u"Export z programu MP3 Velbor\r\nDatabáze: \r\n"_s + QString(64, u'=') +
                           u"\r\n"_s);
    }

    void newReleasesViewReportsOnlyWhatItShows() {
        TestContext t;
        buildTickedTree(t, true);
        t.tree.checkAll();
        const QString text = reportText(t.tree, t.status.text(kPanelVlastnik), QString());
        QVERIFY(text.endsWith(QString(64, u'=') + u"\r\nŽlutý pes - Hlavně nezmatkuj\r\n"_s));
    }

    void exportWritesTheChosenFile() {
        TestContext t;
        buildTickedTree(t);
        t.ctx->catalogue.ContactEmail = u"vlastnik@example.cz"_s;
        FakeFileDialogs dialogs;
        t.ctx->fileDialogs = &dialogs;
        const QString path = m_folder.filePath(u"mp3.txt"_s);
        QFile::remove(path);
        dialogs.answer = FakeFileDialogs::choose(path);

        ExportChecked(*t.ctx, false);

        QCOMPARE(readAll(path),
                 expectedReport("Datab\xE1ze: Moje sb\xEDrka (vlastnik@example.cz)"));
        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.prompts.messages[0].text, u"Hotovo."_s);
        QCOMPARE(t.prompts.messages[0].icon, MessageIcon::Information);
        QVERIFY(t.prompts.messages[0].title.isEmpty()); // the application's title

        // The save dialog opens with a new CDialogs object's settings.
        QCOMPARE(dialogs.opened.size(), 1);
        QVERIFY(dialogs.saves[0]);
        const OpenFileName& ofn = dialogs.opened[0];
        QCOMPARE(ofn.lpstrTitle, u"Exportovat zaškrtnuté"_s);
        QCOMPARE(ofn.lpstrFile, u"mp3.txt"_s);
        QCOMPARE(ofn.lpstrInitialDir, programFolder());
        QCOMPARE(ofn.lpstrFilter, u"Textové soubory (*.txt)\0*.txt\0\0"_s);
        QCOMPARE(ofn.nFilterIndex, 1);
        QCOMPARE(ofn.lpstrDefExt, u"txt"_s);
        QCOMPARE(ofn.Flags, 6);
        QCOMPARE(ofn.nMaxFile, 260);
        QCOMPARE(ofn.hwndOwner, 0);
    }

    void fileAndMailAreTheSameText() {
        TestContext t;
        buildTickedTree(t);
        t.ctx->catalogue.ContactEmail = u"vlastnik@example.cz"_s;
        FakeFileDialogs dialogs;
        RecordingMailer mailer;
        t.ctx->fileDialogs = &dialogs;
        t.ctx->mailer = &mailer;
        const QString path = m_folder.filePath(u"same.txt"_s);
        dialogs.answer = FakeFileDialogs::choose(path);

        ExportChecked(*t.ctx, false);
        ExportChecked(*t.ctx, true);

        QCOMPARE(mailer.calls, 1);
        QCOMPARE(mailer.message.NoteText, Windows1250::decode(readAll(path)));
        QVERIFY(mailer.message.NoteText.endsWith(u"Hlavně nezmatkuj\r\n"_s));
    }

    void mailRecords() {
        TestContext t;
        buildTickedTree(t);
        t.ctx->catalogue.ContactEmail = u" kdo si hraje nezlobí "_s; // passed on as stored
        RecordingMailer mailer;
        t.ctx->mailer = &mailer;

        ExportChecked(*t.ctx, true);

        QCOMPARE(mailer.calls, 1);
        QCOMPARE(mailer.session, 0);
        QCOMPARE(mailer.uiParam, 0);
        QCOMPARE(mailer.flags, 9);
        QCOMPARE(mailer.reserved, 0);
        QCOMPARE(mailer.message.Subject, u"MP3 Velbor"_s);
        QCOMPARE(mailer.message.RecipCount, 1);
        QCOMPARE(mailer.message.FileCount, 0);
        QCOMPARE(mailer.message.Flags, 0);
        QVERIFY(mailer.message.MessageType.isEmpty());
        QCOMPARE(mailer.recips.size(), size_t(1));
        QCOMPARE(mailer.recips[0].RecipClass, 1);
        QCOMPARE(mailer.recips[0].Name, u"Moje sbírka"_s);
        QCOMPARE(mailer.recips[0].Address, u" kdo si hraje nezlobí "_s);
        QCOMPARE(mailer.files.size(), size_t(1));
        QVERIFY(mailer.files[0].PathName.isEmpty() && mailer.files[0].FileName.isEmpty());
        QVERIFY(t.prompts.messages.isEmpty());
    }

    void recipientNameFromThePanel_data() {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("name");
        QTest::newRow("a name") << u"Databáze: Sbírka"_s << u"Sbírka"_s;
        QTest::newRow("empty name") << u"Databáze: "_s << u""_s;
        QTest::newRow("short panel") << u"Databáze"_s << u""_s;
    }

    void recipientNameFromThePanel() {
        QFETCH(QString, panel);
        QFETCH(QString, name);
        TestContext t;
        t.status.setText(kPanelVlastnik, panel);
        t.ctx->catalogue.ContactEmail = u"a@b.cz"_s;
        RecordingMailer mailer;
        t.ctx->mailer = &mailer;
        ExportChecked(*t.ctx, true);
        QCOMPARE(mailer.recips[0].Name, name);
        // No ticked album: the three header lines still go out.
        QCOMPARE(mailer.message.NoteText.count(u"\r\n"_s), 3);
    }

    void mailWithoutContactEmail() {
        TestContext t;
        buildTickedTree(t);
        RecordingMailer mailer;
        t.ctx->mailer = &mailer;
        ExportChecked(*t.ctx, true);
        QCOMPARE(mailer.calls, 0);
        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.prompts.messages[0].text, u"Kontaktní email není definován!"_s);
        QCOMPARE(t.prompts.messages[0].icon, MessageIcon::Exclamation);
    }

    void mailResults_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message"); // a part of it; empty: no message
        QTest::newRow("sent") << SUCCESS_SUCCESS << QString();
        QTest::newRow("dropped in the mail client") << MAPI_USER_ABORT << QString();
        QTest::newRow("no mail client") << MAPI_E_FAILURE << u"žádný poštovní program"_s;
        QTest::newRow("too long") << MAPI_E_TEXT_TOO_LARGE << u"příliš dlouhá"_s;
        QTest::newRow("other failure") << 14 << u"chyba MAPI 14"_s;
    }

    void mailResults() {
        QFETCH(int, result);
        QFETCH(QString, message);
        TestContext t;
        t.ctx->catalogue.ContactEmail = u"a@b.cz"_s;
        RecordingMailer mailer;
        mailer.result = result;
        t.ctx->mailer = &mailer;
        ExportChecked(*t.ctx, true);
        if (message.isEmpty()) {
            QVERIFY(t.prompts.messages.isEmpty());
        } else {
            QCOMPARE(t.prompts.messages.size(), 1);
            QVERIFY2(t.prompts.messages[0].text.contains(message),
                     qPrintable(t.prompts.messages[0].text));
        }
    }

    void cancelWritesNothing() {
        TestContext t;
        buildTickedTree(t);
        FakeFileDialogs dialogs; // answers Cancel
        t.ctx->fileDialogs = &dialogs;
        const QString path = m_folder.filePath(u"mp3.txt"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("stary obsah");
        old.close();

        ExportChecked(*t.ctx, false);

        QCOMPARE(dialogs.opened.size(), 1);
        QCOMPARE(readAll(path), QByteArray("stary obsah"));
        QVERIFY(t.prompts.messages.isEmpty());
    }

    void unwritablePlaceIsReported() {
        TestContext t;
        buildTickedTree(t);
        FakeFileDialogs dialogs;
        t.ctx->fileDialogs = &dialogs;
        const QString path = m_folder.filePath(u"chybí/mp3.txt"_s);
        dialogs.answer = FakeFileDialogs::choose(path);

        ExportChecked(*t.ctx, false);

        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.prompts.messages[0].icon, MessageIcon::Critical);
        QVERIFY2(
            t.prompts.messages[0].text.startsWith(u"Soubor %1 se nepodařilo zapsat: "_s.arg(path)),
            qPrintable(t.prompts.messages[0].text));
    }

    // A write that fails half way (here: the process may not write files longer than 16 bytes)
    // leaves the old report whole.
    void failedWriteKeepsTheOldFile() {
        TestContext t;
        buildTickedTree(t);
        FakeFileDialogs dialogs;
        t.ctx->fileDialogs = &dialogs;
        const QString path = m_folder.filePath(u"stary.txt"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("stary obsah");
        old.close();
        dialogs.answer = FakeFileDialogs::choose(path);

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = saved;
        tiny.rlim_cur = 16;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
        ExportChecked(*t.ctx, false);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(readAll(path), QByteArray("stary obsah"));
        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.prompts.messages[0].icon, MessageIcon::Critical);
        QVERIFY(t.prompts.messages[0].text.contains(u"Původní soubor zůstal beze změny."_s));
        QCOMPARE(QDir(m_folder.path()).entryList({u"stary.txt*"_s}, QDir::Files).size(), 1);
    }

    // A character that has no byte in Windows-1250 is never written as "?": the export refuses,
    // naming it, before any dialog opens.
    void unencodableCharacterIsRefused() {
        TestContext t;
        t.tree.rebuild({{u"Kapela"_s, u"Album 中"_s, false}}, false);
        t.tree.checkAll();
        FakeFileDialogs dialogs;
        t.ctx->fileDialogs = &dialogs;
        dialogs.answer = FakeFileDialogs::choose(m_folder.filePath(u"nikdy.txt"_s));

        ExportChecked(*t.ctx, false);

        QVERIFY(dialogs.opened.isEmpty());
        QVERIFY(!QFile::exists(m_folder.filePath(u"nikdy.txt"_s)));
        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.prompts.messages[0].icon, MessageIcon::Critical);
        QVERIFY(t.prompts.messages[0].text.contains(u"„Kapela - Album 中“"_s));
        QVERIFY(t.prompts.messages[0].text.contains(u"znak „中“"_s));
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "test_report.moc"
