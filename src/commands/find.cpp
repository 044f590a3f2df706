#include "find.h"

#include "catalogue/likepattern.h"

#include "cataloguetree.h"
#include "context.h"
#include "ports.h"

TreeNode* findFirstMatch(const CatalogueTree& tree, QStringView text) {
    QString full;
    full.reserve(text.size() + 2);
    full += u'*';
    full += text;
    full += u'*';
    const LikePattern pattern(full);
    if (!pattern.isValid())
        return nullptr;
    for (TreeNode* node = tree.firstAdded(); node; node = node->nextAdded) {
        if (pattern.matches(node->text))
            return node;
    }
    return nullptr;
}

void findByName(AppContext& ctx) {
    const QString text = ctx.prompts.input(
        QStringLiteral("Zadejte název (část názvu) hledaného alba/skupiny:"), ctx.caption);
    if (text.isEmpty())
        return;
    TreeNode* node = findFirstMatch(ctx.tree, text);
    if (!node)
        return;
    ctx.view.ensureVisible(node);
    ctx.view.selectNode(node);
}
