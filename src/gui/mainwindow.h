#pragma once

#include "commands/cataloguetree.h"
#include "commands/context.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QSessionManager;
class QTreeView;
class QtClipboard;
class QtPrompts;
class QtTreeView;
class QtStatusBar;
class Shell;
class QtFileDialog;
class QtImportDialogs;
class DesktopMailer;
class DesktopOpener;
class QUndoStack;

// The program's only working window: the catalogue tree above a status bar of two panels, and
// the menu bar. It maps menus and keys to the commands and holds nothing of its own.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // prompts, when given, replaces the real message and input boxes (tests).
    explicit MainWindow(Prompts* prompts = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load step: reads the data file and fills the status bar and the tree. Once, before
    // the window is shown.
    void load();

    AppContext& context() { return *m_ctx; }
    QTreeView* treeView() const { return m_treeView; }
    CatalogueTree* model() { return &m_model; }
    QtStatusBar* statusPanels() const { return m_status.get(); }
    // A menu item by its name ("actionExpandAll", "menuEditing", ...).
    QAction* menuItem(const QString& name) const;

    void setShell(Shell* shell) { m_shell = shell; }
    DesktopOpener* opener() const { return m_opener; }
    // What ending the program does (tests replace it).
    void setQuitHandler(std::function<void()> quit) { m_quit = std::move(quit); }

    // The window's client area as designed, in pixels.
    static constexpr int kClientWidth = 4170 / 15;
    static constexpr int kClientHeight = 4710 / 15;
    static constexpr int kOwnerPanelWidth = 1800 / 15;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The close box: asks about unsaved edits as "&Konec" does.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                     const QKeySequence& shortcut, std::function<void()> command);
    // The window's key handler: sees every key before the focused control.
    void windowKeyDown(QKeyEvent* event);
    void showEditingMenu();
    void addUndoItems();
    void syncMenuChecks();
    // "&Konec" and Esc in the tree: ends the program unless unsaved edits keep it open.
    void quit();
    // The desktop session ends: unsaved edits are asked about, or kept beside the data file.
    void sessionEnding(QSessionManager& manager);

    CatalogueTree m_model;
    QTreeView* m_treeView = nullptr;
    std::unique_ptr<QtPrompts> m_ownPrompts;
    std::unique_ptr<QtTreeView> m_view;
    std::unique_ptr<QtStatusBar> m_status;
    std::unique_ptr<AppContext> m_ctx;
    // After m_ctx: the steps are gone before the context they work on.
    std::unique_ptr<QUndoStack> m_undoStack;
    Shell* m_shell = nullptr;
    std::unique_ptr<Shell> m_ownShell;
    std::unique_ptr<QtFileDialog> m_ownFileDialog;
    DesktopOpener* m_opener = nullptr;
    std::unique_ptr<DesktopMailer> m_ownMailer;
    std::unique_ptr<QtClipboard> m_ownClipboard;
    std::unique_ptr<QtImportDialogs> m_ownImportDialogs;
    std::function<void()> m_quit;
    QMenu* m_editMenu = nullptr;
    bool m_sessionEnds = false;
};
