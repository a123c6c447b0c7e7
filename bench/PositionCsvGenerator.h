#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mrk2::bench {

// Deterministic position-reference CSV files for benchmarks and demos: the same
// options always give the same bytes.
struct GeneratorOptions {
    int files = 50;
    std::int64_t rows = 1000000;  // data lines over all files
    int layout = 12;              // 12: the tool's default columns; 14: the MLIT block layout
    std::string outDir = ".";
    std::uint64_t seed = 1;
    std::string townsPath;  // a Japan Post postal CSV; empty: the default one
    bool utf8 = false;      // write UTF-8 instead of CP932
};

struct GeneratedFile {
    std::string path;
    std::string code;  // municipality code, the first five characters of the name
    std::int64_t rows = 0;
};

// The postal CSV whose town names are used when none is given: the shared sample
// when it is there, otherwise the copy bundled with the benchmarks.
std::string defaultTownsPath();

// Writes the files; throws std::runtime_error or mrk2::Error on failure.
std::vector<GeneratedFile> generatePositionCsv(const GeneratorOptions& options);

// POSINFOFIELDNO and POSINFOSTART that read a layout.
std::string fieldNumbersFor(int layout);
std::string startLineFor(int layout);

}  // namespace mrk2::bench
