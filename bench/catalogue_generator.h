#pragma once

#include <QByteArray>

// A catalogue in the data file's format (Windows-1250, CR LF) shaped like a real collection
// grown over years: albumsPerArtist albums under each artist, names drawn from one pool of
// Czech and English words (so many names share their first words: "The …", "Best of …",
// "Live …"), about 10 % new releases, a few duplicate records, and the lines in random order.
// The same arguments give the same bytes.
QByteArray generateCatalogue(qsizetype albums, int albumsPerArtist, quint32 seed = 1);
