#pragma once

#include <QString>

struct AppContext;
struct TreeNode;
class Prompts;
class StatusBar;

inline constexpr int kPanelAlba = 1;          // the album count
inline constexpr int kPanelVlastnik = 2;      // the database name
inline constexpr int kOwnerPrefixLength = 10; // "Databáze: "

QString dataFilePath();

// The database name held by the owner panel: its text less "Databáze: ".
QString databaseName(const StatusBar& status);
void setDatabaseName(StatusBar& status, const QString& name);

// The one Yes/No question of the program.
bool AskYesNo(Prompts& prompts, const QString& question);

// Reads Velbor.dat into the catalogue and the owner panel, telling the user what went wrong.
void LoadDataFile(AppContext& ctx);
// The window's load step: the data file, the status bar panels and the first tree.
void formLoad(AppContext& ctx);

// Rebuilds the tree from the catalogue: every album, or only the new releases.
void ReadAlbums(AppContext& ctx, bool NewsOnly);
void showAllAlbums(AppContext& ctx);   // "Všechno"
void showNewReleases(AppContext& ctx); // "Novinky"
void expandAll(AppContext& ctx);       // "Otevřít vše"

// Check marks: the user ticked or unticked node; ticking an artist ticks its albums.
void nodeChecked(AppContext& ctx, TreeNode* node);
void selectAll(AppContext& ctx); // "Označit vše"

// "Uložit soubor Velbor.dat".
void saveDataFile(AppContext& ctx);

// The window's own keys, seen before the focused control (which still gets them).
enum class KeyCommand { None, ShowEditing, AddArtist, AddAlbum };
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;
inline constexpr int kKeyInsert = 45;
inline constexpr int kKeyF11 = 122;
KeyCommand windowKeyCommand(const AppContext& ctx, int keyCode, int shiftState);

// Characters typed in the tree: Enter and Space are discarded, Esc ends the program.
enum class TreeCharAction { Pass, Discard, Quit };
TreeCharAction treeKeyChar(int character);
