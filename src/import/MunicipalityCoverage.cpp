#include "import/MunicipalityCoverage.h"

#include "app/Error.h"
#include "app/SourceFile.h"
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

SourceCoverage recordedCoverage(Database& db, const SourceFile& source) {
    static const std::string sql =
        "SELECT DISTINCT " +
        columnList({fields::kMunicipalityCode, fields::kPrefName, fields::kMunicipalityName}) +
        " FROM " + quoteIdentifier(tables::kPosition) + " WHERE " +
        quoteIdentifier(fields::kSrcId) + " IN (SELECT " + quoteIdentifier(fields::kId) + " FROM " +
        quoteIdentifier(tables::kSources) + " WHERE " + quoteIdentifier(fields::kSrcDir) +
        " = ?1 AND " + quoteIdentifier(fields::kSrcFile) + " = ?2)";
    SourceCoverage coverage;
    Statement st = db.prepare(sql);
    st.bind(1, source.dir).bind(2, source.file);
    const auto value = [&](int col) {
        return st.isNull(col) ? std::nullopt : std::optional<std::string_view>(st.view(col));
    };
    while (st.step())
        coverage.see(value(0), value(1), value(2));
    return coverage;
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
