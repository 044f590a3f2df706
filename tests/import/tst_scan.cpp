// Scanning a music folder: albums from tags of each kind and from folder names, the catalogue's
// albums recognised, names the data file cannot carry refused, and hostile folders survived.

#include "import/musicscan.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/xiphcomment.h>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

enum class Kind { Id3v1, Id3v23, Id3v24, Flac, Untagged, Empty, Truncated, Random };

struct Track {
    Track(const QString& path = {}, Kind kind = Kind::Untagged, const QString& artist = {},
          const QString& album = {}, const QString& albumArtist = {})
        : path(path), kind(kind), artist(artist), album(album), albumArtist(albumArtist) {}
    QString path;
    Kind kind;
    QString artist, album, albumArtist;
};

TagLib::String tl(const QString& s) {
    return TagLib::String(s.toStdString(), TagLib::String::UTF8);
}

// Two frames of silence, MPEG-1 Layer III, 32 kbit/s, 32 kHz, mono: the least TagLib reads as
// audio.
QByteArray mpegFrames() {
    QByteArray frame(144, '\0');
    frame[0] = char(0xFF), frame[1] = char(0xFB), frame[2] = char(0x18), frame[3] = char(0xC0);
    return frame + frame;
}

// "fLaC" and a STREAMINFO block (44.1 kHz, stereo, 16 bits), no audio frames.
QByteArray flacStream() {
    QByteArray info(34, '\0');
    info[0] = info[2] = 0x10;                     // block sizes 4096
    info[10] = char(0x0A), info[11] = char(0xC4); // 44100 = 0xAC44 in 20 bits ...
    info[12] = char(0x42), info[13] = char(0xF0); // ... then 2 channels, 16 bits
    return "fLaC\x80\x00\x00\x22"_ba + info;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

void addId3v2(TagLib::ID3v2::Tag* tag, const char* id, const QString& text,
              TagLib::String::Type encoding) {
    if (text.isEmpty())
        return;
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, encoding);
    frame->setText(tl(text));
    tag->addFrame(frame);
}

void writeTrack(const QString& root, const Track& t) {
    const QString path = root + u'/' + t.path;
    const QByteArray name = QFile::encodeName(path);
    switch (t.kind) {
    case Kind::Empty:
        return writeBytes(path, {});
    case Kind::Random: {
        QByteArray noise(3000, '\0');
        QRandomGenerator(17).fillRange(reinterpret_cast<quint32*>(noise.data()), 750);
        return writeBytes(path, noise);
    }
    case Kind::Truncated:
        writeTrack(root, {t.path, Kind::Id3v24, u"Cut"_s, u"Short"_s});
        QVERIFY(QFile::resize(path, 40));
        return;
    case Kind::Flac: {
        writeBytes(path, flacStream());
        TagLib::FLAC::File file(name.constData());
        TagLib::Ogg::XiphComment* tag = file.xiphComment(true);
        tag->setArtist(tl(t.artist));
        tag->setAlbum(tl(t.album));
        if (!t.albumArtist.isEmpty())
            tag->addField("ALBUMARTIST", tl(t.albumArtist));
        QVERIFY(file.save());
        return;
    }
    default:
        writeBytes(path, mpegFrames());
    }
    TagLib::MPEG::File file(name.constData());
    if (t.kind == Kind::Id3v1) {
        file.ID3v1Tag(true)->setArtist(tl(t.artist));
        file.ID3v1Tag(true)->setAlbum(tl(t.album));
        QVERIFY(file.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripOthers));
    } else if (t.kind != Kind::Untagged) {
        const bool v3 = t.kind == Kind::Id3v23;
        const auto encoding = v3 ? TagLib::String::UTF16 : TagLib::String::UTF8;
        addId3v2(file.ID3v2Tag(true), "TPE1", t.artist, encoding);
        addId3v2(file.ID3v2Tag(true), "TPE2", t.albumArtist, encoding);
        addId3v2(file.ID3v2Tag(true), "TALB", t.album, encoding);
        QVERIFY(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
                          v3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4));
    }
}

// The albums as "artist|album|files|status", then the counts.
QStringList describe(const MusicScan& scan) {
    static const char* const statuses[] = {"new", "in catalogue", "refused"};
    QStringList out;
    int files = 0;
    for (const FoundAlbum& a : scan.albums) {
        const bool refused = a.status == FoundAlbum::Status::Unstorable;
        out << u"%1|%2|%3|%4"_s.arg(a.artist, a.title)
                   .arg(a.fileCount)
                   .arg(QLatin1StringView(statuses[int(a.status)]));
        if (refused == a.reason.isEmpty())
            out << u"reason wrong for "_s + a.title;
        files += a.fileCount;
    }
    out << u"read %1, unreadable %2, no name %3"_s.arg(scan.filesRead)
               .arg(scan.skippedUnreadable)
               .arg(scan.skippedNoName);
    if (!scan.cancelled && files + scan.skippedUnreadable + scan.skippedNoName != scan.filesRead)
        out << u"counts do not add up"_s;
    return out;
}

