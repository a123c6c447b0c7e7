#include "import/PositionLoader.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "app/Error.h"
#include "app/ErrorReport.h"
#include "app/Limits.h"
#include "app/LineReader.h"
#include "app/Paths.h"
#include "app/ProgressPacer.h"
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

// How many lines to skip before the first data line: the start line minus one,
// rounded to the nearest 16-bit integer (halves to even, as the tool always did).
long linesToSkip(const std::string& startLine) {
    std::string s = startLine;
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    std::size_t used = 0;
    double value = 0;
    bool ok = !s.empty();
    if (ok) {
        try {
            value = std::stod(s, &used);
        } catch (const std::exception&) {
            ok = false;
        }
    }
    double skip = std::nearbyint(value - 1);
    if (!ok || used != s.size() || !std::isfinite(value) || skip < -32768 || skip > 32767) {
        throw Error(FormatError::NotANumber, "開始行 \"" + startLine + "\" は数値ではありません。");
    }
    return static_cast<long>(skip);
}

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

void recordPrefecture(AppState& state, const std::string& pref) {
    auto& list = state.importPrefs;
    if (std::find(list.begin(), list.end(), pref) != list.end())
        return;
    if (list.size() >= kMaxImportPrefs) {
        throw Error(FormatError::TooManyEntries,
                    "都道府県名が多過ぎます。(最大" + std::to_string(kMaxImportPrefs) + ")");
    }
    list.push_back(pref);
}

}  // namespace

bool loadPositionCsv(AppState& state, Person& person, const std::string& dbPath,
                     const std::string& dir, const std::string& file, int n, int count) {
    const std::string path = joinPath(dir, file);
    if (!fileExists(path))
        return person.askYesNo(path + "が見つかりません。継続しますか？");

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
            src.bind(1, file).bind(2, dir).bind(3, fileModifiedText(path));
            src.run();
            srcId = db.lastInsertRowid();
        }

        const std::string code = firstCharacters(file, 5);
        person.setProgressLabel(ProgressLabel::DetailProc, code + " (" + std::to_string(n) + "/" +
                                                               std::to_string(count) + ")");

        LineReader reader;
        reader.open(path);
        for (long skip = linesToSkip(state.strPosInfoStart); skip > 0; --skip) {
            std::string header;
            if (!reader.next(header))
                break;
        }

        writer.emplace(db, state.intPosInfoFieldNo);
        writer->bindSource(code, srcId, dir, file);
        ProgressPacer pacer;
        std::int32_t records = 0;
        std::string line;
        std::string pref;
        while (state.blnProcessing) {
            if (pacer.due()) {
                person.setProgressLabel(ProgressLabel::DetailProcSub, std::to_string(records));
                person.yield();
            }
            if (!reader.next(line))
                break;
            ++records;
            pref = writer->stage(line, reader.lineNumber());
        }
        person.setProgressLabel(ProgressLabel::DetailProcSub, std::to_string(records));
        reader.close();
        writer->flush();

        recordPrefecture(state, pref);
        tx->commit();
        return state.blnProcessing;
    } catch (const std::exception& e) {
        // Like a row-by-row load, what was staged before the fault stays; the run
        // discards the whole work file anyway.
        if (tx) {
            try {
                if (writer)
                    writer->flush();
                tx->commit();
            } catch (const std::exception&) {
            }
        }
        reportError(person, e, path);
        return false;
    }
}

}  // namespace mrk2
