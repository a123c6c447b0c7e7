#include "ui/MunicipalityNeighbours.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace mrk2::ui {

namespace {

struct Grid {
    double minLon = 0, minLat = 0, cellSize = 1;
    int columns = 1, rows = 1;
    // The municipalities with a point in each square, without repeats.
    std::vector<std::vector<std::uint32_t>> squares;
};

Grid gridOver(const RegionPoints& points, int cells) {
    Grid g;
    float minLon = points.points.front().lon, maxLon = minLon;
    float minLat = points.points.front().lat, maxLat = minLat;
    for (const auto& p : points.points) {
        minLon = std::min(minLon, p.lon);
        maxLon = std::max(maxLon, p.lon);
        minLat = std::min(minLat, p.lat);
        maxLat = std::max(maxLat, p.lat);
    }
    g.minLon = minLon;
    g.minLat = minLat;
    // Square cells in degrees: near enough to square on the ground for a region.
    g.cellSize = std::max({double(maxLon - minLon), double(maxLat - minLat), 1e-6}) / cells;
    g.columns = static_cast<int>((maxLon - minLon) / g.cellSize) + 1;
    g.rows = static_cast<int>((maxLat - minLat) / g.cellSize) + 1;
    g.squares.resize(static_cast<std::size_t>(g.columns) * g.rows);
    for (const auto& p : points.points) {
        const int x = std::min(g.columns - 1, static_cast<int>((p.lon - g.minLon) / g.cellSize));
        const int y = std::min(g.rows - 1, static_cast<int>((p.lat - g.minLat) / g.cellSize));
        auto& square = g.squares[static_cast<std::size_t>(y) * g.columns + x];
        // Points come town by town, so the one just added is nearly always the same.
        if (std::find(square.rbegin(), square.rend(), p.municipality) == square.rend())
            square.push_back(p.municipality);
    }
    return g;
}

}  // namespace

std::vector<std::vector<std::uint32_t>> municipalityNeighbours(const RegionPoints& points,
                                                               int cells) {
    const std::size_t n = points.municipalities.size();
    std::vector<std::vector<std::uint32_t>> neighbours(n);
    if (points.points.empty() || n < 2)
        return neighbours;
    const Grid g = gridOver(points, cells);
    std::vector<bool> seen(n * n, false);
    auto link = [&](std::uint32_t a, std::uint32_t b) {
        if (a == b || a >= n || b >= n || seen[a * n + b])
            return;
        seen[a * n + b] = seen[b * n + a] = true;
        neighbours[a].push_back(b);
        neighbours[b].push_back(a);
    };
    // Each square goes to the municipality nearest to it (the first one of a
    // square with points of several, which are all neighbours): the points of
    // neighbouring municipalities seldom touch, but their territories do.
    std::vector<std::int64_t> owner(g.squares.size(), -1);
    std::deque<std::size_t> open;
    for (std::size_t i = 0; i < g.squares.size(); ++i) {
        const auto& here = g.squares[i];
        for (std::uint32_t a : here)
            for (std::uint32_t b : here)
                link(a, b);
        if (!here.empty()) {
            owner[i] = here.front();
            open.push_back(i);
        }
    }
    while (!open.empty()) {
        const std::size_t i = open.front();
        open.pop_front();
        const int x = static_cast<int>(i % g.columns), y = static_cast<int>(i / g.columns);
        for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            if (x + dx < 0 || x + dx >= g.columns || y + dy < 0 || y + dy >= g.rows)
                continue;
            const std::size_t j = static_cast<std::size_t>(y + dy) * g.columns + x + dx;
            if (owner[j] < 0) {
                owner[j] = owner[i];
                open.push_back(j);
            }
        }
    }
    // Territories that meet, even at a corner, are neighbours.
    for (int y = 0; y < g.rows; ++y) {
        for (int x = 0; x < g.columns; ++x) {
            const auto a =
                static_cast<std::uint32_t>(owner[static_cast<std::size_t>(y) * g.columns + x]);
            for (auto [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}, {-1, 1}}) {
                if (x + dx < 0 || x + dx >= g.columns || y + dy >= g.rows)
                    continue;
                link(a, static_cast<std::uint32_t>(
                            owner[static_cast<std::size_t>(y + dy) * g.columns + x + dx]));
            }
        }
    }
    for (auto& list : neighbours)
        std::sort(list.begin(), list.end());
    return neighbours;
}

}  // namespace mrk2::ui
