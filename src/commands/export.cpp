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
    const QFileInfo target(path);
    const bool existed = target.exists();
    // A named pipe, a device or a folder of that name is never replaced by the report.
    if (existed && !target.isFile()) {
        ctx.prompts.message(QStringLiteral("Do %1 nelze výpis zapsat: není to obyčejný soubor, "
                                           "ale složka, zařízení nebo pojmenovaná roura. Zvolte "
                                           "jiný název souboru.")
                                .arg(path),
                            MessageIcon::Critical);
        return;
    }
    // The report can always be made again: where the folder lets no new file be made, the old
    // one is written over in place rather than the export failing.
    bool inPlace = false;
    QString error;
    if (!writeFileOrInPlace(path, *bytes, &inPlace, &error)) {
        QString message = QStringLiteral("Soubor %1 se nepodařilo zapsat: %2.").arg(path, error);
        if (inPlace)
            message += QStringLiteral("\nSoubor se přepisoval přímo, a tak může být neúplný. "
                                      "Export zopakujte.");
        else if (existed)
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
    const auto compose = [&ctx](const QString& body) {
        return ctx.mailer
                   ? ctx.mailer->compose(databaseName(ctx.status), ctx.catalogue.contactEmail,
                                         QStringLiteral("MP3 Velbor"), body)
                   : MailResult::NoMailProgram;
    };
    MailResult result = compose(text);
    bool copied = false;
    if (result == MailResult::TooLong) {
        const QString tooLong = QStringLiteral(
            "Zpráva je příliš dlouhá, než aby ji poštovní program mohl převzít celou.");
        if (!ctx.clipboard) {
            ctx.prompts.message(tooLong + QStringLiteral(" Zaškrtněte méně alb, nebo použijte "
                                                         "export do souboru."),
                                MessageIcon::Exclamation);
            return;
        }
        // The user pastes the report into the message the mail program opens.
        if (!ctx.prompts.askYesNo(tooLong +
                                  QStringLiteral(" Výpis do ní můžete vložit ze schránky sami. "
                                                 "Zkopírovat výpis do schránky a otevřít poštovní "
                                                 "program?")))
            return;
        ctx.clipboard->setText(text);
        copied = true;
        result = compose(QString());
    }
    if (result != MailResult::Handed) {
        QString message = QStringLiteral("E-mail se nepodařilo předat poštovnímu programu: "
                                         "žádný poštovní program nelze spustit. Zkontrolujte, "
                                         "zda je v systému nastaven výchozí poštovní program.");
        if (copied)
            message += QStringLiteral("\nVýpis je ve schránce.");
        ctx.prompts.message(message, MessageIcon::Exclamation);
    }
}
