#include "gui/qtfiledialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

// Drives the real QFileDialog offscreen: once it is open, look at it and close it. A dialog that
// never shows is closed by a deadline, so no test can wait forever on it.
class TestQtFileDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    bool m_shown = false;

    // Runs handle on the modal file dialog as soon as it shows; after 10 s rejects whatever
    // modal dialog is open.
    void whenShown(std::function<void(QFileDialog*)> handle) {
        m_shown = false;
        auto* timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [this, timer, handle] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            timer->stop();
            timer->deleteLater();
            m_shown = true;
            handle(dialog);
        });
        timer->start();
        QTimer::singleShot(10000, [] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                modal->reject();
        });
    }

    SaveRequest request() const {
        return {u"Exportovat zaškrtnuté"_s,
                m_folder.path(),
                u"mp3.txt"_s,
                {u"Textové soubory (*.txt)"_s},
                u"txt"_s};
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_folder.isValid()); }

    void acceptedAsItOpens() {
        QtFileDialog dialogs;
        QString title, filterShown, suffix;
        whenShown([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            filterShown = dialog->selectedNameFilter();
            suffix = dialog->defaultSuffix();
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept()
        });
        const std::optional<QString> path = dialogs.askSavePath(request());
        QVERIFY2(m_shown, "the dialog never showed");
        QCOMPARE(path, m_folder.filePath(u"mp3.txt"_s));
        QCOMPARE(title, u"Exportovat zaškrtnuté"_s);
        QCOMPARE(filterShown, u"Textové soubory (*.txt)"_s);
        QCOMPARE(suffix, u"txt"_s);
    }

    void cancel() {
        QtFileDialog dialogs;
        whenShown([](QFileDialog* dialog) { dialog->reject(); });
        QCOMPARE(dialogs.askSavePath(request()), std::nullopt);
        QVERIFY2(m_shown, "the dialog never showed");
    }
};

QTEST_MAIN(TestQtFileDialog)
#include "tst_qtfiledialog.moc"
