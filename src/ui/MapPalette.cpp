#include "ui/MapPalette.h"

#include <cmath>

namespace mrk2::ui {

QColor municipalityColour(int index) {
    const double hue = std::fmod(index * 137.508, 360.0);
    // Alternate the lightness a little so that hues that come round again differ.
    const int value = index % 3 == 0 ? 205 : index % 3 == 1 ? 170 : 235;
    return QColor::fromHsv(static_cast<int>(hue), 200, value);
}

}  // namespace mrk2::ui
