// The About box: its texts, the targets its links hand to the shell, the focus and the keys that
// close it, opened from the main window's menu.
#include "catalogue/programfolder.h"
#include "gui/aboutbox.h"
#include "gui/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

struct RecordingShell : Shell {
    void open(const QString& target) override { opened.append(target); }
    QStringList opened;
};

class TestAboutBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A left click opens the target and leaves the box open; a right click, or a press let go
    // beside the link, opens nothing. The open catalogue shows as the tooltip of the box and its
    // notice.
    void links_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        QTest::newRow("maker's name") << u"maker"_s << u"https://velbor.example.org/"_s;
        QTest::newRow("Web") << u"webButton"_s << u"https://velbor.example.org/"_s;
        QTest::newRow("logo") << u"logo"_s << u"mailto:velbor@example.org"_s;
    }
    void links() {
        QFETCH(QString, name);
        QFETCH(QString, target);
        setCatalogueFile(u"/home/jan/Moje sbírka.dat"_s);
        RecordingShell shell;
        AboutBox box(shell);
        setCatalogueFile(QString());
        QCOMPARE((QStringList{box.toolTip(), box.findChild<QLabel*>(u"notice"_s)->toolTip()}),
                 QStringList(2, u"Katalog: /home/jan/Moje sbírka.dat"_s));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto* link = box.findChild<QWidget*>(name);
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5));
        QTest::mouseClick(box.findChild<QWidget*>(u"notice"_s), Qt::LeftButton);
        QCOMPARE(shell.opened, QStringList());
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(shell.opened, QStringList{target});
        QVERIFY(box.isVisible());
    }

    // Opened from the menu, modal over the window: the focus on OK at every opening (not on Web,
    // where the last one left it), then Web; a click on OK, Enter or Esc (from Web) close it.
    void openedFromTheMenu() {
        RecordingShell shell;
        MainWindow window;
        window.setShell(&shell);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        for (int key : {int(Qt::Key_Return), int(Qt::Key_Escape), 0}) { // 0: a click on OK
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
                QVERIFY(box && box->parentWidget() == &window);
                auto* ok = box->findChild<QPushButton*>(u"okButton"_s);
                QTimer::singleShot(5000, box, &QDialog::reject); // a box left open fails below
                QVERIFY(QTest::qWaitForWindowActive(box));
                QTRY_COMPARE(QApplication::focusWidget(), ok);
                QTest::keyClick(ok, Qt::Key_Tab);
                auto* web = box->findChild<QPushButton*>(u"webButton"_s);
                QCOMPARE(QApplication::focusWidget(), web);
                key ? QTest::keyClick(key == Qt::Key_Escape ? web : ok, Qt::Key(key))
                    : QTest::mouseClick(ok, Qt::LeftButton);
                QVERIFY(!box->isVisible());
            });
            window.menuItem(u"actionAbout"_s)->trigger();
        }
        QCOMPARE(shell.opened, QStringList());
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
