#include "desktopshell.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopShell::open(const QString& url) {
    // The result is not acted on: a missing browser or mail program is the desktop's affair.
    QDesktopServices::openUrl(QUrl(url));
}
