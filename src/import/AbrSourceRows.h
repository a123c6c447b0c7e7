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

    // Throws mrk2::Error (FormatError::RegistryFile) at the end of a dataset
    // none of whose rows the partner placed: the wrong _pos file, most likely.
    bool next(PositionRow& row) override;
    std::uint64_t bytesRead() const override { return pair_ ? pair_->bytesRead() : 0; }

    // Rows not stored are said, never dropped in silence.
    std::optional<std::string> note() const override;
    bool toldByKind() const override { return true; }
    std::int64_t rowsWithoutPosition() const override {
        return pair_ ? pair_->counts().withoutPosition : 0;
    }
    // The dataset, for a _pos file given as a source of its own.
    std::optional<SourceFile> rowsComeWith() const override;

  private:
    SourceFile source_;
    const MunicipalityMaster& master_;
    std::unique_ptr<AbrPairReader> pair_;  // none for a _pos file
    PlaneProjector projector_;
    std::optional<AbrPositionRow> row_;
};

}  // namespace mrk2
