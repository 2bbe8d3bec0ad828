#pragma once
// The Velmora mark, drawn rather than loaded: a round reminder with its
// button in the program's colour.
#include <QPixmap>

namespace velmora {

// A square mark of `size` pixels on a transparent background.
QPixmap velmoraLogo(int size);
// The mark followed by the word "Velmora", `height` pixels high.
QPixmap velmoraWordmark(int height);

}  // namespace velmora
