#include "mainwindow.h"

#include "cataloguetreeview.h"
#include "qtports.h"
#include "windowlogic.h"

#include "about/aboutbox.h"
#include "about/desktopshell.h"
#include "dialogs/qtfiledialogbackend.h"
#include "editing/editing.h"
#include "report/desktopmailer.h"
#include "report/export.h"
#include "search/find.h"

#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTreeView>

namespace {

int shiftStateOf(Qt::KeyboardModifiers m) {
    int state = 0;
    if (m & Qt::ShiftModifier)
        state |= kShiftMask;
    if (m & Qt::ControlModifier)
        state |= kCtrlMask;
    if (m & Qt::AltModifier)
        state |= kAltMask;
    return state;
}

int keyCodeOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_F11:
        return kKeyF11;
    case Qt::Key_Insert:
        return kKeyInsert;
    default:
        return 0;
    }
}

int characterOf(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Escape:
        return 27;
    default:
        return 0;
    }
}

} // namespace

MainWindow::MainWindow(Prompts* prompts, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("MP3 Velbor"));
    setWindowIcon(QIcon(QStringLiteral(":/velbor/icons/velbor.png")));

    m_treeView = new CatalogueTreeView(this);
    m_treeView->setObjectName(QStringLiteral("tvMusic"));
    m_treeView->setHeaderHidden(true);
    m_treeView->setUniformRowHeights(true);
    m_treeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_treeView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_treeView->setIconSize(QSize(16, 16));
    m_model.setImages(QIcon(QStringLiteral(":/velbor/icons/mp3.png")),
                      QIcon(QStringLiteral(":/velbor/icons/slozka.png")));
    m_treeView->setModel(&m_model);
    m_treeView->installEventFilter(this);
    setCentralWidget(m_treeView);

    statusBar()->setObjectName(QStringLiteral("sb"));
    statusBar()->setSizeGripEnabled(true);
    m_status = std::make_unique<QtStatusBar>(statusBar(), kClientWidth);
    m_status->setPanelWidth(kPanelVlastnik, kOwnerPanelWidth);
    m_status->setPanelWidth(kPanelAlba, 1440 / 15);

    if (!prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this);
        prompts = m_ownPrompts.get();
    }
    m_view = std::make_unique<QtTreeView>(m_treeView, &m_model);
    m_ctx = std::unique_ptr<AppContext>(new AppContext{{}, m_model, *prompts, *m_view, *m_status});
    m_ctx->caption = windowTitle();

    m_ownShell = std::make_unique<DesktopShell>();
    m_shell = m_ownShell.get();
    m_ownFileDialogs = std::make_unique<QtFileDialogBackend>(this);
    m_ctx->fileDialogs = m_ownFileDialogs.get();
    m_ownMailer = std::make_unique<DesktopMailer>();
    m_ctx->mailer = m_ownMailer.get();
    m_quit = [] { QCoreApplication::exit(0); };

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
    formLoad(*m_ctx);
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
    sluzby->menuAction()->setObjectName(QStringLiteral("mnuSluzby"));
    addItem(sluzby, QStringLiteral("mnuOpen"), QStringLiteral("&Otevřít vše"),
            QKeySequence(Qt::CTRL | Qt::Key_O), [&ctx] { expandAll(ctx); });
    addItem(sluzby, QStringLiteral("mnuSelAll"), QStringLiteral("O&značit vše"),
            QKeySequence(Qt::CTRL | Qt::Key_Q), [&ctx] { selectAll(ctx); });
    addItem(sluzby, QStringLiteral("mnuExport"), QStringLiteral("&Exportovat zaškrtnuté"),
            QKeySequence(Qt::Key_F2), [&ctx] { ExportChecked(ctx, false); });
    addItem(sluzby, QStringLiteral("mnuEmail"), QStringLiteral("Odeslat zaškrtnuté na e-mail"),
            QKeySequence(Qt::SHIFT | Qt::Key_F2), [&ctx] { ExportChecked(ctx, true); });
    addItem(sluzby, QStringLiteral("mnuNajit"), QStringLiteral("&Najít"), QKeySequence(Qt::Key_F3),
            [&ctx] { findByName(ctx); });

    QMenu* zobraz = bar->addMenu(QStringLiteral("&Zobrazení"));
    zobraz->menuAction()->setObjectName(QStringLiteral("mnuZobraz"));
    auto* views = new QActionGroup(this);
    QAction* vsechno = addItem(zobraz, QStringLiteral("mnuVsechno"), QStringLiteral("Všechno"),
                               QKeySequence(Qt::CTRL | Qt::Key_A), [this, &ctx] {
                                   showAllAlbums(ctx);
                                   syncMenuChecks();
                               });
    QAction* nov = addItem(zobraz, QStringLiteral("mnuNov"), QStringLiteral("Novinky"),
                           QKeySequence(Qt::CTRL | Qt::Key_N), [this, &ctx] {
                               showNewReleases(ctx);
                               syncMenuChecks();
                           });
    for (QAction* a : {vsechno, nov}) {
        a->setCheckable(true);
        views->addAction(a);
    }

    addItem(nullptr, QStringLiteral("mnuKonec"), QStringLiteral("&Konec"), {}, [this] { quit(); });
    addItem(nullptr, QStringLiteral("mnuInfo"), QStringLiteral("&Info"), {},
            [this] { showAboutBox(this, *m_shell); });

    m_editMenu = bar->addMenu(QStringLiteral("&Editace"));
    m_editMenu->menuAction()->setObjectName(QStringLiteral("mnuCheat"));
    addItem(m_editMenu, QStringLiteral("mnuCNov"), QStringLiteral("Zrušit status všech novinek"),
            {}, [&ctx] { clearAllNews(ctx); });
    addItem(m_editMenu, QStringLiteral("mnuCAlb"), QStringLiteral("Přidat album..."), {},
            [&ctx] { addAlbum(ctx); });
    QAction* novinka = addItem(m_editMenu, QStringLiteral("mnuCNovinka"),
                               QStringLiteral("Přidané album bude novinka"), {}, [this, &ctx] {
                                   toggleAddAsNew(ctx);
                                   syncMenuChecks();
                               });
    novinka->setCheckable(true);
    addItem(m_editMenu, QStringLiteral("mnuCArt"), QStringLiteral("Přidat artist..."), {},
            [&ctx] { addArtist(ctx); });
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("mnuO"));
    addItem(m_editMenu, QStringLiteral("mnuDelAlb"), QStringLiteral("Odstranit album..."), {},
            [&ctx] { deleteAlbum(ctx); });
    addItem(m_editMenu, QStringLiteral("mnuDelArt"), QStringLiteral("Odstranit artist..."), {},
            [&ctx] { deleteArtist(ctx); });
    addItem(m_editMenu, QStringLiteral("mnuDatab"), QStringLiteral("Změnit název databáze"), {},
            [&ctx] { changeDatabaseName(ctx); });
    addItem(m_editMenu, QStringLiteral("mnuChEm"), QStringLiteral("Změnit kontaktní email"), {},
            [&ctx] { changeContactEmail(ctx); });
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("mnuO2"));
    // The shortcuts of the Editing items are given when the menu is shown: until then ordinary
    // use stays read-only.
    addItem(m_editMenu, QStringLiteral("mnuCOznac"), QStringLiteral("Přidat status novinky"), {},
            [&ctx] { SetNewsStatus(ctx, true); });
    addItem(m_editMenu, QStringLiteral("mnuCOdeb"), QStringLiteral("Odebrat status novinky"), {},
            [&ctx] { SetNewsStatus(ctx, false); });
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("mnuO3"));
    addItem(m_editMenu, QStringLiteral("mnuSave"), QStringLiteral("Uložit soubor Velbor.dat"), {},
            [&ctx] { saveDataFile(ctx); });
    m_editMenu->menuAction()->setVisible(false);

    syncMenuChecks();
}

