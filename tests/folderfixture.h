#pragma once

// The window context over the test doubles (fixture.h) with a program folder of its own, and small
// file helpers for the reliability tests. Header only.

#include "fixture.h"

#include "catalogue/datafile.h"
#include "catalogue/programfolder.h"
#include "commands/loadsave.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

struct FolderFixture : Fixture {
    QTemporaryDir dir;

    FolderFixture() { setProgramFolderForTesting(dir.path()); }
    ~FolderFixture() { setProgramFolderForTesting(QString()); }
    QString dataFile() const { return dir.filePath(QStringLiteral("Velbor.dat")); }
    QString backupFile() const { return dataFile() + QStringLiteral(".bak"); }

    // "Uložit soubor Velbor.dat" answered Yes; returns the box it ended with.
    QString save() {
        prompts.answers = {true};
        const qsizetype before = prompts.log.size();
        saveCatalogue(ctx);
        return prompts.log.size() > before + 1 ? prompts.log.last() : QString();
    }
    // What the folder holds besides the data file and its backup (stray temporary files).
    QStringList strays() const {
        QStringList names =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        names.removeAll(QStringLiteral("Velbor.dat"));
        names.removeAll(QStringLiteral("Velbor.dat.bak"));
        return names;
    }
};

namespace reliability {

inline const QString kSaved = QStringLiteral("message(i): Hotovo.");
inline const QString kNotSaved =
    QStringLiteral("message(x): Soubor Velbor.dat se nepodařilo uložit: ");
inline const QString kKept = QStringLiteral("Původní soubor zůstal beze změny.");

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

// A catalogue of count albums with Czech names, as the data file holds it.
inline QByteArray catalogueBytes(int count, const QString& owner = QStringLiteral("Sbírka")) {
    std::vector<Album> albums;
    for (int i = 0; i < count; ++i)
        albums.push_back(Album{QStringLiteral("Žluťoučký kůň %1").arg(i / 10),
                               QStringLiteral("Úpěl ďábelské ódy, díl %1").arg(i), i % 3 == 0});
    return formatDataFile(albums, owner, QStringLiteral("kun@example.cz")).value();
}

} // namespace reliability
