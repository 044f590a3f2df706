#include "mainwindow/mainwindow.h"
#include "mainwindow/windowlogic.h"

#include "catalogue/windows1250.h"

#include "scriptedports.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// F2 and Shift+F2 in the real window reach the file dialog and the mail interface it is given.
class TestExportWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void f2AndShiftF2() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        ScriptedPrompts prompts;
        FakeFileDialogs dialogs;
        RecordingMailer mailer;
        MainWindow window(&prompts);
        window.setFileDialogBackend(&dialogs);
        window.setMailer(&mailer);
        AppContext& ctx = window.context();
        ctx.catalogue.Albums = {{u"Olympic"_s, u"Želva"_s, false},
                                {u"Abba"_s, u"Arrival"_s, false}};
        ctx.catalogue.ContactEmail = u"ja@example.cz"_s;
        setDatabaseName(ctx.status, u"Sbírka"_s);
        ReadAlbums(ctx, false);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        const QString path = folder.filePath(u"mp3.txt"_s);
        dialogs.answer = FakeFileDialogs::choose(path);
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier); // tick all
        QTest::keyClick(&window, Qt::Key_F2);
        QCOMPARE(dialogs.opened.size(), 1);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString written = Windows1250::decode(file.readAll());
        QCOMPARE(written,
                 u"Export z programu MP3 Velbor\r\nDatabáze: Sbírka (ja@example.cz)\r\n"_s +
                     QString(64, u'=') + u"\r\nAbba - Arrival\r\nOlympic - Želva\r\n"_s);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, u"Hotovo."_s);

        QTest::keyClick(&window, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(mailer.calls, 1);
        QCOMPARE(mailer.message.NoteText, written);
        QCOMPARE(mailer.recips[0].Name, u"Sbírka"_s);
        QCOMPARE(mailer.recips[0].Address, u"ja@example.cz"_s);
    }
};

QTEST_MAIN(TestExportWindow)
#include "test_exportwindow.moc"
