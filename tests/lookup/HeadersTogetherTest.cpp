// The engine's headers may be included together: none puts bare names such as
// Town or Block into the namespace they share.
#include <gtest/gtest.h>

#include "import/PositionLine.h"
#include "lookup/TownDirectory.h"

namespace mrk2::test {
namespace {

TEST(HeadersTogether, PositionEntriesAndTownsKeepTheirOwnNames) {
    PositionValues values;
    values[PositionEntry::Town] = "芝";
    Town town{"東京都", "港区", "芝", {}};
    EXPECT_EQ(town.fullName(), "東京都港区" + std::string(*values[PositionEntry::Town]));
}

}  // namespace
}  // namespace mrk2::test
