#pragma once

#include "album.h"
#include "textcompare.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

// What the data file Velbor.dat holds. One line per record, three fields separated by commas:
//   "Artist","Album",#TRUE#          an album (#TRUE# marks a new release, #FALSE# the others)
//   "#DataOwner","name",#FALSE#      the database name
//   "#ContactEmail","address",#FALSE#
// The kind of a line is decided by its first field, compared as the program compares names
// (letter case ignored). Lines of every kind may come in any order; the last name and address win.
struct DataFileContent {
    std::vector<Album> albums;
    std::optional<QString> owner; // the database name, when the file names one
    QString contactEmail;
    // 1-based numbers of the lines that do not follow the format; they were left out.
    QList<qsizetype> skippedLines;
    // The file was UTF-8 (re-saved by another program) rather than Windows-1250.
    bool utf8 = false;
};

DataFileContent parseDataFile(QByteArrayView bytes,
                              const TextCompare& compare = TextCompare::program());

// The whole file content in the format above: album lines in catalogue order, then the
// "#DataOwner" and "#ContactEmail" lines, Windows-1250, CR LF after every line. Fails, naming the
// value in problem, when a value cannot be written (see valueProblem()).
std::optional<QByteArray> formatDataFile(const std::vector<Album>& albums, const QString& owner,
                                         const QString& contactEmail, QString* problem = nullptr,
                                         const TextCompare& compare = TextCompare::program());

// Why value cannot be carried by the data file (a double quote, a line break, a character that
// Windows-1250 has no byte for), in Czech; empty when it can. With typed set, control characters
// are refused as well: a name the user types must not hold them.
QString valueProblem(QStringView value, bool typed);

// Why artist cannot stand as the artist of an album line: what valueProblem() says, or that it is
// one of the words that make a line the database name or contact e-mail line (compared as the
// loader compares them), so the album would read back as that line and be gone. Empty when it
// can.
QString artistProblem(QStringView artist, bool typed,
                      const TextCompare& compare = TextCompare::program());

// Valid UTF-8 that holds at least one letter with a diacritic (U+00C0 to U+017F), as any Czech
// text re-saved as UTF-8 does. Windows-1250 text almost never passes: its accented small letters
// are UTF-8 lead bytes that would need continuation bytes after them, and the letters' UTF-8 forms
// read in Windows-1250 as pairs such as "Ĺľ" or "Ä›" that no real name holds.
bool looksLikeUtf8(QByteArrayView bytes);

// What tells one content of a file from another: its size, its time of change and a hash of its
// bytes. Equal stamps: the file is the one that was read or written.
struct FileStamp {
    qint64 size = -1;
    qint64 modified = 0; // ms since the epoch
    size_t hash = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(QByteArrayView bytes, qint64 modified);
// The stamp of the file at path now (size -1 when there is none). Its bytes are read and hashed
// only when size or time differ from known.
FileStamp currentStamp(const QString& path, const FileStamp& known);

// The largest data file that is loaded: 512 MiB (some ten million albums, ten times the largest
// catalogue measured), or an eighth of the machine's memory where that is less. Loading takes
// some five times the file's size in memory.
qint64 maxDataFileBytes();

struct LoadResult {
    bool opened = false;   // false: no readable file at the path
    bool tooLarge = false; // the file is larger than maxDataFileBytes(): not read
    qint64 size = 0;
    FileStamp stamp;
    DataFileContent content;
};
LoadResult loadDataFile(const QString& path, const TextCompare& compare = TextCompare::program());

// Replaces the file at path by bytes, all or nothing: the new content is written beside it and
// takes its place only when it has been written whole; the new file keeps the old one's owner and
// group where the system allows. With keepBackup the old file is kept first, under the first free
// name of path + ".bak", ".bak.1", ".bak.2"...: a backup is never written over; backupPath (if
// given) receives its name. On failure returns false, leaves the old file as it was and puts the
// reason in Czech into error.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, bool keepBackup,
                         QString* error, QString* backupPath = nullptr);

// As writeFileAtomically() without a backup, for a file that can always be made again: where the
// folder lets no new file be made beside an existing, writable one, that file is written over in
// place. inPlace tells whether it was; a failure in place may leave the file cut off.
bool writeFileOrInPlace(const QString& path, const QByteArray& bytes, bool* inPlace,
                        QString* error);
