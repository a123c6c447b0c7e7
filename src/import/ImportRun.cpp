#include "import/ImportRun.h"

#include <vector>

#include "app/Error.h"
#include "app/ErrorReport.h"
#include "app/FileOps.h"
#include "app/Limits.h"
#include "app/Paths.h"
#include "data/Catalog.h"
#include "data/Compaction.h"
#include "data/Database.h"
#include "data/RegionDeletion.h"
#include "data/RegionSchema.h"
#include "import/PositionLoader.h"
#include "import/RegionPostal.h"
#include "import/UniqueExtraction.h"
#include "import/UpdateDetection.h"
#include "postal/PostalTable.h"

namespace mrk2 {

namespace {

// A work file together with the journal files SQLite may have left beside it. A
// journal from a killed run would otherwise be replayed into the next file of
// that name.
void removeWorkFile(const std::string& path) {
    removeFile(path);
    removeFile(path + "-journal");
    removeFile(path + "-wal");
    removeFile(path + "-shm");
}

void createEmptyDatabaseOrThrow(const std::string& path) {
    removeWorkFile(path);
    Database db = Database::open(path, Database::Mode::Create);
    // Writes the header, so the file is a database and not an empty file.
    db.exec("PRAGMA application_id = 1297238834");  // "MRK2"
    db.close();
}

// A per-town table that holds no rows and that no town names is left over from an
// earlier run: the table made for a run's first town when MINRECS is 0 (every
// town then begins a table of its own), or for a file without data lines. Its
// name would be taken when the numbering reaches it again, and that run would
// fail; so such tables go before any table is made.
void dropUnusedTownTables(const std::string& dbPath) {
    Database db = Database::open(dbPath);
    std::vector<std::string> tables;
    {
        Statement st = db.prepare(
            "SELECT name FROM sqlite_schema WHERE type = 'table' AND name GLOB "
            "'POSITION_[0-9][0-9][0-9][0-9]'");
        while (st.step())
            tables.push_back(st.text(0));
    }
    Statement named = db.prepare("SELECT 1 FROM POSITION WHERE fldTableName = ?1 LIMIT 1");
    for (const std::string& table : tables) {
        named.bind(1, table);
        bool isNamed = named.step();
        named.reset();
        if (isNamed)
            continue;
        Statement rows = db.prepare("SELECT 1 FROM " + quoteIdentifier(table) + " LIMIT 1");
        bool empty = !rows.step();
        rows = Statement();
        if (empty)
            db.exec("DROP TABLE " + quoteIdentifier(table));
    }
}

// Ends a stopped or failed run: the temporary database goes, the windows come back.
void abortImport(Person& person, const std::string& tempPath) {
    if (!tempPath.empty()) {
        try {
            removeWorkFile(tempPath);
        } catch (const std::exception& e) {
            reportError(person, e, tempPath);
        }
    }
    person.closeProgress();
    person.showSelectionWindow(true);
    person.buttonEnabled(true);
}

// Ends a completed run.
void finishImport(AppState& state, Person& person, const std::string& tempPath) {
    try {
        removeWorkFile(tempPath);
    } catch (const std::exception& e) {
        reportError(person, e, tempPath);
    }
    registerDbInCatalog(state, person, state.strRegionName);
    person.closeProgress();
    person.showSelectionWindow(true);
    person.buttonEnabled(true);
}

class Run {
  public:
    Run(AppState& state, Person& person, ImportMode mode)
        : state_(state),
          person_(person),
          register_(mode == ImportMode::Register),
          tempPath_(joinPath(state.strDbDir, state.strRegionName + "_$$$.mdb")),
          compactPath_(joinPath(state.strDbDir, state.strRegionName + "_cmpact.mdb")) {}

    void execute() {
        setUp();
        if (going())
            makeTemporaryDatabase();
        if (going())
            prepareTables();
        state_.importPrefs.clear();
        if (going() && !loadList_.empty())
            loadFiles();
        label(ProgressLabel::DetailProc, "");
        label(ProgressLabel::DetailProcSub, "");
        label(ProgressLabel::DetailStatus, "");
        if (going())
            fillPostalTable();
        if (going())
            replaceRegionDatabase();
        if (going()) {
            finishImport(state_, person_, tempPath_);
        } else {
            if (!aborted_)
                abortImport(person_, tempPath_);
            person_.closeProgress();
        }
        person_.showSelectionWindow(true);
    }

  private:
    bool going() const { return state_.blnProcessing; }
    void label(ProgressLabel l, const std::string& text) { person_.setProgressLabel(l, text); }

    void fail() {
        abortImport(person_, tempPath_);
        aborted_ = true;
        state_.blnProcessing = false;
    }

