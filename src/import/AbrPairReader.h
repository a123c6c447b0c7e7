#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "import/AbrCsvReader.h"
#include "import/AbrHeader.h"

namespace mrk2 {

// What became of a pair's rows besides those stored: every row is counted once.
struct AbrCounts {
    std::int64_t paired = 0;           // rows with a position
    std::int64_t withoutPosition = 0;  // no _pos row, or one with no latitude/longitude
    std::int64_t retired = 0;          // ablt_date set
    std::int64_t unpaired = 0;         // _pos rows whose key no dataset row has
};

// Joins a registry dataset with its _pos partner on their keys (lg_code,
// machiaza_id and blk_id / rsdt_id / rsdt2_id / prc_id), streaming: the registry
// publishes both sorted by these keys, so one pass over each in step joins them
// in the memory of two records. A file out of that order is refused rather than
// joined wrongly.
class AbrPairReader {
  public:
    // Opens the two files, in either order: their headers say which is which.
    // Throws mrk2::Error naming the file when a header is not a registry one, or
    // the two are not one dataset and its _pos partner.
    void open(const std::string& first, const std::string& second);
    // The same on bytes from elsewhere (archive members); the names are for
    // messages.
    void open(const std::string& firstName, std::unique_ptr<ByteSource> first,
              const std::string& secondName, std::unique_ptr<ByteSource> second);

    // The next current row that has a position; false after the last.
    bool next();

    const AbrHeader& header() const { return data_->header; }
    const std::vector<std::string>& record() const { return data_->record; }
    std::string_view field(AbrColumn c) const { return data_->header.field(data_->record, c); }
    std::string_view lat() const { return pos_->header.field(pos_->record, AbrColumn::RepLat); }
    std::string_view lon() const { return pos_->header.field(pos_->record, AbrColumn::RepLon); }
    std::string_view srid() const { return pos_->header.field(pos_->record, AbrColumn::RepSrid); }

    // Where the current row's position is: the _pos file, its line and a column
    // (counted from 0), for messages.
    const std::string& positionPath() const { return pos_->path; }
    std::size_t dataLine() const { return data_->csv.lineNumber(); }
    std::size_t positionLine() const { return pos_->csv.lineNumber(); }
    int positionColumn(AbrColumn c) const { return pos_->header.column(c); }

    const AbrCounts& counts() const { return counts_; }
    const std::string& dataPath() const { return data_->path; }
    std::uint64_t bytesRead() const { return data_->csv.bytesRead() + pos_->csv.bytesRead(); }

  private:
    struct Side {
        std::string path;
        AbrCsvReader csv;
        AbrHeader header;
        std::vector<std::string> record;
        // The current record's key and the one before it, kept from record to
        // record: the join compares them several times a row.
        std::vector<std::string> currentKey, previousKey;
        std::vector<AbrColumn> keyColumns;
        bool done = false;
        void open(const std::string& name, std::unique_ptr<ByteSource> bytes);
        bool advance();  // reads the next record; false at the end
        const std::vector<std::string>& key() const { return currentKey; }
    };

    std::unique_ptr<Side> data_ = std::make_unique<Side>(), pos_ = std::make_unique<Side>();
    bool partnerGiven_ = false;
    AbrCounts counts_;
};

}  // namespace mrk2
