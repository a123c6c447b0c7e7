#include "base/SourceFile.h"

#include <sys/stat.h>

#include <set>
#include <tuple>
#include <utility>

#include "base/Error.h"
#include "base/Limits.h"
#include "base/Paths.h"
#include "base/ReadAheadBytes.h"

namespace mrk2 {

std::string SourceFile::path() const {
    return joinPath(dir, file);
}

bool SourceFile::inArchive() const {
    return isZipPath(dir) && !directoryExists(dir);
}

std::string absoluteSourceDir(const std::string& dir) {
    std::string abs = absolutePath(dir);
    while (abs.size() > 1 && abs.back() == kPathSeparator)
        abs.pop_back();
    return abs;
}

void makeSourceDirsAbsolute(std::vector<SourceFile>& sources) {
    for (SourceFile& f : sources)
        f.dir = absoluteSourceDir(f.dir);
}

std::vector<SourceFile> sourcesOf(const std::string& given) {
    const std::string path = absolutePath(given);
    if (!isZipPath(path) || !fileExists(path))
        return {SourceFile{dirNameOf(path), fileNameOf(path)}};
    std::vector<SourceFile> members;
    const ZipArchive zip = ZipArchive::open(path);
    bool nested = false;
    for (const ArchiveMember& m : zip.members()) {
        if (isCsvName(m.name))
            members.push_back({path, m.name});
        nested = nested || isZipPath(m.name);
    }
    // An archive that gives no source, or not all it holds, is said so by name
    // rather than loading nothing or part of it.
    if (nested)
        throw Error(FormatError::NotFound,
                    "アーカイブの中に zip アーカイブがあります。中のアーカイブは読みませんので、"
                    "展開してから指定して下さい。",
                    path);
    if (members.empty())
        throw Error(FormatError::NotFound,
                    zip.members().empty() ? "アーカイブが空です。"
                                          : "アーカイブに CSV ファイルがありません。",
                    path);
    if (members.size() > kMaxSourceFiles)
        throw Error(FormatError::TooManyEntries,
                    "アーカイブの CSV ファイルが " + std::to_string(members.size()) +
                        " 個あります (" + std::to_string(kMaxSourceFiles) + " 個まで)。",
                    path);
    return members;
}

std::string baseNameOf(const std::string& file) {
    const std::size_t cut = file.find_last_of("/\\");
    return cut == std::string::npos ? file : file.substr(cut + 1);
}

std::optional<std::string> municipalityCodeOfName(const std::string& file) {
    const std::string name = baseNameOf(file);
    if (name.size() < 5)
        return std::nullopt;
    for (std::size_t i = 0; i < 5; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return std::nullopt;
    }
    return name.substr(0, 5);
}

const ZipArchive* SourceReader::archive(const std::string& path) {
    auto it = archives_.find(path);
    if (it == archives_.end()) {
        std::optional<ZipArchive> opened;
        if (fileExists(path))
            opened.emplace(ZipArchive::open(path));
        it = archives_.emplace(path, std::move(opened)).first;
    }
    return it->second ? &*it->second : nullptr;
}

const ArchiveMember* SourceReader::member(const SourceFile& source) {
    const ZipArchive* zip = archive(source.dir);
    return zip ? zip->find(source.file) : nullptr;
}

std::optional<std::string> SourceReader::date(const SourceFile& source) {
    // A directory, FIFO or device where a file belongs is no source: said so,
    // not read as missing or read forever.
    refuseWhatIsNoReadableFile(source.inArchive() ? source.dir : source.path());
    if (!source.inArchive())
        return fileModifiedText(source.path());
    const ArchiveMember* m = member(source);
    if (!m)
        return std::nullopt;
    return localTimeText(m->modified);
}

std::uint64_t SourceReader::size(const SourceFile& source) {
    if (!source.inArchive())
        return fileSizeOf(source.path());
    const ArchiveMember* m = member(source);
    return m ? m->size : 0;
}

std::unique_ptr<ByteSource> SourceReader::open(const SourceFile& source) {
    return inContext(source.path(), [&]() -> std::unique_ptr<ByteSource> {
        if (!source.inArchive())
            return openFileBytes(source.path());
        const ArchiveMember* m = member(source);
        if (!m)
            throw fileError(ENOENT);
        // Unpacking runs on a thread of its own, beside the loading of the rows.
        return std::make_unique<ReadAheadBytes>(archive(source.dir)->openMember(*m));
    });
}

Error SourceReader::damageFirst(const std::vector<SourceFile>& read, const Error& fault) {
    if (fault.number() == FormatError::DamagedArchive)
        return fault;
    for (const SourceFile& source : read) {
        try {
            if (!source.inArchive())
                continue;
            const ArchiveMember* m = member(source);
            if (!m)
                continue;
            std::unique_ptr<ByteSource> bytes = archive(source.dir)->openMember(*m);
            std::vector<char> buf(1 << 16);
            while (bytes->read(buf.data(), buf.size()) > 0) {
            }
        } catch (const Error& e) {
            if (e.number() == FormatError::DamagedArchive)
                return e.in(source.path());
        }
    }
    return fault;
}

bool sourceChanged(const std::optional<std::string>& recordedDate,
                   const std::optional<std::string>& currentDate) {
    return !currentDate || recordedDate != currentDate;
}

std::vector<SourceFile> dropRepeatedSources(std::vector<SourceFile>& sources) {
    std::vector<SourceFile> kept;
    std::vector<SourceFile> dropped;
    std::set<std::tuple<dev_t, ino_t, std::string>> seenFiles;
    std::set<std::string> seenPaths;
    for (const SourceFile& f : sources) {
        bool repeated = !seenPaths.insert(f.path()).second;
        struct stat st {};
        const bool member = f.inArchive();
        const std::string onDisk = member ? f.dir : f.path();
        if (::stat(onDisk.c_str(), &st) == 0) {
            repeated =
                !seenFiles.insert({st.st_dev, st.st_ino, member ? f.file : std::string()}).second ||
                repeated;
        }
        (repeated ? dropped : kept).push_back(f);
    }
    sources = std::move(kept);
    return dropped;
}

}  // namespace mrk2
