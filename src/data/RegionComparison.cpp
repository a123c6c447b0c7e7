#include "data/RegionComparison.h"

#include <map>

namespace mrk2 {

bool RegionComparison::unchanged() const {
    return sourcesAdded.empty() && sourcesRemoved.empty() && sourcesReloaded.empty() &&
           townsAdded.empty() && townsRemoved.empty() && blocksChanged.empty() &&
           rows.before == rows.after && tables.before == tables.after;
}

RegionComparison compareRegions(const RegionSnapshot& before, const RegionSnapshot& after) {
    RegionComparison c;
    c.sources = {static_cast<std::int64_t>(before.sources.size()),
                 static_cast<std::int64_t>(after.sources.size())};
    c.towns = {static_cast<std::int64_t>(before.towns.size()),
               static_cast<std::int64_t>(after.towns.size())};
    c.rows = {before.rows, after.rows};
    c.tables = {before.tables, after.tables};

    std::map<std::string, const RegionSnapshot::Source*> old;
    for (const auto& s : before.sources)
        old[s.path] = &s;
    for (const auto& s : after.sources) {
        auto it = old.find(s.path);
        if (it == old.end()) {
            c.sourcesAdded.push_back(s.path);
            continue;
        }
        if (it->second->id != s.id || it->second->date != s.date)
            c.sourcesReloaded.push_back(s.path);
        old.erase(it);
    }
    for (const auto& s : before.sources) {
        if (old.count(s.path))
            c.sourcesRemoved.push_back(s.path);
    }

    // Both town lists are sorted: one merge walk.
    auto b = before.towns.begin();
    auto a = after.towns.begin();
    while (b != before.towns.end() || a != after.towns.end()) {
        if (a == after.towns.end() || (b != before.towns.end() && *b < *a)) {
            c.townsRemoved.push_back({b->fullName(), b->blocks, 0});
            ++b;
        } else if (b == before.towns.end() || *a < *b) {
            c.townsAdded.push_back({a->fullName(), 0, a->blocks});
            ++a;
        } else {
            if (a->blocks != b->blocks)
                c.blocksChanged.push_back({a->fullName(), b->blocks, a->blocks});
            ++a;
            ++b;
        }
    }
    return c;
}

}  // namespace mrk2
