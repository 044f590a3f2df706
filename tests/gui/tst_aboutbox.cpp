// The About box offscreen: its layout and texts, the focus and the keys that close it, and the
// targets its links hand to the shell.
#include "catalogue/programfolder.h"
#include "gui/aboutbox.h"
#include "gui/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

class RecordingShell : public Shell {
public:
    void open(const QString& target) override { opened.append(target); }
    QStringList opened;
};

template <class T = QWidget> T* child(QWidget* box, const QString& name) {
    return box->findChild<T*>(name);
}

// Shows the About box through showAboutBox, or through the menu item via, runs steps once it is up
// and returns when it has closed. A box that steps left open is closed here so that a failure
// cannot hang the test; the result says whether that was needed.
bool leftOpenAfter(QWidget* parent, Shell& shell, const std::function<void(AboutBox*)>& steps,
                   QAction* via = nullptr) {
    bool leftOpen = false;
    QTimer::singleShot(0, [&] {
        QPointer<AboutBox> box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        QVERIFY2(box, "the About box is not the modal window");
        QVERIFY(QTest::qWaitForWindowActive(box));
        steps(box);
        if (box && box->isVisible()) {
            leftOpen = true;
            box->reject();
        }
    });
    if (via)
        via->trigger();
    else
        showAboutBox(parent, shell);
    return leftOpen;
}

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void looks() {
        RecordingShell shell;
        AboutBox box(shell);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.windowTitle(), u"About"_s);
        QCOMPARE(box.minimumSize(), QSize(175, 150));
        QCOMPARE(box.maximumSize(), QSize(175, 150));
        const auto buttons =
            Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
        QCOMPARE(box.windowFlags() & buttons, Qt::WindowCloseButtonHint);
        // Left, top, width, height in pixels: the designed twips divided by 15.
        const QList<std::pair<QString, QRect>> places = {{u"notice"_s, {8, 8, 161, 17}},
                                                         {u"logo"_s, {8, 24, 160, 60}},
                                                         {u"maker"_s, {8, 88, 161, 17}},
                                                         {u"webButton"_s, {16, 112, 65, 25}},
                                                         {u"okButton"_s, {96, 112, 65, 25}}};
        for (const auto& [name, place] : places)
            QCOMPARE(child(&box, name)->geometry(), place);

        auto* notice = child<QLabel>(&box, u"notice"_s);
        auto* maker = child<QLabel>(&box, u"maker"_s);
        // One "&", shown as it is: plain text and no buddy, so it cannot become an access key.
        QCOMPARE(maker->text(), u"Lotos & Kvant development"_s);
        QCOMPARE(maker->textFormat(), Qt::PlainText);
        QVERIFY(!maker->buddy());
        QCOMPARE(child<QPushButton>(&box, u"webButton"_s)->text(), u"Web"_s);
        QCOMPARE(child<QPushButton>(&box, u"okButton"_s)->text(), u"OK"_s);
        for (QLabel* label : {notice, maker}) // nothing is cut off
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));

        QVERIFY(box.autoFillBackground());
        QCOMPARE(box.palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(notice->palette().color(notice->foregroundRole()), QColor(Qt::white));
        QCOMPARE(maker->palette().color(maker->foregroundRole()), QColor(0, 255, 255));
        QVERIFY(maker->font().underline());
        auto* logo = child<QLabel>(&box, u"logo"_s);
        QCOMPARE(logo->pixmap().deviceIndependentSize().toSize(), QSize(160, 60));
        for (QLabel* link : {maker, logo})
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    }

    // Which file is open shows as the tooltip of the box and its notice.
    void showsTheOpenCatalogue() {
        setCatalogueFile(u"/home/jan/Moje sbírka.dat"_s);
        RecordingShell shell;
        AboutBox box(shell);
        setCatalogueFile(QString());
        const QString note = u"Katalog: /home/jan/Moje sbírka.dat"_s;
        QCOMPARE(box.toolTip(), note);
        QCOMPARE(child(&box, u"notice"_s)->toolTip(), note);
    }

    void links_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        const QString web = u"https://velbor.example.org/"_s;
        QTest::newRow("maker's name") << u"maker"_s << web;
        QTest::newRow("Web") << u"webButton"_s << web;
        QTest::newRow("logo") << u"logo"_s << u"mailto:velbor@example.org"_s;
    }
    void links() {
        QFETCH(QString, name);
        QFETCH(QString, target);
        RecordingShell shell;
        AboutBox box(shell);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        // The links leave the box open; a second click opens the target again.
        for (int click = 1; click <= 2; ++click)
            QTest::mouseClick(child(&box, name), Qt::LeftButton);
        QCOMPARE(shell.opened, (QStringList{target, target}));
        QVERIFY(box.isVisible());

        // A right click, or a press on the link let go beside it, opens nothing.
        shell.opened.clear();
        QTest::mouseClick(child(&box, name), Qt::RightButton);
        QTest::mousePress(child(&box, name), Qt::LeftButton);
        QTest::mouseRelease(child(&box, name), Qt::LeftButton, {}, QPoint(-5, -5));
        QTest::mouseClick(child(&box, u"notice"_s), Qt::LeftButton);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(170, 145));
        QCOMPARE(shell.opened, QStringList());
        QVERIFY(box.isVisible());
    }

    void focusOnOkAtEveryOpening() {
        RecordingShell shell;
        QWidget owner;
        owner.show();
        for (int opening = 1; opening <= 3; ++opening) {
            const bool leftOpen = leftOpenAfter(&owner, shell, [](AboutBox* box) {
                auto* ok = child<QPushButton>(box, u"okButton"_s);
                auto* web = child<QPushButton>(box, u"webButton"_s);
                QCOMPARE(QApplication::focusWidget(), ok);
                QVERIFY(ok->isDefault());
                QTest::keyClick(ok, Qt::Key_Tab); // tab order: OK, then Web
                QCOMPARE(QApplication::focusWidget(), web);
                // Leave the focus on Web; the next opening must not remember it.
                QTest::keyClick(web, Qt::Key_Escape);
            });
            QVERIFY2(!leftOpen, qPrintable(u"opening %1"_s.arg(opening)));
        }
        QCOMPARE(shell.opened, QStringList());
    }

    void closing_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key"); // 0: a mouse click on the focused button
        QTest::newRow("OK clicked") << u"okButton"_s << 0;
        QTest::newRow("Esc on Web") << u"webButton"_s << int(Qt::Key_Escape);
        QTest::newRow("Enter on OK") << u"okButton"_s << int(Qt::Key_Return);
        QTest::newRow("Space on OK") << u"okButton"_s << int(Qt::Key_Space);
    }
    void closing() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        RecordingShell shell;
        const bool leftOpen = leftOpenAfter(nullptr, shell, [&](AboutBox* box) {
            auto* button = child<QPushButton>(box, focus);
            button->setFocus();
            if (key)
                QTest::keyClick(button, Qt::Key(key));
            else
                QTest::mouseClick(button, Qt::LeftButton);
        });
        QVERIFY(!leftOpen);
        QCOMPARE(shell.opened, QStringList());
    }

    void openedFromTheMainWindow() {
        RecordingShell shell;
        MainWindow window;
        window.setShell(&shell);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const bool leftOpen = leftOpenAfter(
            &window, shell,
            [&](AboutBox* box) {
                QCOMPARE(box->parentWidget(), &window);
                QTest::mouseClick(child(box, u"logo"_s), Qt::LeftButton);
                QTest::mouseClick(child(box, u"webButton"_s), Qt::LeftButton);
                QTest::mouseClick(child(box, u"okButton"_s), Qt::LeftButton);
            },
            window.menuItem(u"actionAbout"_s));
        QVERIFY(!leftOpen);
        QCOMPARE(shell.opened,
                 (QStringList{u"mailto:velbor@example.org"_s, u"https://velbor.example.org/"_s}));
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
