// Loads and extracts generated position-reference files with the import engine
// and compares the time with `sqlite3 .import` of the same rows.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "PositionCsvGenerator.h"
#include "app/AppState.h"
#include "app/LineReader.h"
#include "app/Person.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "import/PositionLoader.h"
#include "import/UniqueExtraction.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Nobody at the keyboard: every message goes to stderr, nothing is asked.
class QuietPerson : public mrk2::Person {
  public:
    void message(const std::string& text, mrk2::Icon) override { std::cerr << text << "\n"; }
    bool askYesNo(const std::string& text) override {
        std::cerr << text << "\n";
        return false;
    }
    bool askOkCancel(const std::string&) override { return false; }
    mrk2::Answer askYesNoCancel(const std::string&) override { return mrk2::Answer::Cancel; }
    void showProgress(bool) override {}
    void setProgressLabel(mrk2::ProgressLabel, const std::string&) override { ++labels; }
    void closeProgress() override {}
    void yield() override { ++yields; }
    void buttonEnabled(bool) override {}
    void showSelectionWindow(bool) override {}
    long labels = 0;
    long yields = 0;
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

}  // namespace

int main(int argc, char** argv) {
    mrk2::bench::GeneratorOptions gen;
    gen.rows = 1000000;
    gen.files = 50;
    std::string dir;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--rows" && i + 1 < argc)
            gen.rows = std::stoll(argv[++i]);
        else if (a == "--files" && i + 1 < argc)
            gen.files = std::stoi(argv[++i]);
        else if (a == "--layout" && i + 1 < argc)
            gen.layout = std::stoi(argv[++i]);
        else if (a == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (a == "--keep")
            keep = true;
        else {
            std::cerr << "usage: bench_position_import [--rows N] [--files N] [--layout 12|14] "
                         "[--dir DIR] [--keep]\n";
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

    // The engine, as an import run drives it in register mode.
    const std::string dbPath = dir + "/bench_$$$.mdb";
    std::filesystem::remove(dbPath);
    mrk2::Database::open(dbPath, mrk2::Database::Mode::Create).close();
    mrk2::AppState state;
    state.blnProcessing = true;
    state.strPosInfoStart = mrk2::bench::startLineFor(gen.layout);
    {
        std::stringstream ss(mrk2::bench::fieldNumbersFor(gen.layout));
        std::string n;
        for (int k = 0; k < 12 && std::getline(ss, n, ','); ++k)
            state.intPosInfoFieldNo[static_cast<std::size_t>(k)] = std::stoi(n);
    }
    QuietPerson person;
    Clock::duration tLoad{}, tExtract{}, tSchema{};
    auto s0 = Clock::now();
    if (!mrk2::createPositionTables(person, dbPath))
        return 1;
    mrk2::TownTableCursor cursor;
    cursor.intTableNo = 1;
    cursor.tableName = mrk2::addTownTable(person, dbPath, 1, cursor);
    tSchema += Clock::now() - s0;
    int n = 0;
    for (const auto& f : files) {
        ++n;
        auto a = Clock::now();
        if (!mrk2::createStagingTable(person, dbPath))
            return 1;
        auto b = Clock::now();
        std::filesystem::path p(f.path);
        if (!mrk2::loadPositionCsv(state, person, dbPath, p.parent_path().string(),
                                   p.filename().string(), n, static_cast<int>(files.size())))
            return 1;
        auto c = Clock::now();
        if (!mrk2::getUniqueTable(state, person, dbPath, cursor))
            return 1;
        auto d = Clock::now();
        tSchema += b - a;
        tLoad += c - b;
        tExtract += d - c;
    }
    double engine = seconds(tSchema + tLoad + tExtract);
    long rss = peakRssKiB();

    std::int64_t distributed = 0, towns = 0;
    {
        mrk2::Database db = mrk2::Database::open(dbPath, mrk2::Database::Mode::ReadOnly);
        towns = scalar(db, "SELECT count(*) FROM POSITION");
        for (int t = 1; t <= cursor.intTableNo; ++t)
            distributed += scalar(db, "SELECT count(*) FROM " + mrk2::townTableName(t));
    }

    // sqlite3 .import of the same rows.
    const std::string importDb = dir + "/import.db";
    std::filesystem::remove(importDb);
    auto i0 = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        execlp("sqlite3", "sqlite3", importDb.c_str(), ".mode csv",
               (".import " + utf8Path + " t").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    double importSeconds = seconds(Clock::now() - i0);
    bool importOk = WIFEXITED(status) && WEXITSTATUS(status) == 0;

    std::printf("rows                 %lld in %zu files (layout %d)\n",
                static_cast<long long>(gen.rows), files.size(), gen.layout);
    std::printf("distributed rows     %lld, towns %lld, per-town tables %d\n",
                static_cast<long long>(distributed), static_cast<long long>(towns),
                cursor.intTableNo);
    std::printf("generate             %.2f s (not counted)\n", seconds(tGen));
    std::printf("schema + staging     %.2f s\n", seconds(tSchema));
    std::printf("load (CSV -> TMP)    %.2f s\n", seconds(tLoad));
    std::printf("extract (per-town)   %.2f s\n", seconds(tExtract));
    std::printf("engine total         %.2f s, %.0f rows/s\n", engine,
                static_cast<double>(gen.rows) / engine);
    std::printf("peak RSS             %.1f MB\n", rss / 1024.0);
    std::printf("labels / yields      %ld / %ld\n", person.labels, person.yields);
    if (importOk) {
        std::printf("sqlite3 .import      %.2f s\n", importSeconds);
        std::printf("ratio engine/import  %.2f (target <= 3)\n", engine / importSeconds);
    } else {
        std::printf("sqlite3 .import      failed (is sqlite3 installed?)\n");
    }
    if (!keep)
        std::filesystem::remove_all(dir);
    return distributed == gen.rows && importOk ? 0 : 1;
}
