#include "serve/AddressAnswer.h"

#include "base/Error.h"
#include "serve/HttpError.h"

namespace mrk2::serve {

namespace {

// How deep an answer goes; a house and a parcel are as deep as each other.
int depthOf(MatchLevel level) {
    return level == MatchLevel::Parcel ? static_cast<int>(MatchLevel::House)
                                       : static_cast<int>(level);
}

}  // namespace

std::shared_ptr<RegionReaders> regionReaders(RegionShelf& shelf, const std::string& region) {
    auto readers = shelf.readers(region);
    if (!readers)
        throw Error(HttpError::UnknownRegion, "指定された地域は登録されていません");
    return readers;
}

LookupResult answerAddress(RegionShelf& shelf, const std::optional<std::string>& region,
                           std::string_view address) {
    if (region)
        return regionReaders(shelf, *region)->lookup()->find(address);

    std::vector<std::shared_ptr<RegionReaders>> regions;
    for (const std::string& name : shelf.names()) {
        if (auto readers = shelf.readers(name))
            regions.push_back(std::move(readers));
    }
    if (regions.empty())
        throw Error(HttpError::UnknownRegion, "地域が一つも登録されていません");

    std::vector<std::shared_ptr<RegionReaders>> deepest;
    MatchLevel reached = MatchLevel::None;
    for (const auto& readers : regions) {
        const MatchLevel level = readers->lookup()->reach(address);
        if (level == MatchLevel::None || level < reached)
            continue;
        if (level > reached)
            deepest.clear();
        reached = level;
        deepest.push_back(readers);
    }
    if (deepest.empty())
        return regions.front()->lookup()->find(address);

    std::optional<LookupResult> best;
    for (const auto& readers : deepest) {
        LookupResult r = readers->lookup()->find(address);
        if (!best || depthOf(r.level) > depthOf(best->level))
            best = std::move(r);
    }
    return std::move(*best);
}

}  // namespace mrk2::serve
