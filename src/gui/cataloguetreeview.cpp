#include "cataloguetreeview.h"

void CatalogueTreeView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                    const QList<int>& roles) {
    const QModelIndex parent = topLeft.parent();
    if (parent.isValid() && !isExpanded(parent))
        return;
    QTreeView::dataChanged(topLeft, bottomRight, roles);
}

void CatalogueTreeView::expandTopLevel() {
    // The albums never have children, so expanding everything expands the artists: in one
    // layout of the view, without making each artist's index persistent twice on the way, as
    // expanding them one by one does (once to ask whether it is expanded, once to store it).
    expandAll();
}
