#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>

#include "EditHistory.h"
#include "ListViewFunktionen.h"
#include "MatrixEdits.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "MixedSteps.h"
#include "OneSidedRing.h"
#include "RingDocument.h"
#include "ViewDistance.h"

namespace lumark {
namespace {

// 300 blocks on a built grid with a history, at model level: no view is attached.
struct UndoBench {
    VisibilityDocument doc;
    BlockSelection selection;
    MatrixGridModel grid{doc, selection};
    EditHistory history{doc, grid};

    explicit UndoBench(VisibilityDocument start) : doc(std::move(start)) {
        FillMatrixGrid(grid);
        QCoreApplication::processEvents();
    }

    void SelectAll() {
        for (int b = 1; b <= doc.BlockCount; ++b) {
            ListViewFunktionen::SetListViewForeColor(selection, SelectedColour, b + 1);
        }
    }
};

void Cross(UndoBench& bench) {
    bench.history.Record(QStringLiteral("Cross Fw & Bw"), [&] { MakeVisibilityMutual(bench.doc); });
}

// The action as it ran before there was a history, for comparison.
void BM_CrossUnrecorded300(benchmark::State& state) {
    UndoBench bench(OneSidedRing());
    const VisibilityMatrix start = bench.doc.Matrix;
    for (auto _ : state) {
        MakeVisibilityMutual(bench.doc);
        state.PauseTiming();
        bench.doc.Matrix = start;
        FillMatrixGrid(bench.grid);
        state.ResumeTiming();
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_CrossUnrecorded300)->Unit(benchmark::kMillisecond);

void BM_CrossRecorded300(benchmark::State& state) {
    UndoBench bench(OneSidedRing());
    for (auto _ : state) {
        Cross(bench);
        state.PauseTiming();
        bench.history.Undo();
        state.ResumeTiming();
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_CrossRecorded300)->Unit(benchmark::kMillisecond);

void BM_CrossUndo300(benchmark::State& state) {
    UndoBench bench(OneSidedRing());
    Cross(bench);
    for (auto _ : state) {
        bench.history.Undo();
        state.PauseTiming();
        bench.history.Redo();
        state.ResumeTiming();
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_CrossUndo300)->Unit(benchmark::kMillisecond);

void BM_CrossRedo300(benchmark::State& state) {
    UndoBench bench(OneSidedRing());
    Cross(bench);
    for (auto _ : state) {
        state.PauseTiming();
        bench.history.Undo();
        state.ResumeTiming();
        bench.history.Redo();
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_CrossRedo300)->Unit(benchmark::kMillisecond);

// Every block sees 10 on each side and is selected: "Increase (+)" sets 600 elements, and
// "Decrease (-)" takes exactly those back.
UndoBench& IncreaseBench() {
    static UndoBench bench(MakeRingDocument(300, 10, "1.2"));
    static const bool selected = (bench.SelectAll(), true);
    static_cast<void>(selected);
    return bench;
}

void Increase(UndoBench& bench) {
    bench.history.Record(QStringLiteral("Increase (+)"),
                         [&] { ViewDistance::IncreaseSelected(bench.doc, bench.selection); });
}

void BM_IncreaseUnrecorded300(benchmark::State& state) {
    UndoBench& bench = IncreaseBench();
    for (auto _ : state) {
        ViewDistance::IncreaseSelected(bench.doc, bench.selection);
        state.PauseTiming();
        ViewDistance::DecreaseSelected(bench.doc, bench.selection);
        state.ResumeTiming();
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_IncreaseUnrecorded300)->Unit(benchmark::kMicrosecond);

void BM_IncreaseRecorded300(benchmark::State& state) {
    UndoBench& bench = IncreaseBench();
    for (auto _ : state) {
        Increase(bench);
        state.PauseTiming();
        bench.history.Undo();
        state.ResumeTiming();
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_IncreaseRecorded300)->Unit(benchmark::kMicrosecond);

void BM_IncreaseUndo300(benchmark::State& state) {
    UndoBench& bench = IncreaseBench();
    Increase(bench);
    for (auto _ : state) {
        bench.history.Undo();
        state.PauseTiming();
        bench.history.Redo();
        state.ResumeTiming();
    }
    bench.history.Undo();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_IncreaseUndo300)->Unit(benchmark::kMicrosecond);

void BM_IncreaseRedo300(benchmark::State& state) {
    UndoBench& bench = IncreaseBench();
    Increase(bench);
    for (auto _ : state) {
        state.PauseTiming();
        bench.history.Undo();
        state.ResumeTiming();
        bench.history.Redo();
    }
    bench.history.Undo();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_IncreaseRedo300)->Unit(benchmark::kMicrosecond);

double ResidentMegabytes() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

double PeakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// 1,000 steps of every kind on 300 blocks, each with a fresh random selection. What the
// history holds is read from the process: run alone for the peak to mean anything
// (--benchmark_filter=Mixed).
void BM_MixedSteps1000Memory(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        UndoBench bench(MakeRingDocument(300, 20, "1.2"));
        const double residentBefore = ResidentMegabytes();
        const double peakBefore = PeakResidentMegabytes();
        state.ResumeTiming();
        RecordMixedSteps(bench.doc, bench.selection, bench.history, 1000, 1000);
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.counters["resident_added_MB"] = ResidentMegabytes() - residentBefore;
        state.counters["peak_added_MB"] = PeakResidentMegabytes() - peakBefore;
        double elements = 0;
        for (const RecordedStep& step : bench.history.ElementStepsAround().Steps) {
            elements += static_cast<double>(step.Changes.size());
        }
        state.counters["elements_held"] = elements;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MixedSteps1000Memory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace lumark
