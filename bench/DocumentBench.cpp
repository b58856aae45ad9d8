#include <benchmark/benchmark.h>
#include <ftw.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "BlockSummary.h"
#include "FileState.h"
#include "LargestFile.h"
#include "RingDocument.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

// The fastest repetition: on a shared machine the least disturbed one.
double Fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(LargestFile::Get().bytes.size()));
}

void BM_ReadVisibilityFile(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    VisibilityDocument doc;
    for (auto _ : state) {
        ReadVisibilityFile(doc, file.path);
        benchmark::DoNotOptimize(doc.BlockCount);
    }
    SetBytes(state);
}
BENCHMARK(BM_ReadVisibilityFile)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);

// What opening and every check of a changed file add: the file's identity and the hash of
// its bytes, read from disk.
void BM_ReadFileState(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadFileState(file.path));
    }
    SetBytes(state);
}
BENCHMARK(BM_ReadFileState)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);

// What a check of an unchanged file costs: one stat.
void BM_IdentityOf(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    for (auto _ : state) {
        benchmark::DoNotOptimize(IdentityOf(file.path));
    }
}
BENCHMARK(BM_IdentityOf)->Unit(benchmark::kMicrosecond);

// The floor for reading: the same bytes read in chunks with their line ends counted.
void BM_ReadAndCountLines(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    const std::size_t chunkSize = 64 * 1024;
    const auto chunk = std::make_unique<char[]>(chunkSize);
    for (auto _ : state) {
        std::FILE* in = std::fopen(file.path.c_str(), "rb");
        long lines = 0;
        std::size_t got = 0;
        while ((got = std::fread(chunk.get(), 1, chunkSize, in)) > 0) {
            lines += std::count(chunk.get(), chunk.get() + got, '\n');
        }
        std::fclose(in);
        benchmark::DoNotOptimize(lines);
    }
    SetBytes(state);
}
BENCHMARK(BM_ReadAndCountLines)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);

void BM_FormatVisibilityFile(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    for (auto _ : state) {
        std::string bytes = FormatVisibilityFile(file.doc);
        benchmark::DoNotOptimize(bytes.data());
    }
    SetBytes(state);
}
BENCHMARK(BM_FormatVisibilityFile)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", Fastest);

void BM_WriteVisibilityFile(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    const std::string path = file.directory + "/written.txt";
    for (auto _ : state) {
        WriteVisibilityFile(file.doc, path);
    }
    SetBytes(state);
}
BENCHMARK(BM_WriteVisibilityFile)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);

// The floor for writing: the same bytes saved in one call.
void BM_WriteFileAtomically(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    const std::string path = file.directory + "/copied.txt";
    for (auto _ : state) {
        WriteFileAtomically(path, file.bytes);
    }
    SetBytes(state);
}
BENCHMARK(BM_WriteFileAtomically)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);

// 300 blocks seeing 20 on each side and, one way only, every third block from 30 to 90 ahead:
// long, broken lists in every part of the summary.
VisibilityDocument ScatteredDocument() {
    VisibilityDocument doc = MakeRingDocument(300, 20, "1.2");
    for (int block = 1; block <= 300; ++block) {
        for (int step = 30; step <= 90; step += 3) {
            doc.MarkVisible(block, (block - 1 + step) % 300);
        }
    }
    return doc;
}

// A tooltip or the pointer panel: one block's summary. Kept under 50 us.
void BM_BlockSummary(benchmark::State& state) {
    const VisibilityDocument doc = ScatteredDocument();
    int block = 1;
    for (auto _ : state) {
        std::string text = BlockSummary(doc, block);
        benchmark::DoNotOptimize(text.data());
        block = block % 300 + 1;
    }
}
BENCHMARK(BM_BlockSummary)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);

// Every block's summary and figures, as `stats --blocks` makes them. Kept under 5 ms.
void BM_AllBlockSummaries(benchmark::State& state) {
    const VisibilityDocument doc = ScatteredDocument();
    for (auto _ : state) {
        for (int block = 1; block <= 300; ++block) {
            std::string text = BlockSummary(doc, block);
            benchmark::DoNotOptimize(text.data());
            const BlockFigures figures = FiguresOf(doc, block);
            benchmark::DoNotOptimize(figures.Sees);
        }
    }
}
BENCHMARK(BM_AllBlockSummaries)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);

}  // namespace
}  // namespace lumark
