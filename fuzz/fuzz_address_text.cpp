// What a person or a request types for a lookup: an address as the lookup
// normalises it, a town name with numbers before 番, and a reverse lookup's
// "LAT LON" line. Nothing may crash, valid UTF-8 stays valid, and a point that
// is read lies within range.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "base/Utf8.h"
#include "lookup/AddressNormalizer.h"
#include "lookup/PointText.h"

using namespace mrk2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const bool valid = isValidUtf8(input);
    for (SeparatorMarks marks : {SeparatorMarks::Plain, SeparatorMarks::Kept}) {
        const std::string n = normalizeAddress(input, marks);
        FUZZ_CHECK(!valid || isValidUtf8(n));
    }
    const std::string digits = numeralsBeforeBanAsDigits(input);
    FUZZ_CHECK(!valid || isValidUtf8(digits));
    if (auto point = parsePointLine(input)) {
        FUZZ_CHECK(std::fabs(point->lat) <= 90);
        FUZZ_CHECK(std::fabs(point->lon) <= 180);
    }
    return 0;
}
