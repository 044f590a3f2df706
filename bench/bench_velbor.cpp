// Timings of the program's heavy steps on generated catalogues of 100,000 and 1,000,000 albums.
// Run through bench/run.sh, which also times the real program's start-up.
#include "catalogue_generator.h"

#include "catalogue/datafile.h"
#include "catalogue/programfolder.h"
#include "mainwindow/appcontext.h"
#include "mainwindow/cataloguetree.h"
#include "mainwindow/qtports.h"
#include "mainwindow/windowlogic.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

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
    QString input(const QString&, const QString&) override { return {}; }
};

// A loaded catalogue in a real (offscreen) window: tree view, status bar, context.
struct Loaded {
    QMainWindow window;
    QTreeView* view = new QTreeView(&window);
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
        ctx.catalogue.Albums = std::move(r.content.albums);
        ctx.catalogue.ContactEmail = r.content.contactEmail;
        setDatabaseName(status, r.content.owner.value_or(QString()));
        ReadAlbums(ctx, false);
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

void BM_ReadAlbums(benchmark::State& state) {
    Loaded& l = loaded(state.range(0));
    const bool news = state.range(1) != 0;
    for (auto _ : state) {
        ReadAlbums(l.ctx, news);
        benchmark::DoNotOptimize(l.tree.nodeCount());
    }
    state.counters["nodes"] = double(l.tree.nodeCount());
    ReadAlbums(l.ctx, false);
}

void BM_ExpandAll(benchmark::State& state) {
    Loaded& l = loaded(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        ReadAlbums(l.ctx, false);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        expandAll(l.ctx);
        QCoreApplication::processEvents(); // the layout and the paint that follow
    }
    ReadAlbums(l.ctx, false);
}

void BM_Save(benchmark::State& state) {
    Loaded& l = loaded(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velbor.dat"));
    for (auto _ : state) {
        QString error;
        const auto bytes = formatDataFile(l.ctx.catalogue.Albums, databaseName(l.status),
                                          l.ctx.catalogue.ContactEmail);
        if (!bytes || !writeFileAtomically(path, *bytes, false, &error))
            state.SkipWithError("save failed");
    }
}

} // namespace

BENCHMARK(BM_Load)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Iconv)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadAlbums)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ExpandAll)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Save)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    s_loaded.clear();
    return 0;
}
