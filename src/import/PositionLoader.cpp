#include "import/PositionLoader.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string_view>
#include <vector>

#include "base/Error.h"
#include "base/Limits.h"
#include "base/Paths.h"
#include "base/Utf8Text.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "data/SchemaNames.h"
#include "import/BatchInsert.h"
#include "import/MunicipalityCodes.h"
#include "import/MunicipalityMaster.h"
#include "import/OpenedSource.h"
#include "import/PositionLine.h"
#include "import/TownSort.h"

namespace mrk2 {

using enum PositionEntry;

namespace {

const std::vector<std::string> kSourceColumns = {fields::kSrcId, fields::kSrcDir, fields::kSrcFile};
// The row's municipality code, then the entries in their order.
const std::vector<std::string> kEntryColumns = {fields::kMunicipalityCode,
                                                fields::kPrefName,
                                                fields::kMunicipalityName,
                                                fields::kTownName,
                                                fields::kBlock,
                                                fields::kCoordinateSystem,
                                                fields::kX,
                                                fields::kY,
                                                fields::kLatitude,
                                                fields::kLongitude,
                                                fields::kMeshCode,
                                                fields::kResidenceIndication,
                                                fields::kRepresentative};
const std::string kAddSource = "INSERT INTO " + quoteIdentifier(tables::kSources) + " (" +
                               columnList({fields::kSrcFile, fields::kSrcDir, fields::kDate}) +
                               ") VALUES (?1, ?2, ?3)";

class StagingWriter {
  public:
    explicit StagingWriter(Database& db)
        : insert_(db, tables::kStaging, kSourceColumns, kEntryColumns) {}

    void bindSource(const GroupedSource& source, const SourceFile& file) {
        insert_.setConstant(0, source.srcId);
        insert_.setConstant(1, file.dir);
        insert_.setConstant(2, file.file);
    }

    // Stages the checked values of one line.
    void stage(const PositionValues& values, std::optional<std::string_view> code) {
        if (code)
            insert_.value(*code);
        else
            insert_.null();
        for (const std::optional<std::string_view>& value : values) {
            if (value)
                insert_.value(*value);
            else
                insert_.null();
        }
        insert_.endRow();
    }

    // Writes the lines staged so far.
    void flush() { insert_.flush(); }

  private:
    BatchInsert insert_;
};

void recordPrefecture(std::vector<std::string>& list, const std::string& pref) {
    if (std::find(list.begin(), list.end(), pref) != list.end())
        return;
    if (list.size() >= kMaxImportPrefs) {
        throw Error(FormatError::TooManyEntries,
                    "都道府県名が多過ぎます。(最大" + std::to_string(kMaxImportPrefs) + ")");
    }
    list.push_back(pref);
}

// After a fault, the lines staged before it stay, as with a line-by-line load
// (see Transaction::commitAfterFault).
void keepWhatWasStaged(std::optional<StagingWriter>& writer) {
    try {
        if (writer)
            writer->flush();
    } catch (const std::exception&) {
        // Not told: the fault that led here is the one to tell, and the run
        // throws the work file away.
    }
}

}  // namespace

LoadedFile loadPositionFile(Database& db, const SourceFile& source, const ConfiguredColumns& layout,
                            RunProgress& progress, std::vector<std::string>& prefs,
                            TownSort* groups, SourceReader& sources, bool skipMissing) {
    const std::string path = source.path();
    if (groups)
        groups->clear();
    std::optional<StagingWriter> staging;
    try {
        const std::optional<std::string> date = sources.date(source);
        if (!date) {
            if (!skipMissing)
                throw fileError(ENOENT);
            LoadedFile skipped;
            skipped.where = LoadedFile::Where::Skipped;
            return skipped;
        }
        // The source is recorded before any of its rows.
        LoadedFile loaded;  // grouped unless a line cannot be
        {
            Statement src = db.prepare(kAddSource);
            src.bind(1, source.file).bind(2, source.dir).bind(3, date);
            src.run();
            loaded.source.srcId = db.lastInsertRowid();
        }

        OpenedSource opened = openSourceRows(sources, source, layout);
        SourceRows* rows = opened.rows.get();
        loaded.layout = opened.layout;
        MunicipalityCodes codes(MunicipalityMaster::builtIn());
        codes.beginFile(municipalityCodeOfName(source.file));
        PositionRow row;
        std::int32_t records = 0;
        std::string pref;
        while (!progress.stopped()) {
            progress.reading(records, rows->bytesRead());
            if (!rows->next(row))
                break;
            ++records;
            const PositionValues& values = row.values;
            const std::optional<std::string_view> code = codes.codeOf(row);
            pref = *values[Pref];
            loaded.coverage.see(code, values[Pref], values[Muni]);
            loaded.kinds.add(values[Block], values[ResidenceFlag]);
            if (staging) {
                staging->stage(values, code);
                continue;
            }
            if (groups && groups->add(values, code))
                continue;
            // No grouping, or a line it cannot keep: the file goes the way of
            // the staging table, with the lines kept so far first (a town's in
            // their order, which is all the extraction's sort keeps).
            createStagingTableIn(db);
            staging.emplace(db);
            staging->bindSource(loaded.source, source);
            if (groups) {
                groups->forEachKept(
                    [&](const PositionValues& kept, std::optional<std::string_view> keptCode) {
                        staging->stage(kept, keptCode);
                    });
                groups->clear();
            }
            staging->stage(values, code);
            loaded.where = LoadedFile::Where::Staging;
        }
        progress.fileRead(records, rows->bytesRead());
        loaded.rows = records;
        loaded.note = rows->note();
        loaded.toldByKind = rows->toldByKind();
        loaded.withoutPosition = rows->rowsWithoutPosition();
        if (staging)
            staging->flush();
        else if (groups)
            groups->group();

        recordPrefecture(prefs, pref);
        return loaded;
    } catch (const std::exception& e) {
        keepWhatWasStaged(staging);
        throw sources.damageFirst(filesReadFor(source), asError(e)).in(path);
    }
}

void loadPositionCsv(const std::string& dbPath, const SourceFile& source,
                     const ConfiguredColumns& layout, RunProgress& progress,
                     std::vector<std::string>& prefs, bool skipMissing) {
    const std::string path = source.path();
    SourceReader sources;
    Database db;
    try {
        if (sources.exists(source)) {
            db = Database::open(dbPath);
            // The run's work file is thrown away on any failure, so it needs no journal.
            db.useFastUnsafePragmas();
        }
    } catch (const Error& e) {
        throw e.in(path);
    }
    std::optional<Transaction> tx;
    if (db.isOpen())
        tx.emplace(db);
    try {
        // No grouping: every line goes to the staging table.
        loadPositionFile(db, source, layout, progress, prefs, nullptr, sources, skipMissing);
    } catch (...) {
        if (tx)
            tx->commitAfterFault();
        throw;
    }
    if (tx)
        tx->commit();
}

}  // namespace mrk2
