#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mrk2 {

// Rows counted by what they locate, as the registry and MLIT write them: a
// parcel has 住居表示フラグ 0, a house a 街区・番地 "1-2" with flag 1, a block any
// other 街区・番地. A town's own point (no 街区・番地) is none of them.
struct RowKinds {
    std::int64_t houses = 0;
    std::int64_t blocks = 0;
    std::int64_t parcels = 0;

    void add(std::optional<std::string_view> block, std::optional<std::string_view> flag,
             std::int64_t rows = 1);
    RowKinds& operator+=(const RowKinds& other);
    bool any() const { return houses + blocks + parcels > 0; }
};

// What a run did to the houses, blocks and parcels of a region, told after a run
// that loaded a source told by kind (the registry's) or removed houses or
// parcels: those that came, those that went (when any did), and the rows that
// lacked a position; nullopt otherwise.
std::optional<std::string> rowKindsNote(const RowKinds& came, const RowKinds& went,
                                        std::int64_t withoutPosition, bool toldByKind);

}  // namespace mrk2
