// The data-file reader on any bytes: it must never crash, hang or leak, and what it read must
// survive a save: formatted and read again, the catalogue, the database name and the contact
// e-mail are the same, and every line of the saved file reads back.

#include "catalogue/datafile.h"
#include "catalogue/textcompare.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QString& first, const QString& second) {
    std::fprintf(stderr, "data file round trip: %s differs\n  first read:  %s\n  second read: %s\n",
                 what, qPrintable(first), qPrintable(second));
    std::abort();
}

QString describe(const Album& a) {
    return a.artist + u'|' + a.title + (a.isNew ? u"|T" : u"|F");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TextCompare compare(QStringLiteral("cs_CZ"));
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const DataFileContent first = parseDataFile(bytes, compare);

    const QString owner = first.owner.value_or(QString());
    const std::optional<QByteArray> saved =
        formatDataFile(first.albums, owner, first.contactEmail, nullptr, compare);
    if (!saved)
        return 0; // a value the file cannot carry: the save refuses it, the user is told

    const DataFileContent second = parseDataFile(*saved, compare);
    if (second.albums.size() != first.albums.size())
        fail("album count", QString::number(first.albums.size()),
             QString::number(second.albums.size()));
    for (size_t i = 0; i < first.albums.size(); ++i) {
        const Album& a = first.albums[i];
        const Album& b = second.albums[i];
        if (a.artist != b.artist || a.title != b.title || a.isNew != b.isNew)
            fail("album", describe(a), describe(b));
    }
    if (second.owner.value_or(QString()) != owner)
        fail("database name", owner, second.owner.value_or(QString()));
    if (second.contactEmail != first.contactEmail)
        fail("contact e-mail", first.contactEmail, second.contactEmail);
    if (!second.skippedLines.isEmpty())
        fail("skipped lines", QString(), QString::number(second.skippedLines.size()));
    if (second.utf8)
        fail("encoding", QStringLiteral("Windows-1250"), QStringLiteral("UTF-8"));
    return 0;
}
