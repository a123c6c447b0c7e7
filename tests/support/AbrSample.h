#pragma once
// The published Address Base Registry samples in data/abr, for the tests that
// read them.
#include <string>
#include <vector>

#include "support/RegionBuilder.h"

namespace mrk2::test {

// Extracts the CSV of a sample archive ("mt_parcel_city465054.csv") into `dir`
// and returns its path.
std::string extractAbrSample(const std::string& dir, const std::string& csvName);

// A registry row as it would be stored, with the parts an address writes.
struct AbrSampleRow {
    BlockRow row;
    std::string oaza, chomeNumber, blk, rsdt, rsdt2;  // chomeNumber: "1" for "１丁目"
};

// The rows of a sample dataset that have a position, joined with its _pos
// partner and written as position values with the built-in municipality master.
std::vector<AbrSampleRow> readAbrSample(const std::string& dir, const std::string& data,
                                        const std::string& pos);

}  // namespace mrk2::test
