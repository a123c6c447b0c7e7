#include "import/ImportRun.h"

#include <algorithm>
#include <set>
#include <vector>

#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/FileNames.h"
#include "base/FileOps.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "base/RunProgress.h"
#include "data/Catalog.h"
#include "data/Compaction.h"
#include "data/Database.h"
#include "data/LaterIndexes.h"
#include "data/PendingRegionChange.h"
#include "data/PointIndex.h"
#include "data/RegionSchema.h"
#include "data/SchemaNames.h"
#include "data/WorkFiles.h"
#include "import/GroupedExtraction.h"
#include "import/MunicipalityCoverage.h"
#include "import/OpenedSource.h"
#include "import/PositionLoader.h"
#include "import/RegionPostal.h"
#include "import/RegisterWorkDatabase.h"
#include "import/UniqueExtraction.h"
#include "import/UpdateDetection.h"
#include "postal/PostalTable.h"

namespace mrk2 {

namespace {

// A per-town table that holds no rows and that no town names is left over from an
// earlier run: the table made for a run's first town when MINRECS is 0 (every
// town then begins a table of its own), or for a file without data lines. Its
// name would be taken when the numbering reaches it again, and that run would
// fail; so such tables go before any table is made.
void dropUnusedTownTables(const std::string& dbPath) {
    inContext(dbPath, [&] {
        Database db = Database::open(dbPath);
        std::vector<std::string> tables;
        {
            Statement st =
                db.prepare("SELECT name FROM sqlite_schema WHERE type = 'table' AND name GLOB ?1");
            st.bind(1, townTableGlob());
            while (st.step())
                tables.push_back(st.text(0));
        }
        // The names POSITION gives, read once: a lookup per table would scan
        // POSITION (no index on fldTableName) as often as there are tables.
        std::set<std::string> named;
        {
            const std::string column = quoteIdentifier(fields::kTableName);
            Statement st = db.prepare("SELECT DISTINCT " + column + " FROM " +
                                      quoteIdentifier(tables::kPosition) + " WHERE " + column +
                                      " IS NOT NULL");
            while (st.step())
                named.insert(st.text(0));
        }
        for (const std::string& table : tables) {
            if (named.count(table))
                continue;
            Statement rows = db.prepare("SELECT 1 FROM " + quoteIdentifier(table) + " LIMIT 1");
            bool empty = !rows.step();
            rows = Statement();
            if (empty)
                db.exec("DROP TABLE " + quoteIdentifier(table));
        }
    });
}

// Thrown between steps once Stop was pressed.
struct StopSeen {};

class Run {
  public:
    Run(const ImportRequest& request, RunProgress& progress)
        : request_(request),
          progress_(progress),
          register_(request.mode == ImportMode::Register),
          regionPath_(files::regionDbPath(request.dbDir, request.region)),
          workPath_(files::regionWorkPath(request.dbDir, request.region)),
          compactedPath_(files::regionCompactedPath(request.dbDir, request.region)),
          newRegion_(!fileExists(regionPath_)) {
        // A register run builds a new file: its indexes come after all its
        // tables, as in a compacted copy (LaterIndexes.h).
        if (register_)
            cursor_.laterIndexes = &laterIndexes_;
    }

    const std::string& workPath() const { return workPath_; }

    // After a failure: the record of the region change goes, unless a new
    // region's file could not be taken out again (its row is then still to come).
    void abandonRegionChange() {
        if (recorded_ && !(newRegion_ && fileExists(regionPath_)))
            forgetRegionChange(request_.dbDir, request_.region);
    }

    // Returns Completed, or NothingToDo for an update that found nothing changed.
    Outcome execute() {
        progress_.report().target = files::regionDbFileName(request_.region);
        progress_.step(ProgressStep::Starting);
        checkStop();
        makeWorkDatabase();
        prepareTables();
        std::vector<std::string> prefs;
        if (!loadList_.empty())
            loadFiles(prefs);
        refuseEmptyLoad();
        // The file lines are cleared whether or not the run goes on.
        progress_.step(ProgressStep::FilesDone);
        checkStop();
        fillPostalTable();
        checkStop();
        const bool changed = !loadList_.empty() || removed_ > 0;
        // A region built before the point index existed gets it from its next
        // update, even one that finds no file changed.
        const bool indexOnly = !register_ && !changed && !workHasPointIndex();
        if (changed || indexOnly)
            indexPoints();
        if (register_)
            createLaterIndexes();
        if (changed || indexOnly)
            replaceRegionDatabase();
        Outcome outcome =
            changed || register_ || indexOnly ? Outcome::completed() : Outcome::nothingToDo();
        outcome.report = notes_;
        if (indexOnly)
            outcome.report.push_back("位置の索引を作成しました。");
        if (auto kinds = rowKindsNote(came_, went_, withoutPosition_, toldByKind_))
            outcome.report.push_back(*kinds);
        finish(outcome);
        return outcome;
    }

  private:
    void checkStop() const {
        if (progress_.stopped())
            throw StopSeen{};
    }

