#include "datafile.h"

#include "windows1250.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <thread>

#include <sys/stat.h>

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kTrue("#TRUE#");
constexpr QByteArrayView kFalse("#FALSE#");

// Valid UTF-8 that holds at least one letter with a diacritic (U+00C0 to U+017F), as any Czech
// text re-saved as UTF-8 does. Windows-1250 text almost never passes: its accented small letters
// are UTF-8 lead bytes that would need continuation bytes after them, and the letters' UTF-8 forms
// read in Windows-1250 as pairs such as "Ĺľ" or "Ä›" that no real name holds.
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

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

enum class LineKind : quint8 { Album, Owner, Email };

// Reads one line into its three fields. Spaces may stand before and after each field.
struct LineFields {
    QByteArrayView field1, field2;
    bool novinka = false;
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
        out.novinka = true;
    } else if (rest.startsWith(kFalse)) {
        word = kFalse;
        out.novinka = false;
    } else {
        return false;
    }
    p += word.size();
    skipBlanks();
    return p == end;
}

} // namespace

namespace {

// The first fields seen so far, by their bytes: albums of one artist share one string, and the
// kind of a first field is decided once. An open-addressing table with a cheap hash: the loader
// looks up every line. The keys are copied side by side, so comparing with one touches memory
// close at hand rather than its first line somewhere in the file.
class FirstFields {
public:
    struct Entry {
        QString text;
        LineKind kind;
    };

    Entry* find(QByteArrayView key) {
        if (m_slots.empty())
            return nullptr;
        const uint64_t h = hash(key);
        const size_t mask = m_slots.size() - 1;
        for (size_t i = size_t(h) & mask;; i = (i + 1) & mask) {
            const Slot& s = m_slots[i];
            if (s.entry == 0)
                return nullptr;
            // An empty key may have no data at all, and memcmp must not be given null.
            if (s.tag == uint32_t(h >> 32) && s.keyLength == size_t(key.size()) &&
                (key.isEmpty() ||
                 std::memcmp(m_keys.data() + s.keyStart, key.data(), size_t(key.size())) == 0))
                return &m_entries[s.entry - 1];
        }
    }

    Entry* insert(QByteArrayView key, Entry entry) {
        if ((m_entries.size() + 1) * 2 > m_slots.size())
            grow();
        m_entries.push_back(std::move(entry));
        const size_t start = m_keys.size();
        m_keys.insert(m_keys.end(), key.begin(), key.end());
        place(Slot{0, uint32_t(m_entries.size()), start, size_t(key.size())}, hash(key));
        return &m_entries.back();
    }

private:
    struct Slot {
        uint32_t tag;    // the upper half of the key's hash
        uint32_t entry;  // 1 + its number in m_entries (one a line at most); 0: an empty slot
        size_t keyStart; // in m_keys
        size_t keyLength;
    };

    static uint64_t hash(QByteArrayView key) {
        uint64_t h = 0x9E3779B97F4A7C15ull ^ uint64_t(key.size());
        const char* p = key.data();
        qsizetype n = key.size();
        for (; n >= 8; n -= 8, p += 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            h = (h ^ w) * 0xFF51AFD7ED558CCDull;
            h ^= h >> 29;
        }
        uint64_t w = 0;
        std::memcpy(&w, p, size_t(n));
        h = (h ^ w) * 0xC4CEB9FE1A85EC53ull;
        return h ^ (h >> 29);
    }

    void place(Slot slot, uint64_t h) {
        slot.tag = uint32_t(h >> 32);
        const size_t mask = m_slots.size() - 1;
        size_t i = size_t(h) & mask;
        while (m_slots[i].entry != 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }

    void grow() {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(std::max<size_t>(64, old.size() * 2), Slot{});
        for (const Slot& s : old) {
            if (s.entry != 0)
                place(s, hash(QByteArrayView(m_keys.data() + s.keyStart, qsizetype(s.keyLength))));
        }
        // Entries move when the vector grows; callers hold an entry only until the next insert.
        m_entries.reserve(m_slots.size() / 2);
    }

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    std::vector<char> m_keys;
};

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
    out.albums.reserve(size_t(double(lineCount + 1) * double(fileSize) / double(size) * 1.05));

