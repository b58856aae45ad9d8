// The routine edit of many blocks on the real window, offscreen: Select blocks, Set distance
// and Remove one-way on 300 blocks, each timed from its handler to the grid's repaint, with the
// header marks, status panels and tint that the window keeps. `grid paints` counts the grid
// viewport's paints per action.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "EditHistory.h"
#include "LumarkMain.h"
#include "MatrixGridView.h"
#include "NoQuestions.h"
#include "PaintCounter.h"
#include "RingDocument.h"

namespace lumark {
namespace {

// Every input box gets `reply`; nothing else may ask.
class ReplyDialogs : public NoQuestions {
  public:
    std::string reply;
    int MsgBox(const std::string& text, const std::string&, int) override {
        std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
        return vbOK;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override {
        return reply;
    }
};

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

// The shown window at its first size, holding `start`, a 300-block document.
struct RoutineWindow {
    QTemporaryDir dir;
    ReplyDialogs dialogs;
    std::unique_ptr<LumarkMain> window;
    VisibilityDocument start;
    PaintCounter paints;

    explicit RoutineWindow(VisibilityDocument document) : start(std::move(document)) {
        window = std::make_unique<LumarkMain>(
            dialogs, dir.filePath(QStringLiteral("Lumark.ini")).toStdString(), "");
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            throw std::runtime_error("the window was not shown");
        }
        Restart();
        window->ListView->viewport()->installEventFilter(&paints);
    }
    ~RoutineWindow() { Restart(); }

    // Back to the start document, no block selected and no history.
    void Restart() {
        window->Session().Adopt(start,
                                dir.filePath(QStringLiteral("visibility.txt")).toStdString());
        Settle();
    }

    // Times `action` with the repaint it causes; the preparation is not timed.
    template <typename Prepare, typename Action>
    void Time(benchmark::State& state, Prepare prepare, Action action) {
        for (auto _ : state) {
            state.PauseTiming();
            prepare();
            Settle();
            paints.paints = 0;
            state.ResumeTiming();
            action();
            Settle();
            state.PauseTiming();
            state.counters["grid paints"] = paints.paints;
            state.ResumeTiming();
        }
    }
};

VisibilityDocument TaskStart() {
    return MakeRingDocument(300, 20, "1.2");
}

void BM_SelectBlocks300(benchmark::State& state) {
    RoutineWindow routine(TaskStart());
    routine.dialogs.reply = "0-299";
    routine.Time(
        state, [&] { routine.window->SelectNone_Key(); },
        [&] { routine.window->SelectBlocks_Key(); });
}
BENCHMARK(BM_SelectBlocks300)->Unit(benchmark::kMillisecond);

// 300 selected blocks from 20 to 8 on each side: 7,200 elements.
void BM_SetDistance300Selected(benchmark::State& state) {
    RoutineWindow routine(TaskStart());
    routine.dialogs.reply = "8";
    routine.Time(
        state,
        [&] {
            routine.Restart();
            routine.window->cmdSelAll_Click();
        },
        [&] { routine.window->SetDistance_Key(); });
}
BENCHMARK(BM_SetDistance300Selected)->Unit(benchmark::kMillisecond);

// Arg 0: every block sees every block, so all 44,850 pairs are looked at and none removed.
// Arg 1: each block sees 20 on each side and, one way only, the 20 after those: 6,000 removed.
VisibilityDocument RemoveOneWayStart(bool oneWay) {
    VisibilityDocument doc = MakeRingDocument(300, oneWay ? 20 : 150, "1.2");
    for (int c = 1; oneWay && c <= 300; ++c) {
        for (int step = 21; step <= 40; ++step) {
            doc.SetElement(c, (c - 1 + step) % 300 + 1, True16);
        }
    }
    return doc;
}

void BM_RemoveOneWay300(benchmark::State& state) {
    RoutineWindow routine(RemoveOneWayStart(state.range(0) != 0));
    routine.Time(
        state, [&] { routine.Restart(); }, [&] { routine.window->RemoveOneWay_Key(); });
}
BENCHMARK(BM_RemoveOneWay300)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumark
