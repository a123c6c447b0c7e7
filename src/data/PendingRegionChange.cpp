#include "data/PendingRegionChange.h"

#include <fstream>
#include <iterator>
#include <mutex>
#include <utility>
#include <vector>

#include "app/Error.h"
#include "app/FileNames.h"
#include "app/FileOps.h"
#include "app/Paths.h"
#include "app/WriterLock.h"
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
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2)
        entries.emplace_back(lines[i], lines[i + 1]);
    return entries;
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

void finishLeftRegionChange(const std::string& dbDir) {
    std::lock_guard<std::mutex> turn(recordTurn());
    const std::string path = recordPath(dbDir);
    if (!fileExists(path))
        return;
    for (const auto& [kind, region] : readRecord(path)) {
        if (kind == kDelete)
            finishDeletion(dbDir, region);
        else if (kind == kRegister && fileExists(files::regionDbPath(dbDir, region)))
            registerDbInCatalog(files::baseDbPath(dbDir), dbDir, region);
    }
    writeRecord(path, {});
}

void settleDatabaseDirectory(const std::string& dbDir) noexcept {
    try {
        if (dbDir.empty() || !fileExists(recordPath(dbDir)))
            return;
        WriterLock lock = WriterLock::take(dbDir);
        finishLeftRegionChange(dbDir);
    } catch (const Refusal&) {
        // A writer is at work: the change is still its own to finish.
    } catch (const std::exception&) {
        // Not told here: the record stays, and the command's own reading or
        // writing of the directory meets the fault and tells it.
    }
}

}  // namespace mrk2
