// Saving when writing fails: at every write of the save, and at every byte the system lets the
// program write. Each time the old Velbor.dat (and its backup) must stay whole, nothing may be left
// behind, and the user must be told in Czech.

#include "folderfixture.h"

#include "dialogs/filedialogbackend.h"
#include "report/export.h"

#include <QIODevice>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace reliability;

namespace {

// Stands in front of a file being saved and passes every write on, except the failAt-th of the
// whole save (counted in writes from 1; 0: none), which fails as a full disk would.
class FailingDevice : public QIODevice {
public:
    FailingDevice(QIODevice& file, int& writes, int failAt)
        : m_file(file), m_writes(writes), m_failAt(failAt) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (++m_writes == m_failAt) {
            setErrorString(u"No space left on device"_s);
            return -1;
        }
        return m_file.write(data, size);
    }

private:
    QIODevice& m_file;
    int& m_writes;
    int m_failAt;
};

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

// The old catalogue is loaded and one album is added.
void prepare(FolderFixture& f, const QByteArray& old, bool backup) {
    QVERIFY(writeFile(f.dataFile(), old));
    formLoad(f.ctx);
    QVERIFY(f.prompts.log.isEmpty());
    f.ctx.catalogue.Albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
    f.ctx.backupBeforeSave = backup;
}

QByteArray expectedNew(const FolderFixture& f) {
    return formatDataFile(f.ctx.catalogue.Albums, databaseName(f.status),
                          f.ctx.catalogue.ContactEmail)
        .value();
}

// The save dialog, always answered with path.
class ChoosingDialogs : public FileDialogBackend {
public:
    explicit ChoosingDialogs(const QString& path) : m_path(path) {}
    bool getOpenFileName(OpenFileName&) override { return false; }
    bool getSaveFileName(OpenFileName& ofn) override {
        ofn.lpstrFile = m_path;
        return true;
    }

private:
    QString m_path;
};

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }
    void cleanup() { setFileWriterForTesting({}); }

    void failingWriteAtEveryPoint_data() {
        QTest::addColumn<int>("albums");
        QTest::addColumn<bool>("backup");
        QTest::newRow("large catalogue") << 8000 << false;
        QTest::newRow("large catalogue, first save keeps a backup") << 8000 << true;
        QTest::newRow("empty catalogue") << 0 << false;
    }
    void failingWriteAtEveryPoint() {
        QFETCH(int, albums);
        QFETCH(bool, backup);
        FolderFixture f;
        const QByteArray old = catalogueBytes(albums);
        prepare(f, old, backup);
        const QByteArray updated = expectedNew(f);

        int failAt = 0;
        int writes = 0;
        setFileWriterForTesting([&](QIODevice& file, const QByteArray& bytes) {
            FailingDevice device(file, writes, failAt);
            return writeAll(device, bytes);
        });
        // Fail the first write, then the second, and so on, until a save gets through: every write
        // the save makes has failed once.
        for (failAt = 1;; ++failAt) {
            writes = 0;
            const QString box = f.save();
            if (box == kSaved)
                break;
            QVERIFY2(box.startsWith(kNotSaved) && box.endsWith(kKept), qPrintable(box));
            QVERIFY2(readFile(f.dataFile()) == old, qPrintable(u"write %1"_s.arg(failAt)));
            if (QFile::exists(f.backupFile()))
                QVERIFY(readFile(f.backupFile()) == old);
            QCOMPARE(f.strays(), QStringList());
            QVERIFY(failAt < 1000);
        }
        QCOMPARE(writes, failAt - 1); // the successful save made exactly the writes that failed
        QVERIFY(readFile(f.dataFile()) == updated);
        QCOMPARE(QFile::exists(f.backupFile()), backup);
        if (backup)
            QVERIFY(readFile(f.backupFile()) == old);
        // A large catalogue is written in many pieces: the fault hit each of them.
        QVERIFY(writes > updated.size() / (64 * 1024));
        qInfo("%d write points failed one by one (%lld bytes)", failAt - 1,
              qlonglong(updated.size()));
    }

    // The report file likewise: an old mp3.txt stays whole whichever write fails, and the user is
    // told.
    void reportFailingAtEveryWrite() {
        FolderFixture f;
        QVERIFY(writeFile(f.dataFile(), catalogueBytes(6000)));
        formLoad(f.ctx);
        selectAll(f.ctx);
        const QString report = f.dir.filePath(u"mp3.txt"_s);
        const QByteArray old("old report\r\n");
        QVERIFY(writeFile(report, old));
        ChoosingDialogs dialogs(report);
        f.ctx.fileDialogs = &dialogs;

        int failAt = 0;
        int writes = 0;
        setFileWriterForTesting([&](QIODevice& file, const QByteArray& bytes) {
            FailingDevice device(file, writes, failAt);
            return writeAll(device, bytes);
        });
        for (failAt = 1;; ++failAt) {
            writes = 0;
            f.prompts.log.clear();
            ExportChecked(f.ctx, false);
            QCOMPARE(f.prompts.log.size(), 1);
            if (f.prompts.log[0] == kSaved)
                break;
            QVERIFY2(f.prompts.log[0].startsWith(u"message(x): ") &&
                         f.prompts.log[0].endsWith(kKept),
                     qPrintable(f.prompts.log[0]));
            QVERIFY2(readFile(report) == old, qPrintable(u"write %1"_s.arg(failAt)));
            QVERIFY(failAt < 1000);
        }
        QVERIFY(failAt > 2); // the report took several writes, each failed once
        QVERIFY(readFile(report).startsWith("Export z programu MP3 Velbor\r\n"));
        qInfo("%d report write points failed one by one", failAt - 1);
    }

    // The system refuses to let a file grow beyond the limit, as a full disk or a quota does.
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
        prepare(f, old, backup);
        const QByteArray updated = expectedNew(f);
        // Whole files need this many bytes: the backup first, then the new file.
        const qsizetype needed = backup ? std::max(old.size(), updated.size()) : updated.size();
        QList<qsizetype> limits;
        for (qsizetype limit = 0; limit < needed; ++limit)
            if (limit % stride == 0 || (limit + 1) % 65536 <= 2)
                limits << limit;

        for (qsizetype limit : std::as_const(limits)) {
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
        }
        {
            FileSizeLimit lowered{rlim_t(needed)};
            QCOMPARE(f.save(), kSaved);
        }
        QVERIFY(readFile(f.dataFile()) == updated);
        qInfo("%lld file size limits tried (%lld bytes)", qlonglong(limits.size() + 1),
              qlonglong(needed));
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
