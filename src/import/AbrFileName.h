#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "base/SourceFile.h"
#include "import/AbrHeader.h"

namespace mrk2 {

// A registry file name taken apart: "mt_parcel_pos_city465054.csv.zip" is the
// parcels' positions, "_city465054.csv.zip" the part it shares with its partner
// "mt_parcel_city465054.csv.zip".
struct AbrFileName {
    AbrDataset dataset = AbrDataset::Town;
    bool positions = false;
    std::string rest;

    // nullopt for a name that is not a registry dataset's (a directory part is
    // ignored).
    static std::optional<AbrFileName> parse(std::string_view path);
    // Whether two names are a dataset and its _pos partner.
    bool partners(const AbrFileName& other) const {
        return dataset == other.dataset && positions != other.positions && rest == other.rest;
    }
};

// The _pos partner of a dataset source, or the dataset of a _pos one, by name;
// nullopt for a name that is not a registry file's.
std::optional<SourceFile> abrPartnerOf(const SourceFile& source);

}  // namespace mrk2
