#include "catalogue_generator.h"

#include "catalogue/windows1250.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace {

const QStringList& words() {
    static const QStringList w = [] {
        return QString::fromUtf8(
                   "láska noc den řeka Praha čas srdce píseň cesta žena muž vítr déšť slunce "
                   "měsíc hvězda moře ticho světlo stín oheň voda země nebe domov svoboda sen "
                   "pravda ďábel anděl kůň pes kočka zvon růže dívka chlapec jaro léto podzim "
                   "zima město vesnice les hora údolí most brána okno dveře Brno Ostrava Čechy "
                   "Morava ulice kámen zlato stříbro Žižkov Vyšehrad ňadra úsvit soumrak "
                   "love night road blue fire heart dream rock roll live best of greatest hits "
                   "vol. part one two 1968 1989 2001 remastered deluxe edition")
            .split(u' ', Qt::SkipEmptyParts);
    }();
    return w;
}

// Most names are short and a few are long, as in a real collection: the length runs from minLen
// to maxLen, a quarter of the way on average.
QString name(QRandomGenerator& rng, int minLen, int maxLen) {
    const double u = rng.generateDouble();
    const int target = minLen + int((maxLen - minLen) * u * u * u + 0.5);
    QString out;
    while (out.size() < target) {
        if (!out.isEmpty())
            out += rng.bounded(8) == 0 ? QStringLiteral(", ") : QStringLiteral(" ");
        QString w = words()[int(rng.bounded(qsizetype(words().size())))];
        if (out.isEmpty() || rng.bounded(4) == 0)
            w[0] = w[0].toUpper();
        out += w;
    }
    out.truncate(target);
    while (out.endsWith(u' ') || out.endsWith(u','))
        out.chop(1);
    if (out.size() < minLen)
        out += QStringLiteral("x").repeated(minLen - out.size());
    return out;
}

} // namespace

QByteArray generateCatalogue(qsizetype albums, quint32 seed) {
    QRandomGenerator rng(seed);
    const qsizetype artistCount = qMax<qsizetype>(1, albums / 50);
    QStringList artists;
    artists.reserve(artistCount);
    for (qsizetype i = 0; i < artistCount; ++i)
        artists << name(rng, 5, 60) + QStringLiteral(" %1").arg(i % 97);

    QByteArray out;
    out.reserve(albums * 48);
    QString last;
    QString lastArtist;
    bool lastNew = false;
    for (qsizetype i = 0; i < albums; ++i) {
        QString artist, album;
        bool isNew;
        if (i > 0 && rng.bounded(1000) == 0) { // a duplicate record now and then
            artist = lastArtist;
            album = last;
            isNew = lastNew;
        } else {
            artist = artists[int(rng.bounded(artistCount))];
            album = name(rng, 5, 60);
            isNew = rng.bounded(10) == 0;
        }
        out += '"';
        Windows1250::encodeAppend(artist, out);
        out += "\",\"";
        Windows1250::encodeAppend(album, out);
        out += isNew ? "\",#TRUE#\r\n" : "\",#FALSE#\r\n";
        lastArtist = artist;
        last = album;
        lastNew = isNew;
    }
    out += "\"#DataOwner\",\"";
    Windows1250::encodeAppend(QStringLiteral("Generovaný katalog"), out);
    out += "\",#FALSE#\r\n";
    out += "\"#ContactEmail\",\"katalog@example.org\",#FALSE#\r\n";
    return out;
}
