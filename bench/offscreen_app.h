#pragma once
// The one QApplication of a benchmark program, on Qt's offscreen platform
// with the program's style, on the stack of its main.
#include <stdlib.h>

#include <benchmark/benchmark.h>

#include <QApplication>

#include "ui/qt/app_style.h"

namespace velmora::bench {

// The main of a benchmark program whose benchmarks show windows: the one
// QApplication lives on its stack and ends before the program does.
inline int runOffscreenBenchmarks(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    applyAppStyle(app);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace velmora::bench
