#include "programfolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace {
QString s_testFolder;
}

QString programFolder() {
    if (!s_testFolder.isEmpty())
        return s_testFolder;
    return QCoreApplication::applicationDirPath();
}

void setProgramFolderForTesting(const QString& folder) {
    s_testFolder = folder;
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
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0)
        return true;
    return errno != ENOENT && errno != ENOTDIR;
}
