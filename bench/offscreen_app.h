#pragma once
// The one QApplication of a benchmark program, on Qt's offscreen platform
// with the program's style; made on first use.
#include <stdlib.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "ui/qt/app_style.h"

namespace velmora::bench {

inline QApplication& offscreenApp() {
    static int argc = 1;
    static char name[] = "velmora-bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> a = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto made = std::make_unique<QApplication>(argc, argv);
        applyAppStyle(*made);
        return made;
    }();
    return *a;
}

// The main of a benchmark program whose benchmarks show windows: the one
// QApplication lives on its stack and ends before the program does.
inline int runOffscreenBenchmarks(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    applyAppStyle(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace velmora::bench
