#include "importfolder.h"

#include "editstep.h"

#include "catalogue/textcompare.h"
#include "cataloguetree.h"
#include "context.h"
#include "import/musicscan.h"
#include "noderef.h"
#include "ports.h"
#include "views.h"

#include <QDir>

#include <memory>
#include <vector>

namespace {

const QString kTitle = QStringLiteral("Přidat alba ze složky");

// The albums chosen, added to the end of the catalogue in the order given and into the tree in
// their sorted places: an album the view would not show (not a new release in the "Novinky"
// view, or of a name the artist shows already) gets no node, as a rebuild would give it none.
class AddAlbums : public EditStep {
public:
    AddAlbums(AppContext& ctx, std::vector<Album> added)
        : EditStep(ctx, kTitle + QStringLiteral(" (%1)").arg(added.size())),
          m_added(std::move(added)), m_first(ctx.catalogue.albums.size()), m_nodes(m_added.size()) {
    }

    void apply() override {
        albums().insert(albums().end(), m_added.cbegin(), m_added.cend());
        CatalogueTree& tree = m_ctx.tree;
        std::erase_if(m_artists, [&tree](const NodeRef& ref) { return !known(tree, ref); });
        m_ctx.view.setDrawing(false);
        TreeNode* first = nullptr;
        for (size_t i = 0; i < m_added.size(); ++i) {
            const Album& album = m_added[i];
            TreeNode* artist = tree.artistNode(album.artist);
            const bool wasThere = known(tree, m_nodes[i]);
            if (!wasThere && (!shownInView(m_ctx, album.isNew) || shows(artist, album.title))) {
                m_nodes[i] = {};
                continue;
            }
            if (!artist)
                artist = restoreArtist(album.artist);
            TreeNode* node = wasThere
                                 ? tree.restoreNode(artist, shapeOf(m_nodes[i], album.isNew, false))
                                 : tree.addAlbum(artist, album.title, album.isNew);
            m_nodes[i] = refOf(tree, node);
            if (!first)
                first = node;
        }
        m_generation = tree.generation();
        m_ctx.view.setDrawing(true);
        if (first)
            selectAndShow(m_ctx, first);
    }

    void revert() override {
        albums().erase(albums().begin() + qsizetype(m_first), albums().end());
        CatalogueTree& tree = m_ctx.tree;
        if (tree.generation() != m_generation) {
            // The view was built anew since: build it again, without the albums.
            m_ctx.newReleasesOnly ? showNewReleases(m_ctx) : showAllAlbums(m_ctx);
            return;
        }
        m_ctx.view.setDrawing(false);
        for (size_t i = m_nodes.size(); i-- > 0;)
            if (TreeNode* node = known(tree, m_nodes[i]) ? find(tree, m_nodes[i]) : nullptr)
                tree.removeNode(node);
        for (size_t i = m_artists.size(); i-- > 0;) {
            TreeNode* artist = find(tree, m_artists[i]);
            if (artist && artist->children.empty())
                tree.removeNode(artist);
        }
        m_ctx.view.setDrawing(true);
    }

private:
    // The artist shows an album of that name (compared as the program compares names).
    static bool shows(const TreeNode* artist, const QString& title) {
        if (!artist)
            return false;
        const TextCompare& compare = TextCompare::program();
        for (const TreeNode* album : artist->children)
            if (compare.equals(album->text, title))
                return true;
        return false;
    }

    // The artist node this step added before, put back, or a new one that sorts its albums.
    TreeNode* restoreArtist(const QString& name) {
        CatalogueTree& tree = m_ctx.tree;
        for (NodeRef& ref : m_artists) {
            if (ref.artist == name && known(tree, ref))
                return tree.restoreNode(nullptr, shapeOf(ref, false, false, true));
        }
        TreeNode* artist = tree.addArtist(name, true);
        m_artists.push_back(refOf(tree, artist));
        return artist;
    }

    std::vector<Album> m_added;
    size_t m_first;
    std::vector<NodeRef> m_nodes;   // of each album added, invalid where it got none
    std::vector<NodeRef> m_artists; // the artist nodes the step added
    quint32 m_generation = 0;
};

} // namespace

QString scanSummary(const MusicScan& scan) {
    const int skipped = scan.skippedUnreadable + scan.skippedNoName;
    QString text =
        QStringLiteral("Přečteno souborů: %1, přeskočeno: %2").arg(scan.filesRead).arg(skipped);
    if (skipped > 0)
        text += QStringLiteral(" (nečitelné: %1, bez značek a bez použitelného názvu složky: %2)")
                    .arg(scan.skippedUnreadable)
                    .arg(scan.skippedNoName);
    return text + u'.';
}

void importFolder(AppContext& ctx) {
    if (!ctx.fileDialog || !ctx.importDialogs)
        return;
    const QString start = ctx.importFolder.isEmpty() ? QDir::homePath() : ctx.importFolder;
    const std::optional<QString> folder = ctx.fileDialog->askFolder(kTitle, start);
    if (!folder || folder->isEmpty())
        return;
    ctx.importFolder = *folder;

    // The progress box is modal: nothing changes the catalogue while the worker reads it.
    MusicScan scan;
    ctx.importDialogs->runWithProgress([&scan, &catalogue = ctx.catalogue.albums,
                                        path = *folder](const ImportDialogs::Progress& progress) {
        scan = scanMusicFolder(path, catalogue, progress);
    });
    if (scan.cancelled)
        return;
    const QString summary = scanSummary(scan);
    if (scan.albums.isEmpty()) {
        ctx.prompts.message(QStringLiteral("Ve složce nejsou žádná alba.\n") + summary,
                            MessageIcon::Information);
        return;
    }
    const std::optional<QList<int>> chosen = ctx.importDialogs->chooseAlbums(scan, summary);
    if (!chosen)
        return;
    // In the order of the list, each once; a name the data file cannot carry never.
    std::vector<bool> ticked(size_t(scan.albums.size()));
    for (int i : *chosen)
        if (i >= 0 && i < scan.albums.size())
            ticked[size_t(i)] = true;
    std::vector<Album> added;
    for (int i = 0; i < scan.albums.size(); ++i) {
        const FoundAlbum& found = scan.albums[i];
        if (ticked[size_t(i)] && found.status != FoundAlbum::Status::Unstorable)
            added.push_back(Album{found.artist, found.title, ctx.addAsNew});
    }
    if (!added.empty())
        perform(ctx, std::make_unique<AddAlbums>(ctx, std::move(added)));
}
