#pragma once

#include "commands/ports.h"

// The mail hand-off on Linux: the message becomes a mailto: link that the desktop opens in the
// user's mail client (xdg-open).
class DesktopMailer : public Mailer {
public:
    // The longest link handed on: a program argument on Linux holds at most 128 KiB.
    static constexpr qsizetype kMaxUrlBytes = 128 * 1024 - 1;

    MailResult compose(const QString& recipientName, const QString& address, const QString& subject,
                       const QString& body) override;
};
