#include "PositionCsvGenerator.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

#include "SplitMix64.h"
#include "base/Cp932.h"
#include "base/CsvField.h"
#include "base/LineReader.h"
#include "base/Paths.h"

namespace mrk2::bench {

namespace {

using Random = SplitMix64;

struct Municipality {
    std::string code;
    std::string pref;
    std::string name;
    std::vector<std::string> towns;
};

const char* const kChome[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九"};

// A postal town name made usable as a block-level town: notes in parentheses and
// the catch-all entries are not town names. "丸の内（次のビルを除く）" is the town
// 丸の内 itself, its high-rise buildings having postal codes of their own.
std::string townFromPostal(const std::string& name) {
    static const std::string kExceptBuildings = "（次のビルを除く）";
    if (name.size() > kExceptBuildings.size() &&
        name.compare(name.size() - kExceptBuildings.size(), kExceptBuildings.size(),
                     kExceptBuildings) == 0)
        return name.substr(0, name.size() - kExceptBuildings.size());
    if (name.empty() || name.find("以下に掲載がない場合") != std::string::npos ||
        name.find("番地がくる場合") != std::string::npos ||
        name.find("一円") != std::string::npos || name.find("ビル") != std::string::npos ||
        name.find("）") != std::string::npos)
        return {};
    std::size_t paren = name.find("（");
    return paren == std::string::npos ? name : name.substr(0, paren);
}

std::vector<Municipality> readMunicipalities(const std::string& path) {
    LineReader reader;
    reader.open(path);
    std::vector<Municipality> out;
    std::map<std::string, std::size_t> byCode;
    std::set<std::pair<std::string, std::string>> seen;
    std::string line;
    std::vector<std::string_view> f;
    while (reader.next(line)) {
        splitCsvLine(line, f);
        if (f.size() < 9)
            continue;
        std::string code = cleanCsvField(f[0]);
        std::string town = townFromPostal(cleanCsvField(f[8]));
        if (code.size() != 5 || town.empty() || !seen.insert({code, town}).second)
            continue;
        auto [it, added] = byCode.try_emplace(code, out.size());
        if (added)
            out.push_back({code, cleanCsvField(f[6]), cleanCsvField(f[7]), {}});
        out[it->second].towns.push_back(town);
    }
    if (out.empty())
        throw std::runtime_error("no town names in " + path);
    return out;
}

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// A fixed-point value with `places` decimals, e.g. (-352251, 1) gives -35225.1.
std::string decimal(std::int64_t scaled, int places) {
    std::int64_t unit = 1;
    for (int i = 0; i < places; ++i)
        unit *= 10;
    std::int64_t mag = scaled < 0 ? -scaled : scaled;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%lld.%0*lld", scaled < 0 ? "-" : "",
                  static_cast<long long>(mag / unit), places, static_cast<long long>(mag % unit));
    return buf;
}

class Writer {
  public:
    Writer(const std::string& path, bool utf8) : out_(path, std::ios::binary), utf8_(utf8) {
        if (!out_)
            throw std::runtime_error("cannot write " + path);
    }
    void line(const std::string& text) {
        if (utf8_) {
            out_ << text << "\r\n";
            return;
        }
        auto bytes = utf8ToCp932(text);
        if (!bytes)
            throw std::runtime_error("not encodable in CP932: " + text);
        out_ << *bytes << "\r\n";
    }
    void close() {
        out_.close();
        if (!out_)
            throw std::runtime_error("write failed");
    }

