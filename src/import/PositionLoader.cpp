#include "import/PositionLoader.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "app/Error.h"
#include "app/Limits.h"
#include "app/LineReader.h"
#include "app/Paths.h"
#include "app/Utf8Text.h"
#include "data/Database.h"
#include "import/BatchInsert.h"
#include "import/PositionLine.h"

namespace mrk2 {

namespace {

const std::vector<std::string> kSourceColumns = {"fld市区町村コード", "fldSrcID", "fldSrcDir",
                                                 "fldSrcFile"};
// In the order of the entries.
const std::vector<std::string> kEntryColumns = {
    "fld都道府県名", "fld市区町村名",     "fld大字・町丁目",   "fld街区・番地",
    "fld座標系番号", "fldＸ座標",         "fldＹ座標",         "fld緯度",
    "fld経度",       "fldメッシュコード", "fld住居表示フラグ", "fld代表フラグ"};

class StagingWriter {
  public:
    StagingWriter(Database& db, const std::array<int, 12>& columns)
        : insert_(db, "POSITION_TMP", kSourceColumns, kEntryColumns), columns_(columns) {}

    void bindSource(const std::string& code, std::int64_t srcId, const std::string& dir,
                    const std::string& file) {
        insert_.setConstant(0, code);
        insert_.setConstant(1, srcId);
        insert_.setConstant(2, dir);
        insert_.setConstant(3, file);
    }

    // Stages one line; returns the cleaned prefecture name. A faulty line throws
    // and is not staged.
    std::string_view stage(std::string_view line, std::size_t lineNo) {
        mapPositionLine(line, columns_, lineNo, fields_, values_);
        for (const std::optional<std::string_view>& value : values_) {
            if (value)
                insert_.value(*value);
            else
                insert_.null();
        }
        insert_.endRow();
        return *values_[Pref];
    }

    // Writes the lines staged so far.
    void flush() { insert_.flush(); }

  private:
    BatchInsert insert_;
    const std::array<int, 12>& columns_;
    std::vector<std::string_view> fields_;
    PositionValues values_;
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

// After a fault, the lines staged before it stay, as with a line-by-line load.
// The work file has no journal, and without one a rollback is undefined in
// SQLite; so what was done is committed, and the run throws the work file away.
void keepWhatWasStaged(std::optional<Transaction>& tx, std::optional<StagingWriter>& writer) {
    if (!tx)
        return;
    try {
        if (writer)
            writer->flush();
        tx->commit();
    } catch (const std::exception&) {
    }
}

}  // namespace

void loadPositionCsv(const std::string& dbPath, const SourceFile& source,
                     const PositionLayout& layout, RunProgress& progress,
                     std::vector<std::string>& prefs) {
    const std::string path = joinPath(source.dir, source.file);
    if (!fileExists(path)) {
        if (!progress.person().askYesNo(path + "が見つかりません。継続しますか？"))
            throw Declined{};
        return;
    }

    Database db;
    std::optional<Transaction> tx;
    std::optional<StagingWriter> writer;
    try {
        db = Database::open(dbPath);
        // The run's work file is thrown away on any failure, so it needs no journal.
        db.useFastUnsafePragmas();
        tx.emplace(db);

        // The source is recorded before any of its rows.
        std::int64_t srcId;
        {
            Statement src = db.prepare(
                "INSERT INTO POSITION管理 (fldSrcFile, fldSrcDir, fldDate) VALUES (?1, ?2, ?3)");
            src.bind(1, source.file).bind(2, source.dir).bind(3, fileModifiedText(path));
            src.run();
            srcId = db.lastInsertRowid();
        }

        LineReader reader;
        reader.open(path);
        std::string line;
        for (int skip = layout.startLine - 1; skip > 0 && reader.next(line); --skip) {
        }

        writer.emplace(db, layout.columns);
        writer->bindSource(firstCharacters(source.file, 5), srcId, source.dir, source.file);
        std::int32_t records = 0;
        std::string pref;
        while (!progress.stopped()) {
            progress.reading(records, reader.bytesRead());
            if (!reader.next(line))
                break;
            ++records;
            pref = writer->stage(line, reader.lineNumber());
        }
        progress.fileRead(records, reader.bytesRead());
        reader.close();
        writer->flush();

        recordPrefecture(prefs, pref);
        tx->commit();
    } catch (const std::exception& e) {
        keepWhatWasStaged(tx, writer);
        throw asError(e).in(path);
    }
}

}  // namespace mrk2
