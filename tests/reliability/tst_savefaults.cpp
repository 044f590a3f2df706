// Saving when the system lets the program write only so many bytes, as a full disk or a quota
// does, tried at every byte: the old Velbor.dat (and its backup) must stay whole, nothing may be
// left behind, and the user must be told in Czech.

#include "folderfixture.h"

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace reliability;

namespace {

// Lowers the size a process may give a file to limit bytes (SIGXFSZ ignored, so a write beyond it
// fails with EFBIG) until destroyed.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit lowered = m_old;
        lowered.rlim_cur = limit;
        m_ok = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    bool m_ok = false;
};

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void fileSizeLimitAtEveryByte_data() {
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<bool>("backup");
        QTest::addColumn<int>("stride"); // every stride-th byte, and each side of every 64 KiB
        QTest::newRow("new file larger") << catalogueBytes(3) << false << 1;
        QTest::newRow("backup of a larger old file") << catalogueBytes(12) << true << 1;
        QTest::newRow("several pieces") << catalogueBytes(3000) << true << 1999;
    }
    void fileSizeLimitAtEveryByte() {
        QFETCH(QByteArray, old);
        QFETCH(bool, backup);
        QFETCH(int, stride);
        FolderFixture f;
        QVERIFY(writeFile(f.dataFile(), old));
        startUp(f.ctx);
        QVERIFY(f.prompts.log.isEmpty());
        f.ctx.catalogue.albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        f.ctx.backupBeforeSave = backup;
        const QByteArray updated = formatDataFile(f.ctx.catalogue.albums, databaseName(f.status),
                                                  f.ctx.catalogue.contactEmail)
                                       .value();
        // Whole files need this many bytes: the backup first, then the new file.
        const qsizetype needed = backup ? std::max(old.size(), updated.size()) : updated.size();
        qsizetype tried = 0;
        for (qsizetype limit = 0; limit < needed; ++limit) {
            if (limit % stride != 0 && (limit + 1) % 65536 > 2)
                continue;
            QString box;
            {
                FileSizeLimit lowered{rlim_t(limit)};
                QVERIFY(lowered.ok());
                box = f.save();
            }
            QVERIFY2(box.startsWith(kNotSaved) && box.endsWith(kKept),
                     qPrintable(u"limit %1: %2"_s.arg(limit).arg(box)));
            QVERIFY2(readFile(f.dataFile()) == old, qPrintable(u"limit %1"_s.arg(limit)));
            if (QFile::exists(f.backupFile()))
                QVERIFY(readFile(f.backupFile()) == old);
            QCOMPARE(f.strays(), QStringList());
            ++tried;
        }
        {
            FileSizeLimit lowered{rlim_t(needed)};
            QCOMPARE(f.save(), kSaved);
        }
        QVERIFY(readFile(f.dataFile()) == updated);
        QCOMPARE(QFile::exists(f.backupFile()), backup);
        qInfo("%lld file size limits tried (%lld bytes)", qlonglong(tried), qlonglong(needed));
    }

    // The session ends with unsaved edits and no box may be shown: they go beside the data file,
    // which stays as it was, and the next start names the copy.
    void sessionEndsWithoutQuestions() {
        FolderFixture f;
        QVERIFY(writeFile(f.dataFile(), catalogueBytes(3)));
        startUp(f.ctx);
        QVERIFY(mayEndSession(f.ctx, false));
        QVERIFY(!QFile::exists(unsavedCopyPath())); // nothing to keep
        f.ctx.catalogue.albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        f.ctx.unsavedEdits = true;
        QVERIFY(mayEndSession(f.ctx, false));
        QCOMPARE(f.prompts.log, QStringList());
        QVERIFY(readFile(f.dataFile()) == catalogueBytes(3));
        QCOMPARE(readFile(unsavedCopyPath()),
                 formatDataFile(f.ctx.catalogue.albums, u"Sbírka"_s, u"kun@example.cz"_s).value());

        Fixture next;
        startUp(next.ctx);
        QCOMPARE(next.ctx.catalogue.albums.size(), size_t(3));
        QCOMPARE(next.prompts.log.size(), 1);
        QVERIFY2(next.prompts.log[0].startsWith(u"message(i): Vedle datového souboru je soubor "_s +
                                                unsavedCopyPath()) &&
                     next.prompts.log[0].contains(u"počet alb v něm: 4.\n"_s),
                 qPrintable(next.prompts.log[0]));
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
