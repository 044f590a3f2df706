#include "find.h"

#include "catalogue/likepattern.h"

#include "cataloguetree.h"
#include "context.h"
#include "ports.h"

TreeNode* findMatchAfter(const CatalogueTree& tree, QStringView text, qint64 afterSeq) {
    QString full;
    full.reserve(text.size() + 2);
    full += u'*';
    full += text;
    full += u'*';
    const LikePattern pattern(full);
    if (!pattern.isValid())
        return nullptr;
    // The order of addition is the order of seq.
    TreeNode* node = tree.firstAdded();
    while (node && qint64(node->seq) <= afterSeq)
        node = node->nextAdded;
    for (; node; node = node->nextAdded) {
        if (pattern.matches(node->text))
            return node;
    }
    return nullptr;
}

TreeNode* findFirstMatch(const CatalogueTree& tree, QStringView text) {
    return findMatchAfter(tree, text, -1);
}

namespace {

// Looks for the pattern after the last match (from the first node when there is none, or the
// tree has been built anew since); returns whether a node was found and selected.
bool showNextMatch(AppContext& ctx) {
    const qint64 after = ctx.findGeneration == ctx.tree.generation() ? ctx.findAfterSeq : -1;
    TreeNode* node = findMatchAfter(ctx.tree, ctx.findPattern, after);
    ctx.findGeneration = ctx.tree.generation();
    ctx.findAfterSeq = node ? qint64(node->seq) : -1;
    if (!node)
        return false;
    ctx.view.ensureVisible(node);
    ctx.view.selectNode(node);
    return true;
}

} // namespace

void findByName(AppContext& ctx) {
    const QString text =
        ctx.prompts
            .input(QStringLiteral("Zadejte název (část názvu) hledaného alba/skupiny:"),
                   ctx.caption)
            .normalized(QString::NormalizationForm_C);
    if (text.isEmpty())
        return;
    ctx.findPattern = text;
    ctx.findAfterSeq = -1;
    showNextMatch(ctx);
}

void findNext(AppContext& ctx) {
    if (ctx.findPattern.isEmpty()) {
        findByName(ctx);
        return;
    }
    if (!showNextMatch(ctx))
        ctx.prompts.message(QStringLiteral("Nenalezeno."), MessageIcon::Information);
}
