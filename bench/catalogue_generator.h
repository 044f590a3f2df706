#pragma once

#include <QByteArray>

// A realistic catalogue in the data file's format (Windows-1250, CR LF): albums under
// albums / 50 artists, names of 5 to 60 characters with Czech letters, commas and spaces, about
// 10 % new releases and a few duplicate records. The same seed gives the same bytes.
QByteArray generateCatalogue(qsizetype albums, quint32 seed = 1);
