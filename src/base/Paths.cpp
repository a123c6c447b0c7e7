#include "base/Paths.h"

#include "base/Error.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>

namespace mrk2 {

std::string addPathSeparator(const std::string& path) {
    std::size_t b = path.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    std::size_t e = path.find_last_not_of(' ');
    std::string out = path.substr(b, e - b + 1);
    if (out.back() != kPathSeparator)
        out += kPathSeparator;
    return out;
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (!dir.empty() && dir.back() == kPathSeparator)
        return dir + name;
    return dir + kPathSeparator + name;
}

std::string fileNameOf(const std::string& path) {
    std::size_t p = path.rfind(kPathSeparator);
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string dirNameOf(const std::string& path) {
    std::size_t p = path.rfind(kPathSeparator);
    if (p == std::string::npos)
        return ".";
    if (p == 0)
        return "/";
    return path.substr(0, p);
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    if (ec)
        return path;
    return abs.lexically_normal().string();
}

std::uint64_t fileSizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

bool fileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directoryExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {}  // namespace

std::string localTimeText(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

std::optional<std::string> fileModifiedText(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return localTimeText(st.st_mtim.tv_sec);
}

std::string executableDir() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return std::filesystem::current_path().string();
    return exe.parent_path().string();
}

void refuseWhatIsNoReadableFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return;
        throw fileError(errno, path);
    }
    if (!S_ISREG(st.st_mode))
        throw Error(FormatError::NotAFile, "通常のファイルではありません。", path);
    if (::access(path.c_str(), R_OK) != 0)
        throw fileError(errno, path);
}

}  // namespace mrk2
