#include "support/AbrSample.h"

#include <cstdlib>
#include <stdexcept>

namespace mrk2::test {

std::string extractAbrSample(const std::string& dir, const std::string& csvName) {
    const std::string out = dir + "/" + csvName;
    const std::string command = "unzip -p '" + std::string(MRK2_SAMPLE_DATA_DIR) + "/abr/" +
                                csvName + ".zip' > '" + out + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("cannot extract " + csvName);
    return out;
}

AbrMunicipalityNames sampleMunicipalities() {
    return [](std::string_view code) -> std::optional<AbrMunicipality> {
        if (code == "131059")
            return AbrMunicipality{"東京都", "", "文京区", ""};
        if (code == "465054")
            return AbrMunicipality{"鹿児島県", "熊毛郡", "屋久島町", ""};
        return std::nullopt;
    };
}

}  // namespace mrk2::test
