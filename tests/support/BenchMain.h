#pragma once
// The main of a benchmark that opens windows: offscreen, over a temporary copy of the program
// folder the build stages, so the overviews and icons are the ones the program ships and what
// a run writes stays out of the build.
#include "TestFolders.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace quorvel {

inline int runWidgetBenchmarks(int argc, char **argv, const char *programDir)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("QUORVEL_HOME", stageProgramFolder(home, QString::fromUtf8(programDir)));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace quorvel
