#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mrk2 {

// The municipalities one source's rows fall in, each once, in the order met.
// A municipality is its code when the row has one, else its prefecture and name.
class SourceCoverage {
  public:
    // Called for every row; rows come grouped by municipality, so a row of the
    // municipality before costs one comparison.
    void see(std::optional<std::string_view> code, std::optional<std::string_view> pref,
             std::optional<std::string_view> name);

    struct Municipality {
        std::string key;
        std::string name;  // prefecture and municipality, for the person
    };
    const std::vector<Municipality>& municipalities() const { return list_; }

  private:
    std::string key_;
    std::string last_;
    std::set<std::string> seen_;
    std::vector<Municipality> list_;
};

class Database;

// The municipalities each recorded source's rows fall in, read back from
// POSITION of the database `db` in one pass, by (directory, file name).
std::map<std::pair<std::string, std::string>, SourceCoverage> recordedCoverage(Database& db);

// The municipalities the sources of one run cover, by layout. Two sources of
// one layout covering one municipality (an archive and its extracted CSV, two
// editions of a prefecture) would store its rows twice; sources of different
// layouts (MLIT's blocks beside the registry's houses) add to each other.
class RunCoverage {
  public:
    // Throws mrk2::Error naming the municipality and both sources.
    void add(const std::string& layout, const SourceCoverage& source, const std::string& path);

  private:
    std::map<std::pair<std::string, std::string>, std::string> pathOf_;  // (layout, key)
};

}  // namespace mrk2