const std::vector<Album> catalogue = {{u"Pink Floyd"_s, u"The Wall"_s, false},
                                      {u"Olympic"_s, u"Dávno"_s, true}};

MusicScan scan(const QString& root, const ScanProgress& progress = {}) {
    return scanMusicFolder(root, catalogue, progress);
}

// Root reads any folder: run as root, the scan runs in a child process as the user nobody.
QStringList describeScanWithoutRoot(const QString& root) {
    if (::geteuid() != 0)
        return describe(scan(root));
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {u"no pipe"_s};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        const bool dropped =
            ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
        const QByteArray out = dropped ? describe(scan(root)).join(u'\n').toUtf8() : "root";
        const bool written = ::write(pipeEnds[1], out.constData(), out.size()) == out.size();
        ::_exit(written ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    QFile fromChild;
    fromChild.open(pipeEnds[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QString out = QString::fromUtf8(fromChild.readAll());
    ::waitpid(child, nullptr, 0);
    return out.split(u'\n');
}

} // namespace

Q_DECLARE_METATYPE(QList<Track>)

class TestScan : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_root;

private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }
    void init() {
        m_root = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u'/' +
                                QString::fromUtf8(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(m_root));
    }
    void cleanup() { QDir(m_root).removeRecursively(); }

    void albums_data() {
        QTest::addColumn<QList<Track>>("tracks");
        QTest::addColumn<QStringList>("expected");
        using K = Kind;
        QTest::newRow("ID3v1, extension in capitals, not audio")
            << QList<Track>{{u"a/1.mp3"_s, K::Id3v1, u"Abba"_s, u"Gold"_s},
                            {u"a/2.MP3"_s, K::Id3v1, u"Abba"_s, u"Gold"_s},
                            {u"a/cover.jpg"_s, K::Id3v1, u"X"_s, u"Y"_s}}
            << QStringList{u"Abba|Gold|2|new"_s, u"read 2, unreadable 0, no name 0"_s};
        QTest::newRow("ID3v2.3 UTF-16, album artist first")
            << QList<Track>{{u"x/1.mp3"_s, K::Id3v23, u"Jan Novák"_s, u"Žluťoučký kůň"_s,
                             u"Různí interpreti"_s},
                            {u"x/2.mp3"_s, K::Id3v23, u"Eva Dvořáková"_s, u"Žluťoučký kůň"_s,
                             u"Různí interpreti"_s}}
            << QStringList{u"Různí interpreti|Žluťoučký kůň|2|new"_s,
                           u"read 2, unreadable 0, no name 0"_s};
        QTest::newRow("ID3v2.4 UTF-8, decomposed text composed")
            << QList<Track>{{u"1.mp3"_s, K::Id3v24, u"Hana Hegerova\u0301"_s,
                             u" Potměšilý host "_s}}
            << QStringList{u"Hana Hegerová|Potměšilý host|1|new"_s,
                           u"read 1, unreadable 0, no name 0"_s};
        QTest::newRow("Vorbis comments")
            << QList<Track>{{u"f/1.flac"_s, K::Flac, u"Čechomor"_s, u"Proměny"_s},
                            {u"f/2.flac"_s, K::Flac, u"Host"_s, u"Proměny"_s, u"Čechomor"_s}}
            << QStringList{u"Čechomor|Proměny|2|new"_s, u"read 2, unreadable 0, no name 0"_s};
        QTest::newRow("letter case, first path spells")
            << QList<Track>{{u"2.mp3"_s, K::Id3v1, u"abba"_s, u"gold"_s},
                            {u"1.mp3"_s, K::Id3v24, u"ABBA"_s, u"GOLD"_s}}
            << QStringList{u"ABBA|GOLD|2|new"_s, u"read 2, unreadable 0, no name 0"_s};
        QTest::newRow("catalogue in another case, catalogue spells")
            << QList<Track>{{u"1.mp3"_s, K::Id3v24, u"PINK FLOYD"_s, u"the wall"_s},
                            {u"2.mp3"_s, K::Id3v1, u"pink floyd"_s, u"Animals"_s},
                            {u"3.flac"_s, K::Flac, u"olympic"_s, u"DÁVNO"_s}}
            << QStringList{u"Olympic|Dávno|1|in catalogue"_s, u"Pink Floyd|Animals|1|new"_s,
                           u"Pink Floyd|The Wall|1|in catalogue"_s,
                           u"read 3, unreadable 0, no name 0"_s};
        QTest::newRow("folder names")
            << QList<Track>{{u"Beatles/Help/01.mp3"_s},
                            {u"Beatles/Help/02.flac"_s, K::Flac},
                            {u"Rock/Queen - Jazz/01.mp3"_s},
                            {u"Kabát/Colorado/01.mp3"_s, K::Id3v24, {}, u"Colorado"_s},
                            {u"loose.mp3"_s},
                            {u"Kabát/ - /01.mp3"_s}}
            << QStringList{u"Beatles|Help|2|new"_s, u"Kabát|-|1|new"_s, u"Kabát|Colorado|1|new"_s,
                           u"Queen|Jazz|1|new"_s, u"read 6, unreadable 0, no name 1"_s};
        QTest::newRow("names the data file cannot carry")
            << QList<Track>{{u"1.mp3"_s, K::Id3v24, u"久石譲"_s, u"Spirited Away"_s},
                            {u"2.flac"_s, K::Flac, u"Queen"_s, u"Hits 🎸"_s},
                            {u"3.mp3"_s, K::Id3v23, u"Laura"_s, u"Say \"Hi\""_s},
                            {u"4.mp3"_s, K::Id3v24, u"#dataowner"_s, u"X"_s},
                            {u"Ráno/Noc/5.mp3"_s, K::Id3v24, u"Laura"_s, u"Line\nbreak"_s}}
            << QStringList{
                   u"#dataowner|X|1|refused"_s,         u"Laura|Line\nbreak|1|refused"_s,
                   u"Laura|Say \"Hi\"|1|refused"_s,     u"Queen|Hits 🎸|1|refused"_s,
                   u"久石譲|Spirited Away|1|refused"_s, u"read 5, unreadable 0, no name 0"_s};
        QTest::newRow("unreadable files")
            << QList<Track>{{u"A/B/zero.mp3"_s, K::Empty},
                            {u"A/B/zero.flac"_s, K::Empty},
                            {u"A/B/cut.mp3"_s, K::Truncated},
                            {u"A/B/noise.mp3"_s, K::Random},
                            {u"A/B/noise.ogg"_s, K::Random},
                            {u"A/B/noise.opus"_s, K::Random},
                            {u"A/B/noise.m4a"_s, K::Random},
                            {u"A/B/noise.wma"_s, K::Random},
                            {u"A/B/fine.mp3"_s}}
            << QStringList{u"A|B|1|new"_s, u"read 9, unreadable 8, no name 0"_s};
    }
    void albums() {
        QFETCH(QList<Track>, tracks);
        QFETCH(QStringList, expected);
        for (const Track& t : tracks) {
            writeTrack(m_root, t);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(describe(scan(m_root)), expected);
    }

    void tenThousandFilesInOneFolder() {
        writeTrack(m_root, {u"t.mp3"_s, Kind::Id3v24, u"Many"_s, u"Files"_s});
        QFile template_(m_root + u"/t.mp3"_s);
        QVERIFY(template_.open(QIODevice::ReadOnly));
        const QByteArray bytes = template_.readAll();
        QVERIFY(template_.remove());
        for (int i = 0; i < 10000; ++i)
            writeBytes(m_root + u"/one/%1.mp3"_s.arg(i), bytes);
        QCOMPARE(describe(scan(m_root)), (QStringList{u"Many|Files|10000|new"_s,
                                                      u"read 10000, unreadable 0, no name 0"_s}));
    }

    void symbolicLinkLoop() {
        writeTrack(m_root, {u"Loop/Album/1.mp3"_s});
        QVERIFY(QFile::link(u"../.."_s, m_root + u"/Loop/Album/up"_s));
        QVERIFY(QFile::link(u"."_s, m_root + u"/Loop/Album/here"_s));
        QCOMPARE(describe(scan(m_root)),
                 (QStringList{u"Loop|Album|1|new"_s, u"read 1, unreadable 0, no name 0"_s}));
    }

    void unreadableFolder() {
        writeTrack(m_root, {u"Open/Album/1.mp3"_s});
        writeTrack(m_root, {u"Shut/Album/1.mp3"_s});
        QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ExeOther | QFile::ReadOwner |
                                                        QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::setPermissions(m_root + u"/Shut"_s, {}));
        const QStringList found = describeScanWithoutRoot(m_root);
        QVERIFY(QFile::setPermissions(m_root + u"/Shut"_s,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        if (found == QStringList{u"root"_s})
            QSKIP("Run as root, and the rights of root cannot be dropped to test this.");
        QCOMPARE(found, (QStringList{u"Open|Album|1|new"_s, u"read 1, unreadable 0, no name 0"_s}));
    }

    // The folder removed after the first file (as another program might) and the scan stopped
    // after the third: both end at once with what was read and counts that add up.
    void stoppedEarly_data() {
        QTest::addColumn<bool>("removeFolder");
        QTest::newRow("folder removed") << true;
        QTest::newRow("cancelled") << false;
    }
    void stoppedEarly() {
        QFETCH(bool, removeFolder);
        for (int i = 0; i < 20; ++i)
            writeTrack(m_root, {u"Artist/Album %1/1.mp3"_s.arg(i)});
        const MusicScan found = scan(m_root, [&](int read) {
            return removeFolder ? QDir(m_root).removeRecursively() || true : read < 3;
        });
        QVERIFY(!describe(found).contains(u"counts do not add up"_s));
        QCOMPARE(found.cancelled, !removeFolder);
        if (removeFolder)
            QVERIFY(found.filesRead < 20);
        else
            QCOMPARE(found.filesRead, 3);
        QCOMPARE(found.albums.isEmpty(),
                 !removeFolder || found.filesRead == found.skippedUnreadable);
    }
};

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
