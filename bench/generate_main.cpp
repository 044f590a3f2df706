// velbor-generate N PER_ARTIST FILE: writes a generated catalogue of N albums, PER_ARTIST albums
// an artist, to FILE.
#include "catalogue_generator.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: velbor-generate ALBUMS PER_ARTIST FILE\n");
        return 2;
    }
    QFile file(args[3]);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    file.write(generateCatalogue(args[1].toLongLong(), args[2].toInt()));
    return 0;
}
