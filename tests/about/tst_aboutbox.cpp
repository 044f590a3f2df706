// The About box offscreen: its layout and texts, the focus and the keys that close it, and the
// targets its links hand to the shell.
#include "about/aboutbox.h"
#include "mainwindow/mainwindow.h"

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

template <class T> T* child(QWidget* box, const char* name) {
    return box->findChild<T*>(QString::fromLatin1(name));
}

// Shows the About box through showAboutBox, as "&Info" does, runs steps once it is up and returns
// when it has closed. A box that steps left open is closed here so that a failure cannot hang the
// test; the result says whether that was needed.
bool leftOpenAfter(QWidget* parent, Shell& shell, const std::function<void(AboutBox*)>& steps) {
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
    showAboutBox(parent, shell);
    return leftOpen;
}

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void window();
    void layout_data();
    void layout();
    void texts();
    void colours();
    void links_data();
    void links();
    void clicksThatOpenNothing();
    void focusOnOkAtEveryOpening();
    void closing_data();
    void closing();
    void openedFromTheMainWindow();
};

void TestAboutBox::window() {
    RecordingShell shell;
    AboutBox box(shell);
    QCOMPARE(box.windowTitle(), QStringLiteral("About"));
    QCOMPARE(box.minimumSize(), QSize(175, 150));
    QCOMPARE(box.maximumSize(), QSize(175, 150));
    const Qt::WindowFlags flags = box.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
}

void TestAboutBox::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    // Left, top, width, height in pixels: the designed twips divided by 15.
    QTest::newRow("notice") << u"Label1"_s << QRect(8, 8, 161, 17);
    QTest::newRow("logo") << u"imgLotos"_s << QRect(8, 24, 160, 60);
    QTest::newRow("maker") << u"Label2"_s << QRect(8, 88, 161, 17);
    QTest::newRow("Web") << u"cmdWeb"_s << QRect(16, 112, 65, 25);
    QTest::newRow("OK") << u"cmdOK"_s << QRect(96, 112, 65, 25);
}

void TestAboutBox::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    RecordingShell shell;
    AboutBox box(shell);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* widget = box.findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), place);
}

void TestAboutBox::texts() {
    RecordingShell shell;
    AboutBox box(shell);
    auto* notice = child<QLabel>(&box, "Label1");
    auto* maker = child<QLabel>(&box, "Label2");
    QVERIFY(!notice->text().isEmpty());
    // One "&", shown as it is: plain text and no buddy, so it cannot become an access key.
    QCOMPARE(maker->text(), QStringLiteral("Lotos & Kvant development"));
    QCOMPARE(maker->text().count(u'&'), 1);
    QCOMPARE(maker->textFormat(), Qt::PlainText);
    QVERIFY(!maker->buddy());
    QCOMPARE(child<QPushButton>(&box, "cmdWeb")->text(), QStringLiteral("Web"));
    QCOMPARE(child<QPushButton>(&box, "cmdOK")->text(), QStringLiteral("OK"));

    // Both lines fit their labels, so nothing is cut off.
    for (QLabel* label : {notice, maker})
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                 qPrintable(label->text()));
}

void TestAboutBox::colours() {
    RecordingShell shell;
    AboutBox box(shell);
    QVERIFY(box.autoFillBackground());
    QCOMPARE(box.palette().color(QPalette::Window), QColor(Qt::black));
    auto* notice = child<QLabel>(&box, "Label1");
    QCOMPARE(notice->palette().color(notice->foregroundRole()), QColor(Qt::white));
    auto* maker = child<QLabel>(&box, "Label2");
    QCOMPARE(maker->palette().color(maker->foregroundRole()), QColor(0, 255, 255));
    QVERIFY(maker->font().underline());
    QCOMPARE(maker->cursor().shape(), Qt::PointingHandCursor);

    // The logo comes from the program's resources, at its designed size.
    auto* logo = child<QLabel>(&box, "imgLotos");
    const QPixmap picture = logo->pixmap();
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(160, 60));
    QCOMPARE(logo->cursor().shape(), Qt::PointingHandCursor);
}

