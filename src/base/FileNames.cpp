#include "base/FileNames.h"

#include "base/Paths.h"

namespace mrk2::files {

std::string regionDbFileName(const std::string& region) {
    return region + kDbExtension;
}

std::string baseDbPath(const std::string& dbDir) {
    return joinPath(dbDir, kBaseDb);
}

std::string regionDbPath(const std::string& dbDir, const std::string& region) {
    return joinPath(dbDir, regionDbFileName(region));
}

std::string regionWorkPath(const std::string& dbDir, const std::string& region) {
    return joinPath(dbDir, region + kRegionWorkSuffix + kDbExtension);
}

std::string regionCompactedPath(const std::string& dbDir, const std::string& region) {
    return joinPath(dbDir, region + kRegionCompactedSuffix + kDbExtension);
}

std::string postalWorkPath(const std::string& dbDir) {
    return joinPath(dbDir, kPostalWork);
}

std::string postalCompactedPath(const std::string& dbDir) {
    return joinPath(dbDir, kPostalCompacted);
}

}  // namespace mrk2::files
