// A save killed at any moment leaves Velbor.dat whole: the old content or the new one, never a
// mixture or a cut-off file. A helper saves two catalogues alternately; it is killed (SIGKILL) at
// random moments and the file is checked after each kill.

#include "folderfixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

using namespace Qt::StringLiterals;
using namespace reliability;

class TestKilledSave : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedWhileSaving() {
        constexpr int kKills = 200;
        QTemporaryDir dir;
        // Different sizes: a file cut off or mixed from both is told from either.
        const QByteArray a = catalogueBytes(12000, u"A"_s);
        const QByteArray b = catalogueBytes(7000, u"B"_s);
        QVERIFY(writeFile(dir.filePath(u"A"_s), a));
        QVERIFY(writeFile(dir.filePath(u"B"_s), b));
        const QString dataFile = dir.filePath(u"Velbor.dat"_s);

        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        int sawA = 0, sawB = 0;
        for (int kill = 1; kill <= kKills; ++kill) {
            QProcess saver;
            saver.start(QStringLiteral(VELBOR_SAVELOOP), {dir.path()});
            QVERIFY2(saver.waitForStarted(), qPrintable(saver.errorString()));
            while (!saver.canReadLine() && saver.waitForReadyRead(10000)) {
            }
            QVERIFY2(saver.readLine() == "ready\n", saver.readAllStandardError().constData());
            // Up to a few saves' time, so the kill falls anywhere in one.
            QThread::usleep(random.bounded(30000));
            saver.kill();
            QVERIFY(saver.waitForFinished(10000));
            QVERIFY2(saver.exitStatus() == QProcess::CrashExit,
                     saver.readAllStandardError().constData()); // killed, not ended by itself

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
        for (const QString& known : {u"A"_s, u"B"_s, u"Velbor.dat"_s})
            strays.removeAll(known);
        for (const QString& stray : std::as_const(strays)) {
            const QByteArray left = readFile(dir.filePath(stray));
            QVERIFY2(left == a || left == b, qPrintable(stray));
        }
        qInfo("%d kills, Velbor.dat whole after each (%d times the one, %d times the other); "
              "temporary files left behind: %lld %s",
              kKills, sawA, sawB, qlonglong(strays.size()), qPrintable(strays.join(u' ')));
        QVERIFY(sawA > 0 && sawB > 0); // the kills fell on both saves
    }
};

QTEST_GUILESS_MAIN(TestKilledSave)
#include "tst_killedsave.moc"
