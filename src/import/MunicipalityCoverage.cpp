#include "import/MunicipalityCoverage.h"

#include "base/Error.h"
#include "data/Database.h"
#include "data/SchemaNames.h"

namespace mrk2 {

void SourceCoverage::see(std::optional<std::string_view> code, std::optional<std::string_view> pref,
                         std::optional<std::string_view> name) {
    if (code) {
        key_.assign(*code);
    } else {
        key_.assign(pref.value_or(""));
        key_ += '\t';
        key_ += name.value_or("");
    }
    if (key_ == last_)
        return;
    last_ = key_;
    if (seen_.insert(key_).second)
        list_.push_back({key_, std::string(pref.value_or("")) + std::string(name.value_or(""))});
}

std::map<std::pair<std::string, std::string>, SourceCoverage> recordedCoverage(Database& db) {
    static const std::string sql =
        "SELECT s." + quoteIdentifier(fields::kSrcDir) + ", s." +
        quoteIdentifier(fields::kSrcFile) + ", p." + quoteIdentifier(fields::kMunicipalityCode) +
        ", p." + quoteIdentifier(fields::kPrefName) + ", p." +
        quoteIdentifier(fields::kMunicipalityName) + " FROM " + quoteIdentifier(tables::kPosition) +
        " p JOIN " + quoteIdentifier(tables::kSources) + " s ON p." +
        quoteIdentifier(fields::kSrcId) + " = s." + quoteIdentifier(fields::kId);
    std::map<std::pair<std::string, std::string>, SourceCoverage> out;
    Statement st = db.prepare(sql);
    const auto value = [&](int col) {
        return st.isNull(col) ? std::nullopt : std::optional<std::string_view>(st.view(col));
    };
    while (st.step()) {
        if (!st.isNull(0) && !st.isNull(1))
            out[{st.text(0), st.text(1)}].see(value(2), value(3), value(4));
    }
    return out;
}

void RunCoverage::add(const std::string& layout, const SourceCoverage& source,
                      const std::string& path) {
    for (const SourceCoverage::Municipality& m : source.municipalities()) {
        auto [it, added] = pathOf_.emplace(std::make_pair(layout, m.key), path);
        if (!added && it->second != path)
            throw Error(FormatError::SameMunicipalityTwice,
                        "同じ市区町村（" + m.name +
                            "）の行が同じ形式の二つのソースにあります。どちらか一方だけを指定して"
                            "下さい。",
                        it->second + "\n" + path);
    }
}

}  // namespace mrk2
