// Qt's own dialogs speak Czech once the program has loaded Qt's Czech translation: the standard
// buttons of the message and input boxes and the file dialog.
#include "gui/qttranslation.h"

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

// The texts of the dialog's buttons and named labels, sorted; tool buttons with pictures only
// left out.
QStringList texts(QDialog& dialog) {
    dialog.show();
    QStringList texts;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        texts << button->text();
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->objectName() == u"fileNameLabel" || label->objectName() == u"lookInLabel")
            texts << label->text();
    texts.removeAll(QString());
    texts.sort();
    return texts;
}

} // namespace

class TestCzechDialogs : public QObject {
    Q_OBJECT
    QTranslator m_qtCzech;

private Q_SLOTS:
    void initTestCase() { QVERIFY(installQtCzech(m_qtCzech)); }

    void dialogs() {
        QMessageBox question(QMessageBox::Question, u"Velbor"_s, u"Otázka?"_s,
                             QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(texts(question), (QStringList{u"&Ano"_s, u"&Ne"_s}));
        QInputDialog input;
        QCOMPARE(texts(input), (QStringList{u"OK"_s, u"Zrušit"_s}));
        QFileDialog save(nullptr, u"Export"_s, QDir::tempPath());
        save.setOption(QFileDialog::DontUseNativeDialog);
        save.setAcceptMode(QFileDialog::AcceptSave);
        QCOMPARE(texts(save),
                 (QStringList{u"&Uložit"_s, u"Hledat v:"_s, u"Název &souboru:"_s, u"Zrušit"_s}));
        QFileDialog open(nullptr, u"Import"_s, QDir::tempPath());
        open.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(texts(open),
                 (QStringList{u"&Otevřít"_s, u"Hledat v:"_s, u"Název &souboru:"_s, u"Zrušit"_s}));
    }
};

QTEST_MAIN(TestCzechDialogs)
#include "tst_czechdialogs.moc"
