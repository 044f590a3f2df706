// Timings of the program's heavy steps on generated catalogues of 100,000 and 1,000,000 albums.
// Run through bench/run.sh, which also times the real program's start-up.
#include "catalogue_generator.h"

#include "catalogue/datafile.h"
#include "catalogue/programfolder.h"
#include "commands/cataloguetree.h"
#include "commands/context.h"
#include "commands/editsteps.h"
#include "commands/export.h"
#include "commands/find.h"
#include "commands/loadsave.h"
#include "commands/reporttext.h"
#include "commands/views.h"
#include "gui/cataloguetreeview.h"
#include "gui/qtports.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeView>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

// Generated catalogues are kept between runs in the bench data folder.
QString catalogueFile(qsizetype albums) {
    const QString dir = qEnvironmentVariable("VELBOR_BENCH_DATA", QDir::tempPath());
    QDir().mkpath(dir);
    const QString path = QStringLiteral("%1/velbor-%2.dat").arg(dir).arg(albums);
    if (!QFile::exists(path)) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        f.write(generateCatalogue(albums));
    }
    return path;
}

class SilentPrompts : public Prompts {
public:
    void message(const QString&, MessageIcon, const QString&) override {}
    bool askYesNo(const QString&) override { return true; }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
};

// A loaded catalogue in a real (offscreen) window: tree view, status bar, context.
struct Loaded {
    QMainWindow window;
    QTreeView* view = new CatalogueTreeView(&window);
    CatalogueTree tree;
    SilentPrompts prompts;
    QtTreeView treeView{view, &tree};
    QtStatusBar status{window.statusBar(), 278};
    AppContext ctx{{}, tree, prompts, treeView, status};

    explicit Loaded(qsizetype albums) {
        view->setUniformRowHeights(true);
        view->setHeaderHidden(true);
        view->setModel(&tree);
        window.setCentralWidget(view);
        window.resize(400, 600);
        window.show();
        LoadResult r = loadDataFile(catalogueFile(albums));
        ctx.catalogue.albums = std::move(r.content.albums);
        ctx.catalogue.contactEmail = r.content.contactEmail;
        setDatabaseName(status, r.content.owner.value_or(QString()));
        showAllAlbums(ctx);
        QCoreApplication::processEvents();
    }
};

// Dropped before the application object goes.
std::map<qsizetype, std::unique_ptr<Loaded>> s_loaded;

Loaded& loaded(qsizetype albums) {
    auto& slot = s_loaded[albums];
    if (!slot)
        slot = std::make_unique<Loaded>(albums);
    return *slot;
}

void BM_Load(benchmark::State& state) {
    const QString path = catalogueFile(state.range(0));
    for (auto _ : state) {
        auto r = std::make_unique<LoadResult>(loadDataFile(path));
        benchmark::DoNotOptimize(r->content.albums.data());
        state.counters["albums"] = double(r->content.albums.size());
        state.PauseTiming(); // freeing the catalogue is not part of loading it
        r.reset();
        state.ResumeTiming();
    }
    state.counters["MB"] = double(QFileInfo(path).size()) / 1e6;
}

// The floor: iconv reading and converting the same bytes.
void BM_Iconv(benchmark::State& state) {
    const QString path = catalogueFile(state.range(0));
    for (auto _ : state) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("WINDOWS-1250"),
                                          QStringLiteral("-t"), QStringLiteral("UTF-8"), path});
        p.waitForFinished(-1);
    }
}

void BM_BuildTree(benchmark::State& state) {
    Loaded& l = loaded(state.range(0));
    const bool news = state.range(1) != 0;
    for (auto _ : state) {
        news ? showNewReleases(l.ctx) : showAllAlbums(l.ctx);
        benchmark::DoNotOptimize(l.tree.nodeCount());
    }
    state.counters["nodes"] = double(l.tree.nodeCount());
    showAllAlbums(l.ctx);
}

void BM_ExpandAll(benchmark::State& state) {
    Loaded& l = loaded(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        showAllAlbums(l.ctx);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        expandAll(l.ctx);
        QCoreApplication::processEvents(); // the layout and the paint that follow
    }
    showAllAlbums(l.ctx);
}

