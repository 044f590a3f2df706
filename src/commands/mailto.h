#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The mailto: link (RFC 6068) for one message: "mailto:" recipient "?subject=" subject "&body="
// body, every part UTF-8 and percent-encoded (a line break CR LF becomes %0D%0A). The recipient
// is "Name <address>", or the address alone when the name is empty; a name that holds any of the
// mail header's special characters is put in quotes, so that a comma or a "<" in it cannot split
// or change the recipient. Only letters, digits and "-._~" (and "@" in the recipient) are left
// as they are, so the link holds no space, quote or other character that a command line or a
// shell could take apart.
QByteArray mailtoUrl(QStringView name, QStringView address, QStringView subject, QStringView body);

// The recipient as the mail header writes it: Name <address>.
QString mailRecipient(QStringView name, QStringView address);
