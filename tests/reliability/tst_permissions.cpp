// Loading and saving without the rights they need, as an ordinary user: a clear message, the
// program goes on, and no file is lost. Root may read and write anything, so run as root (as CI
// runs) the test runs itself again as the user nobody, one case at a time.

#include "folderfixture.h"

#include "commands/export.h"
#include "commands/reporttext.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace reliability;

namespace {

const QByteArray kSample = catalogueBytes(3);

bool setMode(const QString& path, int mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

// Gives the rights back before the folder is removed, whatever a case left.
struct RightsFixture : FolderFixture {
    ~RightsFixture() {
        setMode(dir.path(), 0755);
        setMode(dataFile(), 0644);
    }
};

} // namespace

class TestPermissions : public QObject {
    Q_OBJECT
    QStringList m_asNobody; // the command that runs a program as nobody; empty when not root
    QTemporaryDir m_copy;   // a copy of this test that nobody may run

    // Run as root: runs the current case again as nobody and checks it passed. Returns false when
    // the case is to run here.
    bool ranAsNobody() {
        if (m_asNobody.isEmpty())
            return false;
        QString testCase = QString::fromLatin1(QTest::currentTestFunction());
        if (QTest::currentDataTag())
            testCase += u':' + QString::fromUtf8(QTest::currentDataTag());
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"TMPDIR"_s, u"/tmp"_s);
        env.insert(u"HOME"_s, u"/tmp"_s);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(m_asNobody.first(), m_asNobody.mid(1)
                                            << m_copy.filePath(u"tst_permissions"_s) << testCase);
        const bool finished = child.waitForFinished(60000);
        const QByteArray output = child.readAll();
        if (!finished || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
            qWarning("%s", output.constData());
        [&] { QVERIFY2(finished && child.exitCode() == 0, "the case failed as nobody"); }();
        return true;
    }

private Q_SLOTS:
    void initTestCase() {
        TextCompare::setProgramLocale(u"cs_CZ"_s);
        if (::geteuid() != 0)
            return;
        if (const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
            !setpriv.isEmpty())
            m_asNobody = {setpriv, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s};
        else if (const QString runuser = QStandardPaths::findExecutable(u"runuser"_s);
                 !runuser.isEmpty())
            m_asNobody = {runuser, u"-u"_s, u"nobody"_s, u"--"_s};
        else
            QSKIP("Run as root, and neither setpriv nor runuser is there to drop the rights.");
        // The build folder may be closed to nobody; the copy sits in a folder open to all.
        const QString copy = m_copy.filePath(u"tst_permissions"_s);
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
        QVERIFY(setMode(m_copy.path(), 0755) && setMode(copy, 0755));
    }

    // A right missing when the catalogue is loaded (it loads as missing) or only when it is
    // saved: the save says why and leaves the file; in the second case, once the right is back,
    // the same session saves everything. A file that could not be read, or could not be looked
    // at, is never saved over.
    void withoutRights_data() {
        QTest::addColumn<bool>("loaded"); // the rights are taken after loading
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<bool>("backup");
        QTest::addColumn<QString>("reason"); // %1: the folder
        QTest::newRow("folder without write right")
            << true << 0555 << 0644 << false << u"do složky %1 nemáte právo zapisovat"_s;
        QTest::newRow("file without write right")
            << true << 0755 << 0444 << false << u"soubor Velbor.dat je chráněn proti zápisu"_s;
        QTest::newRow("backup into a folder without write right")
            << true << 0555 << 0644 << true
            << u"zálohu Velbor.dat.bak nelze zapsat: do složky %1 nemáte právo zapisovat"_s;
        QTest::newRow("file without read right")
            << false << 0755 << 0200 << false << u"na jeho místě je soubor nebo složka"_s;
        QTest::newRow("folder without search right")
            << false << 0600 << 0644 << false << u"na jeho místě je soubor nebo složka"_s;
    }
    void withoutRights() {
        if (ranAsNobody())
            return;
        QFETCH(bool, loaded);
        QFETCH(int, folderMode);
        QFETCH(int, fileMode);
        QFETCH(bool, backup);
        QFETCH(QString, reason);
        RightsFixture f;
        QVERIFY(writeFile(f.dataFile(), kSample));
        auto takeRights = [&] {
            return setMode(f.dataFile(), fileMode) && setMode(f.dir.path(), folderMode);
        };
        if (!loaded)
            QVERIFY(takeRights());
        startUp(f.ctx);
        QCOMPARE(
            f.prompts.log,
            loaded ? QStringList()
                   : QStringList{u"message(x): Datový soubor %1 nelze přečíst, a proto ho "
                                 u"program nepřepíše.\nOpravte jeho přístupová práva, nebo ho "
                                 u"přesuňte jinam, a program spusťte znovu."_s.arg(f.dataFile())});
        QCOMPARE(f.ctx.catalogue.albums.size(), loaded ? size_t(3) : size_t(0));
        f.ctx.catalogue.albums.push_back(Album{u"Nový"_s, u"Čerstvé"_s, true});
        f.ctx.backupBeforeSave = backup;
        if (loaded)
            QVERIFY(takeRights());

        const QString box = f.save();
        QVERIFY(setMode(f.dir.path(), 0755) && setMode(f.dataFile(), 0644));
        QVERIFY2(box.startsWith(kNotSaved) &&
                     box.contains(QString(reason).replace(u"%1"_s, f.dir.path())) &&
                     box.endsWith(kKept),
                 qPrintable(box));
        // Without the right to make files in the folder, the box says the folder needs it.
        QCOMPARE(box.contains(u"musí být do složky %1 povolen zápis"_s.arg(f.dir.path())),
                 folderMode == 0555);
        QVERIFY(readFile(f.dataFile()) == kSample);
        QVERIFY(!QFile::exists(f.backupFile()));
        QCOMPARE(f.strays(), QStringList());
        if (!loaded) {
            // What could not be read is not saved over, not even once it could be.
            const QString again = f.save();
            QVERIFY2(again.contains(u"na jeho místě je soubor nebo složka"_s), qPrintable(again));
            QVERIFY(readFile(f.dataFile()) == kSample);
            return;
        }
        QCOMPARE(f.save(), kSaved);
        QVERIFY(readFile(f.dataFile())
                    .contains("\"Nov\xFD\",\"\xC8"
                              "erstv\xE9\",#TRUE#\r\n"));
        QCOMPARE(QFile::exists(f.backupFile()), backup);
    }

    // The report, which can always be made again, is written over a writable file in place where
    // the folder lets no new file be made.
    void reportOverAFileInAClosedFolder() {
        if (ranAsNobody())
            return;
        RightsFixture f;
        const QString report = f.dir.filePath(u"mp3.txt"_s);
        QVERIFY(writeFile(report, QByteArray(4096, 'x'))); // longer than the new report
        f.ctx.catalogue.albums = {Album{u"Kapela"_s, u"Živě"_s, false}};
        showAllAlbums(f.ctx);
        f.tree.checkAll();
        FakeFileDialog dialog;
        dialog.paths << report;
        f.ctx.fileDialog = &dialog;
        QVERIFY(setMode(f.dir.path(), 0555));
        exportToFile(f.ctx);
        QVERIFY(setMode(f.dir.path(), 0755));
        QCOMPARE(f.prompts.log, QStringList{kSaved});
        QCOMPARE(readFile(report), reportFileBytes(f.tree, QString(), QString()).value());
        QCOMPARE(f.strays(), QStringList{u"mp3.txt"_s});
    }
};

QTEST_GUILESS_MAIN(TestPermissions)
#include "tst_permissions.moc"
