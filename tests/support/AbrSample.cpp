#include "support/AbrSample.h"

#include <cstdlib>
#include <stdexcept>

#include "import/AbrPairReader.h"
#include "import/AbrPositionRow.h"
#include "import/MunicipalityMaster.h"
#include "import/PlaneProjector.h"

namespace mrk2::test {

using enum PositionEntry;

namespace {

// "１丁目" -> "1".
std::string chomeNumber(std::string_view chome) {
    std::string out;
    for (std::size_t i = 0; i + 2 < chome.size() && chome.substr(i, 2) == "\xEF\xBC"; i += 3)
        out += static_cast<char>('0' + static_cast<unsigned char>(chome[i + 2]) - 0x90);
    return out;
}

}  // namespace

std::string extractAbrSample(const std::string& dir, const std::string& csvName) {
    const std::string out = dir + "/" + csvName;
    const std::string command = "unzip -p '" + std::string(MRK2_SAMPLE_DATA_DIR) + "/abr/" +
                                csvName + ".zip' > '" + out + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("cannot extract " + csvName);
    return out;
}

std::vector<AbrSampleRow> readAbrSample(const std::string& dir, const std::string& data,
                                        const std::string& pos) {
    AbrPairReader pair;
    pair.open(extractAbrSample(dir, data), extractAbrSample(dir, pos));
    PlaneProjector projector;
    std::vector<AbrSampleRow> out;
    while (pair.next()) {
        AbrPositionRow r(pair, MunicipalityMaster::builtIn(), projector);
        BlockRow row{r.value(Pref),  r.value(Muni), r.value(Town),
                     r.value(Block), r.value(Lat),  r.value(Lon)};
        row.residential = r.value(ResidenceFlag) == "1";
        out.push_back({row, std::string(pair.field(AbrColumn::OazaCho)),
                       chomeNumber(pair.field(AbrColumn::Chome)),
                       std::string(pair.field(AbrColumn::BlkNum)),
                       std::string(pair.field(AbrColumn::RsdtNum)),
                       std::string(pair.field(AbrColumn::RsdtNum2))});
    }
    return out;
}

}  // namespace mrk2::test
