#include "import/MunicipalityCoverage.h"

#include "app/Error.h"

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
