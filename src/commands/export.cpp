#include "export.h"

#include "cdialogs.h"
#include "context.h"
#include "loadsave.h"
#include "ports.h"
#include "reporttext.h"

#include "catalogue/datafile.h"

#include <QFileInfo>

void exportToFile(AppContext& ctx) {
    QString problem;
    const auto bytes = reportFileBytes(ctx.tree, ctx.status.text(StatusPanel::DatabaseName),
                                       ctx.catalogue.contactEmail, &problem);
    if (!bytes) {
        ctx.prompts.message(QStringLiteral("Export se nepodařil: %1.").arg(problem),
                            MessageIcon::Critical);
        return;
    }

    CDialogs dialogs(ctx.fileDialog);
    if (!dialogs.showSave())
        return;
    const QString path = dialogs.fileName();
    const bool existed = QFileInfo::exists(path);
    QString error;
    if (!writeFileAtomically(path, *bytes, false, &error)) {
        QString message = QStringLiteral("Soubor %1 se nepodařilo zapsat: %2.").arg(path, error);
        if (existed)
            message += QStringLiteral("\nPůvodní soubor zůstal beze změny.");
        ctx.prompts.message(message, MessageIcon::Critical);
        return;
    }
    ctx.prompts.message(QStringLiteral("Hotovo."), MessageIcon::Information);
}

void sendByMail(AppContext& ctx) {
    if (ctx.catalogue.contactEmail.isEmpty()) {
        ctx.prompts.message(QStringLiteral("Kontaktní email není definován!"),
                            MessageIcon::Exclamation);
        return;
    }
    const QString panel = ctx.status.text(StatusPanel::DatabaseName);
    const QString text = reportText(ctx.tree, panel, ctx.catalogue.contactEmail);
    const MailResult result =
        ctx.mailer ? ctx.mailer->compose(databaseName(ctx.status), ctx.catalogue.contactEmail,
                                         QStringLiteral("MP3 Velbor"), text)
                   : MailResult::NoMailProgram;
    switch (result) {
    case MailResult::Handed:
        break;
    case MailResult::TooLong:
        ctx.prompts.message(QStringLiteral("Zpráva je příliš dlouhá, poštovní program ji "
                                           "nepřevezme. Zaškrtněte méně alb, nebo použijte "
                                           "export do souboru."),
                            MessageIcon::Exclamation);
        break;
    case MailResult::NoMailProgram:
        ctx.prompts.message(QStringLiteral("E-mail se nepodařilo předat poštovnímu programu: "
                                           "žádný poštovní program nelze spustit. Zkontrolujte, "
                                           "zda je v systému nastaven výchozí poštovní program."),
                            MessageIcon::Exclamation);
        break;
    }
}
