#include "music_generator.h"

#include <QDir>
#include <QFile>

#include <taglib/id3v2tag.h>
#include <taglib/textidentificationframe.h>

namespace {

constexpr int albumsPerArtist = 5;

TagLib::String tl(const QString& s) {
    return TagLib::String(s.toStdString(), TagLib::String::UTF8);
}

void addText(TagLib::ID3v2::Tag& tag, const char* id, const QString& text) {
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::UTF8);
    frame->setText(tl(text));
    tag.addFrame(frame);
}

// Two frames of silence, MPEG-1 Layer III, 32 kbit/s, 32 kHz, mono.
QByteArray mpegFrames() {
    QByteArray frame(144, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x18);
    frame[3] = char(0xC0);
    return frame + frame;
}

} // namespace

QString generatedArtist(int album) {
    return QStringLiteral("Skupina Žluťoučký kůň %1").arg(album / albumsPerArtist);
}

QString generatedTitle(int album) {
    return QStringLiteral("Úpěl ďábelské ódy, díl %1").arg(album % albumsPerArtist + 1);
}

int generateMusicFolder(const QString& root, int albums, int tracksPerAlbum) {
    const QByteArray audio = mpegFrames();
    int written = 0;
    for (int a = 0; a < albums; ++a) {
        const QString artist = generatedArtist(a);
        const QString title = generatedTitle(a);
        const QString folder = root + u'/' + artist + u'/' + title;
        if (!QDir().mkpath(folder))
            return -1;
        for (int t = 1; t <= tracksPerAlbum; ++t) {
            TagLib::ID3v2::Tag tag;
            addText(tag, "TPE1", artist);
            addText(tag, "TALB", title);
            addText(tag, "TIT2", QStringLiteral("Skladba číslo %1").arg(t));
            const TagLib::ByteVector rendered = tag.render(TagLib::ID3v2::v4);
            QFile file(folder + QStringLiteral("/%1.mp3").arg(t, 2, 10, QChar(u'0')));
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(rendered.data(), rendered.size()) != rendered.size() ||
                file.write(audio) != audio.size())
                return -1;
            ++written;
        }
    }
    return written;
}
