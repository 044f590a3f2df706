// The report of the ticked albums: its bytes, the export to a file through the file dialog's
// object and the hand-off to the mail client, over the scripted doubles.

#include "commands/cdialogs.h"
#include "commands/export.h"
#include "commands/reporttext.h"

#include "catalogue/windows1250.h"

#include "folderfixture.h"

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace fixture;
using namespace reliability;

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

// Whether log holds just the box pattern describes (none if it is empty); "…" is any text.
bool shown(const QStringList& log, const QString& pattern) {
    const QString re = QRegularExpression::escape(pattern).replace(u"\\…"_s, u".*"_s);
    return log.size() == !pattern.isEmpty() &&
           (log.isEmpty() ||
            QRegularExpression(u"(?s)^"_s + re + u"\\z"_s).match(log[0]).hasMatch());
}

const QString kTwo = u"Zed>beta|Žlutý pes>Hlavně nezmatkuj *"_s,
              kSeven =
                  u"Zed>beta|Olympic>Želva|abba>Alfa|Žlutý pes>Hlavně nezmatkuj *|Kapela>Prvni|"
                  u"A - B>C|A>B - D"_s;

struct Report {
    bool news;
    QString ticks, email;
    QByteArray bytes; // the file's; the e-mail's are the same lines
};

struct Export {
    QString albums, chosen;   // in the program folder; empty: Cancel
    bool limited;             // no file may grow past 16 bytes
    QString message;          // %1 the program folder
    QByteArray after = "old"; // in mp3.txt, which held it; empty: the report
};

struct Mail {
    QString panel, email; // the database's name as shown; the address as stored
    MailResult result;    // what the mail program answers
    QString message;      // the box shown, if any
    int copy = 1;         // 0: no clipboard; 1, 2: one, answered No or Yes
};

struct Save {
    bool hasDialog;
    int nameLength; // 0: the proposed mp3.txt
    QString answer; // empty: Cancel
    int asked;
};

} // namespace

class TestReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        TextCompare::setProgramLocale(u"cs_CZ"_s);
        std::signal(SIGXFSZ, SIG_IGN);
    }

    void reportBytes_data() {
        QTest::addColumn<Report>("r");
        const QByteArray db = "Datab\xE1ze: Moje sb\xEDrka",
                         pes = "\x8Elut\xFD pes - Hlavn\xEC nezmatkuj\r\n",
                         sorted = "A - B - C\r\nA - B - D\r\nabba - Alfa\r\nZed - beta\r\n" + pes;
        const QString ticked = u"Zed>beta;abba>Alfa;Žlutý pes>Hlavně nezmatkuj;A - B>C;A>B - D"_s;
        QTest::newRow("ticked albums sorted, the e-mail in brackets")
            << Report{false, ticked + u";Kapela"_s, u"vlastnik@example.cz"_s,
                      header(db + " (vlastnik@example.cz)") + sorted};
        QTest::newRow("no e-mail") << Report{false, ticked, {}, header(db) + sorted};
        QTest::newRow("an artist alone adds nothing") << Report{false, u"Kapela"_s, {}, header(db)};
        QTest::newRow("news view: what it shows") << Report{true, u"*"_s, {}, header(db) + pes};
    }
    void reportBytes() {
        QFETCH(Report, r);
        Fixture f;
        load(f, kSeven, r.ticks, r.news);
        const QString owner = f.status.text(StatusPanel::DatabaseName);
        QCOMPARE(reportFileBytes(f.tree, owner, r.email).value_or("<refused>"), r.bytes);
        QCOMPARE(reportText(f.tree, owner, r.email), Windows1250::decode(r.bytes));
    }

    void toFile_data() {
        QTest::addColumn<Export>("e");
        const QString failed = u"message(x): Soubor %1/mp3.txt se nepodařilo zapsat: …"_s;
        QTest::newRow("written over the old file")
            << Export{kTwo, u"mp3.txt"_s, false, u"message(i): Hotovo."_s, {}};
        QTest::newRow("no such folder")
            << Export{kTwo, u"chybí/mp3.txt"_s, false,
                      QString(failed).replace(u"/mp3"_s, u"/chybí/mp3"_s) + u'.'};
        QTest::newRow("failed half way, the old file kept")
            << Export{kTwo, u"mp3.txt"_s, true, failed + u".\nPůvodní soubor zůstal beze změny."_s};
        QTest::newRow("no byte for 中: refused before the dialog") << Export{
            u"Kapela>Album 中"_s, u"mp3.txt"_s, false,
            u"message(x): Export se nepodařil: řádek „Kapela - Album 中“ obsahuje znak „中“…"_s};
    }
    void toFile() {
        QFETCH(Export, e);
        FolderFixture f;
        const QString old = f.dir.filePath(u"mp3.txt"_s);
        QVERIFY(writeFile(old, "old"));
        load(f, e.albums, u"*"_s);
        f.ctx.catalogue.contactEmail = u"a@b.cz"_s;
        FakeFileDialog dialogs;
        f.ctx.fileDialog = &dialogs;
        dialogs.paths = e.chosen.isEmpty() ? QStringList() : QStringList{f.dir.filePath(e.chosen)};
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit tiny{16, saved.rlim_max};
        QVERIFY(!e.limited || setrlimit(RLIMIT_FSIZE, &tiny) == 0);
        exportToFile(f.ctx);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY2(shown(f.prompts.log, QString(e.message).replace(u"%1"_s, f.dir.path())),
                 qPrintable(f.prompts.log.join(u'\n')));
        const QString db = f.status.text(StatusPanel::DatabaseName);
        QCOMPARE(readFile(old),
                 e.after.isEmpty() ? reportFileBytes(f.tree, db, u"a@b.cz"_s).value() : e.after);
        QCOMPARE(f.strays(), QStringList{u"mp3.txt"_s});
        // The dialog is not opened when the report cannot be written.
        QCOMPARE(dialogs.requests.size(), e.message.contains(u"Export se"_s) ? 0 : 1);
    }

    void byEmail_data() {
        using enum MailResult;
        QTest::addColumn<Mail>("m");
        const QString panel = u"Databáze: Moje sbírka"_s, a = u"a@b.cz"_s,
                      offer = u"ask: Zpráva je příliš dlouhá…otevřít poštovní program?"_s;
        QTest::newRow("sent as stored") << Mail{panel, u" kdo si hraje nezlobí "_s, Handed, {}};
        QTest::newRow("an empty name") << Mail{u"Databáze: "_s, a, Handed, {}};
        QTest::newRow("no mail client")
            << Mail{panel, a, NoMailProgram,
                    u"message(!): E-mail se nepodařilo předat…program nelze spustit.…"_s};
        QTest::newRow("too long, no clipboard")
            << Mail{panel, a, TooLong,
                    u"message(!): Zpráva je příliš dlouhá…použijte export do souboru."_s, 0};
        QTest::newRow("not copied") << Mail{panel, a, TooLong, offer};
        QTest::newRow("copied") << Mail{panel, a, TooLong, offer, 2};
        QTest::newRow("no contact e-mail")
            << Mail{panel, {}, Handed, u"message(!): Kontaktní email není definován!"_s};
    }
    void byEmail() {
        QFETCH(Mail, m);
        Fixture f;
        load(f, kTwo, u"*"_s);
        f.status.setText(StatusPanel::DatabaseName, m.panel);
        f.ctx.catalogue.contactEmail = m.email;
        RecordingMailer mailer;
        mailer.firstResult = m.result;
        f.ctx.mailer = &mailer;
        RecordingClipboard clipboard;
        f.ctx.clipboard = m.copy ? &clipboard : nullptr;
        f.prompts.answers = {m.copy == 2};
        sendByMail(f.ctx);
        QVERIFY2(shown(f.prompts.log, m.message), qPrintable(f.prompts.log.join(u'\n')));
        const bool copied = m.copy == 2; // the report on the clipboard, the message left empty
        QCOMPARE(mailer.calls, m.email.isEmpty() ? 0 : copied ? 2 : 1);
        if (m.email.isEmpty())
            return;
        QCOMPARE((QStringList{mailer.subject, mailer.name, mailer.address,
                              copied ? clipboard.text : mailer.body,
                              copied ? mailer.body : clipboard.text}),
                 (QStringList{u"MP3 Velbor"_s, m.panel.section(u": "_s, 1), m.email,
                              reportText(f.tree, m.panel, m.email), QString()}));
    }

    // The export's file asked for, the answer kept; Cancel, no dialog or too long a name: false.
    void showSave_data() {
        QTest::addColumn<Save>("s");
        QTest::newRow("answered") << Save{true, 0, u"/home/u/report.txt"_s, 1};
        QTest::newRow("cancel, the longest name that fits") << Save{true, 261, {}, 1};
        QTest::newRow("no dialog") << Save{false, 7, {}, 0};
        QTest::newRow("name one over the room") << Save{true, 262, {}, 0};
    }
    void showSave() {
        QFETCH(Save, s);
        setCatalogueFile(u"/opt/velbor/Velbor.dat"_s);
        FakeFileDialog dialog;
        dialog.paths = s.answer.split(u'|', Qt::SkipEmptyParts); // none: Cancel
        CDialogs d(s.hasDialog ? &dialog : nullptr);
        const QString name(s.nameLength, u'x');
        if (s.nameLength)
            d.setFileName(name);
        QCOMPARE(d.showSave(), !s.answer.isEmpty());
        QCOMPARE(dialog.requests.size(), s.asked);
        for (const SaveRequest& r : std::as_const(dialog.requests))
            QCOMPARE((QStringList{r.title, r.folder, r.proposedName, r.filters.join(u'|'),
                                  r.defaultSuffix}),
                     (QStringList{u"Exportovat zaškrtnuté"_s, u"/opt/velbor"_s,
                                  s.nameLength ? name : u"mp3.txt"_s, u"Textové soubory (*.txt)"_s,
                                  u"txt"_s}));
        QCOMPARE((QStringList{d.fileName(), d.fileTitle(), d.initialDirectory()}),
                 (QStringList{s.answer.isEmpty() ? name : s.answer, s.answer.section(u'/', -1),
                              s.answer.isEmpty() ? u"/opt/velbor"_s : u"/home/u"_s}));
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
