#include "desktopmailer.h"

#include "commands/mailto.h"

#include <QDesktopServices>
#include <QUrl>

MailResult DesktopMailer::compose(const QString& recipientName, const QString& address,
                                  const QString& subject, const QString& body) {
    const QByteArray url = mailtoUrl(recipientName, address, subject, body);
    if (url.size() > kMaxUrlBytes)
        return MailResult::TooLong;
    // The link is fully encoded already; strict parsing keeps it exactly as built.
    const QUrl link = QUrl::fromEncoded(url, QUrl::StrictMode);
    if (!link.isValid() || !QDesktopServices::openUrl(link))
        return MailResult::NoMailProgram;
    return MailResult::Handed;
}
