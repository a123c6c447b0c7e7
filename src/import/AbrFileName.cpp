#include "import/AbrFileName.h"

namespace mrk2 {

namespace {

// The name of the partner file: "_pos" put in after the dataset's name, or taken
// out; the name as it is when it is no registry file's.
std::string partnerName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    auto name = AbrFileName::parse(std::string_view(path).substr(start));
    if (!name)
        return path;
    const std::string base = abrDatasetName(name->dataset);
    return path.substr(0, start) + base + (name->positions ? "" : "_pos") + name->rest;
}

}  // namespace

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

std::optional<SourceFile> abrPartnerOf(const SourceFile& source) {
    if (!AbrFileName::parse(source.file))
        return std::nullopt;
    SourceFile partner{source.dir, partnerName(source.file)};
    // Each file of a pair is published in an archive of its own name.
    if (source.inArchive())
        partner.dir = partnerName(source.dir);
    return partner;
}

}  // namespace mrk2
