#pragma once

#include <QString>

struct TreeNode;

// What the window logic asks of the screen. Each port has a Qt implementation (qtports.h) and a
// scripted double in the tests.

enum class MessageIcon { Critical, Question, Exclamation, Information };

// The program's message and input boxes. Every box is titled "Velbor" unless a title is given.
class Prompts {
public:
    virtual ~Prompts() = default;
    // A box with an OK button.
    virtual void message(const QString& text, MessageIcon icon, const QString& title = {}) = 0;
    // The one Yes/No question of the program: question icon, Yes the default; true only for Yes.
    virtual bool askYesNo(const QString& question) = 0;
    // An input box with an empty field. Cancel gives the empty text, as OK on an empty field does.
    virtual QString input(const QString& prompt, const QString& title = {}) = 0;
};

// What the logic asks of the tree view; the nodes themselves live in CatalogueTree.
class TreeView {
public:
    virtual ~TreeView() = default;
    virtual TreeNode* selectedNode() const = 0;
    virtual void selectNode(TreeNode* node) = 0;
    virtual void expand(TreeNode* node) = 0;
    // Expands every ancestor of node and scrolls it into view.
    virtual void ensureVisible(TreeNode* node) = 0;
    // Expands every node that has children.
    virtual void expandAll() = 0;
    // No drawing between false and true; around bulk work.
    virtual void setDrawing(bool on) = 0;
};

// The status bar: panel 1 ("Alba") holds the album count, panel 2 ("Vlastnik") the database
// name. Panel 2 is the one holder of the database name.
class StatusBar {
public:
    virtual ~StatusBar() = default;
    virtual QString text(int panel) const = 0;
    virtual void setText(int panel, const QString& text) = 0;
    virtual int width() const = 0;
    virtual int panelWidth(int panel) const = 0;
    virtual void setPanelWidth(int panel, int width) = 0;
};
