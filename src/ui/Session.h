#pragma once
#include <string>
#include <vector>

#include "base/FileNames.h"
#include "base/Settings.h"
#include "base/SourceFile.h"
#include "base/StopControl.h"

namespace mrk2::ui {

// What the windows of one desktop session share: the settings as read at
// start-up and what the operator has chosen since. Only windows read it; an
// operation gets what it needs as a request.
struct Session {
    Settings settings;

    std::string dbDir;                // the directory the main window names now
    std::string regionFileName;       // the region last left in the region box, + ".mdb"
    std::string regionName;           // the region box's text
    std::vector<SourceFile> sources;  // the sources chosen for the next run
    // The main window's boxes, written back when it closes.
    std::string posInfoStart;
    std::string postalStart;
    std::string postalPath;

    bool running = false;         // a run is going on
    bool forceQuit = false;       // the tool is closing during a run
    StopControl* stop = nullptr;  // the running run's Stop

    std::string baseDbPath() const { return files::baseDbPath(dbDir); }
    std::string regionDbPath() const { return files::regionDbPath(dbDir, regionName); }
};

}  // namespace mrk2::ui
