#pragma once

#include <QString>

// What a file dialog is asked and what it answers: the fields of the platform's OPENFILENAME
// record that the program fills and reads back. Lists and buffers keep the platform's form: the
// filter is description NUL pattern NUL ... NUL NUL, and a several-file answer is the folder,
// NUL, each name followed by NUL.
struct OpenFileName {
    qint32 lStructSize = 76;
    qint32 hwndOwner = 0;
    QString lpstrFilter;
    qint32 nFilterIndex = 0; // 1-based; in: the filter shown first, out: the one chosen
    // In: the name proposed; out: the chosen path (or folder and names, several files chosen).
    // The dialog has room for nMaxFile characters.
    QString lpstrFile;
    qint32 nMaxFile = 0;
    QString lpstrFileTitle; // out: the chosen name without its folder
    qint32 nMaxFileTitle = 0;
    QString lpstrInitialDir;
    QString lpstrTitle;
    qint32 Flags = 0;
    qint32 nFileOffset = 0;    // out: where the name starts in lpstrFile
    qint32 nFileExtension = 0; // out: where the extension (after the dot) starts in lpstrFile
    QString lpstrDefExt;
    QString lpTemplateName;
};

// Option bits of OpenFileName::Flags.
inline constexpr qint32 OFN_OVERWRITEPROMPT = 0x2;
inline constexpr qint32 OFN_HIDEREADONLY = 0x4;
inline constexpr qint32 OFN_ALLOWMULTISELECT = 0x200;
inline constexpr qint32 OFN_FILEMUSTEXIST = 0x1000;
inline constexpr qint32 OFN_EXPLORER = 0x80000;

// The platform's file dialogs. Each call is modal and returns true when the user chose a file,
// false when the user cancelled or the dialog failed.
class FileDialogBackend {
public:
    virtual ~FileDialogBackend() = default;
    virtual bool getOpenFileName(OpenFileName& ofn) = 0;
    virtual bool getSaveFileName(OpenFileName& ofn) = 0;
};
