#pragma once
#include <memory>
#include <optional>
#include <string>

#include "base/SourceFile.h"
#include "import/AbrPairReader.h"
#include "import/AbrPositionRow.h"
#include "import/PlaneProjector.h"
#include "import/SourceRows.h"

namespace mrk2 {

class MunicipalityMaster;

// The rows of an Address Base Registry source: a dataset joined with its _pos
// partner, which is looked for beside it by name (in the same directory, or the
// partner's archive beside the dataset's). The _pos file given as a source of its
// own has no rows: its positions come in with its dataset.
class AbrSourceRows : public SourceRows {
  public:
    // Throws mrk2::Error naming the source when the partner is missing or the
    // two do not fit.
    // `bytes` are the source's own, from its first line on; the partner is
    // opened through `sources`.
    AbrSourceRows(const SourceFile& source, const AbrHeader& header,
                  std::unique_ptr<ByteSource> bytes, SourceReader& sources,
                  const MunicipalityMaster& master);
    ~AbrSourceRows() override;

    bool next(PositionRow& row) override;
    std::uint64_t bytesRead() const override { return pair_ ? pair_->bytesRead() : 0; }

    // A _pos file given as a source of its own: no rows.
    bool positionsOnly() const { return !pair_; }

    // Rows not stored, by kind; all zero for a _pos file.
    AbrCounts counts() const { return pair_ ? pair_->counts() : AbrCounts{}; }

  private:
    const MunicipalityMaster& master_;
    std::unique_ptr<AbrPairReader> pair_;  // none for a _pos file
    PlaneProjector projector_;
    std::optional<AbrPositionRow> row_;
};

// Whether the first line of a source (its bytes, as in the file) is a registry
// header, and which.
std::optional<AbrHeader> abrHeaderOf(std::string_view firstLine);

// The _pos partner of a dataset source, or the dataset of a _pos one, by name;
// nullopt for a name that is not a registry file's.
std::optional<SourceFile> abrPartnerOf(const SourceFile& source);

}  // namespace mrk2
