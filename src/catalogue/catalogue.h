#pragma once

#include "album.h"

#include <QString>

#include <vector>

// The catalogue in memory: the albums in the order of the data file (additions at the end) and
// the contact e-mail. Records have no identity beyond their position; duplicates are kept.
// The database name is not held here but by the status bar's owner panel (see StatusBar).
struct Catalogue {
    std::vector<Album> albums;
    QString contactEmail;
};
