#pragma once
// Region databases written row by row, without the import run: for the tests
// that read regions (lookup, comparison, map).
#include <optional>
#include <string>
#include <vector>

namespace mrk2::test {

struct BlockRow {
    std::string pref, muni;
    std::optional<std::string> town;
    std::string block;  // "" stores NULL: a point for the town as a whole
    std::string lat = "35.0", lon = "139.0";
    bool representative = false;
    bool residential = true;  // 住居表示フラグ 1; a parcel has 0
};

class RegionBuilder {
  public:
    // Creates the database with an empty position schema.
    explicit RegionBuilder(std::string path);

    // A source with its rows: one POSITION row per town, in the order the towns
    // first appear, and the rows in a per-town table of the source's own.
    void addSource(const std::string& file, const std::string& date,
                   const std::vector<BlockRow>& rows);

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    int tables_ = 0;
};

// The town names of a municipality in the bundled Japan Post sample
// (data/13TOKYO.CSV), notes in parentheses and catch-all entries left out.
std::vector<std::string> postalTowns(const std::string& municipality);

}  // namespace mrk2::test
