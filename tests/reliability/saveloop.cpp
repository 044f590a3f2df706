// velbor_saveloop FOLDER: saves the contents of FOLDER/A and FOLDER/B alternately as
// FOLDER/Velbor.dat, the way the program saves, until it is killed. Prints "ready" once both have
// been saved. tst_killedsave kills it at random moments.

#include "catalogue/datafile.h"

#include <QFile>
#include <QString>

#include <cstdio>

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(2);
    }
    return f.readAll();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velbor_saveloop FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + u'/';
    const QByteArray contents[2] = {readFile(folder + u'A'), readFile(folder + u'B')};
    const QString target = folder + QStringLiteral("Velbor.dat");
    for (unsigned long long i = 0;; ++i) {
        QString error;
        if (!writeFileAtomically(target, contents[i % 2], false, &error)) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(error));
            return 1;
        }
        if (i == 1) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
