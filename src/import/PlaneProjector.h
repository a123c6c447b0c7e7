#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace mrk2 {

// A point in a plane rectangular zone, in metres, as MLIT writes it: X is the
// northing and Y the easting.
struct PlanePoint {
    double x = 0, y = 0;
};

// Projects latitude and longitude into the plane rectangular zones with PROJ.
// The transformation of each datum and zone is made once, on first use, and
// kept: an import projects hundreds of thousands of points into a few zones.
// Not for use from more than one thread.
class PlaneProjector {
  public:
    PlaneProjector();
    ~PlaneProjector();
    PlaneProjector(const PlaneProjector&) = delete;
    PlaneProjector& operator=(const PlaneProjector&) = delete;

    // `srid` is the datum of the latitude and longitude as the Address Base
    // Registry names it: EPSG:6668 (JGD2011), EPSG:4612 (JGD2000) or EPSG:4301
    // (Tokyo). nullopt for another datum, a zone outside 1..19 or a point PROJ
    // cannot project. Throws mrk2::Error when PROJ cannot make the
    // transformation (no proj.db). PROJ's own messages are never printed: what
    // fails is told by the caller, in the operator's words.
    std::optional<PlanePoint> project(std::string_view srid, int zone, double lat, double lon);

    // Whether `srid` names a datum project() knows.
    static bool knowsDatum(std::string_view srid);

  private:
    struct Context;
    struct Transform;
    Transform& transform(int geographic, int projected);

    std::unique_ptr<Context> context_;
    std::map<std::pair<int, int>, std::unique_ptr<Transform>> transforms_;  // by EPSG codes
};

}  // namespace mrk2
