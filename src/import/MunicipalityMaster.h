#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/LineReader.h"

namespace mrk2 {

// One municipality of the Digital Agency's municipality master (Address Base
// Registry, mt_city_all).
struct Municipality {
    std::string lgCode;  // 全国地方公共団体コード: six digits, the last a check digit
    std::string pref;
    std::string county;  // 郡, empty for most
    std::string city;
    std::string ward;  // 区 of a designated city, empty for most
    bool abolished = false;

    // The five-digit municipality code of MLIT's files and of POSITION.
    std::string code() const { return lgCode.substr(0, 5); }
    // The name as MLIT writes it: county, city and ward together
    // ("西多摩郡日の出町", "横浜市鶴見区").
    std::string name() const { return county + city + ward; }
};

// Every municipality, current and abolished, by code and by name. The program
// carries the master it was built with (builtIn); a master can also be read
// from its published CSV.
class MunicipalityMaster {
  public:
    // The master built into the program. Throws mrk2::Error if it cannot be read.
    static const MunicipalityMaster& builtIn();
    // Reads mt_city_all's CSV (columns found by their header names).
    static MunicipalityMaster read(LineReader& lines);

    // By its six-digit code, or the five digits without the check digit.
    const Municipality* byCode(std::string_view code) const;
    // By prefecture and name as MLIT writes it; a current municipality is
    // preferred to an abolished one of the same name.
    const Municipality* byName(std::string_view pref, std::string_view name) const;
    // Whether `pref` is the name of a prefecture of the master (the 47).
    bool hasPrefecture(std::string_view pref) const;

    std::size_t size() const { return all_.size(); }

  private:
    std::vector<Municipality> all_;
    std::unordered_map<std::string, std::size_t> byCode_;  // five digits
    std::unordered_map<std::string, std::size_t> byName_;  // pref + "\t" + name
    std::unordered_set<std::string> prefectures_;
};

}  // namespace mrk2
