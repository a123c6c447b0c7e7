#include "import/MunicipalityCodes.h"

namespace mrk2 {

using enum PositionEntry;

std::optional<std::string_view> MunicipalityCodes::codeOf(const PositionRow& row) {
    if (row.code)
        return row.code;
    if (ofName_)
        return std::string_view(*ofName_);
    const std::string_view pref = row.values[Pref].value_or("");
    const std::string_view muni = row.values[Muni].value_or("");
    key_.assign(pref).append("\t").append(muni);
    auto it = byName_.find(key_);
    if (it == byName_.end()) {
        std::optional<std::string> code;
        if (const Municipality* m = master_.byName(pref, muni))
            code = m->code();
        it = byName_.emplace(key_, std::move(code)).first;
    }
    if (!it->second)
        return std::nullopt;
    return std::string_view(*it->second);
}

}  // namespace mrk2
