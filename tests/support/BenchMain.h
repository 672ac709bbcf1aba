#pragma once
// The main of a benchmark that opens windows: offscreen, over the program folder the build
// stages, so the overviews and icons are the ones the program ships.
#include <QApplication>

#include <benchmark/benchmark.h>

namespace quorvel {

inline int runWidgetBenchmarks(int argc, char **argv, const char *programDir)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QUORVEL_HOME", programDir);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace quorvel
