// SQLite is the data layer's own: the layers above, the faces, the tests and
// the benchmarks reach it only through src/data, so that it can be linked to
// that layer alone and its calls kept in one place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(SqliteConfinement, NothingOutsideTheDataLayerIncludesSqlite3h) {
    const fs::path root = MRK2_SOURCE_DIR;
    const std::string include = std::string("<sqlite3") + ".h>";  // not found in this file
    std::string offenders;
    for (const char* dir : {"src", "tests", "bench", "fuzz"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / dir)) {
            const fs::path& p = entry.path();
            if (!entry.is_regular_file() || (p.extension() != ".cpp" && p.extension() != ".h"))
                continue;
            if (p.parent_path() == root / "src" / "data")
                continue;
            std::ifstream in(p);
            std::stringstream text;
            text << in.rdbuf();
            if (text.str().find(include) != std::string::npos)
                offenders += fs::relative(p, root).string() + " ";
        }
    }
    EXPECT_EQ(offenders, "");
}

}  // namespace
