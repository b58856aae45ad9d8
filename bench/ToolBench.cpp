#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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

// `lumark-tool render`: the picture of the largest file, encoded as PNG, to a stream.
void BM_ToolRenderToStream(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    for (auto _ : state) {
        RunOrSkip(state, {"render", file.path, "-"});
    }
}
BENCHMARK(BM_ToolRenderToStream)->Unit(benchmark::kMicrosecond);

// `lumark-tool stats --blocks --format json`: read, every block's figures and summary.
void BM_ToolStatsPerBlockJson(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    for (auto _ : state) {
        RunOrSkip(state, {"stats", "--blocks", "--format", "json", file.path});
    }
    SetBytes(state);
}
BENCHMARK(BM_ToolStatsPerBlockJson)->Unit(benchmark::kMicrosecond);

// Whole processes, as a user or a script meets them: start-up and loading included.

// The tool beside this benchmark in the build tree: build/bench/.. -> build/src/tool.
std::string ToolPath() {
    std::string self(4096, '\0');
    const ssize_t got = ::readlink("/proc/self/exe", self.data(), self.size());
    self.resize(static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    const std::string bench = self.substr(0, self.rfind('/'));
    return bench.substr(0, bench.rfind('/')) + "/src/tool/lumark-tool";
}

// Runs the program to its end with standard output (and, when `quiet`, standard error) to
// /dev/null; the wall time in ms, or a negative number when it could not run or failed.
double RunProcess(std::vector<std::string> arguments, bool quiet = false) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return -1;
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// `render` and `convert -` of the largest file and `cat` of it, alternating in one run, so
// that the ratios compare like with like: render / convert (goal under 3) and convert / cat
// (goal at most 2). Counters are medians in milliseconds.
void BM_ToolProcessRatios(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    const std::string tool = ToolPath();
    std::vector<double> render;
    std::vector<double> convert;
    std::vector<double> cat;
    for (auto _ : state) {
        render.push_back(RunProcess({tool, "render", file.path, "-"}));
        convert.push_back(RunProcess({tool, "convert", file.path, "-"}));
        cat.push_back(RunProcess({"cat", file.path}));
        if (render.back() < 0 || convert.back() < 0 || cat.back() < 0) {
            state.SkipWithError(("cannot run " + tool + " or cat").c_str());
            return;
        }
    }
    state.counters["render_ms"] = Median(render);
    state.counters["convert_ms"] = Median(convert);
    state.counters["cat_ms"] = Median(cat);
    state.counters["render_per_convert"] = Median(render) / Median(convert);
    state.counters["convert_per_cat"] = Median(convert) / Median(cat);
}
BENCHMARK(BM_ToolProcessRatios)->Iterations(30)->Unit(benchmark::kMillisecond);

// `stats` and `stats --blocks --format json` of the largest file against `convert -`,
// alternating in one run: stats / convert has the goal under 3. Counters are medians in ms.
void BM_ToolStatsRatios(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    const std::string tool = ToolPath();
    std::vector<double> stats;
    std::vector<double> perBlock;
    std::vector<double> convert;
    for (auto _ : state) {
        stats.push_back(RunProcess({tool, "stats", file.path}));
        perBlock.push_back(RunProcess({tool, "stats", "--blocks", "--format", "json", file.path}));
        convert.push_back(RunProcess({tool, "convert", file.path, "-"}));
        if (stats.back() < 0 || perBlock.back() < 0 || convert.back() < 0) {
            state.SkipWithError(("cannot run " + tool).c_str());
            return;
        }
    }
    state.counters["stats_ms"] = Median(stats);
    state.counters["stats_blocks_json_ms"] = Median(perBlock);
    state.counters["convert_ms"] = Median(convert);
    state.counters["stats_per_convert"] = Median(stats) / Median(convert);
    state.counters["stats_blocks_json_per_convert"] = Median(perBlock) / Median(convert);
}
BENCHMARK(BM_ToolStatsRatios)->Iterations(30)->Unit(benchmark::kMillisecond);

// `merge` of three 300-block files, `show` and `edit` with five steps of the first against
// `convert` of it, alternating in one run: merge / convert has the goal under 3, show / convert
// and edit / convert under 1.5, each
// writing where convert does (a file saved safely, or standard output). Argument 0: the
// largest file, in the old layout; 1: a ring seeing 5 on each side, in the new layout. Both
// sides edit it: ours widens or narrows every view by one, theirs stops block 0 seeing blocks
// 1 to 4. Counters are medians in milliseconds.
void BM_ToolMergeShowRatios(benchmark::State& state) {
    const LargestFile& file = LargestFile::Get();
    const std::string tool = ToolPath();
    const bool largest = state.range(0) == 0;
    const VisibilityDocument base = largest ? file.doc : MakeRingDocument(300, 5, "1.2");
    const std::string basePath = file.directory + "/base.txt";
    const std::string ours = file.directory + "/ours.txt";
    const std::string theirs = file.directory + "/theirs.txt";
    WriteVisibilityFile(base, basePath);
    WriteVisibilityFile(MakeRingDocument(300, largest ? 148 : 6, base.VersionText), ours);
    VisibilityDocument edited = base;
    for (int seen = 2; seen <= 5; ++seen) {
        edited.SetElement(1, seen, False16);
    }
    WriteVisibilityFile(edited, theirs);
    const std::string merged = file.directory + "/merged.txt";
    const std::string converted = file.directory + "/converted.txt";
    const std::string editedPath = file.directory + "/edited.txt";
    std::vector<double> merge, convert, mergeStream, convertStream, show, edit;
    for (auto _ : state) {
        edit.push_back(
            RunProcess({tool, "edit", basePath, "-o", editedPath, "--select", "100-140",
                        "--increase", "--select", "141-160", "--set-distance", "8", "--cross"}));
        merge.push_back(RunProcess({tool, "merge", basePath, ours, theirs, "-o", merged}));
        convert.push_back(RunProcess({tool, "convert", basePath, converted}));
        mergeStream.push_back(RunProcess({tool, "merge", basePath, ours, theirs, "-o", "-"}, true));
        convertStream.push_back(RunProcess({tool, "convert", basePath, "-"}));
        show.push_back(RunProcess({tool, "show", basePath}));
        for (const auto* times : {&merge, &convert, &mergeStream, &convertStream, &show, &edit}) {
            if (times->back() < 0) {
                state.SkipWithError(("cannot run " + tool).c_str());
                return;
            }
        }
    }
    state.counters["merge_ms"] = Median(merge);
    state.counters["convert_ms"] = Median(convert);
    state.counters["merge_per_convert"] = Median(merge) / Median(convert);
    state.counters["merge_stream_ms"] = Median(mergeStream);
    state.counters["convert_stream_ms"] = Median(convertStream);
    state.counters["merge_stream_per_convert_stream"] = Median(mergeStream) / Median(convertStream);
    state.counters["show_ms"] = Median(show);
    state.counters["show_per_convert_stream"] = Median(show) / Median(convertStream);
    state.counters["edit_ms"] = Median(edit);
    state.counters["edit_per_convert"] = Median(edit) / Median(convert);
}
BENCHMARK(BM_ToolMergeShowRatios)->Arg(0)->Arg(1)->Iterations(30)->Unit(benchmark::kMillisecond);

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
