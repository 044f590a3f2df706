#include "desktopmailer.h"

#include "desktopopener.h"

#include "commands/mailto.h"

MailResult DesktopMailer::compose(const QString& recipientName, const QString& address,
                                  const QString& subject, const QString& body) {
    const QByteArray url = mailtoUrl(recipientName, address, subject, body);
    if (url.size() > kMaxUrlBytes)
        return MailResult::TooLong;
    m_opener.open(url, QStringLiteral("E-mail se nepodařilo předat poštovnímu programu"));
    return MailResult::Handed;
}
