#include "editstep.h"
#include "editsteps.h"

#include "catalogue/textcompare.h"
#include "loadsave.h"

#include <vector>

namespace {

// The owner panel's whole text comes back, so that "no name" stays apart from an empty name.
class DatabaseName : public EditStep {
public:
    DatabaseName(AppContext& ctx, const QString& name)
        : EditStep(ctx, QStringLiteral("Změnit název databáze"), false),
          m_old(ctx.status.text(StatusPanel::DatabaseName)), m_new(name) {}

    void apply() override { setDatabaseName(m_ctx.status, m_new); }
    void revert() override { m_ctx.status.setText(StatusPanel::DatabaseName, m_old); }

private:
    QString m_old, m_new;
};

class ContactEmail : public EditStep {
public:
    ContactEmail(AppContext& ctx, const QString& email)
        : EditStep(ctx, QStringLiteral("Změnit kontaktní email"), false),
          m_old(ctx.catalogue.contactEmail), m_new(email) {}

    void apply() override { m_ctx.catalogue.contactEmail = m_new; }
    void revert() override { m_ctx.catalogue.contactEmail = m_old; }

private:
    QString m_old, m_new;
};

QString renameText(const QString& from, const QString& to) {
    return QStringLiteral("Přejmenovat %1 na %2").arg(from, to);
}

class RenameAlbum : public EditStep {
public:
    RenameAlbum(AppContext& ctx, const TreeNode* node, qsizetype entry, const QString& title)
        : EditStep(ctx, renameText(node->text, title)), m_entry(entry),
          m_node(refOf(ctx.tree, node)), m_new(title) {}

    void apply() override { rename(m_new); }
    void revert() override { rename(m_old); }

private:
    void rename(const QString& title) {
        if (m_entry >= 0)
            albums()[size_t(m_entry)].title = title;
        renameAndSelect(m_ctx, find(m_ctx.tree, m_node), title);
        m_node.album = title;
    }

    qsizetype m_entry;
    NodeRef m_node;
    QString m_old = m_node.album, m_new;
};

class RenameArtist : public EditStep {
public:
    RenameArtist(AppContext& ctx, const TreeNode* node, const QString& name)
        : EditStep(ctx, renameText(node->text, name)), m_old(node->text), m_new(name) {
        const TextCompare& compare = TextCompare::program();
        const auto& albums = ctx.catalogue.albums;
        for (size_t i = 0; i < albums.size(); ++i)
            if (compare.equals(albums[i].artist, m_old))
                m_entries.push_back({i, albums[i].artist});
    }

    void apply() override {
        for (const auto& entry : m_entries)
            albums()[entry.first].artist = m_new;
        renameAndSelect(m_ctx, m_ctx.tree.artistNode(m_old), m_new);
    }
    void revert() override {
        for (const auto& [i, artist] : m_entries)
            albums()[i].artist = artist;
        renameAndSelect(m_ctx, m_ctx.tree.artistNode(m_new), m_old);
    }

private:
    QString m_old, m_new;
    std::vector<std::pair<size_t, QString>> m_entries; // each entry's own spelling
};

} // namespace

namespace steps {

void setDatabaseName(AppContext& ctx, const QString& name) {
    if (ctx.status.text(StatusPanel::DatabaseName).isEmpty() || databaseName(ctx.status) != name)
        perform(ctx, std::make_unique<DatabaseName>(ctx, name));
}

void setContactEmail(AppContext& ctx, const QString& email) {
    if (ctx.catalogue.contactEmail != email)
        perform(ctx, std::make_unique<ContactEmail>(ctx, email));
}

void renameAlbum(AppContext& ctx, TreeNode* album, qsizetype entry, const QString& title) {
    if (album->text != title)
        perform(ctx, std::make_unique<RenameAlbum>(ctx, album, entry, title));
}

void renameArtist(AppContext& ctx, TreeNode* artist, const QString& name) {
    if (artist->text != name)
        perform(ctx, std::make_unique<RenameArtist>(ctx, artist, name));
}

} // namespace steps
