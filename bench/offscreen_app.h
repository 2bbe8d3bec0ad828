#pragma once
// The one QApplication of a benchmark program, on Qt's offscreen platform
// with the program's style; made on first use.
#include <stdlib.h>

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

}  // namespace velmora::bench
