#pragma once
#include <QColor>
#include <vector>

#include "data/RegionPoints.h"

namespace mrk2::ui {

// The colours of a region's municipalities on its map, one per municipality:
// twenty well-separated colours, handed out greedily so that municipalities
// side by side (MunicipalityNeighbours.h) never share one, the most crowded
// first. Far-apart municipalities may share a colour; the legend tells them
// apart by highlighting.
std::vector<QColor> municipalityColours(const RegionPoints& points);

}  // namespace mrk2::ui
