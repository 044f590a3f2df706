// The scan of a music folder: 20,000 tagged MP3 files in 2,000 album folders, against a catalogue
// of 10,000 albums that holds 500 of them in other letter case. The first scan warms the disk
// cache and is not timed; the next ones are. Prints the time and the peak memory the scan took
// above what the program held before it. Usage: velbor-bench-import [folder] (generated there
// when it holds no files yet, else in a temporary folder).

#include "import/musicscan.h"
#include "music_generator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int albums = 2000;
constexpr int tracksPerAlbum = 10;
constexpr int runs = 5;

// A line of /proc/self/status in KiB (VmRSS, VmHWM).
long statusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Makes VmHWM start again from the present resident size.
void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        std::fprintf(stderr,
                     "cannot reset the peak resident size; the figure includes earlier peaks\n");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TextCompare::setProgramLocale(QStringLiteral("cs_CZ"));
    QTemporaryDir temporary;
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QDir().mkpath(root);
    if (QDir(root).isEmpty()) {
        QElapsedTimer timer;
        timer.start();
        const int files = generateMusicFolder(root, albums, tracksPerAlbum);
        if (files < 0) {
            std::fprintf(stderr, "cannot write the music folder %s\n", qPrintable(root));
            return 1;
        }
        std::printf("generated %d files in %d album folders in %.1f s\n", files, albums,
                    timer.elapsed() / 1000.0);
    }

    std::vector<Album> catalogue;
    for (int i = 0; i < 10000; ++i)
        catalogue.push_back(i < 500 ? Album{generatedArtist(i * 4).toUpper(),
                                            generatedTitle(i * 4).toLower(), false}
                                    : Album{QStringLiteral("Interpret %1").arg(i / 8),
                                            QStringLiteral("Album %1").arg(i), false});

    resetPeak();
    const long before = statusKiB("VmRSS:");
    scanMusicFolder(root, catalogue); // warms the disk cache
    std::vector<double> seconds;
    MusicScan scan;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        scan = scanMusicFolder(root, catalogue, [](int) { return true; });
        seconds.push_back(timer.nsecsElapsed() / 1e9);
    }
    const long peak = statusKiB("VmHWM:");
    const auto inCatalogue = std::count_if(scan.albums.begin(), scan.albums.end(), [](auto& a) {
        return a.status == FoundAlbum::Status::InCatalogue;
    });
    std::sort(seconds.begin(), seconds.end());
    std::printf("scan of %d files: %lld albums (%lld in the catalogue), best %.2f s, median %.2f s "
                "of %d (budget 3 s); peak memory %.1f MB above the %.1f MB held before (budget 100 "
                "MB)\n",
                scan.filesRead, qlonglong(scan.albums.size()), qlonglong(inCatalogue), seconds[0],
                seconds[runs / 2], runs, (peak - before) / 1024.0, before / 1024.0);
    const bool ok = scan.albums.size() == albums && inCatalogue == 500 && seconds[runs / 2] <= 3 &&
                    peak - before < 100 * 1024;
    return ok ? 0 : 1;
}
