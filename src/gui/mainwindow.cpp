#include "mainwindow.h"

#include "aboutbox.h"
#include "cataloguetreeview.h"
#include "desktopmailer.h"
#include "desktopopener.h"
#include "desktopshell.h"
#include "importdialogs.h"
#include "qtfiledialog.h"
#include "qtports.h"

#include "commands/editing.h"
#include "commands/editsteps.h"
#include "commands/export.h"
#include "commands/find.h"
#include "commands/importfolder.h"
#include "commands/keys.h"
#include "commands/loadsave.h"
#include "commands/views.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QSessionManager>
#include <QTreeView>
#include <QUndoStack>
#include <QVBoxLayout>

MainWindow::MainWindow(Prompts* prompts, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("MP3 Velbor"));
    setWindowIcon(QIcon(QStringLiteral(":/velbor/icons/velbor.png")));

    m_treeView = new CatalogueTreeView(this);
    m_treeView->setObjectName(QStringLiteral("catalogueTree"));
    m_treeView->setHeaderHidden(true);
    m_treeView->setUniformRowHeights(true);
    m_treeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_treeView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_treeView->setIconSize(QSize(16, 16));
    m_model.setImages(QIcon(QStringLiteral(":/velbor/icons/album.png")),
                      QIcon(QStringLiteral(":/velbor/icons/artist.png")));
    m_treeView->setModel(&m_model);
    m_treeView->installEventFilter(this);

    // The tree above the status bar, both the full width of the window. The bar has no size
    // grip, which would take a corner of its panels.
    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_treeView, 1);
    auto* bar = new QWidget(client);
    bar->setObjectName(QStringLiteral("statusBar"));
    column->addWidget(bar);
    setCentralWidget(client);
    m_status = std::make_unique<QtStatusBar>(bar, kClientWidth);
    m_status->setPanelWidth(StatusPanel::DatabaseName, kOwnerPanelWidth);
    m_status->setPanelWidth(StatusPanel::AlbumCount, 1440 / 15);

    if (!prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this);
        prompts = m_ownPrompts.get();
    }
    m_view = std::make_unique<QtTreeView>(m_treeView, &m_model);
    m_ctx = std::unique_ptr<AppContext>(new AppContext{{}, m_model, *prompts, *m_view, *m_status});
    m_ctx->caption = windowTitle();
    m_undoStack = std::make_unique<QUndoStack>();
    attachUndoStack(*m_ctx, m_undoStack.get());

    // A link the desktop could not open is reported when its opener ends.
    m_opener = new DesktopOpener(this);
    connect(m_opener, &DesktopOpener::failed, this, [this](const QString& message) {
        m_ctx->prompts.message(message, MessageIcon::Exclamation);
    });
    m_ownShell = std::make_unique<DesktopShell>(*m_opener);
    m_shell = m_ownShell.get();
    m_ownFileDialog = std::make_unique<QtFileDialog>(this);
    m_ctx->fileDialog = m_ownFileDialog.get();
    m_ownMailer = std::make_unique<DesktopMailer>(*m_opener);
    m_ctx->mailer = m_ownMailer.get();
    m_ownClipboard = std::make_unique<QtClipboard>();
    m_ctx->clipboard = m_ownClipboard.get();
    m_ownImportDialogs = std::make_unique<QtImportDialogs>(this);
    m_ctx->importDialogs = m_ownImportDialogs.get();
    m_quit = [] { QCoreApplication::exit(0); };

    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::sessionEnding);

    connect(&m_model, &CatalogueTree::nodeCheckChanged, this,
            [this](TreeNode* node) { nodeChecked(*m_ctx, node); });

    buildMenus();

    // The designed client area, centred on the screen.
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    m_treeView->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::load() {
    startUp(*m_ctx);
}

QAction* MainWindow::menuItem(const QString& name) const {
    return findChild<QAction*>(name);
}

QAction* MainWindow::addItem(QMenu* menu, const QString& name, const QString& caption,
                             const QKeySequence& shortcut, std::function<void()> command) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    if (command)
        connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
    if (menu)
        menu->addAction(action);
    else
        menuBar()->addAction(action);
    return action;
}

