#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstring>

#include "FirstFill.h"

// Widget benchmarks need an application object; offscreen, so no display is needed.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], lumark::FirstFillOption) == 0) {
        return lumark::RunFirstFill();
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
