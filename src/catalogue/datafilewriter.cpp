#include "datafile.h"

#include "programfolder.h"
#include "shown.h"
#include "windows1250.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Appends value between double quotes and a comma after it. Loaded values may hold characters a
// user could not type (a tab, a lone CR); they are written back as they came. False when the
// value cannot be written (see valueProblem()).
bool appendField(QByteArray& out, QStringView value) {
    out += '"';
    const qsizetype start = out.size();
    if (!Windows1250::encodeAppend(value, out))
        return false;
    const QByteArrayView written(out.constData() + start, out.size() - start);
    if (written.contains('"') || written.contains('\n'))
        return false;
    out += "\",";
    return true;
}

void describeProblem(QStringView value, const QString& what, QString* problem) {
    if (problem)
        *problem = what + u' ' + valueProblem(value, false) + u'.';
}

} // namespace

std::optional<QByteArray> formatDataFile(const std::vector<Album>& albums, const QString& owner,
                                         const QString& contactEmail, QString* problem,
                                         const TextCompare& compare) {
    QByteArray out;
    out.reserve(qsizetype(albums.size()) * 72 + 128);
    const QString* checkedArtist = nullptr; // albums of one artist usually share one string
    for (const Album& a : albums) {
        if (!checkedArtist || !checkedArtist->isSharedWith(a.artist)) {
            if (const QString why = artistProblem(a.artist, false, compare); !why.isEmpty()) {
                if (problem)
                    *problem = QStringLiteral("Album „%1 - %2“: položka artist %3.")
                                   .arg(a.artist, a.title, why);
                return std::nullopt;
            }
            checkedArtist = &a.artist;
        }
        if (!appendField(out, a.artist) || !appendField(out, a.title)) {
            const bool artistBad = !valueProblem(a.artist, false).isEmpty();
            describeProblem(artistBad ? a.artist : a.title,
                            QStringLiteral("Album „%1 - %2“").arg(a.artist, a.title), problem);
            return std::nullopt;
        }
        out += a.isNew ? "#TRUE#\r\n" : "#FALSE#\r\n";
    }
    out += "\"#DataOwner\",";
    if (!appendField(out, owner)) {
        describeProblem(owner, QStringLiteral("Název databáze"), problem);
        return std::nullopt;
    }
    out += "#FALSE#\r\n\"#ContactEmail\",";
    if (!appendField(out, contactEmail)) {
        describeProblem(contactEmail, QStringLiteral("Kontaktní email"), problem);
        return std::nullopt;
    }
    out += "#FALSE#\r\n";
    // The file must read back as it was written: text that would make it pass for UTF-8 is not
    // written at all.
    if (looksLikeUtf8(out)) {
        if (problem) {
            // The album whose bytes read as UTF-8 letters (as "Ä›" reads as "ě"), to be mended.
            QString example;
            for (const Album& a : albums) {
                QByteArray line;
                Windows1250::encodeAppend(QString(a.artist + u' ' + a.title), line);
                if (looksLikeUtf8(line)) {
                    example = QStringLiteral(" Týká se to například alba „%1 - %2“.")
                                  .arg(shownText(a.artist, 200), shownText(a.title, 200));
                    break;
                }
            }
            *problem = QStringLiteral("Katalog obsahuje jen takové znaky s diakritikou, že by se "
                                      "soubor při dalším načtení četl jako UTF-8 (například "
                                      "dvojice jako „Ĺľ“ nebo „Ä›“).%1 Opravte tyto názvy.")
                           .arg(example);
        }
        return std::nullopt;
    }
    return out;
}

