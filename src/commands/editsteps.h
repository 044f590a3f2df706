#pragma once

#include <QString>
#include <QtGlobal>

struct AppContext;
struct TreeNode;
class QUndoStack;

// The edits of the Editing menu as steps that can be undone and done again. Each function takes
// an edit that has been asked for and checked, and does it: as a step pushed onto ctx.undoStack,
// or at once and for good when there is none. A step keeps names, never nodes: the view may be
// built anew between its doing and its undoing, and it finds its nodes again by their artist's
// name and their own text (and, while the tree has not been rebuilt, by their seq).
namespace steps {

void addAlbum(AppContext& ctx, TreeNode* artist, const QString& title, bool isNew);
void addArtist(AppContext& ctx, const QString& name);
// entry: the catalogue entry the node shows, or -1.
void deleteAlbum(AppContext& ctx, TreeNode* album, qsizetype entry);
void deleteArtist(AppContext& ctx, TreeNode* artist);
void setNewRelease(AppContext& ctx, TreeNode* album, qsizetype entry, bool isNew);
void clearNewReleases(AppContext& ctx);
void setDatabaseName(AppContext& ctx, const QString& name);
void setContactEmail(AppContext& ctx, const QString& email);
void renameAlbum(AppContext& ctx, TreeNode* album, qsizetype entry, const QString& title);
// Every album entry of the artist takes the new name.
void renameArtist(AppContext& ctx, TreeNode* artist, const QString& name);

} // namespace steps

// The window's undo history: ctx.undoStack from now on, the album count shown anew after every
// step done or undone, and ctx.unsavedEdits set as the history moves away from or back to the
// last save.
void attachUndoStack(AppContext& ctx, QUndoStack* stack);
