#include "base/Config.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <vector>

#include "base/Error.h"
#include "base/IniFile.h"
#include "base/Limits.h"

namespace mrk2 {

namespace {

const char* const kSection = "MRK";

std::string mrkIniString(const std::string& iniPath, const std::string& key,
                         const std::string& defaultValue) {
    return getIniString(iniPath, kSection, key, defaultValue);
}

// A file that cannot be written is not reported: the operator has nothing to
// decide there, and the values are still in use for this session. A value that
// would read back as another one is not written, and `refused` gets the reason.
void putMrkIniString(const std::string& iniPath, const std::string& key, const std::string& value,
                     std::string& refused) {
    try {
        writeIniString(iniPath, kSection, key, value);
    } catch (const Error& e) {
        if (e.number() < FormatError::MissingColumn)
            return;  // an errno number
        refused += (refused.empty() ? "" : "\n") + standardErrorText(e, iniPath);
    }
}

// Every comma starts a new part; nothing is quoted.
std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos)
            return parts;
        start = comma + 1;
    }
}

// A decimal integer with an optional sign; blanks around it are allowed, as the
// conversion of the settings always allowed them.
std::optional<long long> parseInteger(const std::string& text) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos)
        return std::nullopt;
    std::size_t e = text.find_last_not_of(' ');
    const char* first = text.data() + b;
    const char* last = text.data() + e + 1;
    if (*first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    long long v = 0;
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last || first == last)
        return std::nullopt;
    return v;
}

// `part` names the piece of a list value ("3 番目の"), or is empty.
long long toInteger(const std::string& key, const std::string& part, const std::string& value,
                    long long low, long long high) {
    std::optional<long long> v = parseInteger(value);
    if (!v || *v < low || *v > high) {
        throw Error(FormatError::NotANumber, "設定ファイルの " + key + " の" + part + "値「" +
                                                 value + "」は " + std::to_string(low) + " から " +
                                                 std::to_string(high) +
                                                 " までの整数ではありません。");
    }
    return *v;
}

constexpr long long kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr long long kInt16Max = std::numeric_limits<std::int16_t>::max();

// A column number: a 16-bit integer that can index a column, so not negative.
template <std::size_t N>
void readFieldList(const std::string& iniPath, const std::string& key,
                   const std::string& defaultText, std::array<int, N>& target,
                   const std::array<int, N>& fallback) {
    std::vector<std::string> parts = splitAtCommas(mrkIniString(iniPath, key, defaultText));
    if (parts.size() < N) {
        target = fallback;
        return;
    }
    std::array<int, N> indexes{};
    for (std::size_t i = 0; i < N; ++i) {
        indexes[i] = static_cast<int>(
            toInteger(key, std::to_string(i + 1) + " 番目の", parts[i], 0, kInt16Max));
    }
    target = indexes;
}

std::string fixedTermKey(std::size_t n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "FIXEDTERM_%04zu", n);
    return buf;
}

// An entry without a comma ends the list early, with a word to the person; the
// entries before it are kept.
void readFixedTerms(Settings& settings, Person& person) {
    settings.fixedTerms.clear();
    for (std::size_t n = 1; n <= kMaxFixedTerms; ++n) {
        std::string key = fixedTermKey(n);
        std::string value = mrkIniString(settings.iniPath, key, "");
        if (value.empty())
            return;
        std::vector<std::string> parts = splitAtCommas(value);
        if (parts.size() < 2) {
            person.message("システム固定名称の読み込みに失敗しました。");
            return;
        }
        FixedTerm term;
        term.code = static_cast<int>(toInteger(key, "コードの", parts[0], kInt16Min, kInt16Max));
        term.name = parts[1];
        settings.fixedTerms.push_back(term);
    }
    // Entries past the table's end are not read.
}

}  // namespace

Settings loadSettings(const std::string& iniPath, Person& person) {
    Settings s;
    s.iniPath = iniPath;
    try {
        s.dbDir = mrkIniString(iniPath, "DBDIR", "");
        s.regionFileName = mrkIniString(iniPath, "PREFDIR", "");
        s.inputDir = mrkIniString(iniPath, "INPUTDIR", "");
        s.outputDir = mrkIniString(iniPath, "OUTPUTDIR", "");
        s.delimiter = mrkIniString(iniPath, "DELIMITER", ",");
        s.posInfoStart = mrkIniString(iniPath, "POSINFOSTART", "1");
        s.postalStart = mrkIniString(iniPath, "POSTALSTART", "1");
        s.postalPath = mrkIniString(iniPath, "POSTALPATH", "");

        s.minRecs = static_cast<std::int32_t>(toInteger(
            "MINRECS", "", mrkIniString(iniPath, "MINRECS", "1000"),
            std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));

        // The memory runs group lines in ("256M"); without the key, a part of
        // the machine's (MemoryBudget.h).
        if (const std::string memory = mrkIniString(iniPath, "MEMORY", ""); !memory.empty())
            s.memoryBudget = parseMemorySize(memory);

        readFieldList<12>(iniPath, "POSINFOFIELDNO", "0,1,2,3,4,5,6,7,8,9", s.posInfoColumns,
                          {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
        readFieldList<7>(iniPath, "POSTALFIELDNO", "2,3,4,5,6,7,8", s.postalColumns,
                         {2, 3, 4, 5, 6, 7, 8});

        // A fixed name without a comma ends the list with its message; the rest of
        // the configuration is read by then, so loading still succeeds.
        readFixedTerms(s, person);
    } catch (const Error& e) {
        throw e.in(iniPath);
    }
    return s;
}

void saveDirectories(const std::string& iniPath, const DirectorySettings& d) {
    std::string refused;
    putMrkIniString(iniPath, "DBDIR", d.dbDir, refused);
    putMrkIniString(iniPath, "PREFDIR", d.regionFileName, refused);
    putMrkIniString(iniPath, "INPUTDIR", d.inputDir, refused);
    putMrkIniString(iniPath, "OUTPUTDIR", d.outputDir, refused);
    putMrkIniString(iniPath, "DELIMITER", d.delimiter, refused);
    if (!refused.empty())
        throw Refusal(refused);
}

void saveStartLines(const std::string& iniPath, const std::string& posInfoStart,
                    const std::string& postalStart, const std::string& postalPath) {
    std::string refused;
    putMrkIniString(iniPath, "POSINFOSTART", posInfoStart, refused);
    putMrkIniString(iniPath, "POSTALSTART", postalStart, refused);
    putMrkIniString(iniPath, "POSTALPATH", postalPath, refused);
    if (!refused.empty())
        throw Refusal(refused);
}

}  // namespace mrk2
