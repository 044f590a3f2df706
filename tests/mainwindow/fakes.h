#pragma once

#include "mainwindow/cataloguetree.h"
#include "mainwindow/ports.h"

#include <QStringList>

#include <deque>

// Scripted boxes: answers are taken from queues, every box shown is recorded.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString kind; // "message", "question", "input"
        QString text;
        MessageIcon icon = MessageIcon::Information;
        QString title;
    };
    std::deque<bool> yesNo;
    std::deque<QString> inputs;
    QList<Shown> shown;

    void message(const QString& text, MessageIcon icon, const QString& title) override {
        shown.append({QStringLiteral("message"), text, icon, title});
    }
    bool askYesNo(const QString& question) override {
        shown.append({QStringLiteral("question"), question, MessageIcon::Question, {}});
        if (yesNo.empty())
            return false;
        const bool answer = yesNo.front();
        yesNo.pop_front();
        return answer;
    }
    QString input(const QString& prompt, const QString& title) override {
        shown.append({QStringLiteral("input"), prompt, MessageIcon::Question, title});
        if (inputs.empty())
            return {};
        QString answer = inputs.front();
        inputs.pop_front();
        return answer;
    }
    QStringList texts() const {
        QStringList out;
        for (const Shown& s : shown)
            out << s.text;
        return out;
    }
};

class FakeTreeView : public TreeView {
public:
    TreeNode* selected = nullptr;
    QList<TreeNode*> expanded;
    QList<TreeNode*> madeVisible;
    int expandAllCalls = 0;
    bool drawing = true;

    TreeNode* selectedNode() const override { return selected; }
    void selectNode(TreeNode* node) override { selected = node; }
    void expand(TreeNode* node) override { expanded.append(node); }
    void ensureVisible(TreeNode* node) override { madeVisible.append(node); }
    void expandAll() override { ++expandAllCalls; }
    void setDrawing(bool on) override { drawing = on; }
};

class FakeStatusBar : public StatusBar {
public:
    QString panels[2];
    int widths[2] = {96, 120};
    int barWidth = 278;

    QString text(int panel) const override { return panels[panel - 1]; }
    void setText(int panel, const QString& text) override { panels[panel - 1] = text; }
    int width() const override { return barWidth; }
    int panelWidth(int panel) const override { return widths[panel - 1]; }
    void setPanelWidth(int panel, int width) override { widths[panel - 1] = width; }
};

// The tree as text: artists with their albums in display order, "*" before bold albums and
// "[x]" before ticked nodes; "Artist(Album1,*Album2)".
inline QString treeText(const CatalogueTree& tree) {
    QStringList artists;
    for (const TreeNode* a : tree.artists()) {
        QStringList albums;
        for (const TreeNode* c : a->children)
            albums << (c->checked ? QStringLiteral("[x]") : QString()) +
                          (c->bold ? QStringLiteral("*") : QString()) + c->text;
        artists << (a->checked ? QStringLiteral("[x]") : QString()) + a->text + u'(' +
                       albums.join(u',') + u')';
    }
    return artists.join(u' ');
}

// The node collection in order of addition, as texts.
inline QStringList additionOrder(const CatalogueTree& tree) {
    QStringList out;
    for (const TreeNode* n = tree.firstAdded(); n; n = n->nextAdded)
        out << n->text;
    return out;
}
