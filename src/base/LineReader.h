#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/ByteSource.h"

namespace mrk2 {

// Reads a CSV file line by line as UTF-8, whatever its encoding on disk, without
// ever holding the whole file in memory. The bytes come from a ByteSource: a file
// on disk or a member of an archive.
//
// Encoding: a file that starts with a UTF-8 byte order mark, or whose first
// 64 KiB are valid UTF-8 and contain non-ASCII text, is UTF-8 (Japan Post also
// publishes a UTF-8 edition); anything else is CP932. Bytes that are not valid in
// the chosen encoding, and NUL bytes, raise mrk2::Error
// (FormatError::InvalidEncoding) naming the line; the caller adds the file path as
// context.
//
// A line of more than kMaxLineBytes bytes raises mrk2::Error
// (FormatError::TooManyEntries) naming the line, found before more than that and
// one buffer are held: published lines are under 1 KiB, and a line of a gigabyte
// in a small archive would otherwise be held whole.
//
// Lines end at CR, LF or CR LF. A line break at the very end of the file makes no
// extra empty line; an empty line before it is still a line.
class LineReader {
  public:
    enum class Encoding { Cp932, Utf8 };

    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens the file and decides its encoding. Throws mrk2::Error (errno numbers).
    void open(const std::string& path);
    // Reads these bytes instead, and decides their encoding.
    void open(std::unique_ptr<ByteSource> bytes);
    void close();
    bool isOpen() const { return bytes_ != nullptr; }

    // The next line, decoded, without its line break; false at the end of the file.
    bool next(std::string& line);
    // The number of the line last returned (the first line is 1).
    std::size_t lineNumber() const { return lineNumber_; }
    Encoding encoding() const { return encoding_; }
    // Bytes of the file taken up by the lines returned so far (for progress).
    std::uint64_t bytesRead() const { return fileBytes_ - (end_ - pos_); }

    // How much of the file decides the encoding.
    static constexpr std::size_t kProbeSize = 64 * 1024;
    // The longest line read, in the file's own bytes.
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;

  private:
    bool fill();  // reads more bytes; false at the end of the file
    void decode(std::string& line);

    std::unique_ptr<ByteSource> bytes_;
    std::vector<char> buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t fileBytes_ = 0;  // bytes read from the file into the buffer
    bool eof_ = false;
    bool skipLf_ = false;  // the previous line ended in CR; a following LF belongs to it
    std::size_t lineNumber_ = 0;
    Encoding encoding_ = Encoding::Cp932;
    std::string raw_;
};

class Error;
// The error of a line longer than LineReader::kMaxLineBytes, naming it.
Error lineTooLong(std::size_t lineNo);

// The encoding decision on the first bytes of a file. `complete` says whether
// these are all the bytes of the file: when not, a multi-byte sequence cut at the
// end of the probe does not count against UTF-8.
LineReader::Encoding detectEncoding(const char* data, std::size_t size, bool complete);

// The encoding a LineReader decides for a source that begins with `head`: its
// first kProbeSize + 1 bytes, or all of a shorter source (the byte past the
// probe tells a source cut there from one that ends there).
LineReader::Encoding encodingOfHead(std::string_view head);

}  // namespace mrk2
