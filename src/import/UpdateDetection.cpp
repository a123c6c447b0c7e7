#include "import/UpdateDetection.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>

#include "base/Error.h"
#include "base/Limits.h"
#include "base/Paths.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "data/SchemaNames.h"
#include "import/AbrFileName.h"
#include "import/RowKinds.h"

namespace mrk2 {

namespace {

struct RecordedSource {
    std::int64_t id = 0;
    std::optional<std::string> dir;
    std::optional<std::string> file;
    std::optional<std::string> date;

    bool isSameFile(const SourceFile& f) const {
        return dir && file && *dir == f.dir && *file == f.file;
    }
};

const std::string kId = quoteIdentifier(fields::kId);
const std::string kPosition = quoteIdentifier(tables::kPosition);
const std::string kTownsOfSource = "SELECT " + kId + ", " + quoteIdentifier(fields::kTableName) +
                                   " FROM " + kPosition + " WHERE " +
                                   quoteIdentifier(fields::kSrcId) + " = ?1";
const std::string kDeleteTown = "DELETE FROM " + kPosition + " WHERE " + kId + " = ?1";
const std::string kDeleteSource =
    "DELETE FROM " + quoteIdentifier(tables::kSources) + " WHERE " + kId + " = ?1";

std::vector<RecordedSource> readRecordedSources(Database& db) {
    std::vector<RecordedSource> out;
    static const std::string sources =
        "SELECT " + columnList({fields::kId, fields::kSrcDir, fields::kSrcFile, fields::kDate}) +
        " FROM " + quoteIdentifier(tables::kSources) + " ORDER BY " + quoteIdentifier(fields::kId);
    Statement st = db.prepare(sources);
    while (st.step())
        out.push_back({st.int64(0), st.optionalText(1), st.optionalText(2), st.optionalText(3)});
    return out;
}

// Counts the rows by kind before they go, for the run's summary.
// The deleted rows are counted by kind as they go (RETURNING), in the one scan
// the deletion makes anyway.
void removeTownRows(Database& db, const std::string& table, std::int64_t positionId,
                    RowKinds& removed) {
    {
        Statement del = db.prepare("DELETE FROM " + quoteIdentifier(table) + " WHERE " +
                                   quoteIdentifier(fields::kPositionId) + " = ?1 RETURNING " +
                                   columnList({fields::kBlock, fields::kResidenceIndication}));
        del.bind(1, positionId);
        while (del.step())
            removed.add(del.isNull(0) ? std::nullopt : std::optional(del.view(0)),
                        del.isNull(1) ? std::nullopt : std::optional(del.view(1)));
    }
    Statement count = db.prepare("SELECT count(*) FROM " + quoteIdentifier(table));
    bool empty = count.step() && count.int64(0) < 1;
    count = Statement();
    // A table that still holds rows of other sources stays.
    if (empty)
        dropTable(db, table);
}

// An update whose listed sources are missing would take out the region's
// every source for a file system that is not mounted or a working directory
// that differs: the person names the sources to remove instead.
void refuseLosingEverySource(const std::vector<SourceFile>& sources, SourceReader& files) {
    std::string missing;
    for (const SourceFile& f : sources) {
        if (!files.exists(f))
            missing += (missing.empty() ? "" : "\n") + f.path();
    }
    if (missing.empty())
        return;
    throw Error(ENOENT,
                "地域のソースが一つも見つかりません。すべてを取り除く更新はしません。"
                "取り除くソースは指定して下さい。",
                missing);
}

}  // namespace

RowKinds deleteSources(Database& db, const std::vector<std::int64_t>& sourceIds) {
    RowKinds removed;
    // A statement that fails fails the run: the work copy is thrown away and the
    // region database stays as it was, rather than keep rows of a source that
    // the catalog of sources no longer names.
    for (std::int64_t id : sourceIds) {
        std::vector<std::pair<std::int64_t, std::optional<std::string>>> towns;
        {
            Statement st = db.prepare(kTownsOfSource);
            st.bind(1, id);
            while (st.step())
                towns.emplace_back(st.int64(0), st.optionalText(1));
        }
        for (const auto& [positionId, table] : towns) {
            if (table && isTownTableName(*table))
                removeTownRows(db, *table, positionId, removed);
            Statement del = db.prepare(kDeleteTown);
            del.bind(1, positionId);
            del.run();
        }
        Statement del = db.prepare(kDeleteSource);
        del.bind(1, id);
        del.run();
    }
    return removed;
}

UpdatePlan checkUpdatedFiles(const std::string& dbPath, const std::vector<SourceFile>& sources) {
    return inContext(dbPath, [&] {
        UpdatePlan plan;
        Database db = Database::open(dbPath);
        const std::vector<RecordedSource> recorded = readRecordedSources(db);

        std::vector<std::int64_t> removal;
        SourceReader files;
        std::size_t kept = 0;  // recorded sources that are listed and there
        for (const RecordedSource& src : recorded) {
            const SourceFile* listed = nullptr;
            for (const SourceFile& f : sources) {
                if (src.isSameFile(f)) {
                    listed = &f;
                    break;
                }
            }
            // An archive member's date is its own in the archive: an archive
            // downloaded again with the same members changes nothing here.
            const std::optional<std::string> date =
                listed ? files.date(*listed) : std::optional<std::string>();
            const bool changed = listed && sourceChanged(src.date, date);
            kept += listed && date ? 1 : 0;
            if (!listed || changed) {
                if (removal.size() >= kMaxRemovedSources)
                    throw Error(FormatError::TooManyEntries,
                                "削除するソースが多過ぎます。(最大10000)");
                removal.push_back(src.id);
                if (changed)
                    plan.loadList.push_back(*listed);
            }
        }

        if (!recorded.empty() && kept == 0)
            refuseLosingEverySource(sources, files);

        // A registry dataset and its _pos partner are one source in two files:
        // when either changed, both are loaded again.
        for (const RecordedSource& src : recorded) {
            if (!src.dir || !src.file ||
                std::find(removal.begin(), removal.end(), src.id) != removal.end())
                continue;
            const auto partner = abrPartnerOf(SourceFile{*src.dir, *src.file});
            if (!partner || std::find(plan.loadList.begin(), plan.loadList.end(), *partner) ==
                                plan.loadList.end())
                continue;
            for (const SourceFile& f : sources) {
                if (src.isSameFile(f)) {
                    removal.push_back(src.id);
                    plan.loadList.push_back(f);
                    break;
                }
            }
        }

        if (!removal.empty()) {
            Transaction tx(db);
            plan.removedRows = deleteSources(db, removal);
            tx.commit();
        }

        // New files: listed, but not recorded under exactly this directory and
        // name. The comparison is exact here as above, so a file whose name only
        // changed in letter case is loaded as the new file it is.
        for (const SourceFile& f : sources) {
            bool known = false;
            for (const RecordedSource& src : recorded) {
                if (src.isSameFile(f)) {
                    known = true;
                    break;
                }
            }
            if (!known)
                plan.loadList.push_back(f);
        }
        plan.removed = static_cast<std::int32_t>(removal.size());
        return plan;
    });
}

}  // namespace mrk2
