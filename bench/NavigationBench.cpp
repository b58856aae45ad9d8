#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

#include "HeaderMarks.h"
#include "MatrixEdits.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "MatrixGridView.h"
#include "OverviewWindow.h"
#include "PaintCounter.h"
#include "RingDocument.h"

namespace lumark {
namespace {

// 300 blocks, each seeing 20 on each side and, one way only, the 20 after those: a third of
// the elements near the diagonal differ from their mirror.
VisibilityDocument OneWayDocument() {
    VisibilityDocument doc = MakeRingDocument(300, 20, "1.2");
    for (int c = 1; c <= 300; ++c) {
        for (int step = 21; step <= 40; ++step) {
            doc.SetElement(c, (c - 1 + step) % 300 + 1, True16);
        }
    }
    return doc;
}

// The window's grid as the window sets it up: row labels, header marks and tint; with
// `navigation` false without row labels and header marks, for comparison.
struct ShownGrid {
    VisibilityDocument doc = OneWayDocument();
    BlockSelection selection;
    std::unique_ptr<MatrixGridModel> grid;
    MatrixGridView view;

    explicit ShownGrid(bool navigation, bool show = true) {
        grid = std::make_unique<MatrixGridModel>(doc, selection);
        view.SetListViewModel(grid.get());
        if (navigation) {
            ShowRowLabels(view);
            FollowHeaderMarks(view, *grid);
        }
        view.resize(1000, 700);
        if (show) {
            view.show();
        }
        FillMatrixGrid(*grid);
        QCoreApplication::processEvents();
    }
};

// Loading: the rebuild and the reset taken by the view, its row labels included (the paint
// that follows is measured below).
void BM_FillGrid300(benchmark::State& state) {
    ShownGrid shown(state.range(0) != 0, false);
    for (auto _ : state) {
        FillMatrixGrid(*shown.grid);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FillGrid300)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One paint of the grid's visible cells and headers, as scrolling or an edit causes it.
void BM_RepaintGrid300(benchmark::State& state) {
    ShownGrid shown(state.range(0) != 0);
    for (auto _ : state) {
        shown.view.repaint();
        shown.view.viewport()->repaint();
    }
}
BENCHMARK(BM_RepaintGrid300)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The tint of all 90,000 cells, as if every one were on screen: an upper bound on what a
// repaint after "Cross Fw & Bw" adds for the tint.
void BM_TintOfEveryCell300(benchmark::State& state) {
    VisibilityDocument doc = OneWayDocument();
    BlockSelection selection;
    MatrixGridModel grid(doc, selection);
    FillMatrixGrid(grid);
    for (auto _ : state) {
        int tinted = 0;
        for (int row = 0; row < 300; ++row) {
            for (int column = 1; column <= 300; ++column) {
                tinted += grid.index(row, column).data(Qt::BackgroundRole).isValid() ? 1 : 0;
            }
        }
        benchmark::DoNotOptimize(tinted);
    }
}
BENCHMARK(BM_TintOfEveryCell300)->Unit(benchmark::kMillisecond);

// "Cross Fw & Bw" on the one-way document, with the grid's announcements and its repaint.
// Counts the grid's paints per action.
// Times "Cross Fw & Bw" from the one-way document, each time rebuilt untimed, and reports as
// `paints` what `counter` counted per action.
void TimeCrossFromOneWay(benchmark::State& state, ShownGrid& shown, PaintCounter& counter,
                         const char* paints) {
    const VisibilityDocument oneWay = shown.doc;
    for (auto _ : state) {
        state.PauseTiming();
        shown.doc.Matrix = oneWay.Matrix;
        FillMatrixGrid(*shown.grid);
        QCoreApplication::processEvents();
        counter.paints = 0;
        state.ResumeTiming();
        MakeVisibilityMutual(shown.doc);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        state.PauseTiming();
        state.counters[paints] = counter.paints;
        state.ResumeTiming();
    }
}

void BM_CrossAndRepaintGrid300(benchmark::State& state) {
    ShownGrid shown(state.range(0) != 0);
    PaintCounter counter;
    shown.view.viewport()->installEventFilter(&counter);
    TimeCrossFromOneWay(state, shown, counter, "grid paints");
}
BENCHMARK(BM_CrossAndRepaintGrid300)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The Overview's update after a change: the picture of 300 x 300 elements computed and shown,
// with the block numbers and the strip of "sees" bars. Arg 0: the document made mutual (0) or
// the one-way one (1); arg 1: 0 for the size the window asks for (squares of two pixels), else
// its least size, where squares are one pixel; both widen every one-way spot.
void BM_OverviewUpdate300(benchmark::State& state) {
    ShownGrid shown(true);
    if (state.range(0) == 0) {
        MakeVisibilityMutual(shown.doc);
    }
    OverviewWindow overview(shown.doc, *shown.grid, shown.view, nullptr);
    overview.resize(state.range(1) > 0 ? overview.minimumSizeHint() : overview.sizeHint());
    overview.show();
    QCoreApplication::processEvents();
    state.counters["cell px"] = overview.Canvas().CellPixels();
    for (auto _ : state) {
        overview.Canvas().Render();
        overview.Canvas().repaint();
    }
}
BENCHMARK(BM_OverviewUpdate300)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 330})
    ->Unit(benchmark::kMillisecond);

// A pointer move over the Overview: the pair under it and its column's summary written out.
void BM_OverviewPointerMove300(benchmark::State& state) {
    ShownGrid shown(true);
    OverviewWindow overview(shown.doc, *shown.grid, shown.view, nullptr);
    overview.show();
    QCoreApplication::processEvents();
    OverviewCanvas& canvas = overview.Canvas();
    int column = 1;
    for (auto _ : state) {
        column = column % 300 + 1;
        const QPointF at = canvas.CellRect(column, 150).center();
        QMouseEvent move(QEvent::MouseMove, at, canvas.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&canvas, &move);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OverviewPointerMove300)->Unit(benchmark::kMicrosecond);

// After "Cross Fw & Bw" with the Overview open: the Overview's own paints per action.
void BM_CrossWithOverview300(benchmark::State& state) {
    ShownGrid shown(true);
    OverviewWindow overview(shown.doc, *shown.grid, shown.view, nullptr);
    overview.show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    overview.Canvas().installEventFilter(&counter);
    TimeCrossFromOneWay(state, shown, counter, "overview paints");
}
BENCHMARK(BM_CrossWithOverview300)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumark
