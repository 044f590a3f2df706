// Scanning a music folder: albums from tags of each kind and from folder names, the catalogue's
// albums recognised, names the data file cannot carry refused, broken files counted.

#include "import/musicscan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <taglib/flacfile.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>

using namespace Qt::StringLiterals;

namespace {

// Writes the track "path|kind|artist|album|album artist" (fields after path may be left out), kind
// v1, v23, v24 (ID3 tags on MPEG audio), flac (Vorbis comments), empty, cut, noise; none: no tags.
void writeTrack(const QString& root, const QString& track) {
    const QStringList f = track.split(u'|') + QStringList(4, QString());
    const QString path = root + u'/' + f[0], kind = f[1];
    const QByteArray name = QFile::encodeName(path);
    QByteArray noise(kind == u"noise"_s ? 3000 : 0, '\0');
    QRandomGenerator(17).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    // Two frames of silence (MPEG-1 Layer III, 32 kbit/s, 32 kHz, mono), the least TagLib reads
    // as audio; "fLaC" and a STREAMINFO block (4096-sample blocks, 44.1 kHz, stereo, 16 bits).
    const QByteArray frame = "\xFF\xFB\x18\xC0"_ba + QByteArray(140, '\0');
    const QByteArray flac = "fLaC\x80\x00\x00\x22\x10\x00\x10\0\0\0\0\0\0\0\x0A\xC4\x42\xF0"_ba;
    const bool bad = kind == u"empty"_s || kind == u"noise"_s;
    const QByteArray bytes = kind == u"flac"_s ? flac + QByteArray(20, '\0')
                             : bad             ? noise
                                               : frame + frame;
    QDir().mkpath(QFileInfo(path).path());
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush());
    TagLib::PropertyMap tags;
    for (const auto& [key, k] : {std::pair{"ARTIST", 2}, {"ALBUM", 3}, {"ALBUMARTIST", 4}})
        if (!f[k].isEmpty())
            tags.replace(key, TagLib::String(f[k].toStdString(), TagLib::String::UTF8));
    if (kind == u"cut"_s) {
        writeTrack(root, f[0] + u"|v24|Cut|Short"_s);
        QVERIFY(QFile::resize(path, 40));
    } else if (kind == u"flac"_s) {
        TagLib::FLAC::File file(name.constData());
        file.setProperties(tags);
        QVERIFY(file.save());
    } else if (kind.startsWith(u'v')) {
        TagLib::MPEG::File file(name.constData());
        file.ID3v1Tag(true);
        file.setProperties(tags);
        QVERIFY(file.save(kind == u"v1"_s ? TagLib::MPEG::File::ID3v1 : TagLib::MPEG::File::ID3v2,
                          TagLib::File::StripOthers,
                          kind == u"v23"_s ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4));
    }
}

// The albums as "artist|album|files|status", then the counts.
QStringList describe(const MusicScan& scan) {
    static const char* const statuses[] = {"new", "in catalogue", "refused"};
    QStringList out;
    int files = 0;
    for (const FoundAlbum& a : scan.albums) {
        out << u"%1|%2|%3|%4"_s.arg(a.artist, a.title, QString::number(a.fileCount),
                                    QLatin1StringView(statuses[int(a.status)]));
        if ((a.status == FoundAlbum::Status::Unstorable) == a.reason.isEmpty())
            out << u"reason wrong for "_s + a.title;
        files += a.fileCount;
    }
    out << u"read %1, unreadable %2, no name %3"_s.arg(QString::number(scan.filesRead),
                                                       QString::number(scan.skippedUnreadable),
                                                       QString::number(scan.skippedNoName));
    if (!scan.cancelled && files + scan.skippedUnreadable + scan.skippedNoName != scan.filesRead)
        out << u"counts do not add up"_s;
    return out;
}

MusicScan scan(const QString& root, const ScanProgress& progress = {}) {
    return scanMusicFolder(
        root, {{u"Pink Floyd"_s, u"The Wall"_s, false}, {u"Olympic"_s, u"Dávno"_s, true}},
        progress);
}

} // namespace

