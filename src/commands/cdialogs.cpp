#include "cdialogs.h"

#include "catalogue/programfolder.h"

#include <QFileInfo>

CDialogs::CDialogs(FileDialog* dialog) : m_dialog(dialog), m_initialDirectory(catalogueFolder()) {}

QStringList CDialogs::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' ');
        if (description.isEmpty() && patterns.isEmpty())
            break;
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        filters << (description.endsWith(shown) || patterns.isEmpty()
                        ? description
                        : (description.isEmpty() ? shown : description + u' ' + shown));
    }
    return filters;
}

bool CDialogs::showSave() {
    if (!m_dialog || m_fileName.size() > qint64(m_maxFileSize) + 1)
        return false;
    const std::optional<QString> path = m_dialog->askSavePath(
        {m_title, m_initialDirectory, m_fileName, nameFilters(m_filter), m_defaultExtension});
    if (!path)
        return false;
    m_fileName = *path;
    m_fileTitle = QFileInfo(*path).fileName();
    m_initialDirectory = QFileInfo(*path).path();
    return true;
}
