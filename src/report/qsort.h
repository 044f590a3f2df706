#pragma once

#include "catalogue/textcompare.h"

#include <QStringList>

// Sorting a list of texts in place, ascending, in the program's text order (letter case does not
// count). Not stable: texts that compare equal may change places.

// Sorts the whole list.
void SortArray(QStringList& list, const TextCompare& compare = TextCompare::program());

// Sorts positions lo to hi, both included, and leaves the others alone: a quicksort with
// Hoare's partitioning around the middle element. Nothing happens unless 0 <= lo <= hi < size.
void SortRange(QStringList& list, qint32 lo, qint32 hi,
               const TextCompare& compare = TextCompare::program());
