#pragma once
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "base/ByteSource.h"

struct zip;

namespace mrk2 {

// One member of a zip archive as its central directory declares it.
struct ArchiveMember {
    std::string name;        // as stored: MLIT's names hold a backslash ("47000-17.0b\47_2023.csv")
    std::uint64_t size = 0;  // declared size once unpacked
    std::uint64_t compressedSize = 0;  // declared size in the archive
    std::time_t modified = 0;          // the member's own date in the archive
    std::uint64_t index = 0;
};

// A zip archive read in place: members are listed from its central directory
// and unpacked as a stream when read, never extracted to disk. An archive on
// disk is opened once and read through that one open file throughout. A damaged
// archive (not a zip, truncated) fails on open; a damaged member (bad CRC,
// short data) fails while it is read. Errors name the archive and the member.
class ZipArchive {
  public:
    // Throws mrk2::Error naming the archive.
    static ZipArchive open(const std::string& path);
    // An archive held in memory (the program's own data); `name` names it in errors.
    static ZipArchive fromMemory(const void* data, std::size_t size, const std::string& name);

    const std::string& path() const { return path_; }
    const std::vector<ArchiveMember>& members() const { return members_; }
    // The member of that exact name, or nullptr.
    const ArchiveMember* find(const std::string& name) const;

    // The unpacked bytes of a member. Refuses, before reading anything, a member
    // whose declared size or compression ratio no real CSV has (a zip bomb), and
    // stops a member that unpacks to more than it declared.
    std::unique_ptr<ByteSource> openMember(const ArchiveMember& member) const;

    // Limits of a believable member.
    static constexpr std::uint64_t kMaxMemberBytes = 16ull << 30;
    static constexpr std::uint64_t kMaxRatio = 200;
    static constexpr std::uint64_t kRatioCheckedFrom = 16ull << 20;

    struct OpenFile;  // the file of an archive on disk, open for the whole run

  private:
    ZipArchive(std::shared_ptr<zip> handle, std::string path);
    std::shared_ptr<zip> handle_;
    std::string path_;
    std::shared_ptr<const OpenFile> file_;  // none for an archive in memory
    std::vector<ArchiveMember> members_;
};

// Whether a path names a zip archive by its extension (".zip", any letter case).
bool isZipPath(const std::string& path);
// Whether an archive member is a CSV file by its extension (".csv", any letter case).
bool isCsvName(const std::string& name);

}  // namespace mrk2
