#pragma once

#include <QString>

struct AppContext;
class StatusBar;

// Velbor.dat in the program's folder.
QString dataFilePath();

// The database name held by the database-name panel: its text less "Databáze: ".
QString databaseName(const StatusBar& status);
void setDatabaseName(StatusBar& status, const QString& name);

// "V databázi je N MP3 alb.": the number of album entries of the catalogue.
void showAlbumCount(AppContext& ctx);

// The window's start-up: reads Velbor.dat into the catalogue and the database-name panel (telling
// the user what went wrong), sizes the status bar's panels, shows the album count and builds the
// tree of all albums.
void startUp(AppContext& ctx);

// "Uložit soubor Velbor.dat".
void saveCatalogue(AppContext& ctx);