    void makeWorkDatabase() {
        if (!fileExists(regionPath_)) {
            progress_.step(ProgressStep::CreatingDatabase);
            checkStop();
            createEmptyDatabase(workPath_);
        } else if (register_) {
            inContext(workPath_,
                      [&] { makeRegisterWorkDatabase(regionPath_, workPath_, &laterIndexes_); });
            checkStop();
        } else {
            inContext(workPath_, [&] {
                removeDatabaseFiles(workPath_);
                copyFile(regionPath_, workPath_);
            });
            checkStop();
        }
    }

    void prepareTables() {
        if (register_) {
            cursor_.tableNumber = 1;
            createPositionTables(workPath_, &laterIndexes_);
            dropUnusedTownTables(workPath_);
            progress_.step(ProgressStep::CreatingTables);
            checkStop();
            loadList_ = request_.sources;
            return;
        }
        UpdatePlan plan = checkUpdatedFiles(workPath_, request_.sources);
        removed_ = plan.removed;
        went_ = plan.removedRows;
        loadList_ = std::move(plan.loadList);
        dropUnusedTownTables(workPath_);
        cursor_.tableNumber = static_cast<int>(nextTableNumber(workPath_));
    }

    void loadFiles(std::vector<std::string>& prefs) {
        // One connection for every file: each opening would read a schema that
        // grows by a table every few towns.
        Database db = inContext(workPath_, [&] { return Database::open(workPath_); });
        db.useFastUnsafePragmas();
        // Rows are only appended, which needs little cache; the memory goes to
        // the lines grouped in memory (ImportRequest::groupingBudget) instead.
        db.exec("PRAGMA cache_size = -16384");
        inContext(workPath_, [&] { addTownTable(db, cursor_.tableNumber, cursor_); });
        coverKeptSources(db);
        GroupedExtraction grouped(db);
        MemoryBudget own(request_.groupingBudget);
        const MemoryBudget::Share share(request_.sharedMemory ? *request_.sharedMemory : own);
        TownSort groups(share, request_.dbDir);
        Progress& report = progress_.report();
        report.files = static_cast<int>(loadList_.size());
        report.bytesTotal = 0;
        for (const SourceFile& f : loadList_)
            report.bytesTotal += sources_.size(f);
        std::uint64_t bytesBefore = 0;
        for (int n = 1; n <= report.files; ++n) {
            const SourceFile& f = loadList_[static_cast<std::size_t>(n - 1)];
            checkStop();
            progress_.beginFile(n, f.file, bytesBefore, f.inArchive());
            progress_.step(ProgressStep::Staging);
            Transaction tx(db);
            try {
                LoadedFile loaded = loadPositionFile(db, f, request_.layout, progress_, prefs,
                                                     &groups, sources_, request_.skipMissingFiles);
                if (loaded.note)
                    notes_.push_back(*loaded.note);
                if (loaded.where != LoadedFile::Where::Skipped)
                    readPaths_ += (readPaths_.empty() ? "" : "\n") + f.path();
                rowsRead_ += loaded.rows;
                coverage_.add(loaded.layout, loaded.coverage, f.path());
                came_ += loaded.kinds;
                toldByKind_ = toldByKind_ || loaded.toldByKind;
                withoutPosition_ += loaded.withoutPosition;
                checkStop();
                progress_.step(ProgressStep::Extracting);
                checkStop();
                inContext(workPath_, [&] {
                    if (loaded.where == LoadedFile::Where::Staging)
                        getUniqueTable(db, request_.minRecs, cursor_, progress_);
                    else if (loaded.where == LoadedFile::Where::Memory)
                        grouped.write(groups, loaded.source, request_.minRecs, cursor_, progress_);
                });
            } catch (...) {
                tx.commitAfterFault();
                throw;
            }
            tx.commit();
            checkStop();
            bytesBefore += sources_.size(f);
        }
    }

    // An update's sources kept as they were are part of the run's sources: a
    // source loaded now may not cover their municipalities in their layout.
    void coverKeptSources(Database& db) {
        if (register_)
            return;
        const auto recorded = inContext(workPath_, [&] { return recordedCoverage(db); });
        for (const SourceFile& f : request_.sources) {
            const auto kept = recorded.find({f.dir, f.file});
            if (kept == recorded.end() || kept->second.municipalities().empty() ||
                std::find(loadList_.begin(), loadList_.end(), f) != loadList_.end())
                continue;
            coverage_.add(openSourceRows(sources_, f, request_.layout).layout, kept->second,
                          f.path());
        }
    }

    // Sources read that gave no row (a _pos file alone, a file with a header
    // only) would replace the region's data with nothing: the run fails instead.
    void refuseEmptyLoad() const {
        if (!readPaths_.empty() && rowsRead_ == 0 && !progress_.stopped())
            throw Error(FormatError::NotFound, "読み込んだソースに位置参照の行が一つもありません。",
                        readPaths_);
    }