void MainWindow::buildMenus() {
    AppContext& ctx = *m_ctx;
    QMenuBar* bar = menuBar();

    QMenu* sluzby = bar->addMenu(QStringLiteral("&Služby"));
    sluzby->menuAction()->setObjectName(QStringLiteral("menuServices"));
    addItem(sluzby, QStringLiteral("actionExpandAll"), QStringLiteral("&Otevřít vše"),
            QKeySequence(Qt::CTRL | Qt::Key_O), [&ctx] { expandAll(ctx); });
    addItem(sluzby, QStringLiteral("actionTickAll"), QStringLiteral("O&značit vše"),
            QKeySequence(Qt::CTRL | Qt::Key_Q), [&ctx] { tickAll(ctx); });
    addItem(sluzby, QStringLiteral("actionExport"), QStringLiteral("&Exportovat zaškrtnuté"),
            QKeySequence(Qt::Key_F2), [&ctx] { exportToFile(ctx); });
    addItem(sluzby, QStringLiteral("actionSendByMail"),
            QStringLiteral("Odeslat zaškrtnuté na e-mail"), QKeySequence(Qt::SHIFT | Qt::Key_F2),
            [&ctx] { sendByMail(ctx); });
    addItem(sluzby, QStringLiteral("actionFind"), QStringLiteral("&Najít"),
            QKeySequence(Qt::Key_F3), [&ctx] { findByName(ctx); });
    sluzby->addSeparator()->setObjectName(QStringLiteral("separatorServices"));
    addItem(sluzby, QStringLiteral("actionFindNext"), QStringLiteral("Najít další"),
            QKeySequence(Qt::SHIFT | Qt::Key_F3), [&ctx] { findNext(ctx); });
    addItem(sluzby, QStringLiteral("actionUntickAll"), QStringLiteral("Zrušit označení"),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q), [&ctx] { untickAll(ctx); });

    QMenu* zobraz = bar->addMenu(QStringLiteral("&Zobrazení"));
    zobraz->menuAction()->setObjectName(QStringLiteral("menuView"));
    auto* views = new QActionGroup(this);
    QAction* vsechno = addItem(zobraz, QStringLiteral("actionShowAll"), QStringLiteral("Všechno"),
                               QKeySequence(Qt::CTRL | Qt::Key_A), [this, &ctx] {
                                   showAllAlbums(ctx);
                                   syncMenuChecks();
                               });
    QAction* nov =
        addItem(zobraz, QStringLiteral("actionShowNewReleases"), QStringLiteral("Novinky"),
                QKeySequence(Qt::CTRL | Qt::Key_N), [this, &ctx] {
                    showNewReleases(ctx);
                    syncMenuChecks();
                });
    for (QAction* a : {vsechno, nov}) {
        a->setCheckable(true);
        views->addAction(a);
    }

    addItem(nullptr, QStringLiteral("actionQuit"), QStringLiteral("&Konec"), {},
            [this] { quit(); });
    addItem(nullptr, QStringLiteral("actionAbout"), QStringLiteral("&Info"), {},
            [this] { showAboutBox(this, *m_shell); });

    m_editMenu = bar->addMenu(QStringLiteral("&Editace"));
    m_editMenu->menuAction()->setObjectName(QStringLiteral("menuEditing"));
    addItem(m_editMenu, QStringLiteral("actionClearAllNewReleases"),
            QStringLiteral("Zrušit status všech novinek"), {},
            [&ctx] { clearAllNewReleases(ctx); });
    addItem(m_editMenu, QStringLiteral("actionAddAlbum"), QStringLiteral("Přidat album..."), {},
            [&ctx] { addAlbum(ctx); });
    QAction* novinka = addItem(m_editMenu, QStringLiteral("actionAddAsNew"),
                               QStringLiteral("Přidané album bude novinka"), {}, [this, &ctx] {
                                   toggleAddAsNew(ctx);
                                   syncMenuChecks();
                               });
    novinka->setCheckable(true);
    addItem(m_editMenu, QStringLiteral("actionAddArtist"), QStringLiteral("Přidat artist..."), {},
            [&ctx] { addArtist(ctx); });
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("separator1"));
    addItem(m_editMenu, QStringLiteral("actionDeleteAlbum"), QStringLiteral("Odstranit album..."),
            {}, [&ctx] { deleteAlbum(ctx); });
    addItem(m_editMenu, QStringLiteral("actionDeleteArtist"), QStringLiteral("Odstranit artist..."),
            {}, [&ctx] { deleteArtist(ctx); });
    addItem(m_editMenu, QStringLiteral("actionChangeDatabaseName"),
            QStringLiteral("Změnit název databáze"), {}, [&ctx] { changeDatabaseName(ctx); });
    addItem(m_editMenu, QStringLiteral("actionChangeContactEmail"),
            QStringLiteral("Změnit kontaktní email"), {}, [&ctx] { changeContactEmail(ctx); });
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("separator2"));
    // The shortcuts of the Editing items are given when the menu is shown: until then ordinary
    // use stays read-only.
    addItem(m_editMenu, QStringLiteral("actionMarkNewRelease"),
            QStringLiteral("Přidat status novinky"), {}, [&ctx] { markNewRelease(ctx); });
    addItem(m_editMenu, QStringLiteral("actionUnmarkNewRelease"),
            QStringLiteral("Odebrat status novinky"), {}, [&ctx] { unmarkNewRelease(ctx); });
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("separator3"));
    addItem(m_editMenu, QStringLiteral("actionSave"), QStringLiteral("Uložit soubor Velbor.dat"),
            {}, [&ctx] { saveCatalogue(ctx); });
    addUndoItems();
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("separator5"));
    addItem(m_editMenu, QStringLiteral("actionImportFolder"),
            QStringLiteral("Přidat alba ze složky..."), {}, [&ctx] { importFolder(ctx); });
    m_editMenu->menuAction()->setVisible(false);

    syncMenuChecks();
}

