// A reload from disk on the real window, offscreen: a 300-block file changed by another program
// while the grid is scrolled to its middle with 41 blocks selected, timed from the check of the
// disk to the repaint; then the reload's undo and redo. The user's place is kept across each.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "GridInteraction.h"
#include "LumarkMain.h"
#include "MatrixGridView.h"
#include "NoQuestions.h"
#include "RingDocument.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

// The shown window with a 300-block file open, scrolled to block 150, blocks 100-140 selected.
struct ReloadWindow {
    QTemporaryDir dir;
    NoQuestions dialogs;
    std::unique_ptr<LumarkMain> window;
    const std::string path = dir.filePath(QStringLiteral("visibility.txt")).toStdString();
    int version = 0;

    ReloadWindow() {
        WriteNextVersion();
        window = std::make_unique<LumarkMain>(
            dialogs, dir.filePath(QStringLiteral("Lumark.ini")).toStdString(), "");
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            throw std::runtime_error("the window was not shown");
        }
        window->OpenVisibilityFile(path);
        Settle();
        std::vector<std::int16_t> blocks;
        for (std::int16_t b = 101; b <= 141; ++b) {
            blocks.push_back(b);
        }
        window->Interaction().SelectBlocks(blocks);
        window->ListView->scrollTo(window->Grid().index(150, 151),
                                   QAbstractItemView::PositionAtCenter);
        Settle();
    }

    // Another program's version: the ring's view distance alternates, so every write changes
    // the bytes.
    void WriteNextVersion() {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            << FormatVisibilityFile(MakeRingDocument(300, 20 + (version++ % 2), "1.2"));
    }
};

void BM_ReloadFromDisk300(benchmark::State& state) {
    ReloadWindow reload;
    for (auto _ : state) {
        state.PauseTiming();
        reload.WriteNextVersion();
        state.ResumeTiming();
        reload.window->Session().CheckDisk();
        Settle();
    }
}
// Each reload is a step holding two documents: a few dozen keep the history small.
BENCHMARK(BM_ReloadFromDisk300)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_ReloadUndoRedo300(benchmark::State& state) {
    ReloadWindow reload;
    reload.WriteNextVersion();
    reload.window->Session().CheckDisk();
    Settle();
    for (auto _ : state) {
        reload.window->Undo_Activated();
        Settle();
        reload.window->Redo_Activated();
        Settle();
    }
}
BENCHMARK(BM_ReloadUndoRedo300)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace
}  // namespace lumark
