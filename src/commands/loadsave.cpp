#include "loadsave.h"

#include "context.h"
#include "ports.h"
#include "views.h"

#include "catalogue/datafile.h"
#include "catalogue/programfolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QUndoStack>

QString dataFilePath() {
    return catalogueLocation().path;
}

QString unsavedCopyPath() {
    return dataFilePath() + QStringLiteral(".unsaved");
}

namespace {

constexpr QStringView kDatabasePrefix = u"Databáze: ";

} // namespace

QString databaseName(const StatusBar& status) {
    const QString text = status.text(StatusPanel::DatabaseName);
    return text.size() > kDatabasePrefix.size() ? text.mid(kDatabasePrefix.size()) : QString();
}

void setDatabaseName(StatusBar& status, const QString& name) {
    status.setText(StatusPanel::DatabaseName, kDatabasePrefix + name);
}

namespace {

QString skippedLinesText(const QList<qsizetype>& lines) {
    const qsizetype n = lines.size();
    QString count;
    if (n == 1)
        count = QStringLiteral("1 řádek, který nemá");
    else if (n >= 2 && n <= 4)
        count = QStringLiteral("%1 řádky, které nemají").arg(n);
    else
        count = QStringLiteral("%1 řádků, které nemají").arg(n);
    constexpr qsizetype kShown = 20;
    QStringList numbers;
    for (qsizetype i = 0; i < n && i < kShown; ++i)
        numbers << QString::number(lines[i]);
    QString list = numbers.join(QStringLiteral(", "));
    if (n > kShown)
        list += QStringLiteral(" a další");
    return QStringLiteral("Datový soubor obsahuje %1 správný tvar, a ty nebyly načteny "
                          "(čísla řádků: %2).")
        .arg(count, list);
}

void loadCatalogue(AppContext& ctx) {
    const CatalogueLocation location = catalogueLocation();
    const QString& path = location.path;
    // A new user of a system-wide install has no catalogue yet: an empty start, the first save
    // creates it.
    if (location.homeDefault && !mayExist(path))
        return;
    LoadResult loaded;
    if (isReadableFile(path))
        loaded = loadDataFile(path);
    if (loaded.tooLarge) {
        ctx.dataFileUnreadable = true; // never saved over
        ctx.prompts.message(
            QStringLiteral("Datový soubor %1 je příliš velký (%2 MB); program načte soubor "
                           "nejvýše %3 MB velký. Soubor nebyl načten a program ho nepřepíše.")
                .arg(path)
                .arg(loaded.size >> 20)
                .arg(maxDataFileBytes() >> 20),
            MessageIcon::Critical);
        return;
    }
    if (!loaded.opened) {
        // Something at that place that cannot be read must not be overwritten by a save.
        ctx.dataFileUnreadable = mayExist(path);
        ctx.prompts.message(
            ctx.dataFileUnreadable
                ? QStringLiteral("Datový soubor %1 nelze přečíst, a proto ho program nepřepíše.\n"
                                 "Opravte jeho přístupová práva, nebo ho přesuňte jinam, a program "
                                 "spusťte znovu.")
                      .arg(path)
                : QStringLiteral("Datový soubor neexistuje!"),
            MessageIcon::Critical);
        return;
    }
    ctx.fileStamp = loaded.stamp;
    DataFileContent& content = loaded.content;
    ctx.catalogue.albums = std::move(content.albums);
    ctx.catalogue.contactEmail = content.contactEmail;
    if (content.owner)
        setDatabaseName(ctx.status, *content.owner);

    QStringList notes;
    if (!content.skippedLines.isEmpty())
        notes << skippedLinesText(content.skippedLines);
    if (content.utf8)
        notes << QStringLiteral("Datový soubor je v kódování UTF-8, a tak byl také načten. "
                                "Uložen bude v kódování Windows-1250.");
    if (!notes.isEmpty()) {
        ctx.backupBeforeSave = true;
        notes << QStringLiteral("Při prvním uložení se původní soubor zachová jako "
                                "Velbor.dat.bak.");
        ctx.prompts.message(notes.join(u'\n'), MessageIcon::Exclamation);
    }
}

// A copy left by a session that ended with unsaved edits (mayEndSession()): the user hears of it
// at every start until it is renamed or removed.
void tellOfUnsavedCopy(AppContext& ctx) {
    const QString path = unsavedCopyPath();
    if (!isReadableFile(path))
        return;
    const LoadResult copy = loadDataFile(path);
    ctx.prompts.message(
        QStringLiteral("Vedle datového souboru je soubor %1 s neuloženými změnami, které program "
                       "zapsal %2 při odhlášení ze systému; počet alb v něm: %3.\n"
                       "Chcete-li ho použít, ukončete program a přejmenujte ho na Velbor.dat. "
                       "Nepotřebujete-li ho, smažte ho.")
            .arg(path, QFileInfo(path).lastModified().toString(u"d. M. yyyy H:mm"))
            .arg(qulonglong(copy.content.albums.size())),
        MessageIcon::Information);
}

} // namespace

