#include "editsteps.h"

#include "editstep.h"

#include "catalogue/textcompare.h"
#include "cataloguetree.h"
#include "context.h"
#include "loadsave.h"
#include "noderef.h"
#include "ports.h"
#include "views.h"

#include <QUndoStack>

#include <memory>
#include <vector>

namespace {

class AddAlbum : public EditStep {
public:
    AddAlbum(AppContext& ctx, const TreeNode* artist, const QString& title, bool isNew)
        : EditStep(ctx, QStringLiteral("Přidat album ") + title), m_album{artist->text, title,
                                                                          isNew},
          m_entry(qsizetype(ctx.catalogue.albums.size())) {}

    void apply() override {
        albums().insert(albums().begin() + m_entry, m_album);
        CatalogueTree& tree = m_ctx.tree;
        TreeNode* artist = tree.artistNode(m_album.artist);
        // The first time always; after a rebuild, where the view shows it.
        if (known(tree, m_node) || !m_node.valid || shownInView(m_ctx, m_album.isNew)) {
            if (!artist)
                artist = tree.addArtist(m_album.artist, true);
            TreeNode* node = known(tree, m_node)
                                 ? tree.restoreNode(artist, shapeOf(m_node, m_album.isNew, false))
                                 : tree.addAlbum(artist, m_album.title, m_album.isNew);
            m_node = refOf(tree, node);
        }
        if (artist) {
            m_ctx.view.expand(artist);
            selectAndShow(m_ctx, artist);
        }
    }
    void revert() override {
        albums().erase(albums().begin() + m_entry);
        TreeNode* node = find(m_ctx.tree, m_node);
        if (node && (known(m_ctx.tree, m_node) ||
                     !otherEntryShown(m_ctx, m_album.artist, m_album.title, -1))) {
            m_node = refOf(m_ctx.tree, node); // to put it back as it was
            m_ctx.tree.removeNode(node);
        }
    }

private:
    Album m_album;
    qsizetype m_entry;
    NodeRef m_node;
};

class AddArtist : public EditStep {
public:
    AddArtist(AppContext& ctx, const QString& name)
        : EditStep(ctx, QStringLiteral("Přidat artist ") + name), m_name(name) {}

    void apply() override {
        CatalogueTree& tree = m_ctx.tree;
        TreeNode* node = known(tree, m_node)
                             ? tree.restoreNode(nullptr, shapeOf(m_node, false, false))
                             : tree.addArtist(m_name);
        if (!node)
            return;
        m_node = refOf(tree, node);
        selectAndShow(m_ctx, node);
    }
    void revert() override {
        TreeNode* node = find(m_ctx.tree, m_node);
        if (node && node->children.empty()) {
            m_node = refOf(m_ctx.tree, node);
            m_ctx.tree.removeNode(node);
        }
    }

private:
    QString m_name;
    NodeRef m_node;
};

class DeleteAlbum : public EditStep {
public:
    DeleteAlbum(AppContext& ctx, const TreeNode* node, qsizetype entry)
        : EditStep(ctx, QStringLiteral("Odstranit album ") + node->text), m_entry(entry) {
        remember(node);
        if (entry >= 0)
            m_album = ctx.catalogue.albums[size_t(entry)];
    }

    void apply() override {
        if (m_entry >= 0)
            albums().erase(albums().begin() + m_entry);
        TreeNode* node = find(m_ctx.tree, m_node);
        if (node && (known(m_ctx.tree, m_node) ||
                     !otherEntryShown(m_ctx, m_node.artist, m_node.album, -1))) {
            remember(node);
            removeAndSelectNeighbour(m_ctx, node);
        }
    }
    void revert() override {
        if (m_entry >= 0)
            albums().insert(albums().begin() + m_entry, m_album);
        CatalogueTree& tree = m_ctx.tree;
        TreeNode* artist = tree.artistNode(m_node.artist);
        if (known(tree, m_node) && artist) {
            tree.restoreNode(artist, shapeOf(m_node, m_bold, m_checked));
        } else if (shownInView(m_ctx, m_bold) &&
                   !otherEntryShown(m_ctx, m_node.artist, m_node.album, m_entry)) {
            if (!artist)
                artist = tree.addArtist(m_node.artist, true);
            m_node = refOf(tree, tree.addAlbum(artist, m_node.album, m_bold));
        }
    }

private:
    // The node as it is removed, to put it back as it was.
    void remember(const TreeNode* node) {
        m_node = refOf(m_ctx.tree, node);
        m_bold = node->bold;
        m_checked = node->checked;
    }

    qsizetype m_entry;
    Album m_album;
    NodeRef m_node;
    bool m_bold = false, m_checked = false;
};

class DeleteArtist : public EditStep {
public:
    DeleteArtist(AppContext& ctx, const TreeNode* node)
        : EditStep(ctx, QStringLiteral("Odstranit artist ") + node->text),
          m_node(refOf(ctx.tree, node)), m_checked(node->checked), m_sorts(node->sortsChildren) {}

