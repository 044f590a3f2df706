#include "export.h"

#include "mapivb32.h"
#include "reporttext.h"

#include "catalogue/datafile.h"
#include "catalogue/windows1250.h"
#include "dialogs/cdialogs.h"
#include "mainwindow/appcontext.h"
#include "mainwindow/ports.h"
#include "mainwindow/windowlogic.h"

#include <QFileInfo>

std::optional<QByteArray> reportFileBytes(const QString& text, QString* problem) {
    QByteArray bytes;
    bytes.reserve(text.size() + text.size() / 8);
    if (Windows1250::encodeAppend(text, bytes))
        return bytes;
    if (problem) {
        // Name the line that cannot be written and the character in it.
        qsizetype bad = 0;
        Windows1250::canEncode(text, &bad);
        const qsizetype start = text.lastIndexOf(u'\n', bad) + 1;
        qsizetype end = text.indexOf(u'\r', bad);
        if (end < 0)
            end = text.size();
        const qsizetype length = text[bad].isHighSurrogate() && bad + 1 < text.size() ? 2 : 1;
        *problem = QStringLiteral("řádek „%1“ obsahuje znak „%2“, který nelze zapsat "
                                  "v kódování Windows-1250")
                       .arg(text.mid(start, end - start), text.mid(bad, length));
    }
    return std::nullopt;
}

namespace {

void exportToFile(AppContext& ctx, const QString& text) {
    const QString failed = QStringLiteral("Export se nepodařil: %1.");
    QString problem;
    const auto bytes = reportFileBytes(text, &problem);
    if (!bytes) {
        ctx.prompts.message(failed.arg(problem), MessageIcon::Critical);
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

void exportByEmail(AppContext& ctx, const QString& text) {
    const QString panel = ctx.status.text(kPanelVlastnik);
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
    const QString text =
        reportText(ctx.tree, ctx.status.text(kPanelVlastnik), ctx.catalogue.ContactEmail);
    if (ByEmail)
        exportByEmail(ctx, text);
    else
        exportToFile(ctx, text);
}
