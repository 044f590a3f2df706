// Qt's own dialogs speak Czech once the program has loaded Qt's Czech translation: the standard
// buttons of the message and input boxes and the file dialog.
#include "app/qttranslation.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace {

QStringList buttonTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        texts.append(button->text());
    texts.sort();
    return texts;
}

} // namespace

class TestCzechDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void messageBoxButtons_data();
    void messageBoxButtons();
    void inputBoxButtons();
    void fileDialog_data();
    void fileDialog();

private:
    QTranslator m_qtCzech;
};

void TestCzechDialogs::initTestCase() {
    QVERIFY(installQtCzech(m_qtCzech));
}

void TestCzechDialogs::messageBoxButtons_data() {
    QTest::addColumn<QMessageBox::StandardButtons>("buttons");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("question") << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No)
                              << QStringList{u"&Ano"_s, u"&Ne"_s};
    QTest::newRow("message") << QMessageBox::StandardButtons(QMessageBox::Ok)
                             << QStringList{u"OK"_s};
    QTest::newRow("with cancel") << QMessageBox::StandardButtons(QMessageBox::Ok |
                                                                 QMessageBox::Cancel)
                                 << QStringList{u"OK"_s, u"Zrušit"_s};
}

void TestCzechDialogs::messageBoxButtons() {
    QFETCH(QMessageBox::StandardButtons, buttons);
    QFETCH(QStringList, texts);
    QMessageBox box(QMessageBox::Question, u"Velbor"_s, u"Otázka?"_s, buttons);
    QCOMPARE(buttonTexts(box), texts);
}

void TestCzechDialogs::inputBoxButtons() {
    QInputDialog input;
    input.setLabelText(u"Název alba:"_s);
    input.show();
    QVERIFY(QTest::qWaitForWindowExposed(&input));
    QCOMPARE(buttonTexts(input), (QStringList{u"OK"_s, u"Zrušit"_s}));
}

void TestCzechDialogs::fileDialog_data() {
    QTest::addColumn<QFileDialog::AcceptMode>("mode");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("save") << QFileDialog::AcceptSave << QStringList{u"&Uložit"_s, u"Zrušit"_s};
    QTest::newRow("open") << QFileDialog::AcceptOpen << QStringList{u"&Otevřít"_s, u"Zrušit"_s};
}

void TestCzechDialogs::fileDialog() {
    QFETCH(QFileDialog::AcceptMode, mode);
    QFETCH(QStringList, texts);
    QFileDialog dialog(nullptr, u"Export"_s, QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QStringList shown = buttonTexts(dialog);
    shown.removeAll(QString()); // the tool buttons of the folder bar have pictures only
    QCOMPARE(shown, texts);
    auto* fileName = dialog.findChild<QLabel*>(u"fileNameLabel"_s);
    QVERIFY(fileName);
    QCOMPARE(fileName->text(), u"Název &souboru:"_s);
    auto* lookIn = dialog.findChild<QLabel*>(u"lookInLabel"_s);
    QVERIFY(lookIn);
    QCOMPARE(lookIn->text(), u"Hledat v:"_s);
}

QTEST_MAIN(TestCzechDialogs)
#include "tst_czechdialogs.moc"
