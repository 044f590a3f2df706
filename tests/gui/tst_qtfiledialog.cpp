#include "gui/qtfiledialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

// Drives the real QFileDialog offscreen: once it is open, look at it and close it. A deadline
// closes a dialog left open, so no test can wait for ever on it.
class TestQtFileDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    bool m_shown = false;

    // Runs handle on the modal file dialog once it is up; after 10 s rejects whatever modal
    // dialog is open.
    void whenShown(std::function<void(QFileDialog*)> handle) {
        m_shown = false;
        QTimer::singleShot(0, this, [this, handle] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                m_shown = true;
                handle(dialog);
            }
        });
        QTimer::singleShot(10000, this, [] {
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

    // Shown with the request's title, filter and suffix; accepted as it opens, the proposed
    // name in the proposed folder comes back, and nothing after Cancel.
    void answer_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accepted") << true;
        QTest::newRow("cancelled") << false;
    }
    void answer() {
        QFETCH(bool, accept);
        QtFileDialog dialogs;
        QStringList shown;
        whenShown([&](QFileDialog* dialog) {
            shown = {dialog->windowTitle(), dialog->selectedNameFilter(), dialog->defaultSuffix()};
            accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
        });
        const std::optional<QString> path = dialogs.askSavePath(request());
        QVERIFY2(m_shown, "the dialog never showed");
        QCOMPARE(shown,
                 (QStringList{u"Exportovat zaškrtnuté"_s, u"Textové soubory (*.txt)"_s, u"txt"_s}));
        QCOMPARE(path, accept ? std::optional(m_folder.filePath(u"mp3.txt"_s)) : std::nullopt);
    }
};

QTEST_MAIN(TestQtFileDialog)
#include "tst_qtfiledialog.moc"
