#pragma once

#include "catalogue/catalogue.h"
#include "catalogue/datafile.h"

#include <QString>

class CatalogueTree;
class Prompts;
class TreeView;
class StatusBar;
class FileDialog;
class Mailer;
class Clipboard;
class ImportDialogs;
class QUndoStack;

// Everything a command of the main window works on: the catalogue, the tree, the ports to the
// screen and the state of the menus. The window fills it once; tests build it with doubles.
struct AppContext {
    Catalogue catalogue;
    CatalogueTree& tree;
    Prompts& prompts;
    TreeView& view;
    StatusBar& status;
    FileDialog* fileDialog = nullptr;
    Mailer* mailer = nullptr;
    Clipboard* clipboard = nullptr;
    ImportDialogs* importDialogs = nullptr;
    // The edits that can be undone, in order (editsteps.h); without one, edits are final.
    QUndoStack* undoStack = nullptr;

    // The main window's caption (the find prompt is titled with it).
    QString caption = QStringLiteral("MP3 Velbor");

    // Menu state: the current view ("Novinky" checked), the Editing menu shown, and
    // "Přidané album bude novinka" checked.
    bool newReleasesOnly = false;
    bool editingVisible = false;
    bool addAsNew = true;

    // The loaded data file had lines that could not be kept, or was not Windows-1250: the next
    // save keeps the old file as Velbor.dat.bak.
    bool backupBeforeSave = false;
    // The catalogue has edits that no save has written yet (ticks are no edits).
    bool unsavedEdits = false;
    // Something stands at the data file's place that could not be read: saving would destroy it.
    bool dataFileUnreadable = false;
    // The data file as it was read or last written: a save first checks that no other program
    // has written it since.
    FileStamp fileStamp = {};

    // "Najít další": the last pattern looked for, and the seq of its last match in the tree of
    // that generation (-1: start from the first node).
    QString findPattern = {};
    quint32 findGeneration = 0;
    qint64 findAfterSeq = -1;

    // The folder the last "Přidat alba ze složky..." read (the next one starts there).
    QString importFolder = {};
};
