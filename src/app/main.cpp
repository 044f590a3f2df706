#include "gui/mainwindow.h"
#include "gui/qttranslation.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velbor"));
    QApplication::setDesktopFileName(QStringLiteral("velbor"));

    // The program speaks Czech: Qt's own buttons and dialogs too.
    QTranslator qtCzech;
    installQtCzech(qtCzech);

    MainWindow window;
    window.load();
    window.show();
    return QApplication::exec();
}
