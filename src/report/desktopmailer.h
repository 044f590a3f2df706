#pragma once

#include "mapivb32.h"

// The mail hand-off on Linux: the message becomes a mailto: link that the desktop opens in the
// user's mail client (xdg-open). Only the first "To" recipient, the subject and the text travel;
// there is no attachment to carry.
class DesktopMailer : public Mailer {
public:
    // The longest link handed on: a program argument on Linux holds at most 128 KiB.
    static constexpr qsizetype kMaxUrlBytes = 128 * 1024 - 1;

    qint32 BMAPISendMail(qint32 session, qint32 uiParam, const MapiMessage& message,
                         std::span<const MapiRecip> recips, std::span<const MapiFile> files,
                         qint32 flags, qint32 reserved) override;
};
