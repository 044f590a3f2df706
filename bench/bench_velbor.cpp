// Timings of the program's heavy steps on one generated catalogue (the file named by
// VELBOR_BENCH_FILE), each against iconv converting the same file in the same run. Run through
// bench/run.sh, once per shape of catalogue; it also times the real program's start-up.
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
#include <malloc.h>
#include <map>
#include <memory>
#include <string>

namespace {

QString catalogueFile() {
    const QString path = qEnvironmentVariable("VELBOR_BENCH_FILE");
    if (!QFile::exists(path))
        qFatal("VELBOR_BENCH_FILE must name a generated catalogue (see bench/run.sh)");
    return path;
}

class SilentPrompts : public Prompts {
public:
    void message(const QString&, MessageIcon, const QString&) override {}
    bool askYesNo(const QString&, Answer) override { return true; }
    Choice askYesNoCancel(const QString&) override { return Choice::Yes; }
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

    Loaded() {
        view->setUniformRowHeights(true);
        view->setHeaderHidden(true);
        view->setModel(&tree);
        window.setCentralWidget(view);
        window.resize(400, 600);
        window.show();
        LoadResult r = loadDataFile(catalogueFile());
        ctx.catalogue.albums = std::move(r.content.albums);
        ctx.catalogue.contactEmail = r.content.contactEmail;
        setDatabaseName(status, r.content.owner.value_or(QString()));
        showAllAlbums(ctx);
        QCoreApplication::processEvents();
    }
};

// Dropped before the application object goes.
std::unique_ptr<Loaded> s_loaded;

Loaded& loaded() {
    if (!s_loaded)
        s_loaded = std::make_unique<Loaded>();
    return *s_loaded;
}

void BM_Load(benchmark::State& state) {
    const QString path = catalogueFile();
    for (auto _ : state) {
        auto r = std::make_unique<LoadResult>(loadDataFile(path));
        benchmark::DoNotOptimize(r->content.albums.data());
        state.counters["albums"] = double(r->content.albums.size());
        // Freeing the catalogue is not part of loading it; the heap is handed back as well, so
        // that each load starts on a heap like the program's at start-up, not on a million
        // freed pieces that the allocator would first sort out.
        state.PauseTiming();
        r.reset();
        malloc_trim(0);
        state.ResumeTiming();
    }
    state.counters["MB"] = double(QFileInfo(path).size()) / 1e6;
}

// The floor: iconv reading and converting the same bytes.
void BM_Iconv(benchmark::State& state) {
    const QString path = catalogueFile();
    for (auto _ : state) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("WINDOWS-1250"),
                                          QStringLiteral("-t"), QStringLiteral("UTF-8"), path});
        p.waitForFinished(-1);
    }
}

void BM_BuildTree(benchmark::State& state) {
    Loaded& l = loaded();
    const bool news = state.range(0) != 0;
    for (auto _ : state) {
        news ? showNewReleases(l.ctx) : showAllAlbums(l.ctx);
        benchmark::DoNotOptimize(l.tree.nodeCount());
    }
    state.counters["nodes"] = double(l.tree.nodeCount());
    showAllAlbums(l.ctx);
}

void BM_ExpandAll(benchmark::State& state) {
    Loaded& l = loaded();
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
    Loaded& l = loaded();
    for (auto _ : state)
        benchmark::DoNotOptimize(findFirstMatch(l.tree, u"nikde se nevyskytuje"));
}

// Tick every node, then the report's Windows-1250 bytes, as F2 writes them.
void BM_ExportAll(benchmark::State& state) {
    Loaded& l = loaded();
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
    Loaded& l = loaded();
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
    Loaded& l = loaded();
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

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Iconv)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_BuildTree)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_ExpandAll)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_FindNoMatch)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_ExportAll)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

namespace {

// The console report, then one line a step: its time, its ratio to iconv and the budget.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_ms[run.run_name.str()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        struct Row {
            const char* step;
            const char* name;
            double budget; // times iconv; 0 = none
        };
        const Row rows[] = {
            {"load the data file", "BM_Load/process_time/real_time", 2},
            {"save", "BM_Save/process_time/real_time", 3},
            {"build the tree, all albums", "BM_BuildTree/0/process_time/real_time", 6},
            {"build the tree, new releases", "BM_BuildTree/1/process_time/real_time", 0},
            {"expand all (and lay out)", "BM_ExpandAll/process_time/real_time", 6},
            {"tick all + export", "BM_ExportAll/process_time/real_time", 8},
            {"find, no match", "BM_FindNoMatch/process_time/real_time", 1.5},
            {"delete + undo + redo + undo, rename artist + undo",
             "BM_UndoRedo/process_time/real_time", 0},
        };
        const double iconv = figure("BM_Iconv/process_time/real_time").wall;
        std::printf("\nRESULT iconv on the same file | %.0f ms | 1 | —\n", iconv);
        for (const Row& row : rows) {
            const auto [ms, cpu] = figure(row.name);
            if (ms < 0 || iconv <= 0)
                continue;
            const double ratio = ms / iconv;
            std::printf("RESULT %s | %.0f ms, CPU %.0f ms | %.2f | %s\n", row.step, ms, cpu, ratio,
                        row.budget <= 0 ? "—"
                        : ratio <= row.budget
                            ? qPrintable(QStringLiteral("≤ %1: met").arg(row.budget))
                            : qPrintable(QStringLiteral("≤ %1: NOT met").arg(row.budget)));
        }
        std::fflush(stdout);
    }

private:
    // Wall-clock and CPU time of all threads (iconv's CPU time is its parent's, so not kept).
    struct Figure {
        double wall = -1;
        double cpu = -1;
    };
    Figure figure(const char* name) const {
        const auto it = m_ms.find(name);
        return it == m_ms.end() ? Figure{} : it->second;
    }
    std::map<std::string, Figure> m_ms;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    s_loaded.reset();
    return 0;
}
