#pragma once

#include <QString>

// Writes a music folder for the import benchmark under root: artists / albums / tracks, each
// track an MP3 of two silent frames behind an ID3v2.4 tag (artist, album, title) that TagLib
// renders. Names carry Czech letters. Returns the number of files written, -1 on a write error.
int generateMusicFolder(const QString& root, int albums, int tracksPerAlbum);

// The artist and album title that generateMusicFolder() gives album number i.
QString generatedArtist(int album);
QString generatedTitle(int album);
