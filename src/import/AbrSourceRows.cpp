#include "import/AbrSourceRows.h"

#include "base/Error.h"
#include "import/AbrFileName.h"
#include "import/AbrPositionRow.h"
#include "import/MunicipalityMaster.h"

namespace mrk2 {

AbrSourceRows::AbrSourceRows(const SourceFile& source, const AbrHeader& header,
                             std::unique_ptr<ByteSource> bytes, SourceReader& sources,
                             const MunicipalityMaster& master)
    : source_(source), master_(master) {
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
    if (!pair_)
        return false;
    if (!pair_->next()) {
        if (pair_->counts().paired == 0)
            throw Error(FormatError::RegistryFile,
                        "位置座標のファイルに、このファイルの行と対応する行が一つもありません。\n" +
                            pair_->positionPath());
        return false;
    }
    row_.emplace(*pair_, master_, projector_);
    row.values = row_->values();
    row.code = std::string_view(pair_->field(AbrColumn::LgCode)).substr(0, 5);
    return true;
}

std::optional<std::string> AbrSourceRows::note() const {
    if (!pair_)
        return std::nullopt;
    const AbrCounts& c = pair_->counts();
    if (c.withoutPosition == 0 && c.retired == 0 && c.unpaired == 0)
        return std::nullopt;
    return source_.path() + "\n格納しなかった行: 位置座標なし " +
           std::to_string(c.withoutPosition) + "件, 廃止 " + std::to_string(c.retired) +
           "件, 対応する行のない位置座標 " + std::to_string(c.unpaired) + "件";
}

std::optional<SourceFile> AbrSourceRows::rowsComeWith() const {
    if (pair_)
        return std::nullopt;
    return abrPartnerOf(source_);
}

}  // namespace mrk2
