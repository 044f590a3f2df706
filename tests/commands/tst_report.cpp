// The report of the ticked albums: its bytes, the export to a file through the file dialog's
// object and the hand-off to the mail client, over the scripted doubles.

#include "commands/cdialogs.h"
#include "commands/export.h"
#include "commands/reporttext.h"

#include "catalogue/windows1250.h"

#include "folderfixture.h"

#include <csignal>
#include <sys/resource.h>
#include <utility>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

QByteArray header(const QByteArray& line2) {
    return "Export z programu MP3 Velbor\r\n" + line2 + "\r\n" + QByteArray(64, '=') + "\r\n";
}

// Reads albums ("Artist>Album *|..."), in the news view if asked, ticks the nodes at the paths
// given (";" between; "*" ticks all) and names the database "Moje sbírka".
void load(Fixture& f, const QString& albums, const QString& ticks, bool news = false) {
    f.ctx.catalogue.albums = albumsFrom(albums.split(u'|'));
    news ? showNewReleases(f.ctx) : showAllAlbums(f.ctx);
    if (ticks == u"*"_s)
        f.tree.checkAll();
    else
        for (const QString& path : ticks.split(u';', Qt::SkipEmptyParts))
            f.tree.setData(f.tree.indexOf(nodeAtPath(f.tree, path)), Qt::Checked,
                           Qt::CheckStateRole);
    setDatabaseName(f.status, u"Moje sbírka"_s);
}

// Whether log holds the one box pattern describes (none if it is empty); one "…" in pattern stands
// for any text.
bool shown(const QStringList& log, const QString& pattern) {
    if (pattern.isEmpty() || log.size() != 1)
        return log.size() == (pattern.isEmpty() ? 0 : 1);
    const QString& text = log[0];
    const qsizetype gap = pattern.indexOf(u'…');
    if (gap < 0)
        return text == pattern;
    const QStringView head = QStringView(pattern).left(gap),
                      tail = QStringView(pattern).mid(gap + 1);
    return text.size() >= pattern.size() - 1 && text.startsWith(head) && text.endsWith(tail);
}

const QString kTwo = u"Zed>beta|Žlutý pes>Hlavně nezmatkuj *"_s;
const QByteArray kTwoLines = "Zed - beta\r\n\x8Elut\xFD pes - Hlavn\xEC nezmatkuj\r\n";

} // namespace

class TestReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void reportBytes_data() {
        QTest::addColumn<bool>("news");
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QByteArray>("bytes");

