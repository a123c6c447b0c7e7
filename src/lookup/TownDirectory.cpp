#include "lookup/TownDirectory.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "app/Utf8.h"
#include "data/Database.h"
#include "lookup/AddressNormalizer.h"

namespace mrk2 {

namespace {

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// "丸の内1丁目" -> "丸の内1-": the common way of writing a 丁目 as the first
// number of a block address.
std::optional<std::string> chomeAsNumber(const std::string& normalized) {
    static const std::string kChome = "丁目";
    if (normalized.size() <= kChome.size() ||
        normalized.compare(normalized.size() - kChome.size(), kChome.size(), kChome) != 0)
        return std::nullopt;
    std::string base = normalized.substr(0, normalized.size() - kChome.size());
    if (!isAsciiDigit(base.back()))
        return std::nullopt;
    return base + kAddressSeparator;
}

// The municipality without its 郡 ("西多摩郡瑞穂町" -> "瑞穂町"), which addresses
// often leave out.
std::optional<std::string> withoutCounty(const std::string& normalized) {
    static const std::string kCounty = "郡";
    std::size_t at = normalized.rfind(kCounty);
    if (at == std::string::npos || at + kCounty.size() >= normalized.size())
        return std::nullopt;
    return normalized.substr(at + kCounty.size());
}

// The town with and without a leading 大字 or 字, which addresses write or leave
// out as they please ("大字安房" = "安房" = "字安房").
std::vector<std::string> withAndWithoutAza(const std::string& normalized) {
    static const std::string kOaza = "大字";
    static const std::string kAza = "字";
    std::string base = normalized;
    for (const std::string* prefix : {&kOaza, &kAza}) {
        if (normalized.size() > prefix->size() && normalized.rfind(*prefix, 0) == 0) {
            base = normalized.substr(prefix->size());
            break;
        }
    }
    return {base, kOaza + base, kAza + base};
}

// Bytes that two texts share at their start, cut back to a whole character.
std::size_t commonStart(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    while (n > 0 && n < a.size() && utf8::isContinuation(static_cast<unsigned char>(a[n])))
        --n;
    return n;
}

}  // namespace

TownDirectory TownDirectory::load(Database& db) {
    TownDirectory dir;
    std::map<std::string, std::size_t> byKey;
    Statement st = db.prepare(
        "SELECT fldID, fld都道府県名, fld市区町村名, fld大字・町丁目, fldTableName FROM POSITION "
        "ORDER BY fldID");
    while (st.step()) {
        std::optional<std::string> name = st.optText(3);
        // A stored town is never "": a separate mark for NULL cannot collide.
        std::string key = st.text(1) + '\x1f' + st.text(2) + '\x1f' + name.value_or("\x1e");
        auto [it, added] = byKey.try_emplace(key, dir.towns_.size());
        if (added)
            dir.towns_.push_back({st.text(1), st.text(2), name, {}});
        dir.towns_[it->second].parts.push_back({st.int64(0), st.text(4)});
    }
    dir.index();
    return dir;
}

void TownDirectory::add(const std::string& key, Entry entry) {
    if (key.empty())
        return;
    longestKey_ = std::max(longestKey_, key.size());
    std::vector<Entry>& entries = keys_[key];
    if (std::find(entries.begin(), entries.end(), entry) == entries.end())
        entries.push_back(entry);
}

void TownDirectory::index() {
    std::map<std::string, std::size_t> prefIndex;
    std::map<std::pair<std::string, std::string>, std::size_t> muniIndex;
    townKeys_.resize(towns_.size());
    for (std::size_t t = 0; t < towns_.size(); ++t) {
        const Town& town = towns_[t];
        auto [p, newPref] = prefIndex.try_emplace(town.pref, prefectures_.size());
        if (newPref)
            prefectures_.push_back({town.pref, {}, {}});
        prefectures_[p->second].towns.push_back(t);
        auto [m, newMuni] = muniIndex.try_emplace({town.pref, town.muni}, municipalities_.size());
        if (newMuni)
            municipalities_.push_back({town.pref, town.muni, {}});
        municipalities_[m->second].towns.push_back(t);

        const std::string np = normalizeAddress(town.pref);
        const std::string nm = normalizeAddress(town.muni);
        add(np, {MatchLevel::Prefecture, p->second});
        std::vector<std::string> munis = {nm};
        if (auto shortName = withoutCounty(nm))
            munis.push_back(*shortName);
        for (const std::string& muni : munis) {
            add(np + muni, {MatchLevel::Municipality, m->second});
            add(muni, {MatchLevel::Municipality, m->second});
        }
        if (!town.name)
            continue;
        const std::string nt = normalizeAddress(*town.name);
        townKeys_[t] = {np + nm + nt, nm + nt, nt};
        std::vector<std::string> spellings = withAndWithoutAza(nt);
        if (auto numbered = chomeAsNumber(nt))
            spellings.push_back(*numbered);
        const Entry entry{MatchLevel::Town, t};
        for (const std::string& s : spellings) {
            add(s, entry);
            add(np + s, entry);
            for (const std::string& muni : munis) {
                add(np + muni + s, entry);
                add(muni + s, entry);
            }
        }
    }
}

std::optional<TownDirectory::Hit> TownDirectory::longestPrefix(std::string_view n) const {
    // No key is longer than the longest one added: starting there keeps a long
    // address from costing a look-up per byte, each as long as the address.
    for (std::size_t len = std::min(n.size(), longestKey_); len > 0; --len) {
        if (len < n.size() && utf8::isContinuation(static_cast<unsigned char>(n[len])))
            continue;
        auto it = keys_.find(std::string(n.substr(0, len)));
        if (it == keys_.end())
            continue;
        // "町1" is no start of "町12-3": a number is never cut in two.
        if (len < n.size() && isAsciiDigit(n[len - 1]) && isAsciiDigit(n[len]))
            continue;
        Hit hit;
        hit.length = len;
        for (const Entry& e : it->second)
            hit.level = std::max(hit.level, e.level);
        for (const Entry& e : it->second) {
            if (e.level == hit.level)
                hit.targets.push_back(e.target);
        }
        return hit;
    }
    return std::nullopt;
}

std::vector<std::size_t> TownDirectory::closest(std::string_view n, std::size_t limit) const {
    std::vector<std::pair<std::size_t, std::size_t>> scored;  // (shared bytes, town)
    for (std::size_t t = 0; t < towns_.size(); ++t) {
        std::size_t best = 0;
        for (const std::string& key : townKeys_[t])
            best = std::max(best, commonStart(n, key));
        if (best > 0)
            scored.push_back({best, t});
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < scored.size() && i < limit; ++i)
        out.push_back(scored[i].second);
    return out;
}

const TownDirectory::Group& TownDirectory::group(MatchLevel level, std::size_t index) const {
    if (level == MatchLevel::Prefecture)
        return prefectures_.at(index);
    if (level == MatchLevel::Municipality)
        return municipalities_.at(index);
    throw std::logic_error("no group at this level");
}

}  // namespace mrk2
