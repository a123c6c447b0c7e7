// The process's memory budget: shared by the runs going on, sizes as written.
#include "base/MemoryBudget.h"

#include <gtest/gtest.h>

#include "base/Error.h"

namespace mrk2::test {
namespace {

TEST(MemoryBudgetTest, RunsShareTheWholeAndAnEndedRunHandsItsShareOn) {
    MemoryBudget budget(96 << 20);
    const MemoryBudget::Share first(budget);
    EXPECT_EQ(first.bytes(), 96u << 20);
    {
        const MemoryBudget::Share second(budget);
        const MemoryBudget::Share third(budget);
        EXPECT_EQ(first.bytes(), 32u << 20);
    }
    EXPECT_EQ(first.bytes(), 96u << 20);
}

TEST(MemoryBudgetTest, SizesAreReadWithTheirUnitAndAtLeastOneMebibyte) {
    EXPECT_EQ(parseMemorySize("256M"), 256u << 20);
    EXPECT_EQ(parseMemorySize("1g"), 1u << 30);
    EXPECT_EQ(parseMemorySize("2048K"), 2u << 20);
    EXPECT_EQ(parseMemorySize("1048576"), 1u << 20);
    for (const char* bad : {"", "M", "256MB", "256 M", "-1", "512K", "0", "99999999999999G"})
        EXPECT_THROW(parseMemorySize(bad), Error) << bad;
    const std::size_t byDefault = defaultMemoryBudget();
    EXPECT_GE(byDefault, 16u << 20);
    EXPECT_LE(byDefault, 64u << 20);
}

}  // namespace
}  // namespace mrk2::test