// "Zpět" and "Znovu" name the step they take back or do again; "Přejmenovat..." after them.
void MainWindow::addUndoItems() {
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("separator4"));
    QUndoStack* stack = m_undoStack.get();
    const auto follow = [stack](QAction* item, const QString& caption, bool undo) {
        const auto update = [item, caption](bool can, const QString& step) {
            item->setEnabled(can);
            item->setText(step.isEmpty() ? caption : caption + QStringLiteral(": ") + step);
        };
        const auto sync = [stack, update, undo] {
            undo ? update(stack->canUndo(), stack->undoText())
                 : update(stack->canRedo(), stack->redoText());
        };
        connect(stack, &QUndoStack::indexChanged, item, sync);
        sync();
    };
    follow(addItem(m_editMenu, QStringLiteral("actionUndo"), QStringLiteral("&Zpět"), {},
                   [stack] { stack->undo(); }),
           QStringLiteral("&Zpět"), true);
    follow(addItem(m_editMenu, QStringLiteral("actionRedo"), QStringLiteral("Z&novu"), {},
                   [stack] { stack->redo(); }),
           QStringLiteral("Z&novu"), false);
    addItem(m_editMenu, QStringLiteral("actionRename"), QStringLiteral("Přejmenovat..."), {},
            [this] { renameSelected(*m_ctx); });
}

void MainWindow::syncMenuChecks() {
    menuItem(QStringLiteral("actionShowAll"))->setChecked(!m_ctx->newReleasesOnly);
    menuItem(QStringLiteral("actionShowNewReleases"))->setChecked(m_ctx->newReleasesOnly);
    menuItem(QStringLiteral("actionAddAsNew"))->setChecked(m_ctx->addAsNew);
}

void MainWindow::showEditingMenu() {
    if (m_editMenu->menuAction()->isVisible())
        return;
    m_ctx->editingVisible = true;
    m_editMenu->menuAction()->setVisible(true);
    menuItem(QStringLiteral("actionMarkNewRelease"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    menuItem(QStringLiteral("actionUnmarkNewRelease"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    menuItem(QStringLiteral("actionSave"))->setShortcut(QKeySequence(Qt::Key_F12));
    menuItem(QStringLiteral("actionUndo"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    menuItem(QStringLiteral("actionRedo"))
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menuItem(QStringLiteral("actionRename"))->setShortcut(QKeySequence(Qt::Key_F6));
    menuItem(QStringLiteral("actionImportFolder"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
}

void MainWindow::quit() {
    if (mayQuit(*m_ctx) && m_quit)
        m_quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_sessionEnds || mayQuit(*m_ctx))
        event->accept();
    else
        event->ignore();
}

void MainWindow::sessionEnding(QSessionManager& manager) {
    if (!m_ctx->unsavedEdits)
        return;
    // Asking for the right to show a box holds up the whole desktop: only with edits to lose.
    const bool mayAsk = manager.allowsInteraction();
    if (mayEndSession(*m_ctx, mayAsk))
        m_sessionEnds = true; // the windows closed at the session's end do not ask again
    else
        manager.cancel();
    if (mayAsk)
        manager.release();
}

void MainWindow::windowKeyDown(QKeyEvent* event) {
    switch (windowKeyCommand(*m_ctx, event->key(), event->modifiers())) {
    case KeyCommand::ShowEditing:
        showEditingMenu();
        break;
    case KeyCommand::AddArtist:
        addArtist(*m_ctx);
        break;
    case KeyCommand::AddAlbum:
        addAlbum(*m_ctx);
        break;
    case KeyCommand::None:
        break;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_treeView && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        windowKeyDown(key);
        switch (treeKeyAction(key->key())) {
        case TreeKeyAction::Pass:
            break;
        case TreeKeyAction::Discard:
            return true;
        case TreeKeyAction::Quit:
            quit();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Keys typed while the tree does not have the focus; the tree's own keys were seen by the
    // event filter already.
    if (focusWidget() != m_treeView)
        windowKeyDown(event);
    QMainWindow::keyPressEvent(event);
}
