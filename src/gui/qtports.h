#pragma once

#include "commands/ports.h"

#include <QPointer>

class QLabel;
class QTreeView;
class QWidget;
class CatalogueTree;

// Message and input boxes over QMessageBox and QInputDialog.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent) : m_parent(parent) {}
    void message(const QString& text, MessageIcon icon, const QString& title = {}) override;
    bool askYesNo(const QString& question, Answer preset = Answer::Yes) override;
    Choice askYesNoCancel(const QString& question) override;
    QString input(const QString& prompt, const QString& title = {},
                  const QString& text = {}) override;

private:
    QPointer<QWidget> m_parent;
};

class QtTreeView : public TreeView {
public:
    QtTreeView(QTreeView* view, CatalogueTree* model) : m_view(view), m_model(model) {}
    TreeNode* selectedNode() const override;
    void selectNode(TreeNode* node) override;
    void expand(TreeNode* node) override;
    void ensureVisible(TreeNode* node) override;
    void expandAll() override;
    void setDrawing(bool on) override;

private:
    QTreeView* m_view;
    CatalogueTree* m_model;
};

// The status bar: two panels side by side in bar, from its left edge, with nothing between them
// or around them, so that they fill the bar when their widths add up to its width. Each panel
// shows its whole text as its tooltip. Widths are in pixels.
class QtStatusBar : public StatusBar {
public:
    QtStatusBar(QWidget* bar, int designWidth);
    QString text(StatusPanel panel) const override;
    void setText(StatusPanel panel, const QString& text) override;
    int width() const override;
    int panelWidth(StatusPanel panel) const override;
    void setPanelWidth(StatusPanel panel, int width) override;
    QLabel* panel(StatusPanel panel) const;

private:
    QWidget* m_bar;
    QLabel* m_panels[2];
    QString m_texts[2]; // whole: the database name lives here
    int m_designWidth;
};

class QtClipboard : public Clipboard {
public:
    void setText(const QString& text) override;
};

inline const QString kApplicationTitle = QStringLiteral("Velbor");
