#include "reporttext.h"

#include "reportorder.h"

#include "catalogue/parallel.h"
#include "catalogue/windows1250.h"
#include "cataloguetree.h"

#include <vector>

namespace {

constexpr QStringView kCrLf = u"\r\n";
constexpr QStringView kJoin = u" - ";

QString heading(const QString& ownerPanelText, const QString& contactEmail) {
    QString text = QStringLiteral("Export z programu MP3 Velbor\r\n") + ownerPanelText;
    if (!contactEmail.isEmpty())
        text += QStringLiteral(" (") + contactEmail + u')';
    text += kCrLf + QString(64, u'=') + kCrLf;
    return text;
}

// The length of an album's line, CR LF included; in the file, one byte a character.
qsizetype lineLength(const TreeNode* album) {
    return album->parent->text.size() + kJoin.size() + album->text.size() + kCrLf.size();
}

QString problemText(QStringView line, qsizetype bad) {
    const qsizetype length = line[bad].isHighSurrogate() && bad + 1 < line.size() ? 2 : 1;
    return QStringLiteral("řádek „%1“ obsahuje znak „%2“, který nelze zapsat "
                          "v kódování Windows-1250")
        .arg(line, line.mid(bad, length));
}

// The lines of albums[from..to) written at out; the number of the first line that cannot be
// written, or -1.
qsizetype encodeLines(const std::vector<const TreeNode*>& albums, size_t from, size_t to,
                      char* out) {
    for (size_t k = from; k < to; ++k) {
        const QString& artist = albums[k]->parent->text;
        const QString& album = albums[k]->text;
        if (Windows1250::encodeTo(artist, out) >= 0)
            return qsizetype(k);
        out += artist.size();
        Windows1250::encodeTo(kJoin, out);
        out += kJoin.size();
        if (Windows1250::encodeTo(album, out) >= 0)
            return qsizetype(k);
        out += album.size();
        *out++ = '\r';
        *out++ = '\n';
    }
    return -1;
}

} // namespace

QString reportText(const CatalogueTree& tree, const QString& ownerPanelText,
                   const QString& contactEmail, const TextCompare& compare) {
    const std::vector<const TreeNode*> albums = reportOrder(tree, compare);
    QString text = heading(ownerPanelText, contactEmail);
    qsizetype size = text.size();
    for (const TreeNode* album : albums)
        size += lineLength(album);
    text.reserve(size);
    for (const TreeNode* album : albums)
        text += album->parent->text + kJoin + album->text + kCrLf;
    return text;
}

std::optional<QByteArray> reportFileBytes(const CatalogueTree& tree, const QString& ownerPanelText,
                                          const QString& contactEmail, QString* problem,
                                          const TextCompare& compare) {
    const QString head = heading(ownerPanelText, contactEmail);
    QByteArray bytes(head.size(), Qt::Uninitialized);
    if (const qsizetype bad = Windows1250::encodeTo(head, bytes.data()); bad >= 0) {
        if (problem) {
            const qsizetype start = head.lastIndexOf(u'\n', bad) + 1;
            qsizetype end = head.indexOf(u'\r', bad);
            if (end < 0)
                end = head.size();
            *problem = problemText(QStringView(head).sliced(start, end - start), bad - start);
        }
        return std::nullopt;
    }

    // Every character takes one byte, so each line's place is known before it is written, and
    // the lines are written on all cores.
    const std::vector<const TreeNode*> albums = reportOrder(tree, compare);
    std::vector<qsizetype> lineStart(albums.size() + 1, bytes.size());
    for (size_t k = 0; k < albums.size(); ++k)
        lineStart[k + 1] = lineStart[k] + lineLength(albums[k]);
    bytes.resize(lineStart.back());
    char* const out = bytes.data();
    std::vector<qsizetype> bad(parallelPieces(albums.size()), -1);
    parallelChunks(albums.size(), [&](size_t piece, size_t begin, size_t end) {
        bad[piece] = encodeLines(albums, begin, end, out + lineStart[begin]);
    });
    qsizetype badLine = -1;
    for (qsizetype b : bad) {
        if (badLine < 0)
            badLine = b;
    }
    if (badLine < 0)
        return bytes;
    if (problem) {
        const TreeNode* album = albums[size_t(badLine)];
        const QString line = album->parent->text + kJoin + album->text;
        qsizetype bad = 0;
        Windows1250::canEncode(line, &bad);
        *problem = problemText(line, bad);
    }
    return std::nullopt;
}