class TestScan : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void albums_data() {
        QTest::addColumn<QStringList>("tracks");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("ID3v1, extension in capitals, not audio, hidden")
            << QStringList{u"a/1.mp3|v1|Abba|Gold"_s, u"a/2.MP3|v1|Abba|Gold"_s,
                           u"a/cover.jpg|v1|X|Y"_s, u"a/._1.mp3|empty"_s}
            << QStringList{u"Abba|Gold|2|new"_s, u"read 2, unreadable 0, no name 0"_s};
        QTest::newRow("ID3v2.3 UTF-16, album artist first")
            << QStringList{u"x/1.mp3|v23|Jan Novák|Žluťoučký kůň|Různí interpreti"_s,
                           u"x/2.mp3|v23|Eva Dvořáková|Žluťoučký kůň|Různí interpreti"_s}
            << QStringList{u"Různí interpreti|Žluťoučký kůň|2|new"_s,
                           u"read 2, unreadable 0, no name 0"_s};
        QTest::newRow("ID3v2.4 UTF-8, trimmed, composed")
            << QStringList{u"1.mp3|v24|Hana Hegerova\u0301| Potměšilý host "_s}
            << QStringList{u"Hana Hegerová|Potměšilý host|1|new"_s,
                           u"read 1, unreadable 0, no name 0"_s};
        QTest::newRow("Vorbis comments")
            << QStringList{u"f/1.flac|flac|Čechomor|Proměny"_s,
                           u"f/2.flac|flac|Host|Proměny|Čechomor"_s}
            << QStringList{u"Čechomor|Proměny|2|new"_s, u"read 2, unreadable 0, no name 0"_s};
        QTest::newRow("letter case, first path spells")
            << QStringList{u"2.mp3|v1|abba|gold"_s, u"1.mp3|v24|ABBA|GOLD"_s}
            << QStringList{u"ABBA|GOLD|2|new"_s, u"read 2, unreadable 0, no name 0"_s};
        QTest::newRow("catalogue in another case, catalogue spells")
            << QStringList{u"1.mp3|v24|PINK FLOYD|the wall"_s, u"2.mp3|v1|pink floyd|Animals"_s,
                           u"3.flac|flac|olympic|DÁVNO"_s}
            << QStringList{u"Olympic|Dávno|1|in catalogue"_s, u"Pink Floyd|Animals|1|new"_s,
                           u"Pink Floyd|The Wall|1|in catalogue"_s,
                           u"read 3, unreadable 0, no name 0"_s};
        QTest::newRow("folder names")
            << QStringList{u"Beatles/Help/01.mp3"_s,
                           u"Beatles/Help/02.flac|flac"_s,
                           u"Rock/Queen - Jazz/01.mp3"_s,
                           u"Kabát/Colorado/01.mp3|v24||Colorado"_s,
                           u"loose.mp3"_s,
                           u"Kabát/ - /01.mp3"_s}
            << QStringList{u"Beatles|Help|2|new"_s, u"Kabát|-|1|new"_s, u"Kabát|Colorado|1|new"_s,
                           u"Queen|Jazz|1|new"_s, u"read 6, unreadable 0, no name 1"_s};
        QTest::newRow("names the data file cannot carry")
            << QStringList{u"1.mp3|v24|久石譲|Spirited Away"_s, u"2.flac|flac|Queen|Hits 🎸"_s,
                           u"3.mp3|v23|Laura|Say \"Hi\""_s, u"4.mp3|v24|#dataowner|X"_s,
                           u"Ráno/Noc/5.mp3|v24|Laura|Line\nbreak"_s}
            << QStringList{
                   u"#dataowner|X|1|refused"_s,         u"Laura|Line\nbreak|1|refused"_s,
                   u"Laura|Say \"Hi\"|1|refused"_s,     u"Queen|Hits 🎸|1|refused"_s,
                   u"久石譲|Spirited Away|1|refused"_s, u"read 5, unreadable 0, no name 0"_s};
        QTest::newRow("unreadable files")
            << u"A/B/zero.mp3|empty,A/B/zero.flac|empty,A/B/cut.mp3|cut,A/B/noise.mp3|noise,"
               u"A/B/noise.ogg|noise,A/B/noise.opus|noise,A/B/noise.m4a|noise,"
               u"A/B/noise.wma|noise,A/B/fine.mp3"_s.split(u',')
            << QStringList{u"A|B|1|new"_s, u"read 9, unreadable 8, no name 0"_s};
    }
    void albums() {
        QFETCH(QStringList, tracks);
        QFETCH(QStringList, expected);
        const QTemporaryDir dir;
        for (const QString& t : tracks)
            writeTrack(dir.path(), t);
        QCOMPARE(describe(scan(dir.path())), expected);
    }

    // A link back up the tree is not followed (no endless walk), and a folder removed while it is
    // read ends the walk with what was read.
    void hostileFolders() {
        const QTemporaryDir dir;
        writeTrack(dir.path(), u"A/B/1.mp3"_s);
        QVERIFY(QFile::link(dir.path(), dir.filePath(u"A/B/loop"_s)));
        QCOMPARE(describe(scan(dir.path())),
                 (QStringList{u"A|B|1|new"_s, u"read 1, unreadable 0, no name 0"_s}));
        writeTrack(dir.path(), u"A/C/1.mp3"_s);
        const MusicScan gone = scan(dir.path(), [&](int) {
            QDir(dir.path()).removeRecursively();
            return true;
        });
        QVERIFY(!gone.cancelled && gone.filesRead <= 2);
    }

    // Stopped after the third file: at once, and no album half read.
    void cancelled() {
        const QTemporaryDir dir;
        for (int i = 0; i < 20; ++i)
            writeTrack(dir.path(), u"Artist/Album %1/1.mp3"_s.arg(i));
        const MusicScan found = scan(dir.path(), [](int read) { return read < 3; });
        QVERIFY(found.cancelled && found.filesRead == 3 && found.albums.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
