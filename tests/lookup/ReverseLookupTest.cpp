// Reverse lookup: the nearest rows of a region to a point, with their levels and
// distances, from the point index.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "base/Error.h"
#include "data/Database.h"
#include "data/PointIndex.h"
#include "lookup/PointText.h"
#include "lookup/ReverseLookup.h"
#include "support/RegionBuilder.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

// A house, a block, a parcel and a town point 0.001 degree of latitude apart
// (111.2 m), and a second source's block two kilometres to the north.
const std::vector<BlockRow> kRows = {
    {"東京都", "千代田区", "丸の内一丁目", "1-2", "35.680", "139.767"},
    {"東京都", "千代田区", "丸の内一丁目", "3", "35.681", "139.767"},
    {"東京都", "千代田区", "大手町", "123-4", "35.682", "139.767", false, false},
    {"東京都", "千代田区", "皇居外苑", "", "35.683", "139.767"},
};

class ReverseLookupTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = new TempDir;
        RegionBuilder region(dir->file("東京.mdb"));
        region.addSource("13101.csv", "2024-01-01 00:00:00", kRows);
        region.addSource("13102.csv", "2024-01-01 00:00:00",
                         {{"東京都", "千代田区", "一番町", "7", "35.700", "139.767"}});
        Database db = Database::open(region.path());
        buildPointIndex(db);
        reverse = new ReverseLookup(region.path());
    }
    static void TearDownTestSuite() {
        delete reverse;
        delete dir;
    }
    static TempDir* dir;
    static ReverseLookup* reverse;
};

TempDir* ReverseLookupTest::dir = nullptr;
ReverseLookup* ReverseLookupTest::reverse = nullptr;

TEST_F(ReverseLookupTest, APublishedPointGivesItsOwnRowAtItsLevel) {
    const MatchLevel levels[] = {MatchLevel::House, MatchLevel::Block, MatchLevel::Parcel,
                                 MatchLevel::Town};
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        auto found = reverse->nearest({std::stod(kRows[i].lat), std::stod(kRows[i].lon)});
        ASSERT_EQ(found.size(), 1u) << i;
        const LookupResult& r = found[0].address;
        EXPECT_EQ(r.pref + r.muni + r.town, "東京都千代田区" + *kRows[i].town);
        EXPECT_EQ(r.point.block, kRows[i].block);
        EXPECT_EQ(r.point.lat, kRows[i].lat);
        EXPECT_EQ(r.point.table, "POSITION_0001");
        EXPECT_EQ(r.level, levels[i]) << i;
        EXPECT_EQ(found[0].metres, 0);
    }
}

TEST_F(ReverseLookupTest, NearestFirstAndNothingBeyondTheDistance) {
    auto found = reverse->nearest({35.6804, 139.767, 3});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].address.point.block, "1-2");
    EXPECT_EQ(found[1].address.point.block, "3");
    EXPECT_EQ(found[2].address.point.block, "123-4");
    EXPECT_NEAR(found[0].metres, 44.5, 0.1);
    EXPECT_NEAR(found[1].metres, 66.7, 0.1);

    // 一番町 lies 1,890 m north of 皇居外苑: out of the default reach, in a wider one.
    EXPECT_TRUE(reverse->nearest({35.7189, 139.767}).empty());
    found = reverse->nearest({35.7189, 139.767, 1, 2500});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].address.town, "一番町");
    EXPECT_NEAR(found[0].metres, 2101.6, 0.5);
    // A limit beyond the rows gives every row, still in order.
    found = reverse->nearest({35.680, 139.767, 10, 5000});
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[4].address.town, "一番町");
}

TEST_F(ReverseLookupTest, QueriesOutOfRangeAreRefused) {
    for (ReverseQuery q :
         {ReverseQuery{91, 0}, ReverseQuery{0, -180.5}, ReverseQuery{0, 0, 0},
          ReverseQuery{0, 0, 1, 0}, ReverseQuery{0, 0, 1, 1e9}, ReverseQuery{std::nan(""), 0}}) {
        try {
            reverse->nearest(q);
            ADD_FAILURE() << q.lat << " " << q.lon << " " << q.limit << " " << q.maxMetres;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), FormatError::OutOfRange);
        }
    }
}

TEST_F(ReverseLookupTest, ThreadsShareOneLookupAndGetTheAnswersOfOne) {
    auto answers = [&] {
        std::string out;
        for (int i = 0; i < 200; ++i)
            for (const NearbyAddress& a : reverse->nearest({35.679 + i * 0.0001, 139.767, 2}))
                out += a.address.town + a.address.point.block + ";";
        return out;
    };
    const std::string expected = answers();
    std::vector<std::string> got(4);
    std::vector<std::thread> threads;
    for (std::string& g : got)
        threads.emplace_back([&] { g = answers(); });
    for (std::thread& t : threads)
        t.join();
    for (const std::string& g : got)
        EXPECT_EQ(g, expected);
}

TEST_F(ReverseLookupTest, AnIndexBuiltInPiecesHoldsTheSameCells) {
    auto cells = [](Database& db) {
        std::vector<std::string> out;
        Statement st = db.prepare("SELECT fldCell, hex(fldPoints) FROM POSITION索引 ORDER BY 1");
        while (st.step())
            out.push_back(st.text(0) + ":" + st.text(1));
        return out;
    };
    Database db = Database::open(dir->file("東京.mdb"), Database::Mode::ReadOnly);
    const auto whole = cells(db);
    std::string copy = dir->file("pieces.mdb");
    db.exec("VACUUM INTO '" + copy + "'");
    Database pieces = Database::open(copy);
    buildPointIndex(pieces, {}, 2);
    EXPECT_EQ(cells(pieces), whole);
    std::size_t hexDigits = 0;
    for (const std::string& cell : whole)
        hexDigits += cell.size() - cell.find(':') - 1;
    EXPECT_EQ(hexDigits, 5u * 32);  // every point once, 16 bytes each
}

TEST(PointTextTest, CoordinatesAsPeopleWriteThemAndNothingElse) {
    for (const char* line : {"35.68 139.76", "35.68,139.76", " 35.68 , 139.76 \r", "35.68\t139.76",
                             "+35.68\u3000139.76", "35 139"}) {
        auto p = parsePointLine(line);
        ASSERT_TRUE(p) << line;
        EXPECT_NEAR(p->lat, std::string(line).find("35.68") != std::string::npos ? 35.68 : 35,
                    1e-12);
    }
    for (const char* line :
         {"", "35.68", "35.68 139.76 1", "35.68,,139.76", ",35.68 139.76", "91 139", "35 181",
          "NaN 139", "inf 139", "1e1 139", "0x10 139", "35.6.8 139", "-.  139", "３５ １３９"})
        EXPECT_FALSE(parsePointLine(line)) << line;
    EXPECT_EQ(parseLongitude("-180"), -180.0);
    EXPECT_FALSE(parseLatitude("90.0001"));
}

}  // namespace
}  // namespace mrk2::test
