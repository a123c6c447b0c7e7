#pragma once
// A database directory with a base database, a national POST and position CSV
// files, for the tests of the import run and its parts.
#include <string>
#include <vector>

#include "base/ErrorReport.h"
#include "base/Paths.h"
#include "data/BaseDbInit.h"
#include "data/Database.h"
#include "import/ImportRequest.h"
#include "import/ImportRun.h"
#include "postal/PostalTable.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

namespace mrk2::test {

// One block line of a position CSV in the default 12-column layout.
struct Block {
    std::string pref, city, town, block;
};

inline std::string positionCsv(const std::vector<Block>& rows) {
    std::string out;
    for (const auto& r : rows) {
        out += r.pref + "," + r.city + "," + r.town + "," + r.block +
               ",9,-1000.5,2000.5,35.1,139.2,,1,0\r\n";
    }
    return sjis(out);
}

// `n` blocks of one town.
inline std::vector<Block> blocks(const std::string& pref, const std::string& city,
                                 const std::string& town, int n) {
    std::vector<Block> out;
    for (int i = 1; i <= n; ++i)
        out.push_back({pref, city, town, std::to_string(i)});
    return out;
}

struct RegionFixture {
    TempDir dir;
    TempDir csvDir;
    std::string basePath = dir.file("mrk2.mdb");
    // The run the tests start: dbDir is set, the rest is the test's.
    ImportRequest request;
    RecordingPerson person;

    RegionFixture() {
        request.dbDir = dir.path();
        createBaseDatabase(basePath);
        createPostTable(basePath);
        Database db = Database::open(basePath);
        Statement ins = db.prepare(
            "INSERT INTO POST (fld郵便番号, fldトドウフケン, fldシクチョウソン, fldチメイ, "
            "fld都道府県, fld市区町村, fld地名) VALUES (?1, 'ｶﾅ', 'ｶﾅ', 'ｶﾅ', ?2, ?3, ?4)");
        const char* rows[][4] = {{"1000001", "東京都", "千代田区", "千代田"},
                                 {"1000002", "東京都", "千代田区", "皇居外苑"},
                                 {"600000", "北海道", "札幌市中央区", "以下に掲載がない場合"},
                                 {"9000000", "沖縄県", "那覇市", "以下に掲載がない場合"},
                                 {"1500001", "東京都", "渋谷区", "神宮前"}};
        for (auto& r : rows)
            ins.bind(1, r[0]).bind(2, r[1]).bind(3, r[2]).bind(4, r[3]).run();
    }

    void selectRegion(const std::string& name) { request.region = name; }

    // The run as a starter hosts it, telling what its outcome carries.
    Outcome::Kind run(ImportMode mode) {
        request.mode = mode;
        Outcome outcome = person.run(
            [&](StopControl& stop, ProgressSink& sink) { return runImport(request, stop, sink); },
            true);
        tellOutcome(person, outcome);
        return outcome.kind;
    }

    // Writes a CSV into csvDir with a fixed modification time.
    SourceFile writeCsv(const std::string& name, const std::vector<Block>& rows,
                        long long mtime = 1600000000) {
        std::string p = csvDir.write(name, positionCsv(rows));
        setModifiedTime(p, mtime);
        return {csvDir.path(), name};
    }

    // Spelled out here, not taken from FileNames.h: these names are what older
    // region directories hold.
    std::string regionPath() const { return dir.file(request.region + ".mdb"); }
    std::string tempPath() const { return dir.file(request.region + "_$$$.mdb"); }
    std::string compactPath() const { return dir.file(request.region + "_cmpact.mdb"); }
};

inline long long count(const std::string& dbPath, const std::string& sql) {
    Database db = Database::open(dbPath, Database::Mode::ReadOnly);
    Statement st = db.prepare(sql);
    return st.step() ? st.int64(0) : -1;
}

inline std::vector<std::string> column(const std::string& dbPath, const std::string& sql) {
    Database db = Database::open(dbPath, Database::Mode::ReadOnly);
    Statement st = db.prepare(sql);
    std::vector<std::string> out;
    while (st.step())
        out.push_back(st.text(0));
    return out;
}

}  // namespace mrk2::test
