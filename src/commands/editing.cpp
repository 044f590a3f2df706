#include "editing.h"

#include "catalogue/datafile.h"
#include "catalogue/textcompare.h"
#include "cataloguetree.h"
#include "context.h"
#include "loadsave.h"
#include "ports.h"

namespace {

// A typed value that the data file could not carry is refused before anything changes: saving it
// would fail or lose it. why is the reason (valueProblem(), artistProblem()), empty when the
// value is fine; what names the value, outcome says what did not happen.
bool refused(AppContext& ctx, const QString& why, const QString& what, const QString& outcome) {
    if (why.isEmpty())
        return false;
    ctx.prompts.message(what + u' ' + why + u".\n" + outcome, MessageIcon::Exclamation);
    return true;
}

TreeNode* selectedOfKind(const AppContext& ctx, NodeKind kind) {
    TreeNode* node = ctx.view.selectedNode();
    return node && node->kind == kind ? node : nullptr;
}

// The catalogue entry that an album node shows: the entry of the node's artist (its parent's text)
// with the node's text as its album, never another artist's album of the same name. Where one
// artist has the album more than once, the first entry whose new-release status the node shows
// (the node built from it, or the one the new-releases view built), else the first of them.
// Returns -1 when no entry matches.
qsizetype entryShownBy(const AppContext& ctx, const TreeNode* album) {
    if (!album->parent)
        return -1;
    const TextCompare& compare = TextCompare::program();
    const QString& artist = album->parent->text;
    const auto& albums = ctx.catalogue.albums;
    qsizetype first = -1;
    for (qsizetype i = 0; i < qsizetype(albums.size()); ++i) {
        const Album& entry = albums[size_t(i)];
        if (!compare.equals(entry.title, album->text) || !compare.equals(entry.artist, artist))
            continue;
        if (entry.isNew == album->bold)
            return i;
        if (first < 0)
            first = i;
    }
    return first;
}

// What the tree control selects once node is gone: its next sibling, else the one before it,
// else its parent.
TreeNode* neighbourOf(const AppContext& ctx, const TreeNode* node) {
    const std::vector<TreeNode*>& siblings =
        node->parent ? node->parent->children : ctx.tree.artists();
    const size_t row = size_t(node->row);
    if (row + 1 < siblings.size())
        return siblings[row + 1];
    if (row > 0)
        return siblings[row - 1];
    return node->parent;
}

// Every change to the catalogue ends here: it waits for a save, and the album count follows it.
void edited(AppContext& ctx) {
    ctx.unsavedEdits = true;
    showAlbumCount(ctx);
}

void removeAndSelectNeighbour(AppContext& ctx, TreeNode* node) {
    TreeNode* next = neighbourOf(ctx, node);
    ctx.tree.removeNode(node);
    if (next)
        ctx.view.selectNode(next);
}

} // namespace

void addAlbum(AppContext& ctx) {
    TreeNode* artist = selectedOfKind(ctx, NodeKind::Artist);
    if (!artist)
        return;
    const QString name = ctx.prompts.input(QStringLiteral("Název alba:"));
    if (name.isEmpty())
        return;
    if (refused(ctx, valueProblem(name, true), QStringLiteral("Název alba"),
                QStringLiteral("Album nebylo přidáno.")))
        return;
    ctx.view.expand(artist);
    ctx.view.ensureVisible(artist);
    // Under an artist of the catalogue the new node takes its sorted place; under one the user
    // has just added, it goes last.
    ctx.tree.addAlbum(artist, name, ctx.addAsNew);
    ctx.catalogue.albums.push_back(Album{artist->text, name, ctx.addAsNew});
    edited(ctx);
    // The artist stays selected, so several albums can be added one after another.
    ctx.view.selectNode(artist);
}

void toggleAddAsNew(AppContext& ctx) {
    ctx.addAsNew = !ctx.addAsNew;
}

void addArtist(AppContext& ctx) {
    const QString name = ctx.prompts.input(QStringLiteral("Název položky artist:"));
    if (name.isEmpty())
        return;
    if (refused(ctx, artistProblem(name, true), QStringLiteral("Název položky artist"),
                QStringLiteral("Položka artist nebyla přidána.")))
        return;
    // An artist of that name shown already: nothing is added, nothing said, and the selection
    // stays where it was. The new node takes its sorted place among the artists.
    TreeNode* node = ctx.tree.addArtist(name);
    if (!node)
        return;
    ctx.view.ensureVisible(node);
    ctx.view.selectNode(node);
    edited(ctx);
}

