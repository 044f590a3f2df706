#include "loadsave.h"

#include "context.h"
#include "ports.h"
#include "views.h"

#include "catalogue/datafile.h"
#include "catalogue/programfolder.h"

#include <QStringList>
#include <QUndoStack>

QString dataFilePath() {
    return withTrailingSeparator(programFolder()) + QStringLiteral("Velbor.dat");
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
    const QString path = dataFilePath();
    LoadResult loaded;
    if (isReadableFile(path))
        loaded = loadDataFile(path);
    if (!loaded.opened) {
        // Something at that place that cannot be read must not be overwritten by a save.
        ctx.dataFileUnreadable = mayExist(path);
        ctx.prompts.message(QStringLiteral("Datový soubor neexistuje!"), MessageIcon::Critical);
        return;
    }
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

} // namespace

void startUp(AppContext& ctx) {
    loadCatalogue(ctx);
    ctx.editingVisible = false;
    ctx.status.setPanelWidth(StatusPanel::AlbumCount,
                             ctx.status.width() - ctx.status.panelWidth(StatusPanel::DatabaseName));
    showAlbumCount(ctx);
    showAllAlbums(ctx);
}

void showAlbumCount(AppContext& ctx) {
    ctx.status.setText(
        StatusPanel::AlbumCount,
        QStringLiteral("V databázi je %1 MP3 alb.").arg(qulonglong(ctx.catalogue.albums.size())));
}

void saveCatalogue(AppContext& ctx) {
    if (!ctx.prompts.askYesNo(
            QStringLiteral("Chcete uložit soubor Velbor.dat? (Starší verze bude přepsána)")))
        return;
    const QString failed = QStringLiteral("Soubor Velbor.dat se nepodařilo uložit: %1\n"
                                          "Původní soubor zůstal beze změny.");
    if (ctx.dataFileUnreadable && mayExist(dataFilePath())) {
        ctx.prompts.message(
            failed.arg(QStringLiteral("na jeho místě je soubor nebo složka, kterou nelze přečíst, "
                                      "a uložení by ji zničilo.")),
            MessageIcon::Critical);
        return;
    }
    QString problem;
    const auto bytes = formatDataFile(ctx.catalogue.albums, databaseName(ctx.status),
                                      ctx.catalogue.contactEmail, &problem);
    if (!bytes) {
        ctx.prompts.message(failed.arg(problem), MessageIcon::Critical);
        return;
    }
    QString error;
    if (!writeFileAtomically(dataFilePath(), *bytes, ctx.backupBeforeSave, &error)) {
        ctx.prompts.message(failed.arg(error + u'.'), MessageIcon::Critical);
        return;
    }
    ctx.backupBeforeSave = false;
    ctx.dataFileUnreadable = false;
    // What the file holds now is where undoing back to counts as "no unsaved edits".
    if (ctx.undoStack)
        ctx.undoStack->setClean();
    ctx.prompts.message(QStringLiteral("Hotovo."), MessageIcon::Information);
}
