#include "catalogue/programfolder.h"
#include "gui/mainwindow.h"
#include "gui/qttranslation.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTranslator>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The name gives the user's data folder of a system-wide install: ~/.local/share/velbor.
    QApplication::setApplicationName(QStringLiteral("velbor"));
    QApplication::setApplicationVersion(QStringLiteral(VELBOR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("cz.velbor.Velbor"));

    // The program speaks Czech: Qt's own buttons and dialogs too, and the help text.
    QTranslator qtCzech;
    installQtCzech(qtCzech);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("MP3 Velbor – katalog MP3 alb."));
    // Qt's own help and version options describe themselves in English.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Zobrazí tuto nápovědu a skončí."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Zobrazí verzi programu a skončí."));
    parser.addOption(help);
    parser.addOption(version);
    const QCommandLineOption catalogue(
        QStringLiteral("catalogue"),
        QStringLiteral("Otevře katalog ze souboru <soubor> místo souboru Velbor.dat. Záloha "
                       "se ukládá do jeho složky a export ji nabízí jako výchozí."),
        QStringLiteral("soubor"));
    parser.addOption(catalogue);
    parser.process(app);
    if (parser.isSet(help))
        parser.showHelp();
    if (parser.isSet(version))
        parser.showVersion();
    if (parser.isSet(catalogue))
        setCatalogueFile(parser.value(catalogue));

    MainWindow window;
    window.load();
#ifdef __GLIBC__
    // Loading and sorting a large catalogue on several threads leaves much freed memory in the
    // threads' own malloc arenas, which the C library keeps for them: give it back.
    malloc_trim(0);
#endif
    window.show();
    return QApplication::exec();
}
