#include "app/Config.h"

#include "app/Paths.h"

namespace mrk2 {

std::string defaultIniPath() {
    return addPathSeparator(executableDir()) + "mrk2tool.ini";
}

// Placeholder until the INI layer lands: every key takes its default.
bool loadIniFile(AppState&, Person&) {
    return true;
}
void saveIniFile(const AppState&) {}
void saveStartLines(const AppState&) {}

}  // namespace mrk2
