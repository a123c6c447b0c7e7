#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "base/LineReader.h"

namespace mrk2 {

// Reads the records of an Address Base Registry CSV file by RFC 4180: fields in
// double quotes may hold commas, doubled quotes and line breaks. The registry
// publishes UTF-8 with CRLF; cut files have LF; the line reader takes both.
class AbrCsvReader {
  public:
    // Throws mrk2::Error (errno numbers).
    void open(const std::string& path) { lines_.open(path); }
    void open(std::unique_ptr<ByteSource> bytes) { lines_.open(std::move(bytes)); }

    // The next record's fields, unquoted; false at the end of the file. Throws
    // mrk2::Error (FormatError::RegistryFile) for a quote left open at the end.
    bool next(std::vector<std::string>& fields);

    // The line the last record began on (the first line is 1).
    std::size_t lineNumber() const { return recordLine_; }
    std::uint64_t bytesRead() const { return lines_.bytesRead(); }

  private:
    LineReader lines_;
    std::string line_;
    std::size_t recordLine_ = 0;
};

}  // namespace mrk2
