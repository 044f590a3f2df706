#include "catalogue_generator.h"

#include "catalogue/windows1250.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

const QStringList& words() {
    static const QStringList w =
        QString::fromUtf8("láska noc den řeka Praha čas srdce píseň cesta žena muž "
                          "vítr déšť slunce měsíc hvězda moře ticho světlo stín oheň "
                          "voda země nebe domov svoboda sen pravda ďábel anděl kůň pes "
                          "kočka zvon růže dívka chlapec jaro léto podzim zima město "
                          "les hora údolí most brána okno Brno Ostrava Čechy Morava "
                          "ulice kámen zlato Žižkov ňadra úsvit soumrak love night road "
                          "blue fire heart dream rock roll band boys girls brothers "
                          "orchestra quartet 1968 1989 2001 vol. part one two")
            .split(u' ', Qt::SkipEmptyParts);
    return w;
}

// The words many names begin with.
const QStringList& openings() {
    static const QStringList o{
        QStringLiteral("The"),     QStringLiteral("Best of"),       QStringLiteral("Live"),
        QStringLiteral("Live at"), QStringLiteral("Greatest Hits"), QStringLiteral("Old"),
        QStringLiteral("Velký"),   QStringLiteral("Malá"),          QStringLiteral("Ze"),
    };
    return o;
}

// One to five words, often after a common opening; a comma now and then.
QString name(QRandomGenerator& rng) {
    QString out;
    if (rng.bounded(3) == 0)
        out = openings()[rng.bounded(qsizetype(openings().size()))];
    const int count = 1 + int(rng.bounded(3)) + (rng.bounded(4) == 0 ? 2 : 0);
    for (int k = 0; k < count; ++k) {
        if (!out.isEmpty())
            out += rng.bounded(10) == 0 ? QStringLiteral(", ") : QStringLiteral(" ");
        QString w = words()[rng.bounded(qsizetype(words().size()))];
        if (out.isEmpty() || rng.bounded(3) == 0)
            w[0] = w[0].toUpper();
        out += w;
    }
    return out;
}

} // namespace

QByteArray generateCatalogue(qsizetype albums, int albumsPerArtist, quint32 seed) {
    QRandomGenerator rng(seed);
    const qsizetype artistCount = qMax<qsizetype>(1, albums / qMax(1, albumsPerArtist));
    QStringList artists;
    artists.reserve(artistCount);
    for (qsizetype i = 0; i < artistCount; ++i)
        artists << name(rng);

    // The lines of every artist, then shuffled: a catalogue added to over the years.
    std::vector<QByteArray> lines;
    lines.reserve(size_t(albums));
    for (qsizetype i = 0; i < albums; ++i) {
        QByteArray line;
        if (i > 0 && rng.bounded(1000) == 0) { // a duplicate record now and then
            line = lines.back();
        } else {
            line += '"';
            Windows1250::encodeAppend(artists[i % artistCount], line);
            line += "\",\"";
            Windows1250::encodeAppend(name(rng), line);
            line += rng.bounded(10) == 0 ? "\",#TRUE#\r\n" : "\",#FALSE#\r\n";
        }
        lines.push_back(std::move(line));
    }
    for (size_t i = lines.size(); i > 1; --i)
        std::swap(lines[i - 1], lines[size_t(rng.bounded(quint64(i)))]);

    QByteArray out;
    out.reserve(albums * 48);
    for (const QByteArray& line : lines)
        out += line;
    out += "\"#DataOwner\",\"";
    Windows1250::encodeAppend(QStringLiteral("Generovaný katalog"), out);
    out += "\",#FALSE#\r\n";
    out += "\"#ContactEmail\",\"katalog@example.org\",#FALSE#\r\n";
    return out;
}
