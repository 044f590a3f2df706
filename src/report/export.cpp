#include "export.h"

#include "mapivb32.h"
#include "reporttext.h"

#include "catalogue/datafile.h"
#include "dialogs/cdialogs.h"
#include "mainwindow/appcontext.h"
#include "mainwindow/ports.h"
#include "mainwindow/windowlogic.h"

#include <QFileInfo>

namespace {

void exportToFile(AppContext& ctx) {
    QString problem;
    const auto bytes = reportFileBytes(ctx.tree, ctx.status.text(kPanelVlastnik),
                                       ctx.catalogue.ContactEmail, &problem);
    if (!bytes) {
        ctx.prompts.message(QStringLiteral("Export se nepodařil: %1.").arg(problem),
                            MessageIcon::Critical);
        return;
    }

    CDialogs dialogs(ctx.fileDialogs);
    if (!dialogs.ShowSave())
        return;
    const QString path = dialogs.File();
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

void exportByEmail(AppContext& ctx) {
    const QString panel = ctx.status.text(kPanelVlastnik);
    const QString text = reportText(ctx.tree, panel, ctx.catalogue.ContactEmail);
    const QString name =
        panel.size() > kOwnerPrefixLength ? panel.mid(kOwnerPrefixLength) : QString();
    const qint32 result = SendReportMail(ctx.mailer, name, ctx.catalogue.ContactEmail,
                                         QStringLiteral("MP3 Velbor"), text);
    switch (result) {
    case SUCCESS_SUCCESS:
    case MAPI_USER_ABORT: // the user dropped the message in the mail client
        break;
    case MAPI_E_TEXT_TOO_LARGE:
        ctx.prompts.message(QStringLiteral("Zpráva je příliš dlouhá, poštovní program ji "
                                           "nepřevezme. Zaškrtněte méně alb, nebo použijte "
                                           "export do souboru."),
                            MessageIcon::Exclamation);
        break;
    case MAPI_E_FAILURE:
        ctx.prompts.message(QStringLiteral("E-mail se nepodařilo předat poštovnímu programu: "
                                           "žádný poštovní program nelze spustit. Zkontrolujte, "
                                           "zda je v systému nastaven výchozí poštovní program."),
                            MessageIcon::Exclamation);
        break;
    default:
        ctx.prompts.message(
            QStringLiteral("E-mail se nepodařilo předat poštovnímu programu (chyba MAPI %1).")
                .arg(result),
            MessageIcon::Exclamation);
        break;
    }
}

} // namespace

void ExportChecked(AppContext& ctx, bool ByEmail) {
    if (ByEmail && ctx.catalogue.ContactEmail.isEmpty()) {
        ctx.prompts.message(QStringLiteral("Kontaktní email není definován!"),
                            MessageIcon::Exclamation);
        return;
    }
    if (ByEmail)
        exportByEmail(ctx);
    else
        exportToFile(ctx);
}
