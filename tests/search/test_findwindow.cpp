#include "mainwindow/mainwindow.h"
#include "mainwindow/windowlogic.h"

#include "report/scriptedports.h"

#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

// F3 in the real window: the match inside a collapsed artist is expanded and selected.
class TestFindWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }

    void f3SelectsAndExpands() {
        ScriptedPrompts prompts;
        MainWindow window(&prompts);
        AppContext& ctx = window.context();
        ctx.catalogue.Albums = {{u"Abba"_s, u"Arrival"_s, false},
                                {u"Žlutý pes"_s, u"Hlavně nezmatkuj"_s, false},
                                {u"Žlutý pes"_s, u"Pes jitřních běsů"_s, false}};
        ReadAlbums(ctx, false);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QTreeView* tree = window.treeView();
        const QModelIndex artist = tree->model()->index(1, 0);
        QCOMPARE(artist.data().toString(), u"Žlutý pes"_s);
        QVERIFY(!tree->isExpanded(artist));

        prompts.answers = {u"JITŘ"_s};
        QTest::keyClick(&window, Qt::Key_F3);
        QCOMPARE(prompts.inputs.size(), 1);
        QCOMPARE(prompts.inputs[0].title, u"MP3 Velbor"_s);
        QVERIFY(tree->isExpanded(artist));
        QCOMPARE(tree->currentIndex().data().toString(), u"Pes jitřních běsů"_s);
        QVERIFY(tree->selectionModel()->isSelected(tree->currentIndex()));
    }
};

QTEST_MAIN(TestFindWindow)
#include "test_findwindow.moc"
