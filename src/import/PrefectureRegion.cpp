#include "import/PrefectureRegion.h"

#include "base/Error.h"
#include "base/RegionName.h"
#include "import/MunicipalityMaster.h"

namespace mrk2 {

void checkPrefectureRegion(const std::string& name, const std::string& source) {
    // One line, the name quoted: it comes from a row, and the source's path
    // follows it in the report.
    if (!isUsableRegionName(name))
        throw Error(FormatError::InvalidName, "都道府県名「" + name + "」は地域名に使えません。",
                    source);
    if (!MunicipalityMaster::builtIn().hasPrefecture(name))
        throw Error(FormatError::InvalidName,
                    "都道府県名「" + name + "」は都道府県の名前ではありません。", source);
}

}  // namespace mrk2
