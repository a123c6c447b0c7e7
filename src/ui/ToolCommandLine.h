#pragma once
#include <string>
#include <vector>

namespace mrk2::ui {

// The options of the desktop tool. Qt's own options (-platform …) are taken out by
// QApplication before the strict reading; --help and --version are looked for
// before QApplication exists, so that they answer without a display.
struct ToolOptions {
    bool help = false;
    bool version = false;
    std::string ini;    // --ini FILE; empty when not given
    std::string error;  // the first word that is no option of ours, or a missing value
};

// Reads every argument after the program name; an unknown one does not stop the
// reading, so that --help is still seen behind a Qt option.
ToolOptions parseToolOptions(const std::vector<std::string>& args);

std::string toolHelpText();

}  // namespace mrk2::ui