void MainWindow::syncMenuChecks() {
    menuItem(QStringLiteral("mnuVsechno"))->setChecked(!m_ctx->newsOnly);
    menuItem(QStringLiteral("mnuNov"))->setChecked(m_ctx->newsOnly);
    menuItem(QStringLiteral("mnuCNovinka"))->setChecked(m_ctx->addAsNew);
}

void MainWindow::showEditingMenu() {
    if (m_editMenu->menuAction()->isVisible())
        return;
    m_ctx->editingVisible = true;
    m_editMenu->menuAction()->setVisible(true);
    menuItem(QStringLiteral("mnuCOznac"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    menuItem(QStringLiteral("mnuCOdeb"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    menuItem(QStringLiteral("mnuSave"))->setShortcut(QKeySequence(Qt::Key_F12));
}

void MainWindow::quit() {
    if (m_quit)
        m_quit();
}

void MainWindow::windowKeyDown(QKeyEvent* event) {
    const int code = keyCodeOf(event->key());
    if (!code)
        return;
    switch (windowKeyCommand(*m_ctx, code, shiftStateOf(event->modifiers()))) {
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
        switch (treeKeyChar(characterOf(key))) {
        case TreeCharAction::Pass:
            break;
        case TreeCharAction::Discard:
            return true;
        case TreeCharAction::Quit:
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
