// The national build's regions run in a pool: whatever escapes one region's run
// becomes that region's failure, and the others are built.
#include "import/BatchImport.h"

#include <gtest/gtest.h>

#include "import/RegionFixture.h"

namespace mrk2::test {
namespace {

// Throws from inside the run of one region, something no run catches.
class ThrowingSink : public BatchProgressSink {
  public:
    void planned(const std::vector<BatchRegion>& regions) override { regions_ = regions; }
    void regionProgress(std::size_t index, const Progress&) override {
        if (regions_[index].region == "鳥取県")
            throw 42;
    }
    void regionFinished(std::size_t index, const BatchRegion& region) override {
        finished_.push_back(region.region + ":" + std::to_string(index));
    }
    std::vector<BatchRegion> regions_;
    std::vector<std::string> finished_;
};

class BatchImportTest : public ::testing::Test, public RegionFixture {};

TEST_F(BatchImportTest, ARegionWhoseRunThrowsFailsAloneInsteadOfEndingTheProcess) {
    BatchRequest batch;
    batch.dbDir = dir.path();
    batch.jobs = 2;
    for (const char* pref : {"和歌山県", "鳥取県", "島根県"}) {
        SourceFile f = writeCsv(std::string(pref) + ".csv", blocks(pref, "市", "町", 30));
        batch.paths.push_back(f.path());
    }
    ThrowingSink sink;
    StopControl stop;
    const BatchOutcome result = runBatchImport(batch, stop, sink);
    EXPECT_EQ(result.outcome.kind, Outcome::Kind::Failed);
    ASSERT_EQ(result.regions.size(), 3u);
    for (const BatchRegion& r : result.regions) {
        SCOPED_TRACE(r.region);
        const bool thrower = r.region == "鳥取県";
        EXPECT_EQ(r.outcome.kind, thrower ? Outcome::Kind::Failed : Outcome::Kind::Completed);
        EXPECT_EQ(fileExists(dir.file(r.region + ".mdb")), !thrower);
    }
    EXPECT_EQ(sink.finished_.size(), 3u);
}

}  // namespace
}  // namespace mrk2::test
