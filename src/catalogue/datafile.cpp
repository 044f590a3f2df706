#include "datafile.h"

#include "firstfields.h"
#include "parallel.h"
#include "shown.h"
#include "windows1250.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>

#include <unistd.h>

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kTrue("#TRUE#");
constexpr QByteArrayView kFalse("#FALSE#");

} // namespace

bool looksLikeUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const qsizetype n = bytes.size();
    bool latinLetter = false;
    for (qsizetype i = 0; i < n;) {
        // Plain ASCII runs, eight bytes at a time.
        if (i + 8 <= n) {
            uint64_t w;
            std::memcpy(&w, p + i, 8);
            if ((w & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        const uint8_t c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (int k = 1; k < len; ++k) {
            const uint8_t cc = p[i + k];
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        if (cp >= 0xC0 && cp <= 0x17F)
            latinLetter = true;
        i += len;
    }
    return latinLetter;
}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Reads one line into its three fields. Spaces may stand before and after each field.
struct LineFields {
    QByteArrayView field1, field2;
    bool isNew = false;
};

bool parseLine(QByteArrayView line, LineFields& out) {
    const char* p = line.data();
    const char* end = p + line.size();
    auto skipBlanks = [&] {
        while (p < end && isBlank(*p))
            ++p;
    };
    auto quoted = [&](QByteArrayView& field) {
        skipBlanks();
        if (p == end || *p != '"')
            return false;
        ++p;
        const void* close = std::memchr(p, '"', size_t(end - p));
        if (!close)
            return false;
        const char* q = static_cast<const char*>(close);
        field = QByteArrayView(p, q - p);
        p = q + 1;
        skipBlanks();
        if (p == end || *p != ',')
            return false;
        ++p;
        return true;
    };
    if (!quoted(out.field1) || !quoted(out.field2))
        return false;
    skipBlanks();
    const QByteArrayView rest(p, end - p);
    QByteArrayView word;
    if (rest.startsWith(kTrue)) {
        word = kTrue;
        out.isNew = true;
    } else if (rest.startsWith(kFalse)) {
        word = kFalse;
        out.isNew = false;
    } else {
        return false;
    }
    p += word.size();
    skipBlanks();
    return p == end;
}

// What a first field stands for. "#ContactEmail" sorts before "#DataOwner" and names of letters
// after both, so one comparison tells most names from both words.
LineKind kindOf(const QString& text, const TextCompare& compare) {
    const int c = compare.compare(text, u"#DataOwner");
    if (c == 0)
        return LineKind::Owner;
    return c < 0 && compare.equals(text, u"#ContactEmail") ? LineKind::Email : LineKind::Album;
}

// What one run of whole lines holds; several runs are read side by side.
struct Part {
    std::vector<Album> albums;
    std::optional<QString> owner;
    std::optional<QString> contactEmail;
    QList<qsizetype> skippedLines; // numbered from 1 within the run
    qsizetype lines = 0;
};

// The albums of bytes go to out; where bytes is the first run of a file of fileSize bytes, room is
// made for the albums of the whole file, as their number is likely to be in proportion, so those
// of the other runs can follow without moving these.
void parseLines(QByteArrayView bytes, qsizetype fileSize, bool utf8, const TextCompare& compare,
                Part& out) {
    auto decode = [utf8](QByteArrayView field) {
        return utf8 ? QString::fromUtf8(field) : Windows1250::decode(field);
    };
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    if (size == 0)
        return;

    qsizetype lineCount = 0;
    for (const char* p = data;
         (p = static_cast<const char*>(std::memchr(p, '\n', size_t(data + size - p)))); ++p)
        ++lineCount;
    // Room for the lines that can be albums: the shortest album line, "","",#TRUE#, takes 13
    // bytes with its line end (a file of bare line feeds must not ask for gigabytes).
    lineCount = std::min(lineCount + 1, size / 13 + 1);
    out.albums.reserve(size_t(double(lineCount) * double(fileSize) / double(size) * 1.05));

    // The lines go in batches: the table slots of a batch's first fields are asked for while the
    // batch is read, so that the look-ups that follow mostly find them in the cache.
    struct Pending {
        LineFields fields;
        uint64_t hash;
    };
    constexpr int kBatch = 16;
    Pending batch[kBatch];
    FirstFields firstFields;
    qsizetype pos = 0;
    qsizetype lineNo = 0;
    while (pos < size) {
        int count = 0;
        while (count < kBatch && pos < size) {
            const void* nl = std::memchr(data + pos, '\n', size_t(size - pos));
            const qsizetype lineEnd = nl ? static_cast<const char*>(nl) - data : size;
            qsizetype contentEnd = lineEnd;
            if (contentEnd > pos && data[contentEnd - 1] == '\r')
                --contentEnd;
            const QByteArrayView line(data + pos, contentEnd - pos);
            pos = lineEnd + 1;
            ++lineNo;
            Pending& p = batch[count];
            if (!parseLine(line, p.fields)) {
                if (!std::all_of(line.begin(), line.end(), isBlank)) // a blank line holds nothing
                    out.skippedLines.append(lineNo);
                continue;
            }
            p.hash = FirstFields::hash(p.fields.field1);
            firstFields.prefetch(p.hash);
            ++count;
        }
        for (int i = 0; i < count; ++i) {
            const LineFields& fields = batch[i].fields;
            const uint64_t h = batch[i].hash;
            FirstFields::Entry* first = firstFields.find(fields.field1, h);
            if (!first) {
                QString text = decode(fields.field1);
                const LineKind kind = kindOf(text, compare);
                first = firstFields.insert(fields.field1, h, std::move(text), kind);
            }
            switch (first->kind) {
            case LineKind::Owner:
                out.owner = decode(fields.field2);
                break;
            case LineKind::Email:
                out.contactEmail = decode(fields.field2);
                break;
            case LineKind::Album:
                out.albums.push_back(Album{first->text, decode(fields.field2), fields.isNew});
                break;
            }
        }
    }
    out.lines = lineNo;
}

} // namespace

DataFileContent parseDataFile(QByteArrayView bytes, const TextCompare& compare) {
    DataFileContent out;
    if (bytes.startsWith(kUtf8Bom)) {
        out.utf8 = true;
        bytes = bytes.sliced(kUtf8Bom.size());
    } else {
        out.utf8 = looksLikeUtf8(bytes);
    }

    // A large file is read in pieces side by side (about 64 bytes a line), cut at line ends.
    const size_t pieces = parallelPieces(size_t(bytes.size() / 64));
    std::vector<qsizetype> cut(pieces + 1, bytes.size());
    cut[0] = 0;
    for (size_t k = 1; k < pieces; ++k) {
        const qsizetype from =
            std::max(cut[k - 1], bytes.size() * qsizetype(k) / qsizetype(pieces));
        const void* nl = std::memchr(bytes.data() + from, '\n', size_t(bytes.size() - from));
        cut[k] = nl ? static_cast<const char*>(nl) - bytes.data() + 1 : bytes.size();
    }
    std::vector<Part> parts(pieces);
    parallelFor(pieces, [&](size_t k) {
        const QByteArrayView run = bytes.sliced(cut[k], cut[k + 1] - cut[k]);
        parseLines(run, k == 0 ? bytes.size() : run.size(), out.utf8, compare, parts[k]);
    });

    qsizetype total = 0;
    for (const Part& part : parts)
        total += qsizetype(part.albums.size());
    out.albums = std::move(parts[0].albums);
    out.albums.reserve(size_t(total));
    qsizetype lineOffset = 0;
    for (Part& part : parts) {
        if (&part != &parts[0])
            std::move(part.albums.begin(), part.albums.end(), std::back_inserter(out.albums));
        if (part.owner)
            out.owner = std::move(part.owner);
        if (part.contactEmail)
            out.contactEmail = std::move(*part.contactEmail);
        for (qsizetype n : part.skippedLines)
            out.skippedLines.append(lineOffset + n);
        lineOffset += part.lines;
    }
    return out;
}

QString valueProblem(QStringView value, bool typed) {
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c == u'"')
            return QStringLiteral("obsahuje uvozovky (\"), které datový soubor neumí uložit");
        if (c == u'\n')
            return QStringLiteral("obsahuje konec řádku");
        if (typed && (c < 0x20 || c == 0x7f))
            return QStringLiteral("obsahuje řídicí znak");
    }
    qsizetype bad = 0;
    if (!Windows1250::canEncode(value, &bad)) {
        char32_t c = value[bad].unicode();
        if (value[bad].isHighSurrogate() && bad + 1 < value.size() &&
            value[bad + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(value[bad], value[bad + 1]);
        return QStringLiteral("obsahuje znak „%1“, který nelze uložit v kódování Windows-1250")
            .arg(shownCharacter(c));
    }
    return {};
}

QString artistProblem(QStringView artist, bool typed, const TextCompare& compare) {
    if (QString why = valueProblem(artist, typed); !why.isEmpty())
        return why;
    if (compare.equals(artist, u"#DataOwner"))
        return QStringLiteral("je slovo „%1“, kterým datový soubor označuje název databáze")
            .arg(artist);
    if (compare.equals(artist, u"#ContactEmail"))
        return QStringLiteral("je slovo „%1“, kterým datový soubor označuje kontaktní email")
            .arg(artist);
    return {};
}

qint64 maxDataFileBytes() {
    constexpr qint64 kLimit = qint64(512) << 20;
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return kLimit;
    return std::min(kLimit, qint64(pages) * pageSize / 8);
}

FileStamp stampOf(QByteArrayView bytes, qint64 modified) {
    // Blocks of 4 MiB hashed side by side, then their hashes in order.
    constexpr qsizetype kBlock = qsizetype(4) << 20;
    std::vector<size_t> hashes(size_t((bytes.size() + kBlock - 1) / kBlock));
    const size_t pieces = std::min(parallelPieces(size_t(bytes.size())), hashes.size());
    parallelFor(pieces, [&](size_t k) {
        for (size_t b = hashes.size() * k / pieces; b < hashes.size() * (k + 1) / pieces; ++b) {
            const qsizetype at = qsizetype(b) * kBlock;
            hashes[b] = qHashBits(bytes.data() + at, size_t(std::min(kBlock, bytes.size() - at)));
        }
    });
    return {bytes.size(), modified, qHashRange(hashes.begin(), hashes.end())};
}

FileStamp currentStamp(const QString& path, const FileStamp& known) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    if (info.size() == known.size && modified == known.modified)
        return known;
    QFile file(path);
    if (!info.isFile() || info.size() > maxDataFileBytes() || !file.open(QIODevice::ReadOnly))
        return {info.size(), modified, 0};
    return stampOf(file.readAll(), modified);
}

namespace {

// The size bytes of file read in runs side by side: copying out of the system's cache and first
// touching the new memory are most of a read. Nothing when the file does not hold just that many.
std::optional<QByteArray> readSideBySide(QFile& file, qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    std::atomic<bool> whole = true;
    parallelChunks(size_t(size), [&](size_t, size_t begin, size_t end) {
        for (size_t at = begin; at < end && whole;) {
            const ssize_t n = ::pread(file.handle(), bytes.data() + at, end - at, off_t(at));
            if (n < 0 && errno == EINTR)
                continue;
            whole = whole && n > 0;
            at += size_t(std::max<ssize_t>(n, 0));
        }
    });
    char more;
    if (!whole || ::pread(file.handle(), &more, 1, off_t(size)) != 0)
        return std::nullopt;
    return bytes;
}

} // namespace

LoadResult loadDataFile(const QString& path, const TextCompare& compare) {
    LoadResult result;
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile())
        return result;
    // A file of any size could be asked for: the size is looked at before a byte is read.
    result.size = info.size();
    if (result.size > maxDataFileBytes()) {
        result.tooLarge = true;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly))
        return result;
    // Changed while read, or not a plain file after all: read as it comes.
    std::optional<QByteArray> read = readSideBySide(file, result.size);
    const QByteArray bytes = read ? std::move(*read) : file.readAll();
    if (file.error() != QFileDevice::NoError)
        return result;
    file.close();
    result.opened = true;
    result.stamp = stampOf(bytes, info.lastModified().toMSecsSinceEpoch());
    result.content = parseDataFile(bytes, compare);
    return result;
}
