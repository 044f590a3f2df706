#pragma once

#include "cataloguetree.h"

struct AppContext;

// A node by names: its artist's text and, for an album, its own text. A step of the undo history
// keeps these, never a pointer: a view built anew ("Všechno", "Novinky") replaces every node. seq
// tells albums of equal text apart while the tree has not been rebuilt since (generation).
struct NodeRef {
    QString artist;
    QString album;
    bool isAlbum = false;
    bool valid = false; // false: no node
    quint32 generation = 0;
    quint32 seq = 0;
};

NodeRef refOf(const CatalogueTree& tree, const TreeNode* node);

// The node is known by its seq: the tree has not been rebuilt since the reference was taken.
bool known(const CatalogueTree& tree, const NodeRef& ref);

// The node the reference names: by seq while it is known, else the first album of that exact
// text under the artist of that name. nullptr when the tree does not show it.
TreeNode* find(const CatalogueTree& tree, const NodeRef& ref);

// The node as it was, for CatalogueTree::restoreNode().
TreeNode shapeOf(const NodeRef& ref, bool bold, bool checked, bool sortsChildren = false);

// Selects node (nullptr: nothing), expanding its artist and scrolling it into view.
void selectAndShow(AppContext& ctx, TreeNode* node);

// Removes node; the tree control then selects what it would: the next sibling, else the one
// before, else the parent.
void removeAndSelectNeighbour(AppContext& ctx, TreeNode* node);

// The view shows an album of that new-release status.
bool shownInView(const AppContext& ctx, bool isNew);

// A catalogue entry besides the one at except (-1: none) stands for artist's album title in the
// current view: a rebuilt tree shows it on the one node of that name.
bool otherEntryShown(const AppContext& ctx, const QString& artist, const QString& title,
                     qsizetype except);

// Gives node (if any) the text; it moves to its sorted place and is selected.
void renameAndSelect(AppContext& ctx, TreeNode* node, const QString& text);
