// Times the region map: reading every block point of a region database, and
// drawing them, at the size the window opens with, first in full view and then
// after zooming and panning. Runs offscreen.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "data/RegionPoints.h"
#include "ui/RegionMapCanvas.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::string db;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--db" && i + 1 < argc) {
            db = argv[++i];
        } else {
            std::cerr << "usage: bench_region_map --db REGION.mdb\n";
            return 2;
        }
    }
    if (db.empty()) {
        std::cerr << "bench_region_map: --db is required\n";
        return 2;
    }
    QElapsedTimer t;
    t.start();
    auto points = std::make_shared<mrk2::RegionPoints>(mrk2::readRegionPoints(db));
    const double read = t.nsecsElapsed() / 1e9;

    mrk2::ui::RegionMapCanvas canvas;
    canvas.resize(720, 560);
    canvas.show();
    QApplication::processEvents();
    t.restart();
    canvas.setPoints(points);
    canvas.repaint();
    const double first = t.nsecsElapsed() / 1e9;
    double worst = first;
    const int steps = 10;
    t.restart();
    for (int i = 0; i < steps; ++i) {
        QElapsedTimer one;
        one.start();
        canvas.zoomAt(QPointF(300 + i * 5, 250), i % 2 ? 0.8 : 1.5);
        canvas.repaint();
        worst = std::max(worst, one.nsecsElapsed() / 1e9);
    }
    const double average = t.nsecsElapsed() / 1e9 / steps;
    // A legend row clicked: one municipality found, brought into view and drawn
    // over the others dimmed.
    t.restart();
    canvas.setHighlight(0);
    canvas.repaint();
    const double highlight = t.nsecsElapsed() / 1e9;
    worst = std::max(worst, highlight);
    std::printf("points               %zu in %zu municipalities\n", points->points.size(),
                points->municipalities.size());
    std::printf("read (background)    %.3f s\n", read);
    std::printf("first draw           %.3f s (colours included)\n", first);
    std::printf("redraw after zoom    %.3f s on average, worst draw %.3f s (target < 1 s)\n",
                average, worst);
    std::printf("highlight            %.3f s\n", highlight);
    std::printf("renders              %d\n", canvas.renders());
    return worst < 1.0 ? 0 : 1;
}
