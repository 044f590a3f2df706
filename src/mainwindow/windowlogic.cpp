#include "windowlogic.h"

#include "appcontext.h"
#include "cataloguetree.h"
#include "ports.h"

#include "catalogue/datafile.h"
#include "catalogue/programfolder.h"

#include <QStringList>

QString dataFilePath() {
    return Cesta() + QStringLiteral("Velbor.dat");
}

QString databaseName(const StatusBar& status) {
    const QString text = status.text(kPanelVlastnik);
    return text.size() > kOwnerPrefixLength ? text.mid(kOwnerPrefixLength) : QString();
}

void setDatabaseName(StatusBar& status, const QString& name) {
    status.setText(kPanelVlastnik, QStringLiteral("Databáze: ") + name);
}

bool AskYesNo(Prompts& prompts, const QString& question) {
    return prompts.askYesNo(question);
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

} // namespace

void LoadDataFile(AppContext& ctx) {
    const QString path = dataFilePath();
    LoadResult loaded;
    if (FileExist(path))
        loaded = loadDataFile(path);
    if (!loaded.opened) {
        // Something at that place that cannot be read must not be overwritten by a save.
        ctx.dataFileUnreadable = mayExist(path);
        ctx.prompts.message(QStringLiteral("Datový soubor neexistuje!"), MessageIcon::Critical);
        return;
    }
    DataFileContent& content = loaded.content;
    ctx.catalogue.Albums = std::move(content.albums);
    ctx.catalogue.ContactEmail = content.contactEmail;
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

void formLoad(AppContext& ctx) {
    LoadDataFile(ctx);
    ctx.editingVisible = false;
    ctx.status.setPanelWidth(kPanelAlba,
                             ctx.status.width() - ctx.status.panelWidth(kPanelVlastnik));
    ctx.status.setText(
        kPanelAlba,
        QStringLiteral("V databázi je %1 MP3 alb.").arg(qulonglong(ctx.catalogue.Albums.size())));
    ReadAlbums(ctx, false);
}

void ReadAlbums(AppContext& ctx, bool NewsOnly) {
    ctx.view.setDrawing(false);
    TreeNode* first = ctx.tree.rebuild(ctx.catalogue.Albums, NewsOnly);
    if (first)
        ctx.view.selectNode(first);
    ctx.view.setDrawing(true);
}

void showAllAlbums(AppContext& ctx) {
    ctx.newsOnly = false;
    ReadAlbums(ctx, false);
}

void showNewReleases(AppContext& ctx) {
    ctx.newsOnly = true;
    ReadAlbums(ctx, true);
}

void expandAll(AppContext& ctx) {
    ctx.view.setDrawing(false);
    ctx.view.expandAll();
    if (TreeNode* selected = ctx.view.selectedNode())
        ctx.view.ensureVisible(selected);
    ctx.view.setDrawing(true);
}

void nodeChecked(AppContext& ctx, TreeNode* node) {
    if (!node || node->image != NodeImage::Slozka)
        return;
    ctx.tree.setChildrenChecked(node, node->checked);
}

void selectAll(AppContext& ctx) {
    ctx.tree.checkAll();
}

void saveDataFile(AppContext& ctx) {
    if (!AskYesNo(ctx.prompts,
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
    const auto bytes = formatDataFile(ctx.catalogue.Albums, databaseName(ctx.status),
                                      ctx.catalogue.ContactEmail, &problem);
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
    ctx.prompts.message(QStringLiteral("Hotovo."), MessageIcon::Information);
}

KeyCommand windowKeyCommand(const AppContext& ctx, int keyCode, int shiftState) {
    if (keyCode == kKeyF11 && shiftState == (kShiftMask | kCtrlMask))
        return KeyCommand::ShowEditing;
    if (keyCode == kKeyInsert && ctx.editingVisible)
        return shiftState == kShiftMask ? KeyCommand::AddArtist : KeyCommand::AddAlbum;
    return KeyCommand::None;
}

TreeCharAction treeKeyChar(int character) {
    switch (character) {
    case 13:
    case 32:
        return TreeCharAction::Discard;
    case 27:
        return TreeCharAction::Quit;
    default:
        return TreeCharAction::Pass;
    }
}
