#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "ListViewModel.h"
#include "MatrixGrid.h"
#include "MatrixGridView.h"
#include "RingDocument.h"

namespace {

// Rebuilding the grid of a 300-block document, the model alone.
void BM_FillMatrixGrid300(benchmark::State& state) {
    const lumark::VisibilityDocument doc = lumark::MakeRingDocument(300, 150, "1.2");
    lumark::ListViewModel grid;
    for (auto _ : state) {
        lumark::FillMatrixGrid(doc, grid);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillMatrixGrid300)->Unit(benchmark::kMillisecond);

// The same with a table view attached, which takes the reset and sizes its sections.
void BM_FillMatrixGrid300WithView(benchmark::State& state) {
    const lumark::VisibilityDocument doc = lumark::MakeRingDocument(300, 150, "1.2");
    lumark::ListViewModel grid;
    lumark::MatrixGridView view;
    view.SetListViewModel(&grid);
    view.resize(1000, 700);
    for (auto _ : state) {
        lumark::FillMatrixGrid(doc, grid);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FillMatrixGrid300WithView)->Unit(benchmark::kMillisecond);

}  // namespace
