#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "import/MunicipalityMaster.h"
#include "import/SourceRows.h"

namespace mrk2 {

// Where a row's fld市区町村コード comes from, in this order: the row itself when
// its layout has the column; else the file name when it begins with five digits
// (per-municipality files); else the municipality master by prefecture and
// municipality name. A name the master does not know leaves the code NULL (the
// run's summary counts such towns): a per-prefecture file never gives "30_20".
class MunicipalityCodes {
  public:
    explicit MunicipalityCodes(const MunicipalityMaster& master) : master_(master) {}

    // The code of the rows of the next file, from its name (see SourceFile).
    void beginFile(std::optional<std::string> codeOfName) { ofName_ = std::move(codeOfName); }

    // The code of one row; nullopt when none is known. The view stays valid
    // until the next beginFile.
    std::optional<std::string_view> codeOf(const PositionRow& row);

  private:
    const MunicipalityMaster& master_;
    std::optional<std::string> ofName_;
    // The master's answer per prefecture and name, asked once per municipality.
    std::unordered_map<std::string, std::optional<std::string>> byName_;
    std::string key_;
};

}  // namespace mrk2