  private:
    std::ofstream out_;
    bool utf8_;
};

}  // namespace

std::string defaultTownsPath() {
    return MRK2_BUNDLED_TOWNS;
}

std::string fieldNumbersFor(int layout) {
    // The 14-column layout has no mesh code: its entry points past the last column,
    // which the loader reads as NULL.
    return layout == 14 ? "0,1,2,4,5,6,7,8,9,14,10,11" : "0,1,2,3,4,5,6,7,8,9,10,11";
}

std::string startLineFor(int layout) {
    return layout == 14 ? "2" : "1";
}

std::vector<GeneratedFile> generatePositionCsv(const GeneratorOptions& o) {
    if (o.files < 1 || o.rows < 0 || (o.layout != 12 && o.layout != 14))
        throw std::runtime_error("invalid generator options");
    std::vector<Municipality> munis =
        readMunicipalities(o.townsPath.empty() ? defaultTownsPath() : o.townsPath);
    Random rnd(o.seed);
    std::vector<GeneratedFile> files;
    for (int i = 0; i < o.files; ++i) {
        const Municipality& m = munis[static_cast<std::size_t>(i) % munis.size()];
        const int round = i / static_cast<int>(munis.size());
        const int year = 2023 + round;
        GeneratedFile gf;
        // Past the last municipality the files begin again under codes of their
        // own (51101, 52101, …): one municipality in two files of a run is refused.
        gf.code = round == 0 ? m.code : std::to_string(50 + round % 50) + m.code.substr(2);
        gf.path = joinPath(o.outDir, gf.code + "_" + std::to_string(year) + ".csv");
        gf.rows = o.rows / o.files + (i < o.rows % o.files ? 1 : 0);
        Writer w(gf.path, o.utf8);
        if (o.layout == 14) {
            w.line(
                "\"都道府県名\",\"市区町村名\",\"大字・丁目名\",\"小字・通称名\","
                "\"街区符号・地番\","
                "\"座標系番号\",\"Ｘ座標\",\"Ｙ座標\",\"緯度\",\"経度\",\"住居表示フラグ\","
                "\"代表フラグ\",\"更新前履歴フラグ\",\"更新後履歴フラグ\"");
        }
        // Towns of the municipality with their 丁目, visited in turn; each visit
        // writes a run of blocks, numbered on from the town's previous run.
        std::vector<std::string> towns;
        for (const auto& t : m.towns) {
            int chome = static_cast<int>(rnd.between(0, 5));
            if (chome == 0)
                towns.push_back(t);
            for (int c = 0; c < chome; ++c)
                towns.push_back(t + kChome[c] + "丁目");
        }
        std::vector<int> nextBlock(towns.size(), 1);
        std::int64_t x0 = rnd.between(-600000, -200000);
        std::int64_t y0 = rnd.between(-300000, 100000);
        std::int64_t written = 0;
        for (std::size_t t = 0; written < gf.rows; t = (t + 1) % towns.size()) {
            std::int64_t run = std::min<std::int64_t>(rnd.between(5, 40), gf.rows - written);
            for (std::int64_t b = 0; b < run; ++b, ++written) {
                std::string block = std::to_string(nextBlock[t]++);
                std::int64_t x = x0 + rnd.between(0, 30000);
                std::int64_t y = y0 + rnd.between(0, 30000);
                // Latitude and longitude agree with X and Y (0.1 m units, around
                // 36°N 139°50'E), so each municipality is a 3 km square of its own.
                std::string lat = decimal(36000000 + x * 9 / 10, 6);
                std::string lon = decimal(139833333 + y * 11 / 10, 6);
                std::string flag = rnd.between(0, 3) ? "1" : "0";
                std::string line =
                    quoted(m.pref) + "," + quoted(m.name) + "," + quoted(towns[t]) + ",";
                if (o.layout == 14) {
                    line += "\"\"," + quoted(block) + ",\"9\"," + quoted(decimal(x, 1)) + "," +
                            quoted(decimal(y, 1)) + "," + quoted(lat) + "," + quoted(lon) + "," +
                            quoted(flag) + ",\"1\",\"0\",\"0\"";
                } else {
                    std::string mesh = std::to_string(53390000 + rnd.between(0, 9999));
                    line += quoted(block) + ",\"9\"," + quoted(decimal(x, 1)) + "," +
                            quoted(decimal(y, 1)) + "," + quoted(lat) + "," + quoted(lon) + "," +
                            quoted(mesh) + "," + quoted(flag) + ",\"1\"";
                }
                w.line(line);
            }
        }
        w.close();
        files.push_back(gf);
    }
    return files;
}

}  // namespace mrk2::bench
