#pragma once

#include "catalogue/textcompare.h"

#include <vector>

class CatalogueTree;
struct TreeNode;

// The ticked album nodes in the order of the report: their entries "artist - album" in the
// program's text order. Entries that compare equal keep the order of the tree.
std::vector<const TreeNode*> reportOrder(const CatalogueTree& tree,
                                         const TextCompare& compare = TextCompare::program());
