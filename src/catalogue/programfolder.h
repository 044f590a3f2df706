#pragma once

#include <QString>

// The folder that holds the program, as the platform reports it: no trailing "/" except for the
// root.
QString programFolder();
// Makes programFolder() report another folder (tests).
void setProgramFolderForTesting(const QString& folder);

// Where the catalogue file is.
struct CatalogueLocation {
    QString path;
    // True when the program's folder has no Velbor.dat and cannot take one, so the catalogue is
    // the user's own Velbor.dat in the application data folder (~/.local/share/velbor/): a
    // system-wide install. The file and its folder may not exist yet.
    bool homeDefault = false;
};
// The catalogue chosen by --catalogue (see setCatalogueFile()); else Velbor.dat in the program's
// folder when there is anything of that name or the folder is writable; else Velbor.dat in the
// application data folder (QStandardPaths::AppDataLocation, named after the application).
CatalogueLocation catalogueLocation();
// The folder of catalogueLocation(): it holds the backup and is where reports are offered first.
QString catalogueFolder();
// Makes catalogueLocation() give file (made absolute against the current folder); an empty file
// goes back to the automatic choice.
void setCatalogueFile(const QString& file);

// Appends one "/" to folder unless it ends with one already.
QString withTrailingSeparator(const QString& folder);

// True when the file at path can be opened for reading. Any failure (missing, a folder or
// anything else that is no regular file, no access) gives false; the file is neither read nor
// changed.
bool isReadableFile(const QString& path);

// False only when there is certainly nothing at path. Where the path cannot be looked at (a
// folder on the way without the search right), something may be there: true. A symbolic link to
// nothing counts as nothing: a save creates the file it points to.
bool mayExist(const QString& path);
