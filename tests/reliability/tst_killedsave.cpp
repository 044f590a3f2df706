// A save killed at any moment leaves Velbor.dat whole: the old content or the new one, never a
// mixture or a cut-off file. A child process saves two catalogues alternately; it is killed
// (SIGKILL) at random moments and the file is checked after each kill.

#include "folderfixture.h"

#include <QRandomGenerator>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace reliability;

class TestKilledSave : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedWhileSaving() {
        QTemporaryDir dir;
        const QString dataFile = dir.filePath(u"Velbor.dat"_s);
        // Different sizes: a file cut off or mixed from both is told from either.
        const QByteArray a = catalogueBytes(12000, u"A"_s);
        const QByteArray b = catalogueBytes(7000, u"B"_s);
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        int sawA = 0, sawB = 0;
        for (int kill = 1; kill <= 200; ++kill) {
            int ready[2];
            QCOMPARE(::pipe(ready), 0);
            const pid_t saver = ::fork();
            if (saver == 0) { // saves until killed; says so once both have been saved
                ::close(ready[0]);
                for (unsigned long long i = 0;; ++i) {
                    if (!writeFileAtomically(dataFile, i % 2 ? b : a, false, nullptr))
                        ::_exit(1);
                    if (i == 1 && ::write(ready[1], "r", 1) != 1)
                        ::_exit(1);
                }
            }
            QVERIFY(saver > 0);
            ::close(ready[1]);
            char c = 0;
            const bool started = ::read(ready[0], &c, 1) == 1;
            ::close(ready[0]);
            if (started) // up to a few saves' time, so the kill falls anywhere in one
                ::usleep(random.bounded(30000));
            ::kill(saver, SIGKILL);
            int status = 0;
            QCOMPARE(::waitpid(saver, &status, 0), saver);
            QVERIFY2(started && WIFSIGNALED(status), "the saver failed before it was killed");

            const QByteArray now = readFile(dataFile);
            QVERIFY2(
                now == a || now == b,
                qPrintable(u"kill %1 (seed %2): Velbor.dat has %3 bytes"_s.arg(kill).arg(seed).arg(
                    now.size())));
            (now == a ? sawA : sawB)++;
        }
        // A kill between naming the new file and moving it into place leaves it beside
        // Velbor.dat, whole; later saves neither use nor remove it.
        QStringList strays = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        strays.removeAll(u"Velbor.dat"_s);
        for (const QString& stray : std::as_const(strays))
            QVERIFY2(readFile(dir.filePath(stray)) == a || readFile(dir.filePath(stray)) == b,
                     qPrintable(stray));
        QVERIFY(sawA > 0 && sawB > 0); // the kills fell on both saves
    }
};

QTEST_GUILESS_MAIN(TestKilledSave)
#include "tst_killedsave.moc"