    FirstFields firstFields;
    qsizetype pos = 0;
    qsizetype lineNo = 0;
    while (pos < size) {
        const void* nl = std::memchr(data + pos, '\n', size_t(size - pos));
        const qsizetype lineEnd = nl ? static_cast<const char*>(nl) - data : size;
        qsizetype contentEnd = lineEnd;
        if (contentEnd > pos && data[contentEnd - 1] == '\r')
            --contentEnd;
        const QByteArrayView line(data + pos, contentEnd - pos);
        pos = lineEnd + 1;
        ++lineNo;

        LineFields fields;
        if (!parseLine(line, fields)) {
            if (!std::all_of(line.begin(), line.end(), isBlank)) // a blank line holds nothing
                out.skippedLines.append(lineNo);
            continue;
        }
        FirstFields::Entry* first = firstFields.find(fields.field1);
        if (!first) {
            FirstFields::Entry entry{decode(fields.field1), LineKind::Album};
            if (compare.equals(entry.text, u"#DataOwner"))
                entry.kind = LineKind::Owner;
            else if (compare.equals(entry.text, u"#ContactEmail"))
                entry.kind = LineKind::Email;
            first = firstFields.insert(fields.field1, std::move(entry));
        }
        switch (first->kind) {
        case LineKind::Owner:
            out.owner = decode(fields.field2);
            break;
        case LineKind::Email:
            out.contactEmail = decode(fields.field2);
            break;
        case LineKind::Album:
            out.albums.push_back(Album{first->text, decode(fields.field2), fields.novinka});
            break;
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

    // A large file is read in two halves side by side, split at a line end.
    constexpr qsizetype kSplitAbove = 4 << 20;
    std::vector<QByteArrayView> runs;
    if (bytes.size() > kSplitAbove && std::thread::hardware_concurrency() > 1) {
        const void* nl = std::memchr(bytes.data() + bytes.size() / 2, '\n',
                                     size_t(bytes.size() - bytes.size() / 2));
        const qsizetype split = nl ? static_cast<const char*>(nl) - bytes.data() + 1 : bytes.size();
        runs = {bytes.first(split), bytes.sliced(split)};
    } else {
        runs = {bytes};
    }
    std::vector<Part> parts(runs.size());
    if (runs.size() == 1) {
        parseLines(runs[0], bytes.size(), out.utf8, compare, parts[0]);
    } else {
        const std::unique_ptr<TextCompare> second = compare.clone();
        std::thread helper(parseLines, runs[1], runs[1].size(), out.utf8, std::cref(*second),
                           std::ref(parts[1]));
        parseLines(runs[0], bytes.size(), out.utf8, compare, parts[0]);
        helper.join();
    }

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
        QString ch = value.mid(bad, 1).toString();
        if (value[bad].isHighSurrogate() && bad + 1 < value.size())
            ch = value.mid(bad, 2).toString();
        return QStringLiteral("obsahuje znak „%1“, který nelze uložit v kódování Windows-1250")
            .arg(ch);
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

namespace {

// Appends value between double quotes and a comma after it. Loaded values may hold characters a
// user could not type (a tab, a lone CR); they are written back as they came. False when the
// value cannot be written (see valueProblem()).
bool appendField(QByteArray& out, QStringView value) {
    out += '"';
    const qsizetype start = out.size();
    if (!Windows1250::encodeAppend(value, out))
        return false;
    const QByteArrayView written(out.constData() + start, out.size() - start);
    if (written.contains('"') || written.contains('\n'))
        return false;
    out += "\",";
    return true;
}

void describeProblem(QStringView value, const QString& what, QString* problem) {
    if (problem)
        *problem = what + u' ' + valueProblem(value, false) + u'.';
}

} // namespace

std::optional<QByteArray> formatDataFile(const std::vector<Album>& albums, const QString& owner,
                                         const QString& contactEmail, QString* problem,
                                         const TextCompare& compare) {
    QByteArray out;
    out.reserve(qsizetype(albums.size()) * 72 + 128);
    const QString* checkedArtist = nullptr; // albums of one artist usually share one string
    for (const Album& a : albums) {
        if (!checkedArtist || !checkedArtist->isSharedWith(a.artist)) {
            if (const QString why = artistProblem(a.artist, false, compare); !why.isEmpty()) {
                if (problem)
                    *problem = QStringLiteral("Album „%1 - %2“: položka artist %3.")
                                   .arg(a.artist, a.title, why);
                return std::nullopt;
            }
            checkedArtist = &a.artist;
        }
        if (!appendField(out, a.artist) || !appendField(out, a.title)) {
            const bool artistBad = !valueProblem(a.artist, false).isEmpty();
            describeProblem(artistBad ? a.artist : a.title,
                            QStringLiteral("Album „%1 - %2“").arg(a.artist, a.title), problem);
            return std::nullopt;
        }
        out += a.isNew ? "#TRUE#\r\n" : "#FALSE#\r\n";
    }
    out += "\"#DataOwner\",";
    if (!appendField(out, owner)) {
        describeProblem(owner, QStringLiteral("Název databáze"), problem);
        return std::nullopt;
    }
    out += "#FALSE#\r\n\"#ContactEmail\",";
    if (!appendField(out, contactEmail)) {
        describeProblem(contactEmail, QStringLiteral("Kontaktní email"), problem);
        return std::nullopt;
    }
    out += "#FALSE#\r\n";
    // The file must read back as it was written: text that would make it pass for UTF-8 is not
    // written at all.
    if (looksLikeUtf8(out)) {
        if (problem)
            *problem = QStringLiteral("Katalog obsahuje jen takové znaky s diakritikou, že by se "
                                      "soubor při dalším načtení četl jako UTF-8 (například "
                                      "dvojice jako „Ĺľ“ nebo „Ä›“). Opravte tyto názvy.");
        return std::nullopt;
    }
    return out;
}

LoadResult loadDataFile(const QString& path, const TextCompare& compare) {
    LoadResult result;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return result;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return result;
    file.close();
    result.opened = true;
    result.content = parseDataFile(bytes, compare);
    return result;
}

namespace {

// Writes bytes to an open device in pieces of at most 64 KiB, checking every write.
bool writeAll(QIODevice& device, const QByteArray& bytes) {
    constexpr qsizetype kPiece = 64 * 1024;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n =
            device.write(bytes.constData() + done, std::min(kPiece, bytes.size() - done));
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

namespace {

QString czechReason(const QFileDevice& file) {
    QString why;
    switch (file.error()) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        why = QStringLiteral("soubor nelze vytvořit (složka je chráněna proti zápisu, nebo "
                             "neexistuje)");
        break;
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        why = QStringLiteral("zápis selhal (disk je možná plný)");
        break;
    case QFileDevice::RenameError:
        why = QStringLiteral("nový soubor nelze dát na místo starého");
        break;
    default:
        why = QStringLiteral("soubor nelze zapsat");
        break;
    }
    const QString system = file.error() == QFileDevice::NoError ? QString() : file.errorString();
    if (!system.isEmpty())
        why += QStringLiteral(" [%1]").arg(system);
    return why;
}

// Why the file at path could not be opened for writing: the owner of the file or the folder can
// act on a missing right, so that is named before the system's own words.
QString openFailure(const QString& path, const QFileDevice& file) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    QString why;
    if (info.exists() && !info.isWritable())
        why = QStringLiteral("soubor %1 je chráněn proti zápisu").arg(info.fileName());
    else if (!folder.isDir())
        why = QStringLiteral("složka %1 neexistuje").arg(folder.filePath());
    else if (!folder.isWritable())
        why = QStringLiteral("do složky %1 nemáte právo zapisovat").arg(folder.filePath());
    else
        return czechReason(file);
    return why + QStringLiteral(" [%1]").arg(file.errorString());
}

// Whether the open file is the one at path (written in place) rather than a new one beside it.
bool isFileAt(const QFileDevice& file, const QString& path) {
    struct stat opened, there;
    return ::fstat(file.handle(), &opened) == 0 &&
           ::stat(QFile::encodeName(path).constData(), &there) == 0 &&
           opened.st_dev == there.st_dev && opened.st_ino == there.st_ino;
}

// inPlace, when given, allows writing over the file itself where no new file can be made beside
// it, and tells whether that was done.
bool commit(const QString& path, const QByteArray& bytes, QString* error, bool* inPlace = nullptr) {
    QSaveFile file(path);
    file.setDirectWriteFallback(inPlace != nullptr);
    // Unbuffered: every piece goes to the system as it is written, and a failure is seen there.
    // Through a buffer, the last failing write would come at commit(), which Qt does not check
    // (QTBUG-75077): a full disk would put a cut-off file in the old one's place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = openFailure(path, file);
        return false;
    }
    if (inPlace)
        *inPlace = isFileAt(file, path);
    if (!writeAll(file, bytes) || !file.flush()) {
        if (error)
            *error = czechReason(file);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = czechReason(file);
        return false;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, bool keepBackup,
                         QString* error) {
    if (keepBackup && QFileInfo::exists(path)) {
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("starý soubor nelze přečíst pro zálohu [%1]")
                             .arg(old.errorString());
            return false;
        }
        const QByteArray previous = old.readAll();
        old.close();
        QString why;
        if (!commit(path + QStringLiteral(".bak"), previous, &why)) {
            if (error)
                *error = QStringLiteral("zálohu %1.bak nelze zapsat: %2")
                             .arg(QFileInfo(path).fileName(), why);
            return false;
        }
    }
    return commit(path, bytes, error);
}

bool writeFileOrInPlace(const QString& path, const QByteArray& bytes, bool* inPlace,
                        QString* error) {
    bool direct = false;
    const bool written = commit(path, bytes, error, &direct);
    if (inPlace)
        *inPlace = direct;
    return written;
}
