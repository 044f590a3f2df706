#include "editing.h"

#include "catalogue/datafile.h"
#include "catalogue/textcompare.h"
#include "cataloguetree.h"
#include "context.h"
#include "editsteps.h"
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

// The longest name or address that can be typed. No album is called anything near as long; an
// input box itself would cut a text at 32,767 characters without a word.
constexpr qsizetype kMaxTypedLength = 1000;

// What the user typed in an input box, in the composed form (a "ř" pasted as "r" and a combining
// háček is one "ř", as Windows-1250 has it); empty for Cancel, an empty answer, or a text over
// kMaxTypedLength, which is refused with a message.
QString typed(AppContext& ctx, const QString& prompt, const QString& text = {}) {
    const QString answer =
        ctx.prompts.input(prompt, {}, text).normalized(QString::NormalizationForm_C);
    if (answer.size() <= kMaxTypedLength)
        return answer;
    ctx.prompts.message(QStringLiteral("Zadaný text má %1 znaků, název může mít nejvýše %2 "
                                       "znaků. Nic nebylo změněno.")
                            .arg(answer.size())
                            .arg(kMaxTypedLength),
                        MessageIcon::Exclamation);
    return {};
}

} // namespace

void addAlbum(AppContext& ctx) {
    TreeNode* artist = selectedOfKind(ctx, NodeKind::Artist);
    if (!artist)
        return;
    const QString name = typed(ctx, QStringLiteral("Název alba:"));
    if (name.isEmpty())
        return;
    if (refused(ctx, valueProblem(name, true), QStringLiteral("Název alba"),
                QStringLiteral("Album nebylo přidáno.")))
        return;
    // Under an artist of the catalogue the new node takes its sorted place; under one the user
    // has just added, it goes last. The artist stays selected, so several albums can be added
    // one after another.
    steps::addAlbum(ctx, artist, name, ctx.addAsNew);
}

void toggleAddAsNew(AppContext& ctx) {
    ctx.addAsNew = !ctx.addAsNew;
}

void addArtist(AppContext& ctx) {
    const QString name = typed(ctx, QStringLiteral("Název položky artist:"));
    if (name.isEmpty())
        return;
    if (refused(ctx, artistProblem(name, true), QStringLiteral("Název položky artist"),
                QStringLiteral("Položka artist nebyla přidána.")))
        return;
    // An artist of that name shown already: nothing is added, nothing said, and the selection
    // stays where it was. The new node takes its sorted place among the artists.
    steps::addArtist(ctx, name);
}

void deleteAlbum(AppContext& ctx) {
    TreeNode* node = selectedOfKind(ctx, NodeKind::Album);
    if (!node)
        return;
    if (!ctx.prompts.askYesNo(QStringLiteral("Opravdu chcete smazat toto album?")))
        return;
    steps::deleteAlbum(ctx, node, entryShownBy(ctx, node));
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
    steps::deleteArtist(ctx, node);
}

namespace {

void setNewRelease(AppContext& ctx, bool isNew) {
    TreeNode* node = selectedOfKind(ctx, NodeKind::Album);
    if (!node)
        return;
    steps::setNewRelease(ctx, node, entryShownBy(ctx, node), isNew);
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
    steps::clearNewReleases(ctx);
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
    const QString answer =
        typed(ctx, currentValuePrompt(QStringLiteral("Současný název databáze je"), known,
                                      databaseName(ctx.status)));
    if (answer.isEmpty())
        return;
    if (refused(ctx, valueProblem(answer, true), QStringLiteral("Název databáze"),
                QStringLiteral("Název databáze zůstal beze změny.")))
        return;
    steps::setDatabaseName(ctx, answer);
}

void changeContactEmail(AppContext& ctx) {
    const QString& email = ctx.catalogue.contactEmail;
    const QString answer =
        typed(ctx, currentValuePrompt(QStringLiteral("Současný kontaktní email je"),
                                      !email.isEmpty(), email));
    if (answer.isEmpty())
        return;
    if (refused(ctx, valueProblem(answer, true), QStringLiteral("Kontaktní email"),
                QStringLiteral("Kontaktní email zůstal beze změny.")))
        return;
    steps::setContactEmail(ctx, answer);
}

namespace {

// Another album of the artist, or another artist, is called name already (letter case aside).
bool nameTaken(const AppContext& ctx, const TreeNode* node, qsizetype entry, const QString& name) {
    const TextCompare& compare = TextCompare::program();
    const auto& siblings = node->parent ? node->parent->children : ctx.tree.artists();
    for (const TreeNode* other : siblings)
        if (other != node && compare.equals(other->text, name))
            return true;
    // The view may leave some out: the catalogue has them all.
    const auto& albums = ctx.catalogue.albums;
    for (qsizetype i = 0; i < qsizetype(albums.size()); ++i) {
        const Album& a = albums[size_t(i)];
        if (node->parent ? i != entry && compare.equals(a.artist, node->parent->text) &&
                               compare.equals(a.title, name)
                         : compare.equals(a.artist, name) && !compare.equals(a.artist, node->text))
            return true;
    }
    return false;
}

} // namespace

void renameSelected(AppContext& ctx) {
    TreeNode* node = ctx.view.selectedNode();
    if (!node)
        return;
    const bool album = node->kind == NodeKind::Album;
    const QString what =
        album ? QStringLiteral("Název alba") : QStringLiteral("Název položky artist");
    const QString outcome = album ? QStringLiteral("Album nebylo přejmenováno.")
                                  : QStringLiteral("Položka artist nebyla přejmenována.");
    const QString name = typed(ctx,
                               album ? QStringLiteral("Nový název alba:")
                                     : QStringLiteral("Nový název položky artist:"),
                               node->text);
    if (name.isEmpty() || name == node->text)
        return;
    if (refused(ctx, album ? valueProblem(name, true) : artistProblem(name, true), what, outcome))
        return;
    const qsizetype entry = album ? entryShownBy(ctx, node) : -1;
    if (nameTaken(ctx, node, entry, name)) {
        const QString taken = album
                                  ? QStringLiteral("Album „%1“ už u této položky artist existuje.")
                                  : QStringLiteral("Položka artist „%1“ už existuje.");
        ctx.prompts.message(taken.arg(name) + u'\n' + outcome, MessageIcon::Exclamation);
        return;
    }
    if (album)
        steps::renameAlbum(ctx, node, entry, name);
    else
        steps::renameArtist(ctx, node, name);
}
