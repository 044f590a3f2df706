#include "datafile.h"

#include "windows1250.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <cstring>

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kTrue("#TRUE#");
constexpr QByteArrayView kFalse("#FALSE#");

// Valid UTF-8 with at least one multi-byte sequence. Windows-1250 Czech text almost never passes:
// its accented small letters are UTF-8 lead bytes that would need continuation bytes after them.
bool looksLikeUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const qsizetype n = bytes.size();
    bool multiByte = false;
    for (qsizetype i = 0; i < n;) {
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
        multiByte = true;
        i += len;
    }
    return multiByte;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

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

DataFileContent parseDataFile(QByteArrayView bytes, const TextCompare& compare) {
    DataFileContent out;
    if (bytes.startsWith(kUtf8Bom)) {
        out.utf8 = true;
        bytes = bytes.sliced(kUtf8Bom.size());
    } else {
        out.utf8 = looksLikeUtf8(bytes);
    }
    const bool utf8 = out.utf8;
    auto decode = [utf8](QByteArrayView field) {
        return utf8 ? QString::fromUtf8(field) : Windows1250::decode(field);
    };

    // Albums of one artist share one string, and the kind of a first field is decided once.
    struct FirstField {
        QString text;
        LineKind kind;
    };
    QHash<QByteArrayView, FirstField> firstFields;

    // A rough guess of the album count, to allocate once.
    out.albums.reserve(size_t(bytes.size() / 48 + 1));

    const char* data = bytes.data();
    const qsizetype size = bytes.size();
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

        bool blank = true;
        for (char c : line) {
            if (!isBlank(c)) {
                blank = false;
                break;
            }
        }
        if (blank)
            continue;

        LineFields fields;
        if (!parseLine(line, fields)) {
            out.skippedLines.append(lineNo);
            continue;
        }
        auto it = firstFields.constFind(fields.field1);
        if (it == firstFields.cend()) {
            FirstField ff{decode(fields.field1), LineKind::Album};
            if (compare.equals(ff.text, u"#DataOwner"))
                ff.kind = LineKind::Owner;
            else if (compare.equals(ff.text, u"#ContactEmail"))
                ff.kind = LineKind::Email;
            it = firstFields.insert(fields.field1, ff);
        }
        switch (it->kind) {
        case LineKind::Owner:
            out.owner = decode(fields.field2);
            break;
        case LineKind::Email:
            out.contactEmail = decode(fields.field2);
            break;
        case LineKind::Album:
            out.albums.push_back(Album{it->text, decode(fields.field2), fields.novinka});
            break;
        }
    }
    out.albums.shrink_to_fit();
    return out;
}

QString valueProblem(QStringView value, bool typed) {
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c == u'"')
            return QStringLiteral("obsahuje uvozovky (\"), které datový soubor neumí uložit");
        if (c == u'\n' || c == u'\r')
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

namespace {

// Loaded values may hold characters a user could not type (a tab, a lone CR); they are written
// back as they came.
bool appendField(QByteArray& out, QStringView value, QString* problem, const QString& what) {
    const QString why = valueProblem(value, false);
    if (!why.isEmpty()) {
        if (problem)
            *problem = what + u' ' + why + u'.';
        return false;
    }
    out += '"';
    Windows1250::encodeAppend(value, out);
    out += '"';
    return true;
}

} // namespace

std::optional<QByteArray> formatDataFile(const std::vector<Album>& albums, const QString& owner,
                                         const QString& contactEmail, QString* problem) {
    QByteArray out;
    qsizetype estimate = 64 + owner.size() + contactEmail.size();
    for (const Album& a : albums)
        estimate += a.Artist.size() + a.Album.size() + 16;
    out.reserve(estimate);
    for (const Album& a : albums) {
        const QString what = QStringLiteral("Album „%1 - %2“").arg(a.Artist, a.Album);
        if (!appendField(out, a.Artist, problem, what))
            return std::nullopt;
        out += ',';
        if (!appendField(out, a.Album, problem, what))
            return std::nullopt;
        out += a.Novinka ? ",#TRUE#\r\n" : ",#FALSE#\r\n";
    }
    out += "\"#DataOwner\",";
    if (!appendField(out, owner, problem, QStringLiteral("Název databáze")))
        return std::nullopt;
    out += ",#FALSE#\r\n\"#ContactEmail\",";
    if (!appendField(out, contactEmail, problem, QStringLiteral("Kontaktní email")))
        return std::nullopt;
    out += ",#FALSE#\r\n";
    return out;
}

LoadResult loadDataFile(const QString& path, const TextCompare& compare) {
    LoadResult result;
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return result;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return result;
    file.close();
    result.opened = true;
    result.content = parseDataFile(bytes, compare);
    return result;
}

bool writeAll(QIODevice& device, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

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
    const QString system = file.errorString();
    if (!system.isEmpty())
        why += QStringLiteral(" [%1]").arg(system);
    return why;
}

bool commit(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = czechReason(file);
        return false;
    }
    // QSaveFile::commit() (Qt 6.4) reports success when its final flush wrote only a part of
    // the buffer (a full disk, a file size limit) and puts the cut file in place: flush first.
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
