#pragma once

struct AppContext;

// The commands of the Editing menu. Each patches the tree and the catalogue side by side; a
// change marks the catalogue as having unsaved edits and updates the album count. None rebuilds
// the tree or writes to disk.
void addAlbum(AppContext& ctx);            // "Přidat album..." (Insert)
void toggleAddAsNew(AppContext& ctx);      // "Přidané album bude novinka"
void addArtist(AppContext& ctx);           // "Přidat artist..." (Shift+Insert)
void deleteAlbum(AppContext& ctx);         // "Odstranit album..."
void deleteArtist(AppContext& ctx);        // "Odstranit artist..."
void markNewRelease(AppContext& ctx);      // "Přidat status novinky"
void unmarkNewRelease(AppContext& ctx);    // "Odebrat status novinky"
void clearAllNewReleases(AppContext& ctx); // "Zrušit status všech novinek"
void changeDatabaseName(AppContext& ctx);  // "Změnit název databáze"
void changeContactEmail(AppContext& ctx);  // "Změnit kontaktní email"
void renameSelected(AppContext& ctx);      // "Přejmenovat..." (F6): the selected album or artist
