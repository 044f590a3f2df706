#pragma once

// Scripted doubles of the window's ports for the find, report and e-mail tests.

#include "dialogs/filedialogbackend.h"
#include "mainwindow/appcontext.h"
#include "mainwindow/cataloguetree.h"
#include "mainwindow/ports.h"
#include "report/mapivb32.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

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

// A file dialog that records what it was asked and answers with a script: answer() fills in the
// chosen file, or returns false for Cancel.
class FakeFileDialogs : public FileDialogBackend {
public:
    QList<OpenFileName> opened; // the records of every call
    QList<bool> saves;          // which call was the save dialog
    std::function<bool(OpenFileName&)> answer = [](OpenFileName&) { return false; };

    bool getOpenFileName(OpenFileName& ofn) override { return record(ofn, false); }
    bool getSaveFileName(OpenFileName& ofn) override { return record(ofn, true); }

    // An answer choosing path, as a platform dialog gives it.
    static std::function<bool(OpenFileName&)> choose(const QString& path) {
        return [path](OpenFileName& ofn) {
            ofn.lpstrFile = path;
            const qsizetype slash = path.lastIndexOf(u'/');
            ofn.nFileOffset = qint32(slash + 1);
            ofn.lpstrFileTitle = path.mid(slash + 1);
            const qsizetype dot = path.lastIndexOf(u'.');
            ofn.nFileExtension = qint32(dot > slash ? dot + 1 : path.size());
            return true;
        };
    }

private:
    bool record(OpenFileName& ofn, bool save) {
        opened.append(ofn);
        saves.append(save);
        return answer(ofn);
    }
};

// A mail interface that keeps what it was handed.
class RecordingMailer : public Mailer {
public:
    int calls = 0;
    qint32 session = -1, uiParam = -1, flags = -1, reserved = -1;
    MapiMessage message;
    std::vector<MapiRecip> recips;
    std::vector<MapiFile> files;
    qint32 result = SUCCESS_SUCCESS;

    qint32 BMAPISendMail(qint32 s, qint32 ui, const MapiMessage& m, std::span<const MapiRecip> r,
                         std::span<const MapiFile> f, qint32 fl, qint32 res) override {
        ++calls;
        session = s;
        uiParam = ui;
        message = m;
        recips.assign(r.begin(), r.end());
        files.assign(f.begin(), f.end());
        flags = fl;
        reserved = res;
        return result;
    }
};
