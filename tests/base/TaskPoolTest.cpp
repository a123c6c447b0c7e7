// The national build's pool: a task's exception stays with that task.
#include "base/TaskPool.h"

#include <gtest/gtest.h>

namespace mrk2::test {
namespace {

TEST(TaskPoolTest, ATaskThatThrowsEndsOnlyItself) {
    std::vector<int> ran(9, 0);
    const auto errors = runTasks(ran.size(), 3, [&](std::size_t n) {
        ++ran[n];
        if (n == 4)
            throw 42;  // not even a std::exception
    });
    EXPECT_EQ(ran, std::vector<int>(9, 1));
    for (std::size_t n = 0; n < errors.size(); ++n)
        EXPECT_EQ(static_cast<bool>(errors[n]), n == 4) << n;
    EXPECT_TRUE(runTasks(0, 2, [](std::size_t) {}).empty());
}

}  // namespace
}  // namespace mrk2::test
