// The point index travels with the region: built in the run's work file and
// renamed in with it, so reverse lookups never see the rows of an older file.
#include <gtest/gtest.h>

#include "base/Error.h"
#include "data/PointIndex.h"
#include "import/RegionFixture.h"
#include "lookup/ReverseLookup.h"

namespace mrk2::test {
namespace {

// Blocks of one town on a line of latitude, 0.001 degree (about 110 m) apart.
SourceFile writePoints(RegionFixture& f, const std::string& name, const std::string& muni,
                       const std::string& town, double lat0, int n) {
    std::string csv;
    for (int i = 0; i < n; ++i)
        csv += "東京都," + muni + "," + town + "," + std::to_string(i + 1) + ",9,0,0," +
               std::to_string(lat0 + i * 0.001) + ",139.7,,1,0\r\n";
    std::string p = f.csvDir.write(name, sjis(csv));
    setModifiedTime(p, 1600000000);
    return {f.csvDir.path(), name};
}

std::string nearestTown(const std::string& region, double lat) {
    ReverseLookup reverse(region);
    auto found = reverse.nearest({lat, 139.7});
    return found.empty() ? "" : found.front().address.town + found.front().address.point.block;
}

class PointIndexRunTest : public ::testing::Test, public RegionFixture {
  protected:
    void SetUp() override { selectRegion("東京"); }
};

TEST_F(PointIndexRunTest, RegisterAndUpdateReplaceTheIndexWithTheRegion) {
    request.sources = {writePoints(*this, "a.csv", "千代田区", "一番町", 35.60, 3),
                       writePoints(*this, "b.csv", "中央区", "二番町", 35.70, 3)};
    ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(nearestTown(regionPath(), 35.6011), "一番町2");
    EXPECT_EQ(nearestTown(regionPath(), 35.7019), "二番町3");

    // b.csv leaves the region: its points leave the index in the same replace.
    request.sources.pop_back();
    ASSERT_EQ(run(ImportMode::Update), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(nearestTown(regionPath(), 35.7019), "");
    EXPECT_EQ(nearestTown(regionPath(), 35.6019), "一番町3");

    // A register from other files keeps nothing of the old index.
    request.sources = {writePoints(*this, "c.csv", "千代田区", "三番町", 35.60, 1)};
    ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(nearestTown(regionPath(), 35.6019), "三番町1");
}

TEST_F(PointIndexRunTest, ARegionWithoutAnIndexGetsItFromAnUpdateThatFindsNothingChanged) {
    request.sources = {writePoints(*this, "a.csv", "千代田区", "一番町", 35.60, 2)};
    ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    {
        Database db = Database::open(regionPath());
        db.exec("DROP TABLE POSITION索引");
    }
    try {
        ReverseLookup reverse(regionPath());
        FAIL() << "a region without an index was opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), FormatError::NotFound);
    }
    ASSERT_EQ(run(ImportMode::Update), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(nearestTown(regionPath(), 35.6), "一番町1");
    // Once there, an update with nothing to do leaves the file alone.
    EXPECT_EQ(run(ImportMode::Update), Outcome::Kind::NothingToDo) << person.allMessages();
}

}  // namespace
}  // namespace mrk2::test