namespace {

// Writes bytes to an open device in pieces of at most 64 KiB, checking every write.
bool writeAll(QIODevice& device, const QByteArray& bytes) {
    constexpr qsizetype kPiece = 64 * 1024;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n =
            device.write(bytes.constData() + done, std::min(kPiece, bytes.size() - done));
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QString czechReason(const QFileDevice& file) {
    QString why;
    switch (file.error()) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        why = QStringLiteral("soubor nelze vytvořit (složka je chráněna proti zápisu, nebo "
                             "neexistuje)");
        break;
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        why = QStringLiteral("zápis selhal (disk je možná plný)");
        break;
    case QFileDevice::RenameError:
        why = QStringLiteral("nový soubor nelze dát na místo starého");
        break;
    default:
        why = QStringLiteral("soubor nelze zapsat");
        break;
    }
    const QString system = file.error() == QFileDevice::NoError ? QString() : file.errorString();
    if (!system.isEmpty())
        why += QStringLiteral(" [%1]").arg(system);
    return why;
}

// Why the file at path could not be opened for writing: the owner of the file or the folder can
// act on a missing right, so that is named before the system's own words.
QString openFailure(const QString& path, const QFileDevice& file) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    QString why;
    if (info.exists() && !info.isWritable())
        why = QStringLiteral("soubor %1 je chráněn proti zápisu").arg(info.fileName());
    else if (!folder.isDir())
        why = QStringLiteral("složka %1 neexistuje").arg(folder.filePath());
    else if (!folder.isWritable())
        why = QStringLiteral("do složky %1 nemáte právo zapisovat").arg(folder.filePath());
    else
        return czechReason(file);
    return why + QStringLiteral(" [%1]").arg(file.errorString());
}

// Whether the open file is the one at path (written in place) rather than a new one beside it.
bool isFileAt(const QFileDevice& file, const QString& path) {
    struct stat opened, there;
    return ::fstat(file.handle(), &opened) == 0 &&
           ::stat(QFile::encodeName(path).constData(), &there) == 0 &&
           opened.st_dev == there.st_dev && opened.st_ino == there.st_ino;
}

// inPlace, when given, allows writing over the file itself where no new file can be made beside
// it, and tells whether that was done.
bool commit(const QString& path, const QByteArray& bytes, QString* error, bool* inPlace = nullptr) {
    QSaveFile file(path);
    file.setDirectWriteFallback(inPlace != nullptr);
    // Unbuffered: every piece goes to the system as it is written, and a failure is seen there.
    // Through a buffer, the last failing write would come at commit(), which Qt does not check
    // (QTBUG-75077): a full disk would put a cut-off file in the old one's place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = openFailure(path, file);
        return false;
    }
    if (inPlace)
        *inPlace = isFileAt(file, path);
    // The new file takes the old one's owner and group where the process may give them (as root,
    // saving must not leave the catalogue to root); where it may not, it is the process's own.
    struct stat old;
    if (::stat(QFile::encodeName(path).constData(), &old) == 0 && !isFileAt(file, path) &&
        ::fchown(file.handle(), old.st_uid, old.st_gid) != 0 &&
        ::fchown(file.handle(), uid_t(-1), old.st_gid) != 0) {
        // Neither may be given: the file stays the process's own, as any new file would.
    }
    if (!writeAll(file, bytes) || !file.flush()) {
        if (error)
            *error = czechReason(file);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = czechReason(file);
        return false;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, bool keepBackup,
                         QString* error, QString* backupPath) {
    if (keepBackup && QFileInfo::exists(path)) {
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("starý soubor nelze přečíst pro zálohu [%1]")
                             .arg(old.errorString());
            return false;
        }
        const QByteArray previous = old.readAll();
        old.close();
        // An earlier backup is never written over: the first free name is taken, unless a
        // backup holds this very content already (a save that failed after making it).
        QString backup = path + QStringLiteral(".bak");
        bool kept = false;
        for (int n = 1; !kept && mayExist(backup); ++n) {
            QFile earlier(backup);
            kept = earlier.size() == previous.size() && earlier.open(QIODevice::ReadOnly) &&
                   earlier.readAll() == previous;
            if (!kept)
                backup = path + QStringLiteral(".bak.%1").arg(n);
        }
        QString why;
        if (!kept && !commit(backup, previous, &why)) {
            if (error)
                *error = QStringLiteral("zálohu %1 nelze zapsat: %2")
                             .arg(QFileInfo(backup).fileName(), why);
            return false;
        }
        if (backupPath)
            *backupPath = backup;
    }
    return commit(path, bytes, error);
}

bool writeFileOrInPlace(const QString& path, const QByteArray& bytes, bool* inPlace,
                        QString* error) {
    bool direct = false;
    const bool written = commit(path, bytes, error, &direct);
    if (inPlace)
        *inPlace = direct;
    return written;
}
