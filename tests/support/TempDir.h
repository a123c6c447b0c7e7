#pragma once
#include <string>

namespace mrk2::test {

// A fresh directory under /tmp, removed with everything in it at scope end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes bytes to a file in this directory and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

  private:
    std::string path_;
};

// The bytes of a UTF-8 text in CP932 (test data is written in the source as UTF-8).
std::string sjis(const std::string& utf8);

// Reads a whole file (for assertions on small files).
std::string readFile(const std::string& path);

// Sets a file's modification time (seconds since the epoch).
void setModifiedTime(const std::string& path, long long epochSeconds);

}  // namespace mrk2::test