    // POST follows the prefectures the region holds after the run, in register
    // and update alike: a prefecture whose sources went takes its rows along.
    void fillPostalTable() {
        const std::string base = files::baseDbPath(request_.dbDir);
        if (register_) {
            createPostTable(workPath_, &laterIndexes_);
            progress_.step(ProgressStep::CreatingPostal);
            checkStop();
            matchRegionPostTable(workPath_, base);
        } else if (!loadList_.empty() || removed_ > 0) {
            progress_.step(ProgressStep::UpdatingPostal);
            checkStop();
            matchRegionPostTable(workPath_, base);
        }
    }

    bool workHasPointIndex() {
        return inContext(workPath_, [&] {
            Database db = Database::open(workPath_, Database::Mode::ReadOnly);
            return hasPointIndex(db);
        });
    }

    // The point index is made from the finished per-town tables in the work
    // file, so the region and its index are replaced in one rename. A register
    // makes it before the held-back indexes, as a table among tables.
    void indexPoints() {
        inContext(workPath_, [&] {
            Database db = Database::open(workPath_);
            db.useFastUnsafePragmas();
            Transaction tx(db);
            buildPointIndex(db, [&] { checkStop(); });
            tx.commit();
        });
        checkStop();
    }

    void createLaterIndexes() {
        inContext(workPath_, [&] {
            Database db = Database::open(workPath_);
            db.useFastUnsafePragmas();
            laterIndexes_.createAll(db, [&] { checkStop(); });
        });
    }

    void replaceRegionDatabase() {
        progress_.step(ProgressStep::Compacting);
        checkStop();
        // The old file stays in place until the verified new one is renamed over
        // it; a crash at any moment leaves one of the two complete. The catalog
        // row follows the file (PendingRegionChange.h).
        recordRegionChange(request_.dbDir, RegionChange::Register, request_.region);
        recorded_ = true;
        inContext(regionPath_,
                  [&] { replaceWithWorkDatabase(workPath_, compactedPath_, regionPath_); });
    }

    void finish(Outcome& outcome) {
        // A work file that stays is replaced by the next run; the person hears
        // of it all the same.
        try {
            removeDatabaseFiles(workPath_);
        } catch (const std::exception& e) {
            outcome.report.push_back(errorText(e, workPath_));
        }
        // The region database is in place; a catalog that cannot take it is a
        // failure the person must hear about, not a completed run.
        try {
            registerDbInCatalog(files::baseDbPath(request_.dbDir), request_.dbDir, request_.region);
        } catch (...) {
            // A new region whose row cannot be added is taken out again.
            if (newRegion_ && recorded_) {
                try {
                    removeDatabaseFiles(regionPath_);
                } catch (const std::exception&) {
                    // The catalog's error is the one to tell; a file that stays
                    // keeps its pending record, and the next start adds its row.
                }
            }
            throw;
        }
        if (recorded_) {
            forgetRegionChange(request_.dbDir, request_.region);
            recorded_ = false;
        }
    }

    const ImportRequest& request_;
    RunProgress& progress_;
    const bool register_;
    const std::string regionPath_;
    const std::string workPath_;
    const std::string compactedPath_;
    const bool newRegion_;   // no region file before this run
    bool recorded_ = false;  // a region change is recorded and not yet done
    std::vector<SourceFile> loadList_;
    SourceReader sources_;  // keeps each archive open for all of its members
    std::int32_t removed_ = 0;
    // Houses, blocks and parcels that came and went, for the registry's summary.
    RowKinds came_;
    RowKinds went_;
    bool toldByKind_ = false;
    std::int64_t withoutPosition_ = 0;
    std::vector<std::string> notes_;  // the loaded files' notes, told after the run
    std::string readPaths_;           // the sources read (not skipped), one a line
    std::int64_t rowsRead_ = 0;       // their rows
    RunCoverage coverage_;            // no municipality twice in one layout
    TownTableCursor cursor_;
    LaterIndexes laterIndexes_;
};

}  // namespace

void createEmptyDatabase(const std::string& path) {
    inContext(path, [&] {
        removeDatabaseFiles(path);
        Database db = Database::open(path, Database::Mode::Create);
        // Writes the header, so the file is a database and not an empty file.
        db.exec("PRAGMA application_id = 1297238834");  // "MRK2"
        db.close();
    });
}

Outcome runImport(const ImportRequest& request, StopControl& stop, ProgressSink& sink) {
    // Every run passes the name rule, whoever named the region: the name makes
    // the paths of the files the run writes and removes.
    if (!isUsableRegionName(request.region))
        return Outcome::failed();
    // Sources are recorded by absolute paths, whoever listed them.
    ImportRequest absolute = request;
    makeSourceDirsAbsolute(absolute.sources);
    RunProgress progress(sink, stop);
    Run run(absolute, progress);
    Outcome outcome;
    try {
        outcome = run.execute();
    } catch (const StopSeen&) {
        outcome = Outcome::stopped();  // the Stop was seen between two steps
    } catch (const std::exception& e) {
        outcome = failure(e);
    }
    if (!outcome.succeeded()) {
        // A stopped or failed run leaves no work file behind.
        try {
            run.abandonRegionChange();
            removeDatabaseFiles(run.workPath());
        } catch (const std::exception& e) {
            outcome.report.push_back(errorText(e, run.workPath()));
        }
    }
    return outcome;
}

}  // namespace mrk2
