#include <benchmark/benchmark.h>
#include <ftw.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "LargestFile.h"
#include "RingDocument.h"
#include "ToolCommandLine.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(LargestFile::Get().bytes.size()));
}

// Standard output for the tool: takes the bytes and drops them, so that growing a string
// buffer does not count as the tool's time.
class DiscardingBuffer : public std::streambuf {
  protected:
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

void RunOrSkip(benchmark::State& state, const std::vector<std::string>& arguments) {
    DiscardingBuffer discarded;
    std::ostream out(&discarded);
    std::ostringstream err;
    if (tool::RunTool(arguments, out, err) != 0) {
        state.SkipWithError(err.str().c_str());
    }
}

// `lumark-tool check`: read, format what a save would write and compare it with the file.
void BM_ToolCheck(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    for (auto _ : state) {
        RunOrSkip(state, {"check", file.path});
    }
    SetBytes(state);
}
BENCHMARK(BM_ToolCheck)->Unit(benchmark::kMicrosecond);

// `lumark-tool convert`: read, then save atomically (flushed to the disk) in the same layout.
void BM_ToolConvert(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    const std::string out = file.directory + "/converted.txt";
    for (auto _ : state) {
        RunOrSkip(state, {"convert", file.path, out});
    }
    SetBytes(state);
}
BENCHMARK(BM_ToolConvert)->Unit(benchmark::kMicrosecond);

// The same, writing to standard output: the conversion without the disk flush.
void BM_ToolConvertToStream(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    for (auto _ : state) {
        RunOrSkip(state, {"convert", file.path, "-"});
    }
    SetBytes(state);
}
BENCHMARK(BM_ToolConvertToStream)->Unit(benchmark::kMicrosecond);

std::string ReadWhole(const std::string& path) {
    std::string bytes;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    char chunk[64 * 1024];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        bytes.append(chunk, got);
    }
    std::fclose(in);
    return bytes;
}

// The floor: a cp-like copy of the same file, read whole and written out.
void BM_CopyFile(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    const std::string copy = file.directory + "/copied.txt";
    for (auto _ : state) {
        const std::string bytes = ReadWhole(file.path);
        std::FILE* out = std::fopen(copy.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    SetBytes(state);
}
BENCHMARK(BM_CopyFile)->Unit(benchmark::kMicrosecond);

// The floor with the editor's safe save: the copy written atomically and flushed.
void BM_CopyFileAtomically(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    const std::string copy = file.directory + "/copied-atomically.txt";
    for (auto _ : state) {
        WriteFileAtomically(copy, ReadWhole(file.path));
    }
    SetBytes(state);
}
BENCHMARK(BM_CopyFileAtomically)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumark
