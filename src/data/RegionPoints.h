#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace mrk2 {

// Every block point of a region by longitude and latitude, with its municipality:
// what a map of the region's coverage draws.
struct RegionPoints {
    struct Municipality {
        std::string pref, name;
        std::int64_t rows = 0;
    };
    struct Point {
        float lon = 0, lat = 0;
        std::uint32_t municipality = 0;  // index into municipalities
    };

    std::vector<Municipality> municipalities;  // in POSITION order
    std::vector<Point> points;
    std::int64_t unreadable = 0;  // rows whose latitude or longitude is no number
    std::string exampleTown;      // municipality and town of the first town, as a hint
    bool complete = true;         // false when the read was cancelled
};

// Reads a region database without changing it; `cancel`, when set from another
// thread, ends the read early. Throws mrk2::Error.
RegionPoints readRegionPoints(const std::string& dbPath, const std::atomic<bool>* cancel = nullptr);

}  // namespace mrk2
