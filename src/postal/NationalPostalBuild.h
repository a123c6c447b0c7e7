#pragma once
#include <array>
#include <string>

#include "app/Outcome.h"
#include "app/Person.h"
#include "app/StopControl.h"

namespace mrk2 {

struct NationalPostalRequest {
    std::string dbDir;    // holds the base database
    std::string csvPath;  // the national postal CSV
    int startLine = 1;    // its first data line, checked by the caller (StartLine.h)
    std::array<int, 7> columns{2, 3, 4, 5, 6, 7, 8};  // POSTALFIELDNO
};

// The national postal build ("更新"): rebuilds POST of the base database from the
// CSV on a copy, then replaces the base database atomically. Failed (told to the
// person) when a check refuses it or the build fails; the base database is then
// unchanged.
Outcome buildNationalPostal(const NationalPostalRequest& request, StopControl& stop,
                            Person& person);

}  // namespace mrk2