void deleteAlbum(AppContext& ctx) {
    TreeNode* node = selectedOfKind(ctx, NodeKind::Album);
    if (!node)
        return;
    if (!ctx.prompts.askYesNo(QStringLiteral("Opravdu chcete smazat toto album?")))
        return;
    const qsizetype entry = entryShownBy(ctx, node);
    if (entry >= 0)
        ctx.catalogue.albums.erase(ctx.catalogue.albums.begin() + entry);
    removeAndSelectNeighbour(ctx, node);
    edited(ctx);
}

void deleteArtist(AppContext& ctx) {
    TreeNode* node = selectedOfKind(ctx, NodeKind::Artist);
    if (!node)
        return;
    if (!node->children.empty()) {
        ctx.prompts.message(QStringLiteral("Složka obsahuje alba, ty odstraňte jako první!"),
                            MessageIcon::Exclamation);
        return;
    }
    if (!ctx.prompts.askYesNo(QStringLiteral("Opravdu chcete smazat tuto položku artist?")))
        return;
    removeAndSelectNeighbour(ctx, node);
    edited(ctx);
}

namespace {

void setNewRelease(AppContext& ctx, bool isNew) {
    TreeNode* node = selectedOfKind(ctx, NodeKind::Album);
    if (!node)
        return;
    const qsizetype entry = entryShownBy(ctx, node); // before the node changes
    bool changed = node->bold != isNew;
    ctx.tree.setBold(node, isNew);
    if (entry >= 0) {
        bool& entryIsNew = ctx.catalogue.albums[size_t(entry)].isNew;
        changed = changed || entryIsNew != isNew;
        entryIsNew = isNew;
    }
    if (changed)
        edited(ctx);
}

} // namespace

void markNewRelease(AppContext& ctx) {
    setNewRelease(ctx, true);
}

void unmarkNewRelease(AppContext& ctx) {
    setNewRelease(ctx, false);
}

void clearAllNewReleases(AppContext& ctx) {
    if (!ctx.prompts.askYesNo(QStringLiteral("Zrušit status všech novinek?")))
        return;
    ctx.tree.clearAllBold();
    bool changed = false;
    for (Album& album : ctx.catalogue.albums) {
        changed = changed || album.isNew;
        album.isNew = false;
    }
    if (changed)
        edited(ctx);
}

namespace {

// "<lead> <current>:", or "<lead> """ when there is no current value.
QString currentValuePrompt(const QString& lead, bool known, const QString& current) {
    if (known)
        return lead + u' ' + current + u':';
    return lead + QStringLiteral(" \"\"");
}

} // namespace

void changeDatabaseName(AppContext& ctx) {
    // An empty owner panel means no name is known; "Databáze: " alone is an empty name.
    const bool known = !ctx.status.text(StatusPanel::DatabaseName).isEmpty();
    const QString answer = ctx.prompts.input(currentValuePrompt(
        QStringLiteral("Současný název databáze je"), known, databaseName(ctx.status)));
    if (answer.isEmpty())
        return;
    if (refused(ctx, valueProblem(answer, true), QStringLiteral("Název databáze"),
                QStringLiteral("Název databáze zůstal beze změny.")))
        return;
    const QString before = ctx.status.text(StatusPanel::DatabaseName);
    setDatabaseName(ctx.status, answer);
    if (ctx.status.text(StatusPanel::DatabaseName) != before)
        edited(ctx);
}

void changeContactEmail(AppContext& ctx) {
    QString& email = ctx.catalogue.contactEmail;
    const QString answer = ctx.prompts.input(
        currentValuePrompt(QStringLiteral("Současný kontaktní email je"), !email.isEmpty(), email));
    if (answer.isEmpty())
        return;
    if (refused(ctx, valueProblem(answer, true), QStringLiteral("Kontaktní email"),
                QStringLiteral("Kontaktní email zůstal beze změny.")))
        return;
    if (answer == email)
        return;
    email = answer;
    edited(ctx);
}
