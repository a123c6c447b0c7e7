#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/Error.h"
#include "base/ZipArchive.h"

namespace mrk2 {

// One position-reference source, identified by the pair (directory, file name),
// compared exactly. A CSV file on disk is its directory and its name; a CSV
// member of a zip archive is the archive's path and the member's name as stored
// ("/data/47000-17.0b.zip", "47000-17.0b\47_2023.csv"). Either way the pair is
// what POSITION管理 records, and path() is how the operator sees it.
struct SourceFile {
    std::string dir;
    std::string file;
    bool operator==(const SourceFile&) const = default;

    // The archive or the directory, a separator, and the member or file name.
    std::string path() const;
    // A member of a zip archive (its directory is an archive, not a directory).
    bool inArchive() const;
};

// The sources a path given by the operator stands for: a zip archive gives one
// source per CSV member, in the archive's order (its other members are not
// sources); any other path is one file. Their directories are absolute
// (absoluteSourceDir). Throws mrk2::Error for a damaged archive.
std::vector<SourceFile> sourcesOf(const std::string& path);

// A source's directory (or archive) as it is recorded: absolute and lexically
// normal, without a trailing separator. A source recorded as given
// ("nat/01000-17.0a.zip") would be looked for again from another working
// directory, found missing, and its data removed.
std::string absoluteSourceDir(const std::string& dir);
void makeSourceDirsAbsolute(std::vector<SourceFile>& sources);

// A file or member name without the folders before it: the part after the last
// "/" or "\" (MLIT's members sit under "13000-17.0a\").
std::string baseNameOf(const std::string& file);

// The municipality code a file name gives: its first five characters when they
// are five digits (per-municipality files, "13101_2023.csv"); otherwise none (a
// per-prefecture file, "30_2023.csv", names no municipality). Only the name
// after the last "/" or "\" counts.
std::optional<std::string> municipalityCodeOfName(const std::string& file);

// Opens sources, keeping each archive open once for all of its members: the
// date, size and bytes of a source are read here and nowhere else.
class SourceReader {
  public:
    // The date a source is recorded with: a file's last-modified time, a member's
    // own date in its archive; nullopt when it is not there. Throws mrk2::Error
    // for a damaged archive, and for what is no readable regular file.
    std::optional<std::string> date(const SourceFile& source);
    bool exists(const SourceFile& source) { return date(source).has_value(); }
    // The bytes it holds (a member: unpacked); 0 when it is not there.
    std::uint64_t size(const SourceFile& source);
    // Its bytes, read from start to end. Throws mrk2::Error naming the source.
    std::unique_ptr<ByteSource> open(const SourceFile& source);

    // How a fault met while reading these sources is told. Damage inside a
    // deflated member unpacks to bytes that may trip anything first (a CP932
    // or number error of some line) before the CRC at its end is reached: so
    // on such a fault each member read is unpacked once more to its end, and a
    // damaged one is the error (FormatError::DamagedArchive) instead of
    // `fault`. Costs nothing on a run without faults.
    Error damageFirst(const std::vector<SourceFile>& read, const Error& fault);

  private:
    const ZipArchive* archive(const std::string& path);
    const ArchiveMember* member(const SourceFile& source);
    std::map<std::string, std::optional<ZipArchive>> archives_;
};

// Whether a loaded source must be loaded again: its file is gone, or its date
// differs from the one recorded when it was loaded. An older date counts as
// much as a newer one: a file put back from an older copy holds other data.
bool sourceChanged(const std::optional<std::string>& recordedDate,
                   const std::optional<std::string>& currentDate);

// Keeps each source once, at its first place in the list: the same path again,
// or the same file (or the same member of the same archive) reached through
// another path (the same device and inode, as a link or "../csv/a.csv" gives
// it). Returns the entries taken out. Loading a file twice would store every one
// of its rows twice.
std::vector<SourceFile> dropRepeatedSources(std::vector<SourceFile>& sources);

}  // namespace mrk2
