#pragma once

#include "filedialogbackend.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <span>

// The file dialogs behind plain properties: set the properties, call a show function, read the
// results back. A new object carries the export's settings: "mp3.txt" proposed in the program's
// folder, the text-file filter, the title "Exportovat zaškrtnuté". The font and colour settings
// are only stored; no dialog uses them.
class CDialogs {
public:
    // backend shows the dialogs; without one every show function returns false.
    explicit CDialogs(FileDialogBackend* backend);

    qint32 Flags() const { return m_Flags; }
    void setFlags(qint32 v) { m_Flags = v; }
    qint32 hwnd() const { return m_hwnd; }
    void setHwnd(qint32 v) { m_hwnd = v; }
    QString DefaultExtension() const { return m_DefaultExtension; }
    void setDefaultExtension(const QString& v) { m_DefaultExtension = v; }
    // In: the name proposed; out: the chosen path. After ShowMultiOpen with several files: the
    // folder, NUL, and the names separated by NUL.
    QString File() const { return m_File; }
    void setFile(const QString& v) { m_File = v; }
    // Out, ShowMultiOpen only: the chosen names without their folder.
    QStringList Files() const { return m_Files; }
    QString FileTitle() const { return m_FileTitle; }
    void setFileTitle(const QString& v) { m_FileTitle = v; }
    qint32 MaxFileSize() const { return m_MaxFileSize; }
    void setMaxFileSize(qint32 v) { m_MaxFileSize = v; }
    // Pairs of description and pattern separated by "|"; kept NUL-separated, as the platform
    // wants it.
    QString Filter() const;
    void setFilter(const QString& v);
    QString InitialDirectory() const { return m_InitialDirectory; }
    void setInitialDirectory(const QString& v) { m_InitialDirectory = v; }
    QString Title() const { return m_Title; }
    void setTitle(const QString& v) { m_Title = v; }
    qint32 FileNameOffset() const { return m_FileNameOffset; }
    qint32 FileExtensionOffset() const { return m_FileExtensionOffset; }
    qint32 FilterIndex() const { return m_FilterIndex; }
    void setFilterIndex(qint32 v) { m_FilterIndex = v; }

    qint32 FontFlags() const { return m_FontFlags; }
    void setFontFlags(qint32 v) { m_FontFlags = v; }
    qint32 FontSizeMin() const { return m_FontSizeMin; }
    void setFontSizeMin(qint32 v) { m_FontSizeMin = v; }
    qint32 FontSizeMax() const { return m_FontSizeMax; }
    void setFontSizeMax(qint32 v) { m_FontSizeMax = v; }
    qint32 FontColor() const { return 0; }
    // Created on the first read; the same object afterwards.
    QFont& Font();
    qint32 ColorFlags() const { return m_ColorFlags; }
    void setColorFlags(qint32 v) { m_ColorFlags = v; }
    qint32 Color() const { return m_Color; }
    void setColor(qint32 v) { m_Color = v; }
    const std::array<qint32, 16>& ColorUserDefined() const { return m_ColorUserDefined; }
    // Takes exactly 16 colours; a list of any other length is ignored.
    void setColorUserDefined(std::span<const qint32> colours);

    // Each returns true when the user chose a file; false, changing no property, when the user
    // cancelled, the dialog failed or File or FileTitle is longer than MaxFileSize + 1.
    bool ShowOpen();
    bool ShowSave();
    bool ShowMultiOpen();

private:
    enum class Kind { Open, Save, MultiOpen };
    bool show(Kind kind);

    FileDialogBackend* m_backend;
    qint32 m_Flags = OFN_HIDEREADONLY;
    qint32 m_hwnd = 0;
    QString m_DefaultExtension = QStringLiteral("txt");
    QString m_File = QStringLiteral("mp3.txt");
    QStringList m_Files;
    QString m_FileTitle;
    qint32 m_MaxFileSize = 260;
    QString m_Filter;
    QString m_InitialDirectory;
    QString m_Title = QStringLiteral("Exportovat zaškrtnuté");
    qint32 m_FileNameOffset = 0;
    qint32 m_FileExtensionOffset = 0;
    qint32 m_FilterIndex = 1;
    qint32 m_FontFlags = 0;
    qint32 m_FontSizeMin = 0;
    qint32 m_FontSizeMax = 0;
    std::optional<QFont> m_Font;
    qint32 m_ColorFlags = 0;
    qint32 m_Color = 0;
    std::array<qint32, 16> m_ColorUserDefined{};
};
