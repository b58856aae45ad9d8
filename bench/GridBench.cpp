#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "FirstFill.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "MatrixGridView.h"
#include "RingDocument.h"

extern char** environ;

namespace lumark {

int RunFirstFill() {
    VisibilityDocument doc = MakeRingDocument(300, 150, "1.2");
    BlockSelection selection;
    MatrixGridModel grid(doc, selection);
    const auto start = std::chrono::steady_clock::now();
    FillMatrixGrid(grid);
    const auto took = std::chrono::steady_clock::now() - start;
    std::printf("%lld\n", static_cast<long long>(
                              std::chrono::duration_cast<std::chrono::nanoseconds>(took).count()));
    return 0;
}

}  // namespace lumark

namespace {

// Rebuilding the grid of a 300-block document, the model alone, into storage that earlier
// rebuilds have already sized and touched.
void BM_FillMatrixGrid300(benchmark::State& state) {
    lumark::VisibilityDocument doc = lumark::MakeRingDocument(300, 150, "1.2");
    lumark::BlockSelection selection;
    lumark::MatrixGridModel grid(doc, selection);
    for (auto _ : state) {
        lumark::FillMatrixGrid(grid);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillMatrixGrid300)->Unit(benchmark::kMillisecond);

// The first fill of a fresh model, as when a file is opened: nothing is sized yet.
void BM_FillMatrixGrid300FreshModel(benchmark::State& state) {
    lumark::VisibilityDocument doc = lumark::MakeRingDocument(300, 150, "1.2");
    lumark::BlockSelection selection;
    for (auto _ : state) {
        auto grid = std::make_unique<lumark::MatrixGridModel>(doc, selection);
        lumark::FillMatrixGrid(*grid);
        benchmark::ClobberMemory();
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FillMatrixGrid300FreshModel)->Unit(benchmark::kMillisecond);

// The first fill in a fresh process, as at start-up: no page of the heap touched before. Each
// iteration runs this program once more with --first-fill and takes the time it reports.
void BM_FillMatrixGrid300FreshProcess(benchmark::State& state) {
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    for (auto _ : state) {
        int out[2];
        if (::pipe(out) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char* const argv[] = {const_cast<char*>(self.c_str()),
                              const_cast<char*>(lumark::FirstFillOption), nullptr};
        pid_t child = 0;
        const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        std::string reply;
        char buffer[64];
        for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) {
            reply.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(out[0]);
        int status = 0;
        if (spawned != 0 || ::waitpid(child, &status, 0) != child || status != 0 || reply.empty()) {
            state.SkipWithError("the child process failed");
            return;
        }
        state.SetIterationTime(std::stod(reply) / 1e9);
    }
}
BENCHMARK(BM_FillMatrixGrid300FreshProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same with a table view attached, which takes the reset and sizes its sections.
void BM_FillMatrixGrid300WithView(benchmark::State& state) {
    lumark::VisibilityDocument doc = lumark::MakeRingDocument(300, 150, "1.2");
    lumark::BlockSelection selection;
    lumark::MatrixGridModel grid(doc, selection);
    lumark::MatrixGridView view;
    view.SetListViewModel(&grid);
    view.resize(1000, 700);
    for (auto _ : state) {
        lumark::FillMatrixGrid(grid);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FillMatrixGrid300WithView)->Unit(benchmark::kMillisecond);

}  // namespace
