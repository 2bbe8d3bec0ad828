#pragma once
// The program's look, the same on every desktop: the Fusion style, the
// DejaVu Sans font and a light palette.
class QApplication;

namespace velmora {

void applyAppStyle(QApplication& app);

}  // namespace velmora
