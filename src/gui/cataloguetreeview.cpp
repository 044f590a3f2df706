#include "cataloguetreeview.h"

void CatalogueTreeView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                    const QList<int>& roles) {
    const QModelIndex parent = topLeft.parent();
    if (parent.isValid() && !isExpanded(parent))
        return;
    QTreeView::dataChanged(topLeft, bottomRight, roles);
}

void CatalogueTreeView::expandTopLevel() {
    // While a layout is pending, expanding a row only records it; the layout then runs once.
    scheduleDelayedItemsLayout();
    const QAbstractItemModel* m = model();
    for (int row = 0, rows = m ? m->rowCount(rootIndex()) : 0; row < rows; ++row)
        setExpanded(m->index(row, 0, rootIndex()), true);
    executeDelayedItemsLayout();
}
