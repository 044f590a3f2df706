#pragma once

#include <QString>

// The folder that holds the program, as the platform reports it: no trailing "/" except for the
// root.
QString programFolder();
// Makes programFolder() report another folder (tests).
void setProgramFolderForTesting(const QString& folder);

// Appends one "/" to folder unless it ends with one already.
QString withTrailingSeparator(const QString& folder);

// True when the file at path can be opened for reading. Any failure (missing, a folder or
// anything else that is no regular file, no access) gives false; the file is neither read nor
// changed.
bool isReadableFile(const QString& path);

// False only when there is certainly nothing at path. Where the path cannot be looked at (a
// folder on the way without the search right), something may be there: true.
bool mayExist(const QString& path);
