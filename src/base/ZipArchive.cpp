#include "base/ZipArchive.h"

#include <zip.h>

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/Cp932.h"
#include "base/Error.h"
#include "base/Utf8.h"

namespace mrk2 {

namespace {

bool endsWithNoCase(const std::string& text, const char* suffix) {
    std::size_t n = std::char_traits<char>::length(suffix);
    return text.size() >= n && ::strcasecmp(text.c_str() + text.size() - n, suffix) == 0;
}

Error archiveError(const std::string& what, const std::string& archive) {
    return Error(FormatError::DamagedArchive, what, archive);
}

// libzip's reason in the operator's words; libzip's own text for the rare rest.
std::string zipErrorText(zip_error_t* error) {
    switch (zip_error_code_zip(error)) {
        case ZIP_ER_CRC:
            return "CRC が一致しません (データが壊れています)";
        case ZIP_ER_NOZIP:
            return "zip アーカイブではありません";
        case ZIP_ER_INCONS:
            return "目録とメンバーの内容が食い違っています";
        case ZIP_ER_EOF:
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
            return "ファイルが途中で切れています";
        case ZIP_ER_COMPNOTSUPP:
            return "対応していない圧縮方式です";
        case ZIP_ER_ENCRNOTSUPP:
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
            return "暗号化されています";
        case ZIP_ER_ZLIB:
            return "圧縮データが壊れています";
        case ZIP_ER_EXISTS:
            return "同じ名前のメンバーが複数あります";
        case ZIP_ER_MULTIDISK:
            return "複数のファイルに分割されたアーカイブには対応していません";
        case ZIP_ER_MEMORY:
            return "メモリが不足しています";
        case ZIP_ER_OPEN:
            return "ファイルを開けません";
        default:
            // The operator sees no English: libzip's rarer reasons by number.
            return "libzip のエラー " + std::to_string(zip_error_code_zip(error)) + " です";
    }
}

// A member's bytes, unpacked as they are read. libzip checks the CRC when the
// member's last byte has been read and reports a mismatch as a read error.
class MemberBytes : public ByteSource {
  public:
    MemberBytes(std::shared_ptr<zip> archive, zip_file_t* file, std::string where,
                std::uint64_t declared)
        : archive_(std::move(archive)), file_(file), where_(std::move(where)), left_(declared) {}
    ~MemberBytes() override { zip_fclose(file_); }
    MemberBytes(const MemberBytes&) = delete;
    MemberBytes& operator=(const MemberBytes&) = delete;

    std::size_t read(char* into, std::size_t size) override {
        zip_int64_t n = zip_fread(file_, into, size);
        if (n < 0) {
            throw Error(
                FormatError::DamagedArchive,
                "アーカイブのメンバーが壊れています: " + zipErrorText(zip_file_get_error(file_)),
                where_);
        }
        auto got = static_cast<std::uint64_t>(n);
        if (got > left_) {
            throw Error(FormatError::DamagedArchive,
                        "アーカイブのメンバーが申告された大きさを超えています。", where_);
        }
        left_ -= got;
        return static_cast<std::size_t>(got);
    }

  private:
    std::shared_ptr<zip> archive_;  // the member's file needs its archive open
    zip_file_t* file_;
    std::string where_;
    std::uint64_t left_;
};

// A member's name as UTF-8. Names without the UTF-8 flag are in the packing
// machine's code page, which libzip takes for CP437; archives made on Japanese
// Windows write CP932, so a name that is no UTF-8 is read as CP932 first, and
// only a name that is neither keeps libzip's reading.
std::string memberName(zip_t* archive, zip_uint64_t index, const char* guessed) {
    const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
    if (raw && !isValidUtf8(raw)) {
        if (std::optional<std::string> decoded = cp932ToUtf8(raw))
            return *decoded;
    }
    return guessed ? guessed : "";
}

}  // namespace

ZipArchive::ZipArchive(std::shared_ptr<zip> handle, std::string path)
    : handle_(std::move(handle)), path_(std::move(path)) {
    zip_int64_t count = zip_get_num_entries(handle_.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(handle_.get(), static_cast<zip_uint64_t>(i), 0, &st) != 0)
            throw archiveError("アーカイブの目録が読めません。", path_);
        ArchiveMember m;
        m.name = memberName(handle_.get(), static_cast<zip_uint64_t>(i), st.name);
        m.size = st.size;
        m.compressedSize = st.comp_size;
        m.modified = st.mtime;
        m.index = static_cast<std::uint64_t>(i);
        members_.push_back(std::move(m));
    }
}

// The archive's file, opened once for the whole run. Every libzip handle on it
// reads through this descriptor (pread, each handle at its own offset), never
// through the path again: an archive replaced under the run (mv) is read as it
// was throughout, and one rewritten in place is refused when its next member is
// opened, never read half old, half new.
struct ZipArchive::OpenFile {
    int fd = -1;
    struct stat opened {};
    ~OpenFile() {
        if (fd >= 0)
            ::close(fd);
    }
    bool changed() const {
        struct stat now {};
        return ::fstat(fd, &now) != 0 || now.st_size != opened.st_size ||
               now.st_mtim.tv_sec != opened.st_mtim.tv_sec ||
               now.st_mtim.tv_nsec != opened.st_mtim.tv_nsec;
    }
};

