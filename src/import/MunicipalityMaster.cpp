#include "import/MunicipalityMaster.h"

#include <algorithm>

#include "base/CsvField.h"
#include "base/Error.h"
#include "base/ZipArchive.h"

// The published master, packed into the program as its zip (data/abr); the
// build names the file and a digest of it, so that a new master rebuilds this.
#include "MunicipalityMasterData.h"

asm(".section .rodata\n"
    ".balign 16\n"
    ".global mrk2_city_master_zip\n"
    "mrk2_city_master_zip:\n"
    "/* " MRK2_CITY_MASTER_SHA256
    " */\n"
    ".incbin \"" MRK2_CITY_MASTER_ZIP
    "\"\n"
    ".global mrk2_city_master_zip_end\n"
    "mrk2_city_master_zip_end:\n"
    ".previous\n");

extern "C" const char mrk2_city_master_zip[];
extern "C" const char mrk2_city_master_zip_end[];

namespace mrk2 {

namespace {

std::size_t columnOf(const std::vector<std::string_view>& header, std::string_view name) {
    auto it = std::find(header.begin(), header.end(), name);
    if (it == header.end()) {
        throw Error(FormatError::MissingColumn,
                    "市区町村マスターに列 " + std::string(name) + " がありません。");
    }
    return static_cast<std::size_t>(it - header.begin());
}

}  // namespace

const MunicipalityMaster& MunicipalityMaster::builtIn() {
    static const MunicipalityMaster master = [] {
        ZipArchive zip = ZipArchive::fromMemory(
            mrk2_city_master_zip,
            static_cast<std::size_t>(mrk2_city_master_zip_end - mrk2_city_master_zip),
            "mt_city_all.csv.zip");
        for (const ArchiveMember& m : zip.members()) {
            if (isCsvName(m.name)) {
                LineReader lines;
                lines.open(zip.openMember(m));
                return read(lines);
            }
        }
        throw Error(FormatError::NotFound, "市区町村マスターがありません。", zip.path());
    }();
    return master;
}

MunicipalityMaster MunicipalityMaster::read(LineReader& lines) {
    MunicipalityMaster master;
    std::string headerLine;
    if (!lines.next(headerLine))
        return master;
    std::vector<std::string_view> header;
    splitCsvLine(headerLine, header);
    for (std::string_view& h : header)
        h = cleanCsvFieldView(h);
    const std::size_t cols[] = {columnOf(header, "lg_code"), columnOf(header, "pref"),
                                columnOf(header, "county"),  columnOf(header, "city"),
                                columnOf(header, "ward"),    columnOf(header, "ablt_date")};
    std::string line;
    std::vector<std::string_view> fields;
    while (lines.next(line)) {
        splitCsvLine(line, fields);
        auto value = [&](std::size_t i) {
            return i < fields.size() ? std::string(cleanCsvFieldView(fields[i])) : std::string();
        };
        Municipality m{value(cols[0]), value(cols[1]), value(cols[2]),
                       value(cols[3]), value(cols[4]), !value(cols[5]).empty()};
        if (m.lgCode.size() < 5)
            continue;
        const std::size_t at = master.all_.size();
        master.byCode_.emplace(m.code(), at);
        auto [it, added] = master.byName_.emplace(m.pref + "\t" + m.name(), at);
        if (!added && master.all_[it->second].abolished && !m.abolished)
            it->second = at;
        master.prefectures_.insert(m.pref);
        master.all_.push_back(std::move(m));
    }
    return master;
}

const Municipality* MunicipalityMaster::byCode(std::string_view code) const {
    if (code.size() < 5)
        return nullptr;
    auto it = byCode_.find(std::string(code.substr(0, 5)));
    return it == byCode_.end() ? nullptr : &all_[it->second];
}

const Municipality* MunicipalityMaster::byName(std::string_view pref, std::string_view name) const {
    std::string key;
    key.reserve(pref.size() + 1 + name.size());
    key.append(pref).append("\t").append(name);
    auto it = byName_.find(key);
    return it == byName_.end() ? nullptr : &all_[it->second];
}

bool MunicipalityMaster::hasPrefecture(std::string_view pref) const {
    return prefectures_.count(std::string(pref)) > 0;
}

}  // namespace mrk2
