#pragma once
#include <array>
#include <string>

#include "base/Outcome.h"
#include "base/Person.h"
#include "base/ProgressSink.h"
#include "base/RunHost.h"
#include "base/StopControl.h"

namespace mrk2 {

struct NationalPostalRequest {
    std::string dbDir;    // holds the base database
    std::string csvPath;  // the national postal CSV
    int startLine = 1;    // its first data line, checked by the caller (StartLine.h)
    std::array<int, 7> columns{2, 3, 4, 5, 6, 7, 8};  // POSTALFIELDNO
    // The desktop tool ends with "処理を完了しました。" and the summary; mrk2cli
    // prints the outcome's summary itself.
    bool summaryInEndMessage = false;
};

// The national postal build: rebuilds POST of the base database from the CSV on
// a copy, then replaces the base database atomically. Refused when a check says
// no, Failed when the build fails (the text for the person in the outcome); the
// base database is then unchanged. Takes no writer lock: its starter holds it.
Outcome buildNationalPostal(const NationalPostalRequest& request, StopControl& stop,
                            ProgressSink& sink);

// What "更新" of the postal box and mrk2cli postal-build do, through the writers'
// starter (OperationStarter.h): the checks, then the build on the face's host
// (offered no Stop), and a failure told to the person. Completed with POST's rows before → after
// and the time in the outcome's summary.
Outcome startNationalPostalBuild(const NationalPostalRequest& request, Person& person,
                                 RunHost& host);

}  // namespace mrk2
