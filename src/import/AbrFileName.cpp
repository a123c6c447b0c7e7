#include "import/AbrFileName.h"

namespace mrk2 {

std::optional<AbrFileName> AbrFileName::parse(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    // Longest first: mt_rsdtdsp_rsdt is no mt_rsdtdsp_blk, but both start alike.
    for (AbrDataset d :
         {AbrDataset::House, AbrDataset::Block, AbrDataset::Parcel, AbrDataset::Town}) {
        const std::string_view base = abrDatasetName(d);
        if (name.substr(0, base.size()) != base)
            continue;
        std::string_view rest = name.substr(base.size());
        const bool positions = rest.substr(0, 4) == "_pos";
        if (positions)
            rest.remove_prefix(4);
        if (!rest.empty() && rest.front() != '_' && rest.front() != '.')
            continue;
        return AbrFileName{d, positions, std::string(rest)};
    }
    return std::nullopt;
}

}  // namespace mrk2
