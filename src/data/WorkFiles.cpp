#include "data/WorkFiles.h"

#include "base/FileOps.h"

namespace mrk2 {

void removeDatabaseFiles(const std::string& path) {
    removeFile(path);
    removeFile(path + "-journal");
    removeFile(path + "-wal");
    removeFile(path + "-shm");
}

}  // namespace mrk2
