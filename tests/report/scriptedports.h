#pragma once

// Scripted doubles of the window's ports for the find, report and e-mail tests.

#include "mainwindow/appcontext.h"
#include "mainwindow/cataloguetree.h"
#include "mainwindow/ports.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// Answers input boxes from a script and records every box shown.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString text;
        MessageIcon icon;
        QString title;
    };
    QList<Shown> messages;
    QStringList questions;
    QList<Shown> inputs; // the prompts asked, with their titles
    QStringList answers; // taken in order; an empty text when none is left
    bool yes = true;

    void message(const QString& text, MessageIcon icon, const QString& title = {}) override {
        messages.append({text, icon, title});
    }
    bool askYesNo(const QString& question) override {
        questions.append(question);
        return yes;
    }
    QString input(const QString& prompt, const QString& title = {}) override {
        inputs.append({prompt, MessageIcon::Question, title});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

// Remembers the selection and what was made visible.
class RecordingTreeView : public TreeView {
public:
    TreeNode* selected = nullptr;
    QList<TreeNode*> madeVisible;

    TreeNode* selectedNode() const override { return selected; }
    void selectNode(TreeNode* node) override { selected = node; }
    void expand(TreeNode*) override {}
    void ensureVisible(TreeNode* node) override { madeVisible.append(node); }
    void expandAll() override {}
    void setDrawing(bool) override {}
};

// Two panels of text.
class TextStatusBar : public StatusBar {
public:
    QString panels[2];
    QString text(int panel) const override { return panels[panel == 1 ? 0 : 1]; }
    void setText(int panel, const QString& text) override { panels[panel == 1 ? 0 : 1] = text; }
    int width() const override { return 278; }
    int panelWidth(int) const override { return 100; }
    void setPanelWidth(int, int) override {}
};

// A context over a tree and the doubles above, all owned together.
struct TestContext {
    CatalogueTree tree;
    ScriptedPrompts prompts;
    RecordingTreeView view;
    TextStatusBar status;
    std::unique_ptr<AppContext> ctx;

    TestContext() : ctx(new AppContext{{}, tree, prompts, view, status}) {}
    explicit TestContext(const TextCompare& compare)
        : tree(compare), ctx(new AppContext{{}, tree, prompts, view, status}) {}
};
