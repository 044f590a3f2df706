#include "desktopmailer.h"

#include "mailto.h"

#include <QDesktopServices>
#include <QUrl>

qint32 DesktopMailer::BMAPISendMail(qint32, qint32, const MapiMessage& message,
                                    std::span<const MapiRecip> recips, std::span<const MapiFile>,
                                    qint32, qint32) {
    QString name;
    QString address;
    for (qsizetype k = 0; k < qsizetype(recips.size()) && k < message.RecipCount; ++k) {
        if (recips[size_t(k)].RecipClass == MAPI_TO) {
            name = recips[size_t(k)].Name;
            address = recips[size_t(k)].Address;
            break;
        }
    }
    const QByteArray url = mailtoUrl(name, address, message.Subject, message.NoteText);
    if (url.size() > kMaxUrlBytes)
        return MAPI_E_TEXT_TOO_LARGE;
    // The link is fully encoded already; strict parsing keeps it exactly as built.
    const QUrl link = QUrl::fromEncoded(url, QUrl::StrictMode);
    if (!link.isValid())
        return MAPI_E_FAILURE;
    return QDesktopServices::openUrl(link) ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
}
