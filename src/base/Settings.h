#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/MemoryBudget.h"

namespace mrk2 {

// A system fixed name of the settings file (FIXEDTERM_0001…): "code,name".
struct FixedTerm {
    int code = 0;
    std::string name;
};

// The settings file (mrk2tool.ini, section MRK) as it was read at start-up. It is
// read once and not changed afterwards; what a window changes during a session
// it keeps itself and writes back through the save functions of Config.h.
struct Settings {
    std::string iniPath;
    std::string dbDir;            // DBDIR
    std::string regionFileName;   // PREFDIR: the last region, as its file name
    std::string inputDir;         // INPUTDIR
    std::string outputDir;        // OUTPUTDIR
    std::string delimiter = ",";  // DELIMITER
    // Start lines as written; they are checked where a run starts (StartLine.h).
    std::string posInfoStart = "1";                                            // POSINFOSTART
    std::string postalStart = "1";                                             // POSTALSTART
    std::string postalPath;                                                    // POSTALPATH
    std::int32_t minRecs = 1000;                                               // MINRECS
    std::size_t memoryBudget = defaultMemoryBudget();                          // MEMORY
    std::array<int, 12> posInfoColumns{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};  // POSINFOFIELDNO
    std::array<int, 7> postalColumns{2, 3, 4, 5, 6, 7, 8};                     // POSTALFIELDNO
    std::vector<FixedTerm> fixedTerms;  // at most kMaxFixedTerms
};

}  // namespace mrk2