void TestAboutBox::links_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("target");
    const QString web = u"https://velbor.example.org/"_s;
    QTest::newRow("maker's name") << u"Label2"_s << web;
    QTest::newRow("Web") << u"cmdWeb"_s << web;
    QTest::newRow("logo") << u"imgLotos"_s << u"mailto:velbor@example.org"_s;
}

void TestAboutBox::links() {
    QFETCH(QString, name);
    QFETCH(QString, target);
    RecordingShell shell;
    AboutBox box(shell);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* widget = box.findChild<QWidget*>(name);
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
    QCOMPARE(shell.opened, QStringList{target});
    // The links leave the box open; a second click opens the target again.
    QVERIFY(box.isVisible());
    QTest::mouseClick(widget, Qt::LeftButton);
    QCOMPARE(shell.opened, (QStringList{target, target}));
}

void TestAboutBox::clicksThatOpenNothing() {
    RecordingShell shell;
    AboutBox box(shell);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    for (const char* name : {"Label2", "imgLotos"}) {
        auto* label = child<QLabel>(&box, name);
        QTest::mouseClick(label, Qt::RightButton);
        // Pressed on the link, let go beside it.
        QTest::mousePress(label, Qt::LeftButton);
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(label->width() + 5, -5));
    }
    QTest::mouseClick(child<QLabel>(&box, "Label1"), Qt::LeftButton);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(170, 145));
    QCOMPARE(shell.opened, QStringList());
    QVERIFY(box.isVisible());
}

void TestAboutBox::focusOnOkAtEveryOpening() {
    RecordingShell shell;
    QWidget owner;
    owner.show();
    for (int opening = 1; opening <= 3; ++opening) {
        const bool leftOpen = leftOpenAfter(&owner, shell, [](AboutBox* box) {
            auto* ok = child<QPushButton>(box, "cmdOK");
            auto* web = child<QPushButton>(box, "cmdWeb");
            QCOMPARE(QApplication::focusWidget(), ok);
            QVERIFY(ok->isDefault());
            // Tab order: OK, then Web.
            QTest::keyClick(ok, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), web);
            // Leave the focus on Web; the next opening must not remember it.
            QTest::keyClick(web, Qt::Key_Escape);
        });
        QVERIFY2(!leftOpen, qPrintable(QStringLiteral("opening %1").arg(opening)));
    }
    QCOMPARE(shell.opened, QStringList());
}

void TestAboutBox::closing_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key"); // 0: a mouse click on the focused button
    QTest::newRow("OK clicked") << u"cmdOK"_s << 0;
    QTest::newRow("Esc on OK") << u"cmdOK"_s << int(Qt::Key_Escape);
    QTest::newRow("Esc on Web") << u"cmdWeb"_s << int(Qt::Key_Escape);
    QTest::newRow("Enter on OK") << u"cmdOK"_s << int(Qt::Key_Return);
    QTest::newRow("Space on OK") << u"cmdOK"_s << int(Qt::Key_Space);
}

void TestAboutBox::closing() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    RecordingShell shell;
    const bool leftOpen = leftOpenAfter(nullptr, shell, [&](AboutBox* box) {
        auto* button = box->findChild<QPushButton*>(focus);
        button->setFocus();
        QCOMPARE(QApplication::focusWidget(), button);
        if (key)
            QTest::keyClick(button, Qt::Key(key));
        else
            QTest::mouseClick(button, Qt::LeftButton);
    });
    QVERIFY(!leftOpen);
    QCOMPARE(shell.opened, QStringList());
}

void TestAboutBox::openedFromTheMainWindow() {
    RecordingShell shell;
    MainWindow window;
    window.setShell(&shell);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QAction* info = window.menuItem(u"mnuInfo"_s);
    QVERIFY(info);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = true;
        QCOMPARE(box->parentWidget(), &window);
        QTest::mouseClick(child<QLabel>(box, "imgLotos"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(box, "cmdWeb"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(box, "cmdOK"), Qt::LeftButton);
    });
    info->trigger();
    QVERIFY(seen);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(shell.opened,
             (QStringList{u"mailto:velbor@example.org"_s, u"https://velbor.example.org/"_s}));
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
