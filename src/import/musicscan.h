#pragma once

#include "catalogue/album.h"
#include "catalogue/textcompare.h"

#include <QList>
#include <QString>

#include <functional>
#include <vector>

// One album found in a music folder: the name the catalogue would file it under and how many
// audio files make it.
struct FoundAlbum {
    enum class Status {
        New,         // not in the catalogue yet
        InCatalogue, // the catalogue has the same artist and album already (letter case ignored)
        Unstorable,  // the data file cannot carry the name; reason says why
    };
    QString artist;
    QString title;
    int fileCount = 0;
    Status status = Status::New;
    QString reason; // for Unstorable: a Czech sentence naming the field and the fault
};

struct MusicScan {
    // By artist, then by album, as the catalogue tree sorts them; empty when cancelled.
    QList<FoundAlbum> albums;
    // Audio files the scan went through: those of the albums plus the two kinds skipped.
    int filesRead = 0;
    int skippedUnreadable = 0; // TagLib cannot read the file, or finds no audio in it
    int skippedNoName = 0;     // neither usable tags nor a folder name that gives the album
    bool cancelled = false;
};

// Called after every audio file (and now and then among other files) with the number of audio
// files read so far; returning false stops the scan.
using ScanProgress = std::function<bool(int filesRead)>;

// Walks folder and every folder below it for audio files (by extension: mp3, flac, ogg, oga, opus,
// m4a, mp4, wma), reads their tags and groups them into albums:
// - the album of a file is (album artist, else artist; album title) from its tags, both required;
// - a file without them takes the album from its folder: a folder named "Artist - Album", else
//   "Artist/Album" from the folder and the one above it when the folder lies below folder itself;
// - files of the same artist and album, letter case ignored, are one album, spelled as the
//   catalogue spells the artist or album where it has them, else as the file of the first path;
// - symbolic links to folders are not followed, unreadable folders and hidden ones are passed by.
// Texts are trimmed and composed (NFC). Each album is compared with catalogue and checked for
// what the data file can carry. Safe on a worker thread: it uses only its arguments and its own
// copy of order (the caller must not change catalogue while it runs).
MusicScan scanMusicFolder(const QString& folder, const std::vector<Album>& catalogue,
                          const ScanProgress& progress = {},
                          const TextCompare& order = TextCompare::program());
