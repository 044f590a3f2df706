#pragma once

#include <QString>

// One album of the catalogue, filed under an artist, either a new release or not.
struct Album {
    QString artist;
    QString title;
    bool isNew = false;
};
