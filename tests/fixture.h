#pragma once

// A window context over the test doubles, and readable pictures of the tree and the catalogue.
// Header only. An artist is its name, an album "Artist>Album", " *" at the end a new release.

#include "doubles.h"

#include "catalogue/album.h"
#include "commands/cataloguetree.h"
#include "commands/context.h"
#include "commands/views.h"

#include <QStringList>

#include <vector>

struct Fixture {
    ScriptedPrompts prompts;
    CatalogueTree tree;
    FakeTreeView view{&tree};
    FakeStatusBar status;
    AppContext ctx{{}, tree, prompts, view, status};
};

namespace fixture {

// "Artist>Album" or "Artist>Album *" to albums.
inline std::vector<Album> albumsFrom(const QStringList& lines) {
    std::vector<Album> albums;
    for (const QString& line : lines) {
        const QString text = line.endsWith(QStringLiteral(" *")) ? line.chopped(2) : line;
        albums.push_back(Album{text.section(u'>', 0, 0), text.section(u'>', 1), text != line});
    }
    return albums;
}

inline QStringList storeLines(const std::vector<Album>& albums) {
    QStringList lines;
    for (const Album& a : albums)
        lines << a.artist + u'>' + a.title + (a.isNew ? QStringLiteral(" *") : QString());
    return lines;
}

inline QString pathOf(const TreeNode* node) {
    return !node ? QString() : node->parent ? node->parent->text + u'>' + node->text : node->text;
}

// The first node shown at path ("Artist" or "Artist>Album"), compared exactly; nullptr if none.
inline TreeNode* nodeAtPath(const CatalogueTree& tree, const QString& path) {
    const qsizetype sep = path.indexOf(u'>');
    for (TreeNode* artist : tree.artists()) {
        if (artist->text != path.left(sep)) // all of it without a '>'
            continue;
        if (sep < 0)
            return artist;
        for (TreeNode* album : artist->children)
            if (album->text == path.mid(sep + 1))
                return album;
    }
    return nullptr;
}

// The tree as text: artists with their albums in display order, "*" before bold albums and
// "[x]" before ticked nodes; "Artist(Album1,*Album2)".
inline QString treeText(const CatalogueTree& tree) {
    const auto ticked = [](const TreeNode* n) { return QLatin1String(n->checked ? "[x]" : ""); };
    QStringList artists;
    for (const TreeNode* a : tree.artists()) {
        QStringList albums;
        for (const TreeNode* c : a->children)
            albums << ticked(c) + (c->bold ? QStringLiteral("*") : QString()) + c->text;
        artists << ticked(a) + a->text + u'(' + albums.join(u',') + u')';
    }
    return artists.join(u' ');
}

// The node collection in order of addition, as texts.
inline QStringList additionOrder(const CatalogueTree& tree) {
    QStringList out;
    for (const TreeNode* n = tree.firstAdded(); n; n = n->nextAdded)
        out << n->text;
    return out;
}

} // namespace fixture
