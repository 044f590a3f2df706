// Check marks: ticking an artist spreads to its albums and nothing spreads upwards; "Označit vše"
// ticks every node of the current view; a view change clears every mark; editing leaves the marks
// of other nodes alone.

#include "fixture.h"

#include "catalogue/textcompare.h"
#include "editing/editing.h"
#include "mainwindow/windowlogic.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace fixture;

namespace {

const QStringList kAlbums = {
    u"Kapela>První"_s, u"Kapela>Druhé *"_s, u"Kapela>Třetí"_s, u"Alfa>Jediné *"_s, u"Beta>Staré"_s,
};

// The user clicks the check box of the node at path, as the view does it.
void click(CatalogueTree& tree, const QString& path, bool on) {
    TreeNode* node = nodeAtPath(tree, path);
    QVERIFY2(node, qPrintable(path));
    QVERIFY(tree.setData(tree.indexOf(node), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole));
}

} // namespace

class TestCheckMarks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TextCompare::setProgramLocale(u"cs_CZ"_s); }
    void marks_data();
    void marks();
    void viewSeesEveryChange();
};

void TestCheckMarks::marks_data() {
    QTest::addColumn<QStringList>("albums");
    QTest::addColumn<bool>("news");
    // "+path" ticks a node, "-path" unticks it; "selectAll", "all", "news"; "select:path" and the
    // Editing commands "addAlbum", "addArtist", "deleteAlbum", "markNew" (answers: input "X",
    // every question Yes).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("checked");

    QTest::newRow("ticking an artist ticks its albums")
        << kAlbums << false << QStringList{u"+Kapela"_s}
        << QStringList{u"Kapela"_s, u"Kapela>Druhé"_s, u"Kapela>První"_s, u"Kapela>Třetí"_s};
    QTest::newRow("unticking an artist unticks them all")
        << kAlbums << false
        << QStringList{u"+Kapela>První"_s, u"+Kapela"_s, u"-Kapela"_s, u"+Alfa>Jediné"_s}
        << QStringList{u"Alfa>Jediné"_s};
    QTest::newRow("ticking an album touches nothing else")
        << kAlbums << false << QStringList{u"+Kapela>Druhé"_s} << QStringList{u"Kapela>Druhé"_s};
    QTest::newRow("unticking one album leaves the artist ticked")
        << kAlbums << false << QStringList{u"+Kapela"_s, u"-Kapela>Druhé"_s}
        << QStringList{u"Kapela"_s, u"Kapela>První"_s, u"Kapela>Třetí"_s};
    QTest::newRow("all albums ticked by hand leave the artist unticked")
        << kAlbums << false
        << QStringList{u"+Kapela>První"_s, u"+Kapela>Druhé"_s, u"+Kapela>Třetí"_s}
        << QStringList{u"Kapela>Druhé"_s, u"Kapela>První"_s, u"Kapela>Třetí"_s};
    QTest::newRow("an artist without albums")
        << kAlbums << false << QStringList{u"addArtist"_s, u"+X"_s} << QStringList{u"X"_s};
    QTest::newRow("select all ticks every node")
        << kAlbums << false << QStringList{u"selectAll"_s}
        << QStringList{u"Alfa"_s,   u"Alfa>Jediné"_s,  u"Beta"_s,         u"Beta>Staré"_s,
                       u"Kapela"_s, u"Kapela>Druhé"_s, u"Kapela>První"_s, u"Kapela>Třetí"_s};
    QTest::newRow("select all in the news view")
        << kAlbums << true << QStringList{u"selectAll"_s}
        << QStringList{u"Alfa"_s, u"Alfa>Jediné"_s, u"Kapela"_s, u"Kapela>Druhé"_s};
    QTest::newRow("select all on an empty tree")
        << QStringList{} << false << QStringList{u"selectAll"_s} << QStringList{};
    QTest::newRow("select all takes in added nodes")
        << QStringList{u"A>B"_s} << false
        << QStringList{u"addArtist"_s, u"addAlbum"_s, u"selectAll"_s}
        << QStringList{u"A"_s, u"A>B"_s, u"X"_s, u"X>X"_s};
    QTest::newRow("a view change clears every mark")
        << kAlbums << false << QStringList{u"selectAll"_s, u"news"_s} << QStringList{};
    QTest::newRow("back to the full view clears them too")
        << kAlbums << true << QStringList{u"+Kapela"_s, u"all"_s} << QStringList{};
    QTest::newRow("an added album starts unticked, the others keep theirs")
        << kAlbums << false << QStringList{u"+Kapela"_s, u"select:Kapela"_s, u"addAlbum"_s}
        << QStringList{u"Kapela"_s, u"Kapela>Druhé"_s, u"Kapela>První"_s, u"Kapela>Třetí"_s};
    QTest::newRow("deleting and marking albums keep the others' marks")
        << kAlbums << false
        << QStringList{u"+Kapela"_s,     u"+Beta>Staré"_s,         u"select:Kapela>Druhé"_s,
                       u"deleteAlbum"_s, u"select:Kapela>Třetí"_s, u"markNew"_s}
        << QStringList{u"Beta>Staré"_s, u"Kapela"_s, u"Kapela>První"_s, u"Kapela>Třetí"_s};
}

