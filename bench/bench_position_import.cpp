// Loads and extracts generated position-reference files with the import engine
// and compares the time with `sqlite3 .import` of the same rows.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "PositionCsvGenerator.h"
#include "base/Error.h"
#include "base/LineReader.h"
#include "base/ProgressSink.h"
#include "base/RunProgress.h"
#include "base/StartLine.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "import/PositionLoader.h"
#include "import/UniqueExtraction.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Nobody watches: the reports are only counted.
class QuietSink : public mrk2::ProgressSink {
  public:
    void progress(const mrk2::Progress&) override { ++reports; }
    long reports = 0;
};

long peakRssKiB() {
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

std::int64_t scalar(mrk2::Database& db, const std::string& sql) {
    mrk2::Statement st = db.prepare(sql);
    st.step();
    return st.int64(0);
}

struct EngineRun {
    Clock::duration schema{}, load{}, extract{};
    double total() const { return seconds(schema + load + extract); }
    std::int64_t distributed = 0, towns = 0;
    int tables = 0;
};

// One register-mode import of the files into a fresh work database, as the
// import run drives the engine. Throws on failure.
void runEngine(const std::vector<mrk2::bench::GeneratedFile>& files, int layout,
               const std::string& dbPath, QuietSink& person, EngineRun& run) {
    std::filesystem::remove(dbPath);
    mrk2::Database::open(dbPath, mrk2::Database::Mode::Create).close();
    mrk2::ConfiguredColumns positions;
    positions.startLine = mrk2::parseStartLine(mrk2::bench::startLineFor(layout));
    std::stringstream ss(mrk2::bench::fieldNumbersFor(layout));
    std::string num;
    for (std::size_t k = 0; k < 12 && std::getline(ss, num, ','); ++k)
        positions.columns[k] = std::stoi(num);
    const std::int32_t minRecs = 1000;  // MINRECS as the tool ships it
    mrk2::StopControl stop;
    mrk2::RunProgress progress(person, stop);
    progress.report().files = static_cast<int>(files.size());
    std::vector<std::string> prefs;

    auto s0 = Clock::now();
    mrk2::createPositionTables(dbPath);
    mrk2::TownTableCursor cursor;
    mrk2::addTownTable(dbPath, 1, cursor);
    run.schema += Clock::now() - s0;
    int n = 0;
    for (const auto& f : files) {
        ++n;
        auto a = Clock::now();
        mrk2::createStagingTable(dbPath);
        auto b = Clock::now();
        std::filesystem::path p(f.path);
        progress.beginFile(n, p.filename().string(), 0);
        progress.step(mrk2::ProgressStep::Staging);
        mrk2::loadPositionCsv(dbPath, {p.parent_path().string(), p.filename().string()}, positions,
                              progress, prefs, false);
        auto c = Clock::now();
        progress.step(mrk2::ProgressStep::Extracting);
        mrk2::getUniqueTable(dbPath, minRecs, cursor, progress);
        auto d = Clock::now();
        run.schema += b - a;
        run.load += c - b;
        run.extract += d - c;
    }
    mrk2::Database db = mrk2::Database::open(dbPath, mrk2::Database::Mode::ReadOnly);
    run.towns = scalar(db, "SELECT count(*) FROM POSITION");
    run.tables = cursor.tableNumber;
    for (int t = 1; t <= cursor.tableNumber; ++t)
        run.distributed += scalar(db, "SELECT count(*) FROM " + mrk2::townTableName(t));
}

// Wall time of `sqlite3 DB ".mode csv" ".import FILE t"`; negative on failure.
double timeSqliteImport(const std::string& importDb, const std::string& csvPath) {
    std::filesystem::remove(importDb);
    std::string importCmd = ".import " + csvPath + " t";
    auto i0 = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        execlp("sqlite3", "sqlite3", importDb.c_str(), ".mode csv", importCmd.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    double t = seconds(Clock::now() - i0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? t : -1;
}

}  // namespace

int main(int argc, char** argv) {
    mrk2::bench::GeneratorOptions gen;
    gen.rows = 1000000;
    gen.files = 50;
    std::string dir;
    bool keep = false;
    int repeat = 3;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--rows" && i + 1 < argc)
            gen.rows = std::stoll(argv[++i]);
        else if (a == "--files" && i + 1 < argc)
            gen.files = std::stoi(argv[++i]);
        else if (a == "--layout" && i + 1 < argc)
            gen.layout = std::stoi(argv[++i]);
        else if (a == "--repeat" && i + 1 < argc)
            repeat = std::max(1, std::stoi(argv[++i]));
        else if (a == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (a == "--keep")
            keep = true;
        else {
            std::cerr << "usage: bench_position_import [--rows N] [--files N] [--layout 12|14] "
                         "[--repeat N] [--dir DIR] [--keep]\n";
            return 2;
        }
    }
    if (dir.empty()) {
        std::string tmpl = (std::filesystem::temp_directory_path() / "mrk2bench.XXXXXX").string();
        if (!mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            return 1;
        }
        dir = tmpl;
    } else {
        std::filesystem::create_directories(dir);
    }
    std::filesystem::create_directories(dir + "/csv");
    gen.outDir = dir + "/csv";

    auto t0 = Clock::now();
    auto files = mrk2::bench::generatePositionCsv(gen);
    auto tGen = Clock::now() - t0;

    // The same data rows as one UTF-8 file with one header line, for sqlite3.
    const std::string utf8Path = dir + "/all_utf8.csv";
    {
        std::ofstream out(utf8Path, std::ios::binary);
        if (gen.layout == 12)
            out << "c0,c1,c2,c3,c4,c5,c6,c7,c8,c9,c10,c11\n";
        bool first = true;
        std::string line;
        for (const auto& f : files) {
            mrk2::LineReader r;
            r.open(f.path);
            if (gen.layout == 14 && r.next(line) && first)
                out << line << "\n";
            first = false;
            while (r.next(line))
                out << line << "\n";
        }
    }

    // The machine may be shared: each side runs `repeat` times, alternating, and
    // the fastest run of each is compared.
    QuietSink person;
    EngineRun best;
    double bestImport = -1;
    for (int r = 0; r < repeat; ++r) {
        EngineRun run;
        try {
            runEngine(files, gen.layout, dir + "/bench_$$$.mdb", person, run);
        } catch (const std::exception& e) {
            std::cerr << mrk2::standardErrorText(mrk2::asError(e)) << "\n";
            return 1;
        }
        if (r == 0 || run.total() < best.total())
            best = run;
        double t = timeSqliteImport(dir + "/import.db", utf8Path);
        if (t >= 0 && (bestImport < 0 || t < bestImport))
            bestImport = t;
    }
    long rss = peakRssKiB();
    double engine = best.total();

    std::printf("rows                 %lld in %zu files (layout %d), best of %d\n",
                static_cast<long long>(gen.rows), files.size(), gen.layout, repeat);
    std::printf("distributed rows     %lld, towns %lld, per-town tables %d\n",
                static_cast<long long>(best.distributed), static_cast<long long>(best.towns),
                best.tables);
    std::printf("generate             %.2f s (not counted)\n", seconds(tGen));
    std::printf("schema + staging     %.2f s\n", seconds(best.schema));
    std::printf("load (CSV -> TMP)    %.2f s\n", seconds(best.load));
    std::printf("extract (per-town)   %.2f s\n", seconds(best.extract));
    std::printf("engine total         %.2f s, %.0f rows/s\n", engine,
                static_cast<double>(gen.rows) / engine);
    std::printf("peak RSS             %.1f MB\n", rss / 1024.0);
    std::printf("reports              %ld (all runs)\n", person.reports);
    if (bestImport >= 0) {
        std::printf("sqlite3 .import      %.2f s\n", bestImport);
        std::printf("ratio engine/import  %.2f (target <= 3)\n", engine / bestImport);
    } else {
        std::printf("sqlite3 .import      failed (is sqlite3 installed?)\n");
    }
    if (!keep)
        std::filesystem::remove_all(dir);
    return best.distributed == gen.rows && bestImport >= 0 ? 0 : 1;
}
