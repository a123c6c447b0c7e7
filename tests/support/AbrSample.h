#pragma once
// The published Address Base Registry samples in data/abr, for the tests that
// read them.
#include <string>

#include "import/AbrPositionRow.h"

namespace mrk2::test {

// Extracts the CSV of a sample archive ("mt_parcel_city465054.csv") into `dir`
// and returns its path.
std::string extractAbrSample(const std::string& dir, const std::string& csvName);

// The municipality names of the samples' two municipalities, 文京区 and 屋久島町.
AbrMunicipalityNames sampleMunicipalities();

}  // namespace mrk2::test