namespace {

// One handle's reading position in the shared descriptor, as a libzip source.
struct FdReader {
    std::shared_ptr<const ZipArchive::OpenFile> file;
    zip_uint64_t offset = 0;
    zip_error_t error{};
};

zip_int64_t fdSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* r = static_cast<FdReader*>(state);
    const auto size = static_cast<zip_uint64_t>(r->file->opened.st_size);
    switch (command) {
        case ZIP_SOURCE_OPEN:
            r->offset = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            if (r->offset >= size)
                return 0;
            length = std::min(length, size - r->offset);
            ssize_t n;
            do {
                n = ::pread(r->file->fd, data, length, static_cast<off_t>(r->offset));
            } while (n < 0 && errno == EINTR);
            if (n < 0) {
                zip_error_set(&r->error, ZIP_ER_READ, errno);
                return -1;
            }
            r->offset += static_cast<zip_uint64_t>(n);
            return n;
        }
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* st = static_cast<zip_stat_t*>(data);
            zip_stat_init(st);
            st->size = size;
            st->mtime = r->file->opened.st_mtime;
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&r->error, data, length);
        case ZIP_SOURCE_FREE:
            zip_error_fini(&r->error);
            delete r;
            return 0;
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t to =
                zip_source_seek_compute_offset(r->offset, size, data, length, &r->error);
            if (to < 0)
                return -1;
            r->offset = static_cast<zip_uint64_t>(to);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return static_cast<zip_int64_t>(r->offset);
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(
                ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                ZIP_SOURCE_SUPPORTS, -1);
        default:
            zip_error_set(&r->error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

// A libzip handle of its own on the archive's one open file. Throws
// mrk2::Error naming the archive.
std::shared_ptr<zip> openHandle(const std::shared_ptr<const ZipArchive::OpenFile>& file,
                                const std::string& path, int flags) {
    zip_error_t error;
    zip_error_init(&error);
    auto* reader = new FdReader{file, 0, {}};
    zip_error_init(&reader->error);
    zip_source_t* src = zip_source_function_create(fdSource, reader, &error);
    if (!src)
        fdSource(reader, nullptr, 0, ZIP_SOURCE_FREE);
    zip_t* z = src ? zip_open_from_source(src, ZIP_RDONLY | flags, &error) : nullptr;
    if (!z) {
        if (src)
            zip_source_free(src);
        std::string text = zipErrorText(&error);
        zip_error_fini(&error);
        throw archiveError("zip アーカイブとして読めません: " + text + "。", path);
    }
    zip_error_fini(&error);
    return std::shared_ptr<zip>(z, zip_discard);
}

}  // namespace

ZipArchive ZipArchive::open(const std::string& path) {
    auto file = std::make_shared<OpenFile>();
    file->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file->fd < 0 || ::fstat(file->fd, &file->opened) != 0)
        throw fileError(errno).in(path);
    // ZIP_CHECKCONS: a central directory that disagrees with the members' own
    // headers is a damaged archive, found before anything is loaded from it.
    ZipArchive archive(openHandle(file, path, ZIP_CHECKCONS), path);
    archive.file_ = std::move(file);
    return archive;
}

ZipArchive ZipArchive::fromMemory(const void* data, std::size_t size, const std::string& name) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(data, size, 0, &error);
    zip_t* z = src ? zip_open_from_source(src, ZIP_RDONLY, &error) : nullptr;
    if (!z) {
        if (src)
            zip_source_free(src);
        std::string text = zipErrorText(&error);
        zip_error_fini(&error);
        throw archiveError("zip アーカイブとして読めません: " + text + "。", name);
    }
    return ZipArchive(std::shared_ptr<zip>(z, zip_discard), name);
}

const ArchiveMember* ZipArchive::find(const std::string& name) const {
    for (const ArchiveMember& m : members_) {
        if (m.name == name)
            return &m;
    }
    return nullptr;
}

std::unique_ptr<ByteSource> ZipArchive::openMember(const ArchiveMember& member) const {
    const std::string where = path_ + "/" + member.name;
    if (member.size > kMaxMemberBytes ||
        (member.size > kRatioCheckedFrom &&
         member.size / std::max<std::uint64_t>(member.compressedSize, 1) > kMaxRatio)) {
        throw Error(FormatError::DamagedArchive,
                    "アーカイブのメンバーの大きさが不自然です (展開後 " +
                        std::to_string(member.size) + " バイト、圧縮 " +
                        std::to_string(member.compressedSize) +
                        " バイト)。zip 爆弾の恐れがあるため読み込みません。",
                    where);
    }
    // A member of an archive on disk gets a handle of its own: libzip's handles
    // are not shared between threads, and members are unpacked on threads of
    // their own, two at once for a dataset and its partner in one archive.
    if (file_ && file_->changed())
        throw archiveError("アーカイブが読み込みの途中で書き換えられました。", path_);
    std::shared_ptr<zip> handle = file_ ? openHandle(file_, path_, 0) : handle_;
    zip_file_t* file = zip_fopen_index(handle.get(), member.index, 0);
    if (!file) {
        throw Error(
            FormatError::DamagedArchive,
            "アーカイブのメンバーを開けません: " + zipErrorText(zip_get_error(handle.get())),
            where);
    }
    return std::make_unique<MemberBytes>(handle, file, where, member.size);
}

bool isZipPath(const std::string& path) {
    return endsWithNoCase(path, ".zip");
}

bool isCsvName(const std::string& name) {
    return endsWithNoCase(name, ".csv");
}

}  // namespace mrk2