void TestCheckMarks::marks() {
    QFETCH(QStringList, albums);
    QFETCH(bool, news);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, checked);

    Fixture f;
    QAbstractItemModelTester tester(&f.tree,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QObject::connect(&f.tree, &CatalogueTree::nodeCheckChanged,
                     [&f](TreeNode* node) { nodeChecked(f.ctx, node); });
    f.ctx.catalogue.Albums = albumsFrom(albums);
    ReadAlbums(f.ctx, news);
    for (int i = 0; i < 10; ++i) {
        f.prompts.inputs << u"X"_s;
        f.prompts.answers << true;
    }

    for (const QString& step : steps) {
        if (step.startsWith(u'+') || step.startsWith(u'-'))
            click(f.tree, step.mid(1), step.startsWith(u'+'));
        else if (step.startsWith(u"select:"_s))
            f.view.selectNode(nodeAtPath(f.tree, step.mid(7)));
        else if (step == u"selectAll"_s)
            selectAll(f.ctx);
        else if (step == u"all"_s)
            showAllAlbums(f.ctx);
        else if (step == u"news"_s)
            showNewReleases(f.ctx);
        else if (step == u"addAlbum"_s)
            addAlbum(f.ctx);
        else if (step == u"addArtist"_s)
            addArtist(f.ctx);
        else if (step == u"deleteAlbum"_s)
            deleteAlbum(f.ctx);
        else if (step == u"markNew"_s)
            SetNewsStatus(f.ctx, true);
        else
            QFAIL(qPrintable(step));
        if (QTest::currentTestFailed())
            return;
    }

    QCOMPARE(checkedPaths(f.tree), checked);
    // The model reports what the nodes hold.
    for (const TreeNode* n = f.tree.firstAdded(); n; n = n->nextAdded)
        QCOMPARE(f.tree.data(f.tree.indexOf(n), Qt::CheckStateRole).toInt(),
                 int(n->checked ? Qt::Checked : Qt::Unchecked));
    // Marks never reach the status bar or a box.
    QVERIFY(f.prompts.log.filter(u"message"_s).isEmpty());
    QCOMPARE(f.status.texts[0], QString());
}

// Every node whose mark the program changes is announced to the view, so it is drawn anew.
void TestCheckMarks::viewSeesEveryChange() {
    Fixture f;
    QObject::connect(&f.tree, &CatalogueTree::nodeCheckChanged,
                     [&f](TreeNode* node) { nodeChecked(f.ctx, node); });
    f.ctx.catalogue.Albums = albumsFrom(kAlbums);
    ReadAlbums(f.ctx, false);

    QSignalSpy changed(&f.tree, &QAbstractItemModel::dataChanged);
    auto announced = [&](const TreeNode* node) {
        const QModelIndex i = f.tree.indexOf(node);
        for (const QList<QVariant>& args : std::as_const(changed)) {
            const QModelIndex from = args.at(0).toModelIndex();
            const QModelIndex to = args.at(1).toModelIndex();
            const auto roles = args.at(2).value<QList<int>>();
            if (from.parent() == i.parent() && from.row() <= i.row() && i.row() <= to.row() &&
                (roles.isEmpty() || roles.contains(Qt::CheckStateRole)))
                return true;
        }
        return false;
    };

    click(f.tree, u"Kapela"_s, true);
    for (const TreeNode* album : nodeAtPath(f.tree, u"Kapela"_s)->children)
        QVERIFY2(announced(album), qPrintable(pathOf(album)));

    QList<const TreeNode*> unticked;
    for (const TreeNode* n = f.tree.firstAdded(); n; n = n->nextAdded)
        if (!n->checked)
            unticked << n;
    QCOMPARE(unticked.size(), 4);
    changed.clear();
    selectAll(f.ctx);
    for (const TreeNode* n : std::as_const(unticked))
        QVERIFY2(announced(n), qPrintable(pathOf(n)));
}

QTEST_GUILESS_MAIN(TestCheckMarks)
#include "tst_checkmarks.moc"
