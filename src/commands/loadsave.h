#pragma once

#include <QString>

struct AppContext;
class StatusBar;

// The catalogue file: catalogueLocation()'s path (Velbor.dat in the program's folder, or the
// user's own one for a system-wide install, or the file given with --catalogue).
QString dataFilePath();
// Where the catalogue goes when the desktop session ends with unsaved edits and no question may
// be asked: beside Velbor.dat, never over it.
QString unsavedCopyPath();

// The database name held by the database-name panel: its text less "Databáze: ".
QString databaseName(const StatusBar& status);
void setDatabaseName(StatusBar& status, const QString& name);

// "V databázi je N MP3 alb.": the number of album entries of the catalogue.
void showAlbumCount(AppContext& ctx);

// The window's start-up: reads Velbor.dat into the catalogue and the database-name panel (telling
// the user what went wrong), sizes the status bar's panels, shows the album count and builds the
// tree of all albums.
void startUp(AppContext& ctx);

// "V databázi je N MP3 alb." for the albums of the catalogue now.
void showAlbumCount(AppContext& ctx);

// "Uložit soubor Velbor.dat".
void saveCatalogue(AppContext& ctx);

// Whether the program may end now. Without unsaved edits it may; with them the user is asked
// whether to save them first: Yes saves (ending only when the save succeeded), No ends without
// saving, Cancel stays.
bool mayQuit(AppContext& ctx);

// The desktop session ends with unsaved edits. Where a question may be asked, as mayQuit();
// where not, the catalogue is written to unsavedCopyPath() and the session may end.
bool mayEndSession(AppContext& ctx, bool mayAsk);
