#pragma once

#include <QStringView>

struct AppContext;
struct TreeNode;
class CatalogueTree;

// The first node, in the order the nodes were added to the tree (not the order shown), whose
// text matches "*" + text + "*" under the pattern rules of LikePattern; nullptr when none does
// or the text is not a valid pattern.
TreeNode* findFirstMatch(const CatalogueTree& tree, QStringView text);
// The same, among the nodes added after the one of seq afterSeq (-1: all of them).
TreeNode* findMatchAfter(const CatalogueTree& tree, QStringView text, qint64 afterSeq);

// "Najít": asks for a name or a part of it and selects the first node that holds it, expanding
// its artist and scrolling it into view. An empty answer or no match changes nothing.
void findByName(AppContext& ctx);

// "Najít další": the next node after the last match, in the same order, with the last pattern.
// Past the last match it says "Nenalezeno." and starts from the first node the next time; with no
// pattern yet, it asks for one as "Najít" does.
void findNext(AppContext& ctx);
