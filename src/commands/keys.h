#pragma once

#include <Qt>

struct AppContext;

// The window's own keys, seen before the focused control (which still gets them).
enum class KeyCommand { None, ShowEditing, AddArtist, AddAlbum };
KeyCommand windowKeyCommand(const AppContext& ctx, int key, Qt::KeyboardModifiers modifiers);

// Keys typed in the tree: Enter and Space are discarded, Esc ends the program.
enum class TreeKeyAction { Pass, Discard, Quit };
TreeKeyAction treeKeyAction(int key);
