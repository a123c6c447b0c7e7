#include "data/PendingRegionChange.h"

#include <fstream>
#include <iterator>

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

}  // namespace

void recordRegionChange(const std::string& dbDir, RegionChange change, const std::string& region) {
    writeFileAtomically(
        recordPath(dbDir),
        std::string(change == RegionChange::Register ? kRegister : kDelete) + "\n" + region + "\n");
}

void forgetRegionChange(const std::string& dbDir) {
    removeFile(recordPath(dbDir));
    syncDirectoryOf(recordPath(dbDir));
}

void finishLeftRegionChange(const std::string& dbDir) {
    const std::string path = recordPath(dbDir);
    if (!fileExists(path))
        return;
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const std::size_t first = text.find('\n');
    // The record is renamed into place whole; anything else is no record of ours.
    if (first != std::string::npos && text.size() > first + 1 && text.back() == '\n') {
        const std::string kind = text.substr(0, first);
        const std::string region = text.substr(first + 1, text.size() - first - 2);
        if (kind == kDelete)
            finishDeletion(dbDir, region);
        else if (kind == kRegister && fileExists(files::regionDbPath(dbDir, region)))
            registerDbInCatalog(files::baseDbPath(dbDir), dbDir, region);
    }
    forgetRegionChange(dbDir);
}

std::optional<std::string> settleDatabaseDirectory(const std::string& dbDir) noexcept {
    try {
        if (dbDir.empty() || !fileExists(recordPath(dbDir)))
            return std::nullopt;
        WriterLock lock = WriterLock::take(dbDir);
        finishLeftRegionChange(dbDir);
        return std::nullopt;
    } catch (const Refusal&) {
        return std::nullopt;  // a writer is at work: the change is still its own
    } catch (const std::exception& e) {
        return standardErrorText(asError(e));
    } catch (...) {
        return std::string("中断された処理の後始末ができませんでした。");
    }
}

}  // namespace mrk2
