#pragma once
#include <QColor>

namespace mrk2::ui {

// The colour of the n-th municipality on the region map: hues a golden angle
// apart, so that neighbours in the list never look alike, whatever their count.
QColor municipalityColour(int index);

}  // namespace mrk2::ui