        const QByteArray sorted = "A - B - C\r\nA - B - D\r\nabba - Alfa\r\nZed - beta\r\n"
                                  "\x8Elut\xFD pes - Hlavn\xEC nezmatkuj\r\n";
        const QString ticked = u"Zed>beta;abba>Alfa;Žlutý pes>Hlavně nezmatkuj;A - B>C;A>B - D"_s;
        QTest::newRow("ticked albums sorted, the e-mail in brackets")
            << false << ticked + u";Kapela"_s << u"vlastnik@example.cz"_s
            << header("Datab\xE1ze: Moje sb\xEDrka (vlastnik@example.cz)") + sorted;
        QTest::newRow("no e-mail")
            << false << ticked << u""_s << header("Datab\xE1ze: Moje sb\xEDrka") + sorted;
        QTest::newRow("an artist alone adds nothing")
            << false << u"Kapela"_s << u""_s << header("Datab\xE1ze: Moje sb\xEDrka");
        QTest::newRow("news view: what it shows")
            << true << u"*"_s << u""_s
            << header("Datab\xE1ze: Moje sb\xEDrka") + "\x8Elut\xFD pes - Hlavn\xEC nezmatkuj\r\n";
    }

    void reportBytes() {
        QFETCH(bool, news);
        QFETCH(QString, ticks);
        QFETCH(QString, email);
        QFETCH(QByteArray, bytes);
        Fixture f;
        load(f,
             u"Zed>beta|Olympic>Želva|abba>Alfa|Žlutý pes>Hlavně nezmatkuj *|Kapela>Prvni|"
             u"A - B>C|A>B - D"_s,
             ticks, news);
        const QString owner = f.status.text(StatusPanel::DatabaseName);
        QCOMPARE(reportFileBytes(f.tree, owner, email).value_or("<refused>"), bytes);
        // The e-mail carries the same lines.
        QCOMPARE(reportText(f.tree, owner, email), Windows1250::decode(bytes));
    }

    void toFile_data() {
        QTest::addColumn<QString>("albums");
        QTest::addColumn<QString>("chosen");   // in the program folder; empty: Cancel
        QTest::addColumn<bool>("limited");     // no file may grow past 16 bytes
        QTest::addColumn<QString>("message");  // %1 the program folder
        QTest::addColumn<QByteArray>("after"); // mp3.txt, which held "old"

        QTest::newRow("written over the old file")
            << kTwo << u"mp3.txt"_s << false << u"message(i): Hotovo."_s
            << header("Datab\xE1ze: Moje sb\xEDrka (a@b.cz)") + kTwoLines;
        QTest::newRow("cancelled") << kTwo << u""_s << false << u""_s << QByteArray("old");
        QTest::newRow("no such folder")
            << kTwo << u"chybí/mp3.txt"_s << false
            << u"message(x): Soubor %1/chybí/mp3.txt se nepodařilo zapsat: …."_s
            << QByteArray("old");
        QTest::newRow("failed half way, the old file kept")
            << kTwo << u"mp3.txt"_s << true
            << u"message(x): Soubor %1/mp3.txt se nepodařilo zapsat: ….\n"
               u"Původní soubor zůstal beze změny."_s
            << QByteArray("old");
        QTest::newRow("no byte for a character: refused before the dialog")
            << u"Kapela>Album 中"_s << u"mp3.txt"_s << false
            << u"message(x): Export se nepodařil: řádek „Kapela - Album 中“ obsahuje znak „中“, "
               u"který nelze zapsat v kódování Windows-1250."_s
            << QByteArray("old");
    }

    void toFile() {
        QFETCH(QString, albums);
        QFETCH(QString, chosen);
        QFETCH(bool, limited);
        QFETCH(QString, message);
        QFETCH(QByteArray, after);

        FolderFixture f;
        const QString old = f.dir.filePath(u"mp3.txt"_s);
        QVERIFY(reliability::writeFile(old, "old"));
        load(f, albums, u"*"_s);
        f.ctx.catalogue.contactEmail = u"a@b.cz"_s;
        FakeFileDialog dialogs;
        f.ctx.fileDialog = &dialogs;
        if (!chosen.isEmpty())
            dialogs.paths << f.dir.filePath(chosen);

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = saved;
        if (limited)
            tiny.rlim_cur = 16;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
        exportToFile(f.ctx);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);

        QVERIFY2(shown(f.prompts.log, QString(message).replace(u"%1"_s, f.dir.path())),
                 qPrintable(f.prompts.log.join(u'\n')));
        QCOMPARE(reliability::readFile(old), after);
        QCOMPARE(f.strays(), QStringList{u"mp3.txt"_s});
        // The dialog opens with the export's own settings, unless the report cannot be written.
        QCOMPARE(dialogs.requests.size(), message.contains(u"Export se"_s) ? 0 : 1);
        if (!dialogs.requests.isEmpty()) {
            QCOMPARE(dialogs.requests[0].title, u"Exportovat zaškrtnuté"_s);
            QCOMPARE(dialogs.requests[0].proposedName, u"mp3.txt"_s);
            QCOMPARE(dialogs.requests[0].folder, f.dir.path());
        }
    }

    void byEmail_data() {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("email");     // as stored
        QTest::addColumn<MailResult>("result"); // what the mail program answers
        QTest::addColumn<QString>("name");      // the recipient's
        QTest::addColumn<QString>("message");   // the box shown, if any
        QTest::addColumn<int>("copy");          // 0: no clipboard; 1, 2: one, answered No or Yes

        const QString panel = u"Databáze: Moje sbírka"_s;
        const QString handOff = u"message(!): E-mail se nepodařilo předat poštovnímu programu"_s;
        const QString tooLong =
            u"Zpráva je příliš dlouhá, než aby ji poštovní program mohl převzít celou. "_s;
        QTest::newRow("sent, the address as stored")
            << panel << u" kdo si hraje nezlobí "_s << MailResult::Handed << u"Moje sbírka"_s
            << u""_s << 1;
        QTest::newRow("an empty name")
            << u"Databáze: "_s << u"a@b.cz"_s << MailResult::Handed << u""_s << u""_s << 1;
        QTest::newRow("no mail client")
            << panel << u"a@b.cz"_s << MailResult::NoMailProgram << u"Moje sbírka"_s
            << handOff + u": žádný poštovní program nelze spustit.…"_s << 1;
        QTest::newRow("too long, no clipboard")
            << panel << u"a@b.cz"_s << MailResult::TooLong << u"Moje sbírka"_s
            << u"message(!): "_s + tooLong +
                   u"Zaškrtněte méně alb, nebo použijte export do "
                   u"souboru."_s
            << 0;
        const QString offer = u"ask: "_s + tooLong +
                              u"Výpis do ní můžete vložit ze schránky sami. Zkopírovat výpis do "
                              u"schránky a otevřít poštovní program?"_s;
        QTest::newRow("too long, not copied")
            << panel << u"a@b.cz"_s << MailResult::TooLong << u"Moje sbírka"_s << offer << 1;
        QTest::newRow("too long, copied, the mail program opened without it")
            << panel << u"a@b.cz"_s << MailResult::TooLong << u"Moje sbírka"_s << offer << 2;
        QTest::newRow("no contact e-mail") << panel << u""_s << MailResult::Handed << u""_s
                                           << u"message(!): Kontaktní email není definován!"_s << 1;
    }

    void byEmail() {
        QFETCH(QString, panel);
        QFETCH(QString, email);
        QFETCH(MailResult, result);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(int, copy);

        Fixture f;
        load(f, kTwo, u"*"_s);
        f.status.setText(StatusPanel::DatabaseName, panel);
        f.ctx.catalogue.contactEmail = email;
        RecordingMailer mailer;
        mailer.firstResult = result;
        f.ctx.mailer = &mailer;
        RecordingClipboard clipboard;
        if (copy)
            f.ctx.clipboard = &clipboard;
        f.prompts.answers = {copy == 2};

        sendByMail(f.ctx);

        QVERIFY2(shown(f.prompts.log, message), qPrintable(f.prompts.log.join(u'\n')));
        QCOMPARE(mailer.calls, email.isEmpty() ? 0 : copy == 2 ? 2 : 1);
        if (email.isEmpty())
            return;
        QCOMPARE(mailer.subject, u"MP3 Velbor"_s);
        QCOMPARE(mailer.name, name);
        QCOMPARE(mailer.address, email);
        // Copied, the report waits on the clipboard and the message is left empty.
        if (copy == 2)
            QCOMPARE(std::exchange(mailer.body, clipboard.text), QString());
        else
            QCOMPARE(clipboard.text, QString());
        // The same text as the file.
        QCOMPARE(mailer.body, u"Export z programu MP3 Velbor\r\n"_s + panel + u" ("_s + email +
                                  u")\r\n"_s + QString(64, u'=') +
                                  u"\r\nZed - beta\r\nŽlutý pes - Hlavně nezmatkuj\r\n"_s);
    }

    // The file dialog's object: its filters, the request it makes and the answer's properties.
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
        setCatalogueFile(u"/opt/velbor/Velbor.dat"_s);
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
        setCatalogueFile(u"/opt/velbor/Velbor.dat"_s);
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

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
