// Plane rectangular coordinates: the zone of a point and its X/Y.
#include <gtest/gtest.h>

#include "import/PlaneProjector.h"
#include "import/PlaneZone.h"

namespace mrk2 {
namespace {

TEST(PlaneCoordinatesTest, ZonesByPrefectureAndTheirExceptions) {
    struct Case {
        const char* code;
        double lat, lon;
        int zone;
    };
    const Case cases[] = {
        {"131059", 35.71, 139.75, 9},   // 文京区
        {"13421", 27.09, 142.19, 14},   // 小笠原村, 父島
        {"13421", 20.42, 136.08, 18},   // 小笠原村, 沖ノ鳥島
        {"13421", 24.28, 153.98, 19},   // 小笠原村, 南鳥島
        {"012033", 43.19, 141.00, 11},  // 小樽市
        {"01403", 43.07, 140.51, 11},   // 古宇郡泊村
        {"01696", 43.95, 145.60, 13},   // 国後郡泊村
        {"011011", 43.06, 141.35, 12},  // 札幌市中央区
        {"01207", 42.92, 143.20, 13},   // 帯広市
        {"282014", 34.82, 134.69, 5},   // 姫路市
        {"472018", 26.21, 127.68, 15},  // 那覇市
        {"472077", 24.34, 124.16, 16},  // 石垣市
        {"473570", 25.84, 131.24, 17},  // 南大東村
        {"465054", 30.35, 130.53, 2},   // 屋久島町
        {"462225", 28.38, 129.49, 1},   // 奄美市
        {"46529", 28.32, 130.00, 1},    // 喜界町: east of 130°, inside Amami's edge
        {"462152", 31.81, 129.85, 1},   // 薩摩川内市, 甑島
        {"462152", 31.81, 130.30, 2},   // 薩摩川内市, mainland
        {"99999", 35.0, 135.0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(planeZone(c.code, c.lat, c.lon), c.zone) << c.code << " " << c.lat;
}

// `echo 35.715149108 139.752436911 | cs2cs -f %.4f EPSG:6668 EPSG:6677` gives
// -31599.8421 -7319.3285: the first house of 白山一丁目 in zone IX.
TEST(PlaneCoordinatesTest, XAndYAsPROJGivesThem) {
    PlaneProjector projector;
    auto p = projector.project("EPSG:6668", 9, 35.715149108, 139.752436911);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->x, -31599.8421, 0.001);
    EXPECT_NEAR(p->y, -7319.3285, 0.001);
    EXPECT_FALSE(projector.project("EPSG:9999", 9, 35.7, 139.7));
    EXPECT_FALSE(projector.project("EPSG:6668", 20, 35.7, 139.7));
}

}  // namespace
}  // namespace mrk2
