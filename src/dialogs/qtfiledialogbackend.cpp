#include "qtfiledialogbackend.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QStringList QtFileDialogBackend::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QChar(u'\0'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' ');
        if (description.isEmpty() && patterns.isEmpty())
            break; // the closing NULs
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        filters << (description.endsWith(shown) || patterns.isEmpty()
                        ? description
                        : (description.isEmpty() ? shown : description + u' ' + shown));
    }
    return filters;
}

bool QtFileDialogBackend::getOpenFileName(OpenFileName& ofn) {
    return run(ofn, false);
}

bool QtFileDialogBackend::getSaveFileName(OpenFileName& ofn) {
    return run(ofn, true);
}

bool QtFileDialogBackend::run(OpenFileName& ofn, bool save) {
    QFileDialog dialog(m_parent);
    dialog.setObjectName(save ? QStringLiteral("saveDialog") : QStringLiteral("openDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(ofn.lpstrTitle);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        dialog.setFileMode(QFileDialog::AnyFile);
    else if (ofn.Flags & OFN_ALLOWMULTISELECT)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else
        dialog.setFileMode((ofn.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(ofn.Flags & OFN_OVERWRITEPROMPT));
    dialog.setDefaultSuffix(ofn.lpstrDefExt);

    const QStringList filters = nameFilters(ofn.lpstrFilter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= filters.size())
            dialog.selectNameFilter(filters[ofn.nFilterIndex - 1]);
    }
    if (!ofn.lpstrInitialDir.isEmpty())
        dialog.setDirectory(ofn.lpstrInitialDir);
    const QString proposed = ofn.lpstrFile.left(ofn.lpstrFile.indexOf(QChar(u'\0')));
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;

    if (chosen.size() == 1) {
        // Qt's dialogs have no fixed buffer: a path longer than nMaxFile is answered whole.
        const QString path = QDir::toNativeSeparators(chosen.front());
        const QString name = QFileInfo(path).fileName();
        ofn.lpstrFile = path;
        ofn.nFileOffset = qint32(path.size() - name.size());
        const qsizetype dot = name.lastIndexOf(u'.');
        ofn.nFileExtension = qint32(dot < 0 ? path.size() : ofn.nFileOffset + dot + 1);
        ofn.lpstrFileTitle = name;
    } else {
        const QString folder = QDir::toNativeSeparators(QFileInfo(chosen.front()).path());
        QString buffer = folder;
        for (const QString& path : chosen) {
            buffer += QChar(u'\0');
            buffer += QFileInfo(path).fileName();
        }
        buffer += QChar(u'\0');
        ofn.lpstrFile = buffer;
        ofn.nFileOffset = qint32(folder.size() + 1);
        ofn.nFileExtension = 0;
        ofn.lpstrFileTitle.clear();
    }
    ofn.nFilterIndex = qint32(filters.indexOf(dialog.selectedNameFilter()) + 1);
    return true;
}
