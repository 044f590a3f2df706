#pragma once

struct AppContext;
struct TreeNode;

// The tree built anew from the catalogue: every album, or only the new releases. The first artist
// is selected.
void showAllAlbums(AppContext& ctx);   // "Všechno"
void showNewReleases(AppContext& ctx); // "Novinky"
void expandAll(AppContext& ctx);       // "Otevřít vše"

// Check marks: the user ticked or unticked node; ticking an artist ticks its albums.
void nodeChecked(AppContext& ctx, TreeNode* node);
void tickAll(AppContext& ctx);   // "Označit vše"
void untickAll(AppContext& ctx); // "Zrušit označení"
