#include "cataloguetreeview.h"

void CatalogueTreeView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                    const QList<int>& roles) {
    const QModelIndex parent = topLeft.parent();
    if (parent.isValid() && !isExpanded(parent))
        return;
    QTreeView::dataChanged(topLeft, bottomRight, roles);
}
