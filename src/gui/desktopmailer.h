#pragma once

#include "commands/ports.h"

class DesktopOpener;

// The mail hand-off on Linux: the message becomes a mailto: link that the desktop opens in the
// user's mail client. A failing opener is reported by the opener, after compose() has returned.
class DesktopMailer : public Mailer {
public:
    // The longest link handed on: a program argument on Linux holds at most 128 KiB.
    static constexpr qsizetype kMaxUrlBytes = 128 * 1024 - 1;

    explicit DesktopMailer(DesktopOpener& opener) : m_opener(opener) {}
    MailResult compose(const QString& recipientName, const QString& address, const QString& subject,
                       const QString& body) override;

private:
    DesktopOpener& m_opener;
};