void BM_FindNoMatch(benchmark::State& state) {
    Loaded& l = loaded(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(findFirstMatch(l.tree, u"nikde se nevyskytuje"));
}

// Tick every node, then the report's Windows-1250 bytes, as F2 writes them.
void BM_ExportAll(benchmark::State& state) {
    Loaded& l = loaded(state.range(0));
    tickAll(l.ctx);
    for (auto _ : state) {
        tickAll(l.ctx);
        const auto bytes = reportFileBytes(l.tree, l.status.text(StatusPanel::DatabaseName),
                                           l.ctx.catalogue.contactEmail);
        if (!bytes)
            state.SkipWithError("report not writable");
        benchmark::DoNotOptimize(bytes->size());
    }
    showAllAlbums(l.ctx);
}

// An album in the middle of the largest artist deleted, the step undone (the entry back at its
// index, the node at its place and in the order of addition) and done again; then the artist
// renamed (every entry of it) and that undone.
void BM_UndoRedo(benchmark::State& state) {
    Loaded& l = loaded(state.range(0));
    QUndoStack stack;
    attachUndoStack(l.ctx, &stack);
    TreeNode* artist = l.tree.artists().front();
    for (TreeNode* a : l.tree.artists())
        if (a->children.size() > artist->children.size())
            artist = a;
    const QString title = artist->children[artist->children.size() / 2]->text;
    const QString name = artist->text;
    qsizetype entry = 0;
    while (l.ctx.catalogue.albums[size_t(entry)].title != title)
        ++entry;
    for (auto _ : state) {
        TreeNode* album = nullptr;
        for (TreeNode* n : l.tree.artistNode(name)->children)
            if (n->text == title)
                album = n;
        l.treeView.selectNode(album);
        steps::deleteAlbum(l.ctx, album, entry);
        stack.undo();
        stack.redo();
        stack.undo();
        steps::renameArtist(l.ctx, l.tree.artistNode(name), QStringLiteral("Přejmenovaný"));
        stack.undo();
        QCoreApplication::processEvents();
    }
    state.counters["albums of the artist"] = double(l.tree.artistNode(name)->children.size());
    l.ctx.undoStack = nullptr;
}

void BM_Save(benchmark::State& state) {
    Loaded& l = loaded(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velbor.dat"));
    for (auto _ : state) {
        QString error;
        const auto bytes = formatDataFile(l.ctx.catalogue.albums, databaseName(l.status),
                                          l.ctx.catalogue.contactEmail);
        if (!bytes || !writeFileAtomically(path, *bytes, false, &error))
            state.SkipWithError("save failed");
    }
}

} // namespace

BENCHMARK(BM_Load)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Iconv)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BuildTree)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ExpandAll)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindNoMatch)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportAll)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UndoRedo)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Save)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

namespace {

// The console report, then a table of the figures against the budgets for 1,000,000 albums.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_ms[run.run_name.str()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        struct Row {
            const char* step;
            const char* name; // without the size
            const char* args; // after the size
            double budget;    // ms for 1,000,000 albums; 0 = none
        };
        const Row rows[] = {
            {"load the data file", "BM_Load", "", 500},
            {"iconv on the same file (the floor)", "BM_Iconv", "", 0},
            {"build the tree, all albums", "BM_BuildTree", "/0", 1000},
            {"build the tree, new releases", "BM_BuildTree", "/1", 1000},
            {"expand all (and lay out)", "BM_ExpandAll", "", 0},
            {"find, no match", "BM_FindNoMatch", "", 200},
            {"tick all + export (sort, file bytes)", "BM_ExportAll", "", 1000},
            {"delete + undo + redo + undo, rename artist + undo", "BM_UndoRedo", "", 100},
            {"save", "BM_Save", "", 500},
        };
        std::printf("\n| step | 100,000 albums | 1,000,000 albums | budget (1,000,000) |\n"
                    "|---|---:|---:|---|\n");
        for (const Row& row : rows) {
            const double small = figure(row.name, 100000, row.args);
            const double large = figure(row.name, 1000000, row.args);
            if (small < 0 && large < 0)
                continue;
            QString budget = QStringLiteral("—");
            if (row.budget > 0 && large >= 0)
                budget = QStringLiteral("≤ %1 ms: %2")
                             .arg(row.budget)
                             .arg(large <= row.budget ? QStringLiteral("met")
                                                      : QStringLiteral("NOT MET"));
            std::printf("| %s | %s | %s | %s |\n", row.step, qPrintable(ms(small)),
                        qPrintable(ms(large)), qPrintable(budget));
        }
        const double load = figure("BM_Load", 1000000, ""), iconv = figure("BM_Iconv", 1000000, "");
        if (load > 0 && iconv > 0)
            std::printf("\nload / iconv at 1,000,000 albums: %.2f (budget ≤ 2)\n", load / iconv);
        std::fflush(stdout);
    }

private:
    double figure(const char* name, int size, const char* args) const {
        const auto it =
            m_ms.find(std::string(name) + "/" + std::to_string(size) + args + "/real_time");
        return it == m_ms.end() ? -1 : it->second;
    }
    static QString ms(double v) {
        return v < 0 ? QStringLiteral("—") : QStringLiteral("%1 ms").arg(v, 0, 'f', v < 10 ? 1 : 0);
    }
    std::map<std::string, double> m_ms;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    s_loaded.clear();
    return 0;
}
