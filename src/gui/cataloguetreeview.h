#pragma once

#include <QTreeView>

// The catalogue's tree view. Ticking every node announces the albums of every artist; a plain
// QTreeView searches its rows for each such change, even for albums it does not show, which
// takes minutes for a large catalogue. Albums under a collapsed artist are not drawn, so their
// changes are passed over here.
class CatalogueTreeView : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;

    // Expands every top-level row with one layout of the view: the time grows with the rows.
    // (QTreeView::expandToDepth() lays out once per expanded row, each time inserting into the
    // middle of its list of shown rows, which grows with the square of the artists.)
    void expandTopLevel();

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
};
