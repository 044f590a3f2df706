#pragma once

#include "catalogue/textcompare.h"

#include <QString>
#include <QStringList>

class CatalogueTree;

// The entry list of the report: an empty text at position 0, then "artist - album" for every
// ticked album node of the tree in the order the nodes were added, the texts as shown in the
// tree. Unsorted. The entries are views into storage, which must outlive them unchanged: a
// million entries make one allocation instead of a million, and nothing to free one by one.
QStringList checkedAlbumEntries(const CatalogueTree& tree, QString& storage);

// The report of the ticked albums, one text for the file and the e-mail alike; every line ends
// with CR LF:
//   Export z programu MP3 Velbor
//   <owner panel text>[ (<contact e-mail>)]
//   ================================================================
//   the entries, sorted in the program's text order
QString reportText(const CatalogueTree& tree, const QString& ownerPanelText,
                   const QString& contactEmail,
                   const TextCompare& compare = TextCompare::program());
