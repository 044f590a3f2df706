#include "desktopshell.h"

#include "desktopopener.h"

#include <QUrl>

void DesktopShell::open(const QString& url) {
    m_opener.open(QUrl(url).toEncoded(), QStringLiteral("Odkaz se nepodařilo otevřít"));
}
