#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <vector>

#include "DocumentSession.h"
#include "EditHistory.h"
#include "LargestFile.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "MixedSteps.h"
#include "NoQuestions.h"
#include "OneSidedRing.h"
#include "RecoveryWriter.h"
#include "RingDocument.h"
#include "UserDialogs.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

// The 1,000 mixed steps of the history benchmark, as the history holds them, and the relation
// they start from.
struct MixedHistory {
    VisibilityMatrix base;
    std::vector<RecordedStep> steps;

    static const MixedHistory& Get() {
        static const MixedHistory history;
        return history;
    }

  private:
    MixedHistory() {
        VisibilityDocument doc = MakeRingDocument(300, 20, "1.2");
        base = doc.Matrix;
        BlockSelection selection;
        MatrixGridModel grid(doc, selection);
        FillMatrixGrid(grid);
        EditHistory history(doc, grid);
        RecordMixedSteps(doc, selection, history, 1000, 1000);
        steps = history.ElementStepsAround().Steps;
        QCoreApplication::processEvents();
    }
};

std::string Folder() {
    return LargestFile::Get().directory + "/recovery";
}

RecoveryWriter NewWriter() {
    return RecoveryWriter(Folder(), {LargestFile::Get().path, {}, "1.2"},
                          RecordedHistory(MixedHistory::Get().base, 300));
}

double FileBytes(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<double>(info.st_size) : 0;
}

// Writing the record step by step as the session would, then one flush; the record's size on
// disk and the steps it keeps are read from the counters.
void BM_RecoveryWrite1000MixedSteps(benchmark::State& state) {
    const MixedHistory& mixed = MixedHistory::Get();
    for (auto _ : state) {
        RecoveryWriter writer = NewWriter();
        for (const RecordedStep& step : mixed.steps) {
            writer.AppendPush(step);
        }
        writer.Flush();
        state.PauseTiming();
        state.counters["record_bytes"] = FileBytes(writer.RecordPath());
        state.counters["steps_kept"] = static_cast<double>(writer.History().Steps().size());
        writer.Remove();
        state.ResumeTiming();
    }
    state.counters["per_step"] = benchmark::Counter(
        static_cast<double>(mixed.steps.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RecoveryWrite1000MixedSteps)->Unit(benchmark::kMillisecond);

// One cell click and its undo appended, without flushing: what an edit adds to its own cost.
void BM_RecoveryAppendClick(benchmark::State& state) {
    RecoveryWriter writer = NewWriter();
    const VisibilityMatrix& base = MixedHistory::Get().base;
    const RecordedStep click{
        "Toggle block 6 sees 40",
        StepKind::CellClick,
        {{7, 41, base.Get(7, 41), static_cast<std::int16_t>(~base.Get(7, 41))}}};
    for (auto _ : state) {
        writer.AppendPush(click);
        writer.AppendUndo();
    }
    writer.Remove();
}
BENCHMARK(BM_RecoveryAppendClick)->Unit(benchmark::kMicrosecond);

// Taking a record of 1,000 mixed steps and reading it back whole, checked as the reader does.
void BM_RecoveryRead1000MixedSteps(benchmark::State& state) {
    std::string path;
    {
        RecoveryWriter writer = NewWriter();
        for (const RecordedStep& step : MixedHistory::Get().steps) {
            writer.AppendPush(step);
        }
        path = writer.RecordPath();
    }
    for (auto _ : state) {
        std::optional<RecoveryClaim> claim = RecoveryClaim::Take(path);
        RecoveredRecord record = claim->Read();
        benchmark::DoNotOptimize(record.History.Position());
    }
    state.counters["record_bytes"] = FileBytes(path);
    ::unlink(path.c_str());
}
BENCHMARK(BM_RecoveryRead1000MixedSteps)->Unit(benchmark::kMillisecond);

// Cross Fw & Bw on the one-sided ring (44,700 elements) through a session that keeps a record
// and through one that does not: what following the history adds to the largest edit.
void CrossThroughSession(benchmark::State& state, bool keep) {
    const std::string path = LargestFile::Get().directory + "/one-sided.txt";
    WriteVisibilityFile(OneSidedRing(), path);
    NoQuestions dialogs;
    DocumentSession session(dialogs, LargestFile::Get().directory + "/Cross.ini");
    if (keep) {
        session.KeepRecoveryRecords(Folder());
    }
    session.Open(path);
    session.History().Record(QStringLiteral("away"), [&] {  // the record exists while editing
        session.Document().SetElement(2, 1, True16);
    });
    for (auto _ : state) {
        session.History().Record(QStringLiteral("Cross Fw & Bw"),
                                 [&] { MakeVisibilityMutual(session.Document()); });
        state.PauseTiming();
        session.History().Undo();
        state.ResumeTiming();
    }
    session.Recovery().Discard();
    QCoreApplication::processEvents();
}
void BM_CrossKeepingARecord300(benchmark::State& state) {
    CrossThroughSession(state, true);
}
BENCHMARK(BM_CrossKeepingARecord300)->Unit(benchmark::kMillisecond);
void BM_CrossKeepingNoRecord300(benchmark::State& state) {
    CrossThroughSession(state, false);
}
BENCHMARK(BM_CrossKeepingNoRecord300)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumark
