// Writes deterministic position-reference CSV files (see bench/README.md).
#include <cstdlib>
#include <iostream>
#include <string>

#include "PositionCsvGenerator.h"
#include "base/Error.h"

namespace {

void usage(std::ostream& out) {
    out << "usage: gen_position_csv [--files N] [--rows N] [--layout 12|14] [--out DIR]\n"
           "                        [--seed N] [--towns POSTAL.CSV] [--utf8]\n"
           "  --files N     number of files, one municipality each (default 50)\n"
           "  --rows N      data lines over all files (default 1000000)\n"
           "  --layout L    12: default column layout, no header line (default)\n"
           "                14: MLIT block layout with a header line\n"
           "  --out DIR     existing output directory (default .)\n"
           "  --seed N      random seed; the same options give the same bytes (default 1)\n"
           "  --towns FILE  Japan Post postal CSV to take town names from\n"
           "                (default: "
        << mrk2::bench::defaultTownsPath()
        << ")\n"
           "  --utf8        write UTF-8 instead of CP932\n"
           "Prints the path of every file written, one per line.\n";
}

}  // namespace

int main(int argc, char** argv) {
    mrk2::bench::GeneratorOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << a << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        try {
            if (a == "--files")
                o.files = std::stoi(value());
            else if (a == "--rows")
                o.rows = std::stoll(value());
            else if (a == "--layout")
                o.layout = std::stoi(value());
            else if (a == "--out")
                o.outDir = value();
            else if (a == "--seed")
                o.seed = std::stoull(value());
            else if (a == "--towns")
                o.townsPath = value();
            else if (a == "--utf8")
                o.utf8 = true;
            else if (a == "--help" || a == "-h") {
                usage(std::cout);
                return 0;
            } else {
                usage(std::cerr);
                return 2;
            }
        } catch (const std::logic_error&) {
            std::cerr << a << ": not a number\n";
            return 2;
        }
    }
    try {
        for (const auto& f : mrk2::bench::generatePositionCsv(o))
            std::cout << f.path << "\n";
        if (o.layout == 14) {
            std::cerr << "read with POSINFOFIELDNO=" << mrk2::bench::fieldNumbersFor(14)
                      << " and POSINFOSTART=" << mrk2::bench::startLineFor(14) << "\n";
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "gen_position_csv: " << e.what() << "\n";
        return 1;
    }
}
