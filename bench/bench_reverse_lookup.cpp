// Times the reverse lookup on a region database: building its point index (on a
// copy, as a run builds it in its work file), opening a ReverseLookup, and
// answering points near rows of the region, on one thread and on two sharing
// one lookup. Writes the points as "LAT LON" lines for `mrk2cli reverse -`.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "SplitMix64.h"
#include "data/Database.h"
#include "data/PointIndex.h"
#include "lookup/ReverseLookup.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// User and system time of this process so far: on a shared machine the steadier
// figure.
double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

using Random = SplitMix64;

// Rows of the region, each moved by up to about 100 m: what a click on a map
// or a GPS fix near an address asks.
std::vector<mrk2::ReverseQuery> samplePoints(mrk2::Database& db, int count) {
    std::vector<std::string> tables;
    {
        mrk2::Statement st =
            db.prepare("SELECT DISTINCT fldTableName FROM POSITION WHERE fldTableName IS NOT NULL");
        while (st.step())
            tables.push_back(st.text(0));
    }
    Random rnd(26);
    std::vector<mrk2::ReverseQuery> out;
    while (static_cast<int>(out.size()) < count) {
        mrk2::Statement st =
            db.prepare("SELECT fld緯度, fld経度 FROM \"" + tables[rnd.below(tables.size())] +
                       "\" ORDER BY random() LIMIT 1");
        if (!st.step() || st.isNull(0))
            continue;
        mrk2::ReverseQuery q;
        q.lat = std::stod(st.text(0)) + (static_cast<double>(rnd.below(2001)) - 1000) * 1e-6;
        q.lon = std::stod(st.text(1)) + (static_cast<double>(rnd.below(2001)) - 1000) * 1e-6;
        out.push_back(q);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dbPath, pointsPath;
    int count = 10000;
    bool buildOnly = false;  // build the index in the given file itself, then stop
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--build-in-place") {
            buildOnly = true;
            continue;
        }
        if (i + 1 >= argc)
            break;
        if (a == "--db")
            dbPath = argv[i + 1];
        else if (a == "--count")
            count = std::stoi(argv[i + 1]);
        else if (a == "--write-points")
            pointsPath = argv[i + 1];
        ++i;
    }
    if (dbPath.empty()) {
        std::cerr << "usage: bench_reverse_lookup --db REGION.mdb [--count N] "
                     "[--write-points FILE] [--build-in-place]\n";
        return 2;
    }
    try {
        if (buildOnly) {
            mrk2::Database work = mrk2::Database::open(dbPath);
            work.useFastUnsafePragmas();
            const double c0 = cpuSeconds();
            mrk2::Transaction tx(work);
            mrk2::buildPointIndex(work);
            tx.commit();
            std::printf("index build          %.3f s CPU\n", cpuSeconds() - c0);
            return 0;
        }
        std::vector<mrk2::ReverseQuery> points;
        {
            mrk2::Database db = mrk2::Database::open(dbPath, mrk2::Database::Mode::ReadOnly);
            points = samplePoints(db, count);
            const std::string copy = dbPath + ".bench-copy";
            std::remove(copy.c_str());
            db.exec("VACUUM INTO '" + copy + "'");
            mrk2::Database work = mrk2::Database::open(copy);
            work.useFastUnsafePragmas();
            auto t0 = Clock::now();
            const double c0 = cpuSeconds();
            mrk2::Transaction tx(work);
            mrk2::buildPointIndex(work);
            tx.commit();
            std::printf("index build          %.3f s wall %.3f s CPU\n", seconds(Clock::now() - t0),
                        cpuSeconds() - c0);
            work.close();
            std::remove(copy.c_str());
        }
        if (!pointsPath.empty()) {
            std::ofstream out(pointsPath);
            out.precision(9);
            for (const auto& q : points)
                out << q.lat << " " << q.lon << "\n";
        }
        auto t0 = Clock::now();
        mrk2::ReverseLookup reverse(dbPath);
        std::printf("open                 %.3f s\n", seconds(Clock::now() - t0));
        std::size_t answered = 0;
        t0 = Clock::now();
        const double c0 = cpuSeconds();
        for (const auto& q : points)
            answered += !reverse.nearest(q).empty();
        std::printf("%d points, 1 thread %.3f s wall %.3f s CPU (%zu answered)\n", count,
                    seconds(Clock::now() - t0), cpuSeconds() - c0, answered);
        t0 = Clock::now();
        std::vector<std::thread> threads;
        for (int t = 0; t < 2; ++t)
            threads.emplace_back([&, t] {
                for (std::size_t i = static_cast<std::size_t>(t); i < points.size(); i += 2)
                    reverse.nearest(points[i]);
            });
        for (auto& t : threads)
            t.join();
        std::printf("%d points, 2 threads %.3f s\n", count, seconds(Clock::now() - t0));
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
