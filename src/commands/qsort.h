#pragma once

#include "catalogue/textcompare.h"

#include <QStringList>

#include <vector>

// Sorting a list of texts in place, ascending, in the program's text order (letter case does not
// count). Not stable: texts that compare equal may change places.

// Sorts the whole list.
void SortArray(QStringList& list, const TextCompare& compare = TextCompare::program());

// Sorts positions lo to hi, both included, and leaves the others alone: a quicksort with
// Hoare's partitioning around the middle element. Nothing happens unless 0 <= lo <= hi < size.
void SortRange(QStringList& list, qint32 lo, qint32 hi,
               const TextCompare& compare = TextCompare::program());

// The arrangement SortArray() gives list, as positions in list: the text that ends at k comes
// from SortedPositions(list)[k]. The list itself is left as it is.
std::vector<qint32> SortedPositions(const QStringList& list,
                                    const TextCompare& compare = TextCompare::program());

// The same arrangement for texts known only by their ranks: ranks[a] < ranks[b] exactly when
// text a sorts before text b, and equal ranks for texts that compare equal. Gives the positions
// SortedPositions() gives for the texts themselves.
std::vector<qint32> SortedPositionsByRank(const std::vector<quint32>& ranks);
