// GET /: the page; /leaflet/: Leaflet's own files, from the directory Debian puts them in.
#include <httplib.h>

#include "serve/Routes.h"
#include "serve/WebPage.h"

namespace mrk2::serve {

void installPageRoutes(httplib::Server& server, ServeContext&) {
    server.Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(kWebPage, "text/html; charset=utf-8");
    });
    server.set_mount_point("/leaflet", MRK2_LEAFLET_DIR);
}

}  // namespace mrk2::serve
