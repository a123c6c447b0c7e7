#include "data/PendingRegionChange.h"

#include <fstream>
#include <iterator>
#include <mutex>
#include <utility>
#include <vector>

#include "base/Error.h"
#include "base/FileNames.h"
#include "base/FileOps.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "data/Catalog.h"
#include "data/Database.h"

namespace mrk2 {

namespace {

const char* const kRegister = "register";
const char* const kDelete = "delete";

std::string recordPath(const std::string& dbDir) {
    return joinPath(dbDir, files::kPendingChange);
}

void finishDeletion(const std::string& dbDir, const std::string& region) {
    const std::string basePath = files::baseDbPath(dbDir);
    Database base = Database::open(basePath);
    Transaction tx(base, Transaction::Lock::Exclusive);
    Statement del =
        base.prepare("DELETE FROM " + quoteIdentifier(kCatalogTable) + " WHERE fldDbName = ?1");
    del.bind(1, region).run();
    removeFile(files::regionDbPath(dbDir, region));
    tx.commit();
}

// The record's entries, in the order they were made: a kind and a region each.
using Entries = std::vector<std::pair<std::string, std::string>>;

// The runs of one process record and forget their entries in turn: each
// rewrite of the record must see the entries of the others.
std::mutex& recordTurn() {
    static std::mutex turn;
    return turn;
}

Entries readRecord(const std::string& path) {
    Entries entries;
    if (!fileExists(path))
        return entries;
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    // The record is renamed into place whole; anything else is no record of ours.
    if (text.empty() || text.back() != '\n')
        return entries;
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    for (std::size_t i = 0; i < lines.size(); i += 2)
        entries.emplace_back(lines[i], i + 1 < lines.size() ? lines[i + 1] : std::string());
    return entries;
}

// What a writer of ours never writes: a kind of change it does not make, or a
// region name the name rule refuses ("mrk2", "../victim"). Acting on such an
// entry would delete the base database or a file outside the directory.
std::vector<std::string> foreignEntries(const Entries& entries) {
    std::vector<std::string> out;
    for (const auto& [kind, region] : entries) {
        if ((kind != kRegister && kind != kDelete) || !isUsableRegionName(region))
            out.push_back(kind + " " + region);
    }
    return out;
}

// The record goes aside whole, unfinished, and the person hears of it: none of
// its entries is trusted once one of them is foreign.
std::string setRecordAside(const std::string& dbDir, const std::vector<std::string>& foreign) {
    const std::string aside = joinPath(dbDir, files::kRejectedChange);
    renameReplacing(recordPath(dbDir), aside);
    std::string text =
        "中断された処理の記録に使えない地域名があるため、記録を実行せずに移しました:";
    for (const std::string& entry : foreign)
        text += "\n" + entry;
    return text + "\n" + aside;
}

void writeRecord(const std::string& path, const Entries& entries) {
    if (entries.empty()) {
        removeFile(path);
        syncDirectoryOf(path);
        return;
    }
    std::string text;
    for (const auto& [kind, region] : entries)
        text += kind + "\n" + region + "\n";
    writeFileAtomically(path, text);
}

}  // namespace

void recordRegionChange(const std::string& dbDir, RegionChange change, const std::string& region) {
    try {
        checkRegionName(region);
    } catch (const Refusal& r) {
        throw Error(FormatError::InvalidName, r.what());
    }
    std::lock_guard<std::mutex> turn(recordTurn());
    const std::string path = recordPath(dbDir);
    Entries entries = readRecord(path);
    std::erase_if(entries, [&](const auto& e) { return e.second == region; });
    entries.emplace_back(change == RegionChange::Register ? kRegister : kDelete, region);
    writeRecord(path, entries);
}

void forgetRegionChange(const std::string& dbDir, const std::string& region) {
    std::lock_guard<std::mutex> turn(recordTurn());
    const std::string path = recordPath(dbDir);
    Entries entries = readRecord(path);
    std::erase_if(entries, [&](const auto& e) { return e.second == region; });
    writeRecord(path, entries);
}

bool hasLeftRegionChange(const std::string& dbDir) {
    return fileExists(recordPath(dbDir));
}

std::optional<std::string> finishLeftRegionChange(const std::string& dbDir) {
    std::lock_guard<std::mutex> turn(recordTurn());
    const std::string path = recordPath(dbDir);
    if (!fileExists(path))
        return std::nullopt;
    const Entries entries = readRecord(path);
    const std::vector<std::string> foreign = foreignEntries(entries);
    if (!foreign.empty())
        return setRecordAside(dbDir, foreign);
    for (const auto& [kind, region] : entries) {
        if (kind == kDelete)
            finishDeletion(dbDir, region);
        else if (kind == kRegister && fileExists(files::regionDbPath(dbDir, region)))
            registerDbInCatalog(files::baseDbPath(dbDir), dbDir, region);
    }
    writeRecord(path, {});
    return std::nullopt;
}

}  // namespace mrk2
