#include "lookup/TownDirectory.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "base/Utf8.h"
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

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The town without its ending 町, or without the 町 before its N丁目 ("本町3丁目"
// -> "本3丁目"), when two characters or more stay before.
std::optional<std::string> withoutMachi(const std::string& normalized) {
    static const std::string kMachi = "町";
    static const std::string kChome = "丁目";
    if (endsWith(normalized, kMachi)) {
        std::string base = normalized.substr(0, normalized.size() - kMachi.size());
        if (utf8::characterCount(base) >= 2 && !isAsciiDigit(base.back()))
            return base;
        return std::nullopt;
    }
    if (!endsWith(normalized, kChome))
        return std::nullopt;
    std::size_t digits = normalized.size() - kChome.size();
    while (digits > 0 && isAsciiDigit(normalized[digits - 1]))
        --digits;
    std::string_view before = std::string_view(normalized).substr(0, digits);
    if (digits == normalized.size() - kChome.size() || !endsWith(before, kMachi))
        return std::nullopt;
    std::string base(before.substr(0, before.size() - kMachi.size()));
    if (utf8::characterCount(base) < 2)
        return std::nullopt;
    return base + normalized.substr(digits);
}

// "緑ケ丘2丁目" -> the town's base "緑ケ丘" and its bare number "緑ケ丘2".
struct BareChome {
    std::string base, spelling;
};
std::optional<BareChome> bareChome(const std::string& normalized) {
    static const std::string kChome = "丁目";
    if (!endsWith(normalized, kChome))
        return std::nullopt;
    std::size_t digits = normalized.size() - kChome.size();
    while (digits > 0 && isAsciiDigit(normalized[digits - 1]))
        --digits;
    if (digits == 0 || digits == normalized.size() - kChome.size())
        return std::nullopt;
    return BareChome{normalized.substr(0, digits),
                     normalized.substr(0, normalized.size() - kChome.size())};
}

// The looser spellings of a town (`name` as stored, `normalized` its own
// spelling): without 町, and with its number before 番 in digits and a final
// 丁 as 町, in the form an address normalises to (番 marked).
std::vector<std::string> looseSpellings(const std::string& name, const std::string& normalized) {
    static const std::string kCho = "丁";
    static const std::string kChome = "丁目";
    std::vector<std::string> out;
    if (auto shorter = withoutMachi(normalized)) {
        out.push_back(*shorter);
        if (auto numbered = chomeAsNumber(*shorter))
            out.push_back(*numbered);
    }
    for (const std::string& written : {name, numeralsBeforeBanAsDigits(name)}) {
        std::vector<std::string> forms = {written};
        if (endsWith(written, kCho) && !endsWith(written, kChome))
            forms.push_back(written.substr(0, written.size() - kCho.size()) + "町");
        for (const std::string& form : forms) {
            std::string spelling = normalizeAddress(form, SeparatorMarks::Kept);
            if (spelling != normalized && std::find(out.begin(), out.end(), spelling) == out.end())
                out.push_back(spelling);
        }
    }
    return out;
}

// Where a town's name may begin when its leading part is left out: not with a
// number, a separator or a word that only ends a name.
bool canBeginTown(std::string_view s) {
    if (s.empty() || isAsciiDigit(s[0]) || isAddressSeparator(s[0]))
        return false;
    for (std::string_view word : {"丁", "目", "町", "番", "号"}) {
        if (s.substr(0, word.size()) == word)
            return false;
    }
    return true;
}

// Whether `spelling` begins `rest` without cutting a number in two.
bool begins(std::string_view rest, std::string_view spelling) {
    if (spelling.empty() || rest.substr(0, spelling.size()) != spelling)
        return false;
    return rest.size() == spelling.size() || !isAsciiDigit(rest[spelling.size()]) ||
           !isAsciiDigit(spelling.back());
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
        std::optional<std::string> name = st.optionalText(3);
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
        spelled_.push_back({np, munis, {}, m->second});
        if (!town.name)
            continue;
        const std::string nt = normalizeAddress(*town.name);
        spelled_.back().name = nt;
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
    addLooseSpellings();
}

void TownDirectory::addLooseSpellings() {
    // The names of the towns of each municipality and of the region.
    std::vector<std::set<std::string>> namesOf(municipalities_.size());
    std::set<std::string> allNames;
    for (const Spelled& s : spelled_) {
        namesOf[s.group].insert(s.name);
        allNames.insert(s.name);
    }
    for (std::size_t t = 0; t < towns_.size(); ++t) {
        const Spelled& sp = spelled_[t];
        if (!towns_[t].name)
            continue;
        auto addWithout = [&](const std::string& s, Entry entry) {
            add(s, entry);
            add(sp.pref + s, entry);
        };
        auto addWithMuni = [&](const std::string& s, Entry entry) {
            for (const std::string& muni : sp.munis) {
                add(muni + s, entry);
                add(sp.pref + muni + s, entry);
            }
        };
        const Entry loose{MatchLevel::Town, t, Form::Loose};
        for (const std::string& s : looseSpellings(*towns_[t].name, sp.name)) {
            addWithout(s, loose);
            addWithMuni(s, loose);
        }
        // A bare number would take "緑ケ丘2" from a town 緑ケ丘 that has a block 2.
        if (auto bare = bareChome(sp.name)) {
            const Entry entry{MatchLevel::Town, t, Form::BareChome};
            if (!allNames.count(bare->base))
                addWithout(bare->spelling, entry);
            if (!namesOf[sp.group].count(bare->base))
                addWithMuni(bare->spelling, entry);
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
        const bool numberWordFollows =
            len < n.size() && (n[len] == kNumberWordMark || n[len] == kParcelMark);
        std::vector<const Entry*> usable;
        bool named = false;
        for (const Entry& e : it->second) {
            if (e.form == Form::BareChome && numberWordFollows)
                continue;
            usable.push_back(&e);
            named = named || e.form == Form::Name;
        }
        std::erase_if(usable, [&](const Entry* e) { return named && e->form != Form::Name; });
        if (usable.empty())
            continue;
        Hit hit;
        hit.length = len;
        for (const Entry* e : usable)
            hit.level = std::max(hit.level, e->level);
        for (const Entry* e : usable) {
            if (e->level == hit.level &&
                std::find(hit.targets.begin(), hit.targets.end(), e->target) == hit.targets.end())
                hit.targets.push_back(e->target);
        }
        return hit;
    }
    return std::nullopt;
}

std::optional<TownDirectory::SuffixHit> TownDirectory::bySuffix(std::size_t group,
                                                                std::string_view rest) const {
    const Group& g = municipalities_.at(group);
    SuffixHit hit;
    std::vector<std::string> suffixes;  // those that begin `rest` at hit.length
    for (std::size_t t : g.towns) {
        const std::string& name = spelled_[t].name;
        for (std::size_t p = 1; p < name.size(); ++p) {
            const std::string_view suffix = std::string_view(name).substr(p);
            if (utf8::isContinuation(static_cast<unsigned char>(name[p])) ||
                !canBeginTown(suffix) || utf8::characterCount(suffix) < 2)
                continue;
            std::vector<std::string> spellings = {std::string(suffix)};
            if (auto numbered = chomeAsNumber(spellings.front()))
                spellings.push_back(*numbered);
            for (const std::string& s : spellings) {
                if (!begins(rest, s) || s.size() < hit.length)
                    continue;
                if (s.size() > hit.length)
                    suffixes.clear();
                hit.length = s.size();
                suffixes.push_back(std::string(suffix));
            }
        }
    }
    if (suffixes.empty())
        return std::nullopt;
    // Every town whose name ends so: one is an answer, more are not.
    for (std::size_t t : g.towns) {
        for (const std::string& suffix : suffixes) {
            if (endsWith(spelled_[t].name, suffix) &&
                std::find(hit.targets.begin(), hit.targets.end(), t) == hit.targets.end())
                hit.targets.push_back(t);
        }
    }
    return hit;
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