void showAlbumCount(AppContext& ctx) {
    ctx.status.setText(
        StatusPanel::AlbumCount,
        QStringLiteral("V databázi je %1 MP3 alb.").arg(qulonglong(ctx.catalogue.albums.size())));
}

void startUp(AppContext& ctx) {
    loadCatalogue(ctx);
    tellOfUnsavedCopy(ctx);
    ctx.editingVisible = false;
    ctx.status.setPanelWidth(StatusPanel::AlbumCount,
                             ctx.status.width() - ctx.status.panelWidth(StatusPanel::DatabaseName));
    showAlbumCount(ctx);
    showAllAlbums(ctx);
}

namespace {

// Writes the catalogue to Velbor.dat; on failure says why and returns false. backup receives the
// name of the backup written, if one was.
bool writeCatalogue(AppContext& ctx, QString* backup = nullptr) {
    const QString failed = QStringLiteral("Soubor Velbor.dat se nepodařilo uložit: %1\n"
                                          "Původní soubor zůstal beze změny.");
    if (ctx.dataFileUnreadable && mayExist(dataFilePath())) {
        ctx.prompts.message(
            failed.arg(QStringLiteral("na jeho místě je soubor nebo složka, kterou nelze přečíst, "
                                      "a uložení by ji zničilo.")),
            MessageIcon::Critical);
        return false;
    }
    QString problem;
    const auto bytes = formatDataFile(ctx.catalogue.albums, databaseName(ctx.status),
                                      ctx.catalogue.contactEmail, &problem);
    if (!bytes) {
        ctx.prompts.message(failed.arg(problem), MessageIcon::Critical);
        return false;
    }
    const CatalogueLocation location = catalogueLocation();
    // Another program (another copy of this one, say) may have written the file since: its work
    // is overwritten only when the user says so, and then kept as a backup.
    bool keepBackup = ctx.backupBeforeSave;
    if (currentStamp(location.path, ctx.fileStamp) != ctx.fileStamp) {
        if (!ctx.prompts.askYesNo(
                QStringLiteral("Soubor %1 byl mezitím změněn jiným programem. Přesto jej přepsat?")
                    .arg(QFileInfo(location.path).fileName()),
                Answer::No))
            return false;
        keepBackup = keepBackup || mayExist(location.path);
    }
    if (location.homeDefault)
        QDir().mkpath(QFileInfo(location.path).path());
    QString error;
    if (!writeFileAtomically(location.path, *bytes, keepBackup, &error, backup)) {
        QString why = error + u'.';
        // The new content is written beside the old file and then takes its place: without the
        // right to create files in the folder, no save can succeed.
        if (const QFileInfo folder(QFileInfo(location.path).path());
            folder.isDir() && !folder.isWritable())
            why += QStringLiteral("\nPro uložení musí být do složky %1 povolen zápis: nový obsah "
                                  "se nejprve zapíše do nového souboru vedle původního.")
                       .arg(folder.filePath());
        ctx.prompts.message(failed.arg(why), MessageIcon::Critical);
        return false;
    }
    ctx.backupBeforeSave = false;
    ctx.dataFileUnreadable = false;
    ctx.unsavedEdits = false;
    ctx.fileStamp = stampOf(*bytes, QFileInfo(location.path).lastModified().toMSecsSinceEpoch());
    // What the file holds now is where undoing back to counts as "no unsaved edits".
    if (ctx.undoStack)
        ctx.undoStack->setClean();
    return true;
}

} // namespace

void saveCatalogue(AppContext& ctx) {
    if (!ctx.prompts.askYesNo(
            QStringLiteral("Chcete uložit soubor Velbor.dat? (Starší verze bude přepsána)")))
        return;
    QString backup;
    if (!writeCatalogue(ctx, &backup))
        return;
    ctx.prompts.message(backup.isEmpty() ? QStringLiteral("Hotovo.")
                                         : QStringLiteral("Hotovo.\nPůvodní soubor je zachován "
                                                          "jako %1.")
                                               .arg(QFileInfo(backup).fileName()),
                        MessageIcon::Information);
}

bool mayQuit(AppContext& ctx) {
    if (!ctx.unsavedEdits)
        return true;
    switch (ctx.prompts.askYesNoCancel(
        QStringLiteral("Databáze obsahuje neuložené změny. Uložit je před ukončením?"))) {
    case Choice::Yes:
        return writeCatalogue(ctx);
    case Choice::No:
        return true;
    case Choice::Cancel:
        break;
    }
    return false;
}

bool mayEndSession(AppContext& ctx, bool mayAsk) {
    if (!ctx.unsavedEdits)
        return true;
    if (mayAsk)
        return mayQuit(ctx);
    // Nobody can be asked and nothing can be shown: the edits go beside the data file, which
    // stays as the user last saved it.
    if (const auto bytes = formatDataFile(ctx.catalogue.albums, databaseName(ctx.status),
                                          ctx.catalogue.contactEmail))
        writeFileAtomically(unsavedCopyPath(), *bytes, false, nullptr);
    return true;
}
