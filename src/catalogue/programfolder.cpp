#include "programfolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString s_testFolder;
QString s_catalogueFile;
} // namespace

QString programFolder() {
    if (!s_testFolder.isEmpty())
        return s_testFolder;
    return QCoreApplication::applicationDirPath();
}

void setProgramFolderForTesting(const QString& folder) {
    s_testFolder = folder;
}

CatalogueLocation catalogueLocation() {
    if (!s_catalogueFile.isEmpty())
        return {s_catalogueFile, false};
    const QString folder = programFolder();
    const QString beside = withTrailingSeparator(folder) + QStringLiteral("Velbor.dat");
    // access() rather than the permission bits: a read-only file system counts as closed, and
    // root may write anywhere else.
    if (mayExist(beside) || ::access(QFile::encodeName(folder).constData(), W_OK) == 0)
        return {beside, false};
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        return {beside, false};
    return {withTrailingSeparator(data) + QStringLiteral("Velbor.dat"), true};
}

QString catalogueFolder() {
    return QFileInfo(catalogueLocation().path).absolutePath();
}

void setCatalogueFile(const QString& file) {
    s_catalogueFile = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
}

QString withTrailingSeparator(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

bool isReadableFile(const QString& path) {
    // A regular file only: opening a named pipe would wait for a writer forever, and a device
    // never ends.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.close();
    return true;
}

bool mayExist(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) == 0) {
        // A link to nothing is no file: saving creates the file it points to.
        if (S_ISLNK(st.st_mode) && ::stat(name.constData(), &st) != 0 && errno == ENOENT)
            return false;
        return true;
    }
    return errno != ENOENT && errno != ENOTDIR;
}