    void apply() override {
        TreeNode* node = find(m_ctx.tree, m_node);
        if (node && node->children.empty()) {
            m_node = refOf(m_ctx.tree, node);
            m_checked = node->checked;
            removeAndSelectNeighbour(m_ctx, node);
        }
    }
    void revert() override {
        CatalogueTree& tree = m_ctx.tree;
        if (tree.artistNode(m_node.artist))
            return;
        if (known(tree, m_node))
            tree.restoreNode(nullptr, shapeOf(m_node, false, m_checked, m_sorts));
        else
            m_node = refOf(tree, tree.addArtist(m_node.artist, m_sorts));
    }

private:
    NodeRef m_node;
    bool m_checked, m_sorts;
};

class SetNewRelease : public EditStep {
public:
    SetNewRelease(AppContext& ctx, const TreeNode* node, qsizetype entry, bool isNew)
        : EditStep(ctx, (isNew ? QStringLiteral("Přidat status novinky ")
                               : QStringLiteral("Odebrat status novinky ")) +
                            node->text),
          m_entry(entry), m_node(refOf(ctx.tree, node)), m_isNew(isNew), m_wasBold(node->bold),
          m_wasNew(entry >= 0 && ctx.catalogue.albums[size_t(entry)].isNew) {}

    void apply() override { set(m_isNew, m_isNew); }
    void revert() override { set(m_wasNew, m_wasBold); }

private:
    void set(bool isNew, bool bold) {
        if (m_entry >= 0)
            albums()[size_t(m_entry)].isNew = isNew;
        if (TreeNode* node = find(m_ctx.tree, m_node))
            m_ctx.tree.setBold(node, bold);
    }

    qsizetype m_entry;
    NodeRef m_node;
    bool m_isNew, m_wasBold, m_wasNew;
};

class ClearNewReleases : public EditStep {
public:
    explicit ClearNewReleases(AppContext& ctx)
        : EditStep(ctx, QStringLiteral("Zrušit status všech novinek")),
          m_generation(ctx.tree.generation()) {
        for (size_t i = 0; i < ctx.catalogue.albums.size(); ++i)
            if (ctx.catalogue.albums[i].isNew)
                m_entries.push_back(i);
        for (const TreeNode* n = ctx.tree.firstAdded(); n; n = n->nextAdded)
            if (n->bold)
                m_boldSeqs.push_back(n->seq);
    }
    bool changes() const { return !m_entries.empty() || !m_boldSeqs.empty(); }

    void apply() override {
        for (Album& album : albums())
            album.isNew = false;
        m_ctx.tree.clearAllBold();
    }
    void revert() override {
        for (size_t i : m_entries)
            albums()[i].isNew = true;
        if (m_ctx.tree.generation() != m_generation) {
            // The view was built anew since: build it again, now with the new releases.
            m_ctx.newReleasesOnly ? showNewReleases(m_ctx) : showAllAlbums(m_ctx);
            m_generation = m_ctx.tree.generation();
            return;
        }
        // The order of addition is the order of seq: one walk finds them all.
        m_ctx.view.setDrawing(false);
        auto seq = m_boldSeqs.cbegin();
        for (TreeNode* n = m_ctx.tree.firstAdded(); n && seq != m_boldSeqs.cend();
             n = n->nextAdded) {
            if (n->seq == *seq) {
                m_ctx.tree.setBold(n, true);
                ++seq;
            }
        }
        m_ctx.view.setDrawing(true);
    }

private:
    quint32 m_generation;
    std::vector<size_t> m_entries;
    std::vector<quint32> m_boldSeqs;
};

} // namespace

void perform(AppContext& ctx, std::unique_ptr<QUndoCommand> step) {
    if (ctx.undoStack) {
        ctx.undoStack->push(step.release()); // the stack's signals do the rest
        return;
    }
    step->redo();
    ctx.unsavedEdits = true;
    showAlbumCount(ctx);
}

namespace steps {

void addAlbum(AppContext& ctx, TreeNode* artist, const QString& title, bool isNew) {
    perform(ctx, std::make_unique<AddAlbum>(ctx, artist, title, isNew));
}

void addArtist(AppContext& ctx, const QString& name) {
    if (!ctx.tree.artistNode(name))
        perform(ctx, std::make_unique<AddArtist>(ctx, name));
}

void deleteAlbum(AppContext& ctx, TreeNode* album, qsizetype entry) {
    perform(ctx, std::make_unique<DeleteAlbum>(ctx, album, entry));
}

void deleteArtist(AppContext& ctx, TreeNode* artist) {
    perform(ctx, std::make_unique<DeleteArtist>(ctx, artist));
}

void setNewRelease(AppContext& ctx, TreeNode* album, qsizetype entry, bool isNew) {
    const bool entryChanges = entry >= 0 && ctx.catalogue.albums[size_t(entry)].isNew != isNew;
    if (entryChanges || album->bold != isNew)
        perform(ctx, std::make_unique<SetNewRelease>(ctx, album, entry, isNew));
}

void clearNewReleases(AppContext& ctx) {
    auto step = std::make_unique<ClearNewReleases>(ctx);
    if (step->changes())
        perform(ctx, std::move(step));
}

} // namespace steps

void attachUndoStack(AppContext& ctx, QUndoStack* stack) {
    ctx.undoStack = stack;
    QObject::connect(stack, &QUndoStack::indexChanged, stack, [&ctx] { showAlbumCount(ctx); });
    // Undoing back to what the file holds leaves nothing to save; moving away from it does.
    QObject::connect(stack, &QUndoStack::cleanChanged, stack,
                     [&ctx](bool clean) { ctx.unsavedEdits = !clean; });
}
