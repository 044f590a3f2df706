#include "dialogs/cdialogs.h"
#include "dialogs/qtfiledialogbackend.h"

#include "catalogue/programfolder.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

// Drives the real QFileDialog offscreen: once it is open, look at it and close it.
class TestQtFileDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    // Runs handle on the modal file dialog as soon as it shows.
    static void whenShown(std::function<void(QFileDialog*)> handle) {
        auto* timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [timer, handle] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            timer->stop();
            timer->deleteLater();
            handle(dialog);
        });
        timer->start();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_folder.isValid());
        setProgramFolderForTesting(m_folder.path());
    }

    void nameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("patterns shown in the description")
            << u"Textové soubory (*.txt)\0*.txt\0\0"_s << QStringList{u"Textové soubory (*.txt)"_s};
        QTest::newRow("patterns not shown") << u"Text\0*.txt;*.log\0Vše\0*\0\0"_s
                                            << QStringList{u"Text (*.txt *.log)"_s, u"Vše (*)"_s};
        QTest::newRow("none") << u"\0\0"_s << QStringList{};
    }

    void nameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(QtFileDialogBackend::nameFilters(filter), expected);
    }

    // The export's save dialog as a new CDialogs object opens it, accepted as it opens (its title,
    // folder, proposed name and the question before replacing a file: tests/e2e/test_export.sh).
    void saveDialogAcceptedAsItOpens() {
        QtFileDialogBackend backend;
        CDialogs d(&backend);
        QString filterShown, suffix;
        whenShown([&](QFileDialog* dialog) {
            filterShown = dialog->selectedNameFilter();
            suffix = dialog->defaultSuffix();
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept()
        });
        QVERIFY(d.ShowSave());
        QCOMPARE(filterShown, u"Textové soubory (*.txt)"_s);
        QCOMPARE(suffix, u"txt"_s);
        const QString path = m_folder.filePath(u"mp3.txt"_s);
        QCOMPARE(d.File(), path);
        QCOMPARE(d.FileTitle(), u"mp3.txt"_s);
        QCOMPARE(d.FileNameOffset(), path.size() - 7);
        QCOMPARE(d.FileExtensionOffset(), path.size() - 3);
        QCOMPARE(d.FilterIndex(), 1);
    }

    void cancel() {
        QtFileDialogBackend backend;
        CDialogs d(&backend);
        whenShown([](QFileDialog* dialog) { dialog->reject(); });
        QVERIFY(!d.ShowSave());
        QCOMPARE(d.File(), u"mp3.txt"_s);
    }

    void multiOpenTwoFiles() {
        for (const char* name : {"a.txt", "b.txt"}) {
            QFile f(m_folder.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QtFileDialogBackend backend;
        CDialogs d(&backend);
        d.setFile(QString());
        bool many = false;
        whenShown([&](QFileDialog* dialog) {
            many = dialog->fileMode() == QFileDialog::ExistingFiles;
            dialog->selectFile(u"\"a.txt\" \"b.txt\""_s);
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept()
        });
        QVERIFY(d.ShowMultiOpen());
        QVERIFY(many);
        QCOMPARE(d.Files(), (QStringList{u"a.txt"_s, u"b.txt"_s}));
        QVERIFY(d.File().startsWith(m_folder.path() + QChar(u'\0')));
    }
};

QTEST_MAIN(TestQtFileDialog)
#include "test_qtfiledialog.moc"
