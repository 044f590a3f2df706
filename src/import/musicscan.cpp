#include "musicscan.h"

#include "catalogue/datafile.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QStringView>

#include <taglib/fileref.h>
#include <taglib/tfile.h>
#include <taglib/tpropertymap.h>

#include <map>
#include <memory>
#include <optional>

namespace {

bool isAudioFile(QStringView name) {
    static constexpr QStringView extensions[] = {u"mp3",  u"flac", u"ogg", u"oga",
                                                 u"opus", u"m4a",  u"mp4", u"wma"};
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QStringView ext = name.mid(dot + 1);
    for (QStringView known : extensions)
        if (ext.compare(known, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString clean(const QString& text) {
    return text.trimmed().normalized(QString::NormalizationForm_C);
}

struct AlbumName {
    QString artist;
    QString title;
    bool isValid() const { return !artist.isEmpty() && !title.isEmpty(); }
};

// The album of a file from its tags; nullopt when TagLib cannot read the file or finds no audio in
// it, an invalid name when the tags do not give both parts.
std::optional<AlbumName> albumFromTags(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const TagLib::FileRef file(name.constData(), true, TagLib::AudioProperties::Fast);
    if (file.isNull() || !file.file()->isValid() || !file.audioProperties() ||
        file.audioProperties()->sampleRate() <= 0)
        return std::nullopt;
    const TagLib::PropertyMap tags = file.file()->properties();
    auto first = [&tags](const char* key) {
        const auto it = tags.find(key);
        if (it == tags.end() || it->second.isEmpty())
            return QString();
        return clean(QString::fromStdString(it->second.front().to8Bit(true)));
    };
    AlbumName album{first("ALBUMARTIST"), first("ALBUM")};
    if (album.artist.isEmpty())
        album.artist = first("ARTIST");
    return album;
}

// The album a folder's name gives the untagged files in it: "Artist - Album", else the folder
// above and the folder when the folder lies below the scanned root.
AlbumName albumFromFolder(const QString& folder, const QString& root) {
    const qsizetype slash = folder.lastIndexOf(u'/');
    const QString name = folder.mid(slash + 1);
    if (const qsizetype dash = name.indexOf(u" - "); dash > 0) {
        AlbumName album{clean(name.left(dash)), clean(name.mid(dash + 3))};
        if (album.isValid())
            return album;
    }
    if (folder.size() <= root.size() || slash <= 0)
        return {};
    const QStringView above = QStringView(folder).left(slash);
    return {clean(above.mid(above.lastIndexOf(u'/') + 1).toString()), clean(name)};
}

struct Group {
    QString title;
    QString firstPath; // the path of the file whose spelling the album takes
    int files = 0;
    FoundAlbum::Status status = FoundAlbum::Status::New;
};

struct Ordered {
    const TextCompare* order;
    bool operator()(const QString& a, const QString& b) const { return order->less(a, b); }
};

using AlbumMap = std::map<QString, Group, Ordered>;

struct ArtistGroup {
    QString spelling;
    QString firstPath;
    bool fromCatalogue = false;
    AlbumMap albums;
};

// Albums by artist and title in the order of the tree; spellings that differ only in letter case
// meet in one entry.
class Grouping {
public:
    explicit Grouping(const TextCompare& order) : m_order(order), m_artists(Ordered{&order}) {}

    void add(const AlbumName& name, const QString& path) {
        const QString exact = name.artist + QChar(0) + name.title;
        auto hit = m_exact.constFind(exact);
        if (hit == m_exact.constEnd()) {
            auto artist = m_artists
                              .try_emplace(name.artist, ArtistGroup{name.artist, path, false,
                                                                    AlbumMap(Ordered{&m_order})})
                              .first;
            auto album =
                artist->second.albums
                    .try_emplace(name.title, Group{name.title, path, 0, FoundAlbum::Status::New})
                    .first;
            hit = m_exact.insert(exact, {&artist->second, &album->second});
        }
        auto [artist, album] = *hit;
        ++album->files;
        if (path < artist->firstPath) {
            artist->spelling = name.artist;
            artist->firstPath = path;
        }
        if (path < album->firstPath) {
            album->title = name.title;
            album->firstPath = path;
        }
    }

    // Marks the albums the catalogue has and takes the catalogue's spellings (after every add()).
    void compareWith(const std::vector<Album>& catalogue) {
        const QString* lastName = nullptr;
        ArtistGroup* artist = nullptr;
        for (const Album& a : catalogue) {
            if (!lastName || *lastName != a.artist) {
                const auto it = m_artists.find(a.artist);
                artist = it == m_artists.end() ? nullptr : &it->second;
                lastName = &a.artist;
                if (artist && !artist->fromCatalogue) {
                    artist->spelling = a.artist;
                    artist->fromCatalogue = true;
                }
            }
            if (!artist)
                continue;
            if (const auto it = artist->albums.find(a.title);
                it != artist->albums.end() &&
                it->second.status != FoundAlbum::Status::InCatalogue) {
                it->second.status = FoundAlbum::Status::InCatalogue;
                it->second.title = a.title;
            }
        }
    }

    QList<FoundAlbum> albums() const {
        QList<FoundAlbum> out;
        for (const auto& [key, artist] : m_artists) {
            const QString artistWhy = artistProblem(artist.spelling, true, m_order);
            for (const auto& [title, album] : artist.albums) {
                FoundAlbum found{artist.spelling, album.title, album.files, album.status, {}};
                if (found.status == FoundAlbum::Status::New) {
                    if (!artistWhy.isEmpty())
                        found.reason = QStringLiteral("Název položky artist ") + artistWhy + u'.';
                    else if (const QString why = valueProblem(album.title, true); !why.isEmpty())
                        found.reason = QStringLiteral("Název alba ") + why + u'.';
                    if (!found.reason.isEmpty())
                        found.status = FoundAlbum::Status::Unstorable;
                }
                out.append(found);
            }
        }
        return out;
    }

private:
    const TextCompare& m_order;
    std::map<QString, ArtistGroup, Ordered> m_artists;
    QHash<QString, std::pair<ArtistGroup*, Group*>> m_exact; // by the exact spelling
};

} // namespace

MusicScan scanMusicFolder(const QString& folder, const std::vector<Album>& catalogue,
                          const ScanProgress& progress, const TextCompare& order) {
    MusicScan result;
    Grouping grouping(order); // a TextCompare may serve several threads at once
    const QString root = QDir(folder).absolutePath();
    QString lastFolder;
    AlbumName folderAlbum;
    QDirIterator it(root, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    for (int entries = 1; it.hasNext(); ++entries) {
        const QString path = it.next();
        const qsizetype slash = path.lastIndexOf(u'/');
        const bool audio = isAudioFile(QStringView(path).mid(slash + 1));
        if (audio) {
            ++result.filesRead;
            const std::optional<AlbumName> tagged = albumFromTags(path);
            if (!tagged) {
                ++result.skippedUnreadable;
            } else if (tagged->isValid()) {
                grouping.add(*tagged, path);
            } else {
                if (QStringView(path).left(slash) != lastFolder) {
                    lastFolder = path.left(slash);
                    folderAlbum = albumFromFolder(lastFolder, root);
                }
                if (folderAlbum.isValid())
                    grouping.add(folderAlbum, path);
                else
                    ++result.skippedNoName;
            }
        }
        // Asked after every audio file, and now and then among other files, so that a long
        // stretch of them can be cancelled as well.
        if ((audio || entries % 256 == 0) && progress && !progress(result.filesRead)) {
            result.cancelled = true;
            return result;
        }
    }
    grouping.compareWith(catalogue);
    result.albums = grouping.albums();
    return result;
}
