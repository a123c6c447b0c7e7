#pragma once

namespace mrk2::ui {

// The pictures of the documentation: runs demo data through the desktop tool's
// windows (base database in dbDir, position CSV files in csvDir) and saves
// pictures of the main window, the CSV selection window, the progress window
// during a run, the directory chooser, the region map with a looked-up address,
// the postal file dialog, a question box and the learning dictionary editor after
// a directory change into outDir. Other message boxes are written to stderr
// instead of shown. Returns the process exit code.
int runScreenshotDemo(const char* dbDir, const char* csvDir, const char* outDir);

}  // namespace mrk2::ui
