#pragma once

namespace mrk2::serve {

// The page at `/`: an address box, a batch box, the answers' table and a map of
// the region's points (Leaflet, served under /leaflet/ from Debian's
// libjs-leaflet; no tiles from anywhere: the points are the map). A click on
// the map asks /reverse.
extern const char* const kWebPage;

}  // namespace mrk2::serve
