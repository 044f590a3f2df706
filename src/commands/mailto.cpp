#include "mailto.h"

#include <QString>

namespace {

bool unreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void percentEncode(QStringView text, QByteArray& out, bool keepAt) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        if (unreserved(c) || (keepAt && c == '@')) {
            out += c;
        } else {
            const auto b = static_cast<unsigned char>(c);
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0xF];
        }
    }
}

// A display name can stand bare when it is words of letters, digits and the header's other
// plain characters, separated by single spaces.
bool needsQuotes(QStringView name) {
    if (name.startsWith(u' ') || name.endsWith(u' ') || name.contains(u"  "))
        return true;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 0x80)
            continue;
        if (u < 0x20 || u == 0x7f)
            return true;
        if (QStringView(u"()<>[]:;@\\,.\"").contains(c))
            return true;
    }
    return false;
}

} // namespace

QString mailRecipient(QStringView name, QStringView address) {
    if (name.isEmpty())
        return address.toString();
    QString out;
    if (needsQuotes(name)) {
        out += u'"';
        for (QChar c : name) {
            if (c == u'"' || c == u'\\')
                out += u'\\';
            out += c;
        }
        out += u'"';
    } else {
        out = name.toString();
    }
    out += QStringLiteral(" <") + address + u'>';
    return out;
}

QByteArray mailtoUrl(QStringView name, QStringView address, QStringView subject, QStringView body) {
    QByteArray url("mailto:");
    url.reserve(64 + (name.size() + address.size() + subject.size() + body.size()) * 3);
    percentEncode(mailRecipient(name, address), url, true);
    url += "?subject=";
    percentEncode(subject, url, false);
    url += "&body=";
    percentEncode(body, url, false);
    return url;
}
