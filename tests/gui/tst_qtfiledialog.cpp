#include "gui/qtfiledialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// The real QFileDialog, offscreen: shown with the request's title, filter and suffix; accepted as
// it opens, the proposed name in the proposed folder comes back, and nothing after Cancel.
class TestQtFileDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answer_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accepted") << true;
        QTest::newRow("cancelled") << false;
    }
    void answer() {
        QFETCH(bool, accept);
        QTemporaryDir folder;
        const QStringList asked{u"Exportovat zaškrtnuté"_s, u"Textové soubory (*.txt)"_s, u"txt"_s};
        QStringList shown;
        QTimer::singleShot(0, this, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                shown = {dialog->windowTitle(), dialog->selectedNameFilter(),
                         dialog->defaultSuffix()};
                accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
            }
        });
        // A dialog left open is closed after 10 s, so the test cannot wait for ever on it.
        QTimer::singleShot(10000, this, [] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                modal->reject();
        });
        const auto path = QtFileDialog().askSavePath(
            {asked[0], folder.path(), u"mp3.txt"_s, {asked[1]}, asked[2]});
        QCOMPARE(shown, asked);
        QCOMPARE(path, accept ? std::optional(folder.filePath(u"mp3.txt"_s)) : std::nullopt);
    }
};

QTEST_MAIN(TestQtFileDialog)
#include "tst_qtfiledialog.moc"
