#pragma once
#include <cstdint>
#include <vector>

#include "data/RegionPoints.h"

namespace mrk2::ui {

// Which municipalities of a region lie side by side on its map. A region
// database holds no boundaries, so they are judged from the points: the
// region's extent is cut into a grid of about `cells` squares a side, each
// square goes to the municipality with points nearest to it, and two
// municipalities are neighbours when their squares meet (or share points).
// Each list is sorted and holds no repeats.
std::vector<std::vector<std::uint32_t>> municipalityNeighbours(const RegionPoints& points,
                                                               int cells = 160);

}  // namespace mrk2::ui