    void setUp() {
        person_.buttonEnabled(false);
        person_.showSelectionWindow(false);
        person_.showProgress(true);
        label(ProgressLabel::OnProccess, "データベース作成中 (" + state_.strPrefDb + ")");
        label(ProgressLabel::DetailProc, "");
        person_.yield();
    }

    void makeTemporaryDatabase() {
        try {
            if (!fileExists(state_.strPrefDbPath)) {
                label(ProgressLabel::DetailProc, "データベース作成中");
                person_.yield();
                createEmptyDatabaseOrThrow(tempPath_);
            } else {
                removeWorkFile(tempPath_);
                copyFile(state_.strPrefDbPath, tempPath_);
                person_.yield();
            }
        } catch (const std::exception& e) {
            reportError(person_, e, tempPath_);
            fail();
        }
    }

    void prepareTables() {
        if (register_) {
            cursor_.intTableNo = 1;
            if (!createPositionTables(person_, tempPath_) || !dropUnusedTables())
                return fail();
            label(ProgressLabel::DetailProc, "位置参照情報テーブル作成中です");
            person_.yield();
            loadList_ = state_.srcFiles;
            return;
        }
        removed_ = checkUpdatedFiles(state_, person_, tempPath_, loadList_);
        if (removed_ < 0 || !dropUnusedTables())
            return fail();
        std::int32_t next = nextTableNumber(person_, tempPath_);
        if (next <= 0)  // it has shown its error
            return fail();
        cursor_.intTableNo = static_cast<int>(next);
    }

    bool dropUnusedTables() {
        try {
            dropUnusedTownTables(tempPath_);
            return true;
        } catch (const std::exception& e) {
            reportError(person_, e, tempPath_);
            return false;
        }
    }

    void loadFiles() {
        if (cursor_.intTableNo > kMaxTownTableNumber) {
            person_.message("テーブル数が多過ぎます。(最大9999テーブル)");
            return fail();
        }
        cursor_.tableName = addTownTable(person_, tempPath_, cursor_.intTableNo, cursor_);
        if (cursor_.tableName.empty())
            return fail();
        const int count = static_cast<int>(loadList_.size());
        for (int n = 1; n <= count && going(); ++n) {
            const SourceFile& f = loadList_[static_cast<std::size_t>(n - 1)];
            person_.yield();
            if (!going())
                break;
            if (!createStagingTable(person_, tempPath_))
                return fail();
            label(ProgressLabel::DetailStatus, "一時テーブルに登録中");
            if (!loadPositionCsv(state_, person_, tempPath_, f.dir, f.file, n, count))
                return fail();
            person_.yield();
            if (!going())
                break;
            label(ProgressLabel::DetailStatus, "ユニークデータ抽出中");
            person_.yield();
            if (!going())
                break;
            if (!getUniqueTable(state_, person_, tempPath_, cursor_))
                return fail();
        }
    }

    void fillPostalTable() {
        if (register_) {
            if (!createPostTable(person_, tempPath_))
                return fail();
            label(ProgressLabel::DetailProc, "郵便番号テーブル作成中です");
            person_.yield();
            if (!fillRegionPostTable(state_, person_, tempPath_, false))
                return fail();
        } else if (!loadList_.empty()) {
            label(ProgressLabel::DetailProc, "郵便番号テーブル更新中です");
            person_.yield();
            // A prefecture loaded again replaces its postal rows instead of
            // doubling them.
            if (!fillRegionPostTable(state_, person_, tempPath_, true))
                return fail();
        }
    }

    void replaceRegionDatabase() {
        if (loadList_.empty() && removed_ <= 0)
            return;  // nothing changed: the region database keeps its file and date
        label(ProgressLabel::DetailProc, "データベースの最適化中です");
        person_.yield();
        if (!going())
            return;
        try {
            // The old file stays in place until the verified new one is renamed
            // over it; a crash at any moment leaves one of the two complete.
            compactAndReplace(tempPath_, compactPath_, state_.strPrefDbPath);
        } catch (const std::exception& e) {
            reportError(person_, e, state_.strPrefDbPath);
            fail();
        }
    }

    AppState& state_;
    Person& person_;
    const bool register_;
    const std::string tempPath_;
    const std::string compactPath_;
    std::vector<SourceFile> loadList_;
    std::int32_t removed_ = 0;
    TownTableCursor cursor_;
    bool aborted_ = false;
};

}  // namespace

bool createEmptyDatabase(const std::string& path) {
    try {
        createEmptyDatabaseOrThrow(path);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void runImport(AppState& state, Person& person, ImportMode mode) {
    if (!isUsableRegionName(state.strRegionName)) {
        person.message("この地域名はファイル名に使えません。\n" + state.strRegionName);
        state.blnProcessing = false;
        return;
    }
    Run(state, person, mode).execute();
}

}  // namespace mrk2
