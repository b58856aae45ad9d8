#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QWidget>

#include "GridInteraction.h"
#include "ListViewFunktionen.h"
#include "MatrixEdits.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "MatrixGridView.h"
#include "RingDocument.h"
#include "ViewDistance.h"

namespace lumark {
namespace {

// The largest document, every block seeing every block, on a built grid. The interaction gets
// a view and a container that are never shown: what is measured is the model's work.
struct EditingBench {
    VisibilityDocument doc = MakeRingDocument(300, 150, "1.2");
    BlockSelection selection;
    MatrixGridModel grid{doc, selection};
    QWidget container;
    MatrixGridView view{&container};
    GridInteraction interaction{doc, grid, view, container, [] { return false; }};

    EditingBench() {
        view.SetListViewModel(&grid);
        FillMatrixGrid(grid);
        interaction.ColumnSelectionMade = true;
        QCoreApplication::processEvents();
    }
};

void BM_SelectAllColumns300(benchmark::State& state) {
    EditingBench bench;
    for (auto _ : state) {
        bench.interaction.SelectAllColumns();
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_SelectAllColumns300)->Unit(benchmark::kMillisecond);

void BM_ClearColumnSelection300(benchmark::State& state) {
    EditingBench bench;
    bench.interaction.SelectAllColumns();
    for (auto _ : state) {
        bench.interaction.ClearColumnSelection(true);
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_ClearColumnSelection300)->Unit(benchmark::kMillisecond);

// The worst case: every element is true, so every one of the 90,000 mirrors is looked at.
void BM_CrossFwBw300(benchmark::State& state) {
    EditingBench bench;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeVisibilityMutual(bench.doc));
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_CrossFwBw300)->Unit(benchmark::kMillisecond);

// Every block already sees every block: both walks go all the way round for each block.
void BM_IncreaseAllSelected300(benchmark::State& state) {
    EditingBench bench;
    bench.interaction.SelectAllColumns();
    for (auto _ : state) {
        ViewDistance::IncreaseSelected(bench.doc, bench.selection);
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_IncreaseAllSelected300)->Unit(benchmark::kMillisecond);

// Each run removes two blocks per block; the relation is put back outside the timing.
void BM_DecreaseAllSelected300(benchmark::State& state) {
    EditingBench bench;
    bench.interaction.SelectAllColumns();
    const VisibilityMatrix full = bench.doc.Matrix;
    for (auto _ : state) {
        ViewDistance::DecreaseSelected(bench.doc, bench.selection);
        state.PauseTiming();
        bench.doc.Matrix = full;
        state.ResumeTiming();
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_DecreaseAllSelected300)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumark
