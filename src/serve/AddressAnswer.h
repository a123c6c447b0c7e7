#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "lookup/LookupResult.h"
#include "serve/RegionShelf.h"

namespace mrk2::serve {

// The answer to one address, from the lookup `mrk2cli lookup` uses. In the named
// region; with none named, in the region whose names the address reaches
// deepest (prefecture, municipality, town), and among regions that reach as
// deep, the one whose answer goes deepest, the first in the catalog on a tie.
// When the address names nothing anywhere, the catalog's first region answers,
// with its nearest towns. Throws mrk2::Error 10404 for a region the catalog does
// not hold (or an empty catalog), and the lookup's own errors.
LookupResult answerAddress(RegionShelf& shelf, const std::optional<std::string>& region,
                           std::string_view address);

// The region's readers, or Error 10404.
std::shared_ptr<RegionReaders> regionReaders(RegionShelf& shelf, const std::string& region);

}  // namespace mrk2::serve
