#include "import/AbrSourceRows.h"

#include "base/CsvField.h"
#include "base/Error.h"
#include "base/Utf8.h"
#include "import/AbrCsvReader.h"
#include "import/AbrFileName.h"
#include "import/AbrPositionRow.h"
#include "import/MunicipalityMaster.h"

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

std::optional<SourceFile> abrPartnerOf(const SourceFile& source) {
    if (!AbrFileName::parse(source.file))
        return std::nullopt;
    SourceFile partner{source.dir, partnerName(source.file)};
    // Each file of a pair is published in an archive of its own name.
    if (source.inArchive())
        partner.dir = partnerName(source.dir);
    return partner;
}

std::optional<AbrHeader> abrHeaderOf(std::string_view firstLine) {
    // The registry writes UTF-8; a first line in anything else is no registry
    // header. Only this line is cut at commas: a header names no column with a
    // comma, and a file of another kind must not be read on as quoted text.
    if (firstLine.substr(0, 3) == "\xEF\xBB\xBF")
        firstLine.remove_prefix(3);
    if (!isValidUtf8(firstLine))
        return std::nullopt;
    std::vector<std::string_view> fields;
    splitCsvLine(firstLine, fields);
    std::vector<std::string> names;
    for (std::string_view f : fields)
        names.push_back(cleanCsvField(f));
    return AbrHeader::recognise(names);
}

AbrSourceRows::AbrSourceRows(const SourceFile& source, const AbrHeader& header,
                             std::unique_ptr<ByteSource> bytes, SourceReader& sources,
                             const MunicipalityMaster& master)
    : master_(master) {
    if (header.positions)
        return;
    const std::optional<SourceFile> partner = abrPartnerOf(source);
    if (!partner || !sources.exists(*partner))
        throw Error(FormatError::RegistryFile,
                    "位置座標のファイル（" + std::string(abrDatasetName(header.dataset)) +
                        "_pos）が見つかりません。" + (partner ? "\n" + partner->path() : ""),
                    source.path());
    pair_ = std::make_unique<AbrPairReader>();
    pair_->open(source.path(), std::move(bytes), partner->path(), sources.open(*partner));
}

AbrSourceRows::~AbrSourceRows() = default;

bool AbrSourceRows::next(PositionRow& row) {
    if (!pair_ || !pair_->next())
        return false;
    row_.emplace(*pair_, master_, projector_);
    row.values = row_->values();
    row.code = std::string_view(pair_->field(AbrColumn::LgCode)).substr(0, 5);
    return true;
}

}  // namespace mrk2
