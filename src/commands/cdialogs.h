#pragma once

#include "ports.h"

#include <QString>

// The file-save dialog behind plain properties: set the properties, call showSave(), read the
// chosen path back. A new object carries the export's settings: "mp3.txt" proposed in the
// catalogue's folder, the text-file filter, the title "Exportovat zaškrtnuté".
class CDialogs {
public:
    // dialog shows the dialog; without one showSave() returns false.
    explicit CDialogs(FileDialog* dialog);

    QString defaultExtension() const { return m_defaultExtension; }
    void setDefaultExtension(const QString& v) { m_defaultExtension = v; }
    // In: the name proposed; out: the chosen path.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString& v) { m_fileName = v; }
    // Out: the chosen file's name without its folder.
    QString fileTitle() const { return m_fileTitle; }
    // The longest proposed name, in characters, that the dialog is opened with.
    qint32 maxFileSize() const { return m_maxFileSize; }
    void setMaxFileSize(qint32 v) { m_maxFileSize = v; }
    // Pairs of description and pattern, all separated by "|": "Textové soubory (*.txt)|*.txt".
    QString filter() const { return m_filter; }
    void setFilter(const QString& v) { m_filter = v; }
    QString initialDirectory() const { return m_initialDirectory; }
    void setInitialDirectory(const QString& v) { m_initialDirectory = v; }
    QString title() const { return m_title; }
    void setTitle(const QString& v) { m_title = v; }

    // True when the user chose a file; false, changing no property, when the user cancelled,
    // there is no dialog or the proposed name is longer than maxFileSize() + 1.
    bool showSave();

    // The filter as the dialog's list: "Textové soubory (*.txt)|*.txt" gives
    // "Textové soubory (*.txt)"; a description that does not show its patterns gets them
    // appended in brackets.
    static QStringList nameFilters(const QString& filter);

private:
    FileDialog* m_dialog;
    QString m_defaultExtension = QStringLiteral("txt");
    QString m_fileName = QStringLiteral("mp3.txt");
    QString m_fileTitle;
    qint32 m_maxFileSize = 260;
    QString m_filter = QStringLiteral("Textové soubory (*.txt)|*.txt");
    QString m_initialDirectory;
    QString m_title = QStringLiteral("Exportovat zaškrtnuté");
};
