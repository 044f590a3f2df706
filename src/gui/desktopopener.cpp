#include "desktopopener.h"

#include <QProcess>

namespace {

// What xdg-open's exit codes mean.
QString exitReason(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("odkazu nerozumí");
    case 2:
        return QStringLiteral("odkazovaný soubor neexistuje");
    case 3:
        return QStringLiteral("v systému není nastaven žádný program, který by odkaz otevřel");
    case 4:
        return QStringLiteral("program, který měl odkaz otevřít, selhal");
    default:
        return QStringLiteral("skončil s chybou %1").arg(code);
    }
}

} // namespace

void DesktopOpener::open(const QByteArray& link, const QString& what) {
    auto* process = new QProcess(this);
    // Through a shell that stays the opener's parent: ending the program then ends the shell but
    // never the mail program or browser that the opener started.
    process->setProgram(QStringLiteral("sh"));
    process->setArguments({QStringLiteral("-c"), QStringLiteral("\"$0\" \"$1\"; exit $?"),
                           m_program, QString::fromLatin1(link)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    // The shell says 127 when it cannot start the opener; QProcess says so when no shell starts.
    const QString notStarted = what + QStringLiteral(": program %1 nelze spustit.").arg(m_program);
    connect(process, &QProcess::finished, this,
            [this, process, what, notStarted](int code, QProcess::ExitStatus status) {
                process->deleteLater();
                if (status != QProcess::NormalExit)
                    Q_EMIT failed(what + QStringLiteral(": %1 byl ukončen.").arg(m_program));
                else if (code == 127)
                    Q_EMIT failed(notStarted);
                else if (code != 0)
                    Q_EMIT failed(what +
                                  QStringLiteral(": %1 – %2.").arg(m_program, exitReason(code)));
            });
    connect(process, &QProcess::errorOccurred, this,
            [this, process, notStarted](QProcess::ProcessError e) {
                if (e != QProcess::FailedToStart)
                    return;
                process->deleteLater();
                Q_EMIT failed(notStarted);
            });
    process->start();
}
