#pragma once

#include <QString>

struct AppContext;
struct MusicScan;

// "Přidat alba ze složky..." (Ctrl+I): asks for a folder, reads it on a worker thread while the
// progress box shows, lists the albums found and adds the ticked ones to the end of the catalogue
// and into the tree, as one step of the undo history.
void importFolder(AppContext& ctx);

// The summary line under the albums found: the files read, and the files skipped and why.
QString scanSummary(const MusicScan& scan);
