#pragma once

// Scripted stand-ins for the ports (the screen, the file dialog, the mailer). Header only.

#include "commands/cataloguetree.h"
#include "commands/ports.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <tuple>

// Boxes with scripted answers, logged one line each: "message(x|?|!|i): text", "ask: question"
// (Yes/No), "choose: question" (Yes/No/Cancel), "input: prompt «field text»", then " [title]" if
// given; with no answer left " (unscripted)" and No / Cancel.
class ScriptedPrompts : public Prompts {
public:
    QStringList log;
    QStringList inputs;    // answers to the input boxes, in order
    QList<bool> answers;   // answers to the questions, in order
    QList<Choice> choices; // answers to the Yes/No/Cancel questions, in order

    void message(const QString& text, MessageIcon icon, const QString& title = {}) override {
        log << QStringLiteral("message(%1): ").arg(QChar(u"x?!i"[int(icon)])) + text +
                   titled(title);
    }
    bool askYesNo(const QString& question, Answer = Answer::Yes) override {
        log << QStringLiteral("ask: ") + question + unscripted(answers.isEmpty());
        return !answers.isEmpty() && answers.takeFirst();
    }
    Choice askYesNoCancel(const QString& question) override {
        log << QStringLiteral("choose: ") + question + unscripted(choices.isEmpty());
        return choices.isEmpty() ? Choice::Cancel : choices.takeFirst();
    }
    QString input(const QString& prompt, const QString& title = {},
                  const QString& text = {}) override {
        log << QStringLiteral("input: ") + prompt + titled(title) +
                   (text.isEmpty() ? QString() : QStringLiteral(" «") + text + u'»') +
                   unscripted(inputs.isEmpty());
        return inputs.isEmpty() ? QString() : inputs.takeFirst();
    }

    bool allUsed() const { return inputs.isEmpty() && answers.isEmpty() && choices.isEmpty(); }

private:
    static QString titled(const QString& t) {
        return t.isEmpty() ? t : QStringLiteral(" [") + t + u']';
    }
    static QString unscripted(bool none) {
        return none ? QStringLiteral(" (unscripted)") : QString();
    }
};

// The tree view: a selection and the expanded nodes. Like a real view it drops the selection when
// the selected node is removed (the logic must pick the next one itself).
class FakeTreeView : public TreeView {
public:
    explicit FakeTreeView(CatalogueTree* model) : m_model(model) {
        QObject::connect(
            model, &QAbstractItemModel::rowsAboutToBeRemoved, &m_guard,
            [this](const QModelIndex& parent, int first, int last) {
                for (int row = first; row <= last; ++row) {
                    const TreeNode* gone = CatalogueTree::nodeAt(m_model->index(row, 0, parent));
                    if (gone && selected && (selected == gone || selected->parent == gone))
                        selected = nullptr;
                    expanded.remove(gone);
                }
            });
        QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, &m_guard, [this] {
            selected = nullptr;
            expanded.clear();
        });
    }

    TreeNode* selected = nullptr;
    QSet<const TreeNode*> expanded;

    TreeNode* selectedNode() const override { return selected; }
    void selectNode(TreeNode* node) override { selected = node; }
    void expand(TreeNode* node) override { expanded.insert(node); }
    void ensureVisible(TreeNode* node) override {
        for (const TreeNode* p = node->parent; p; p = p->parent)
            expanded.insert(p);
    }
    void expandAll() override {
        for (const TreeNode* n = m_model->firstAdded(); n; n = n->nextAdded)
            if (!n->children.empty())
                expanded.insert(n);
    }
    void setDrawing(bool) override {}

private:
    CatalogueTree* m_model;
    QObject m_guard; // ends the connections with the view
};

// Two panels with text and width on a bar 278 pixels wide.
class FakeStatusBar : public StatusBar {
public:
    QString texts[2];
    int widths[2] = {96, 120};

    QString text(StatusPanel panel) const override { return texts[int(panel)]; }
    void setText(StatusPanel panel, const QString& text) override { texts[int(panel)] = text; }
    int width() const override { return 278; }
    int panelWidth(StatusPanel panel) const override { return widths[int(panel)]; }
    void setPanelWidth(StatusPanel panel, int width) override { widths[int(panel)] = width; }
};

// A file dialog that records the requests it was given and answers each with the next scripted
// path (folders: the next scripted folder); with none left it answers Cancel.
class FakeFileDialog : public FileDialog {
public:
    QList<SaveRequest> requests;
    QStringList paths;
    QStringList folderRequests; // "title|start folder"
    QStringList folders;

    std::optional<QString> askSavePath(const SaveRequest& request) override {
        requests.append(request);
        return paths.isEmpty() ? std::nullopt : std::optional(paths.takeFirst());
    }
    std::optional<QString> askFolder(const QString& title, const QString& startFolder) override {
        folderRequests.append(title + u'|' + startFolder);
        return folders.isEmpty() ? std::nullopt : std::optional(folders.takeFirst());
    }
};

// A mailer that keeps what it was handed last; answers Handed, the first time firstResult if given.
class RecordingMailer : public Mailer {
public:
    int calls = 0;
    QString name, address, subject, body;
    std::optional<MailResult> firstResult;

    MailResult compose(const QString& n, const QString& a, const QString& s,
                       const QString& b) override {
        std::tie(name, address, subject, body) = std::tie(n, a, s, b);
        return ++calls == 1 && firstResult ? *firstResult : MailResult::Handed;
    }
};

class RecordingClipboard : public Clipboard {
public:
    QString text;
    void setText(const QString& t) override { text = t; }
};
