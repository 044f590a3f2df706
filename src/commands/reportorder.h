#pragma once

#include "catalogue/textcompare.h"

#include <QString>
#include <QStringList>

#include <vector>

class CatalogueTree;
struct TreeNode;

// The entry list of the report: an empty text at position 0, then "artist - album" for every
// ticked album node of the tree in the order the nodes were added, the texts as shown in the
// tree. Unsorted. The entries are views into storage, which must outlive them unchanged: a
// million entries make one allocation instead of a million, and nothing to free one by one.
QStringList checkedAlbumEntries(const CatalogueTree& tree, QString& storage);

// The ticked album nodes in the order of the report: the arrangement SortArray() gives the entry
// list above, its empty text left out.
std::vector<const TreeNode*> reportOrder(const CatalogueTree& tree,
                                         const TextCompare& compare = TextCompare::program());
