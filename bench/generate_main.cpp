// velbor-generate N FILE: writes a generated catalogue of N albums to FILE.
#include "catalogue_generator.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: velbor-generate ALBUMS FILE\n");
        return 2;
    }
    QFile file(args[2]);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    file.write(generateCatalogue(args[1].toLongLong()));
    return 0;
}
