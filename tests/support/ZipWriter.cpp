#include "support/ZipWriter.h"

#include <zip.h>

#include <stdexcept>

namespace mrk2::test {

std::string writeZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        throw std::runtime_error("cannot create " + path);
    for (const ZipEntry& e : entries) {
        zip_source_t* src = zip_source_buffer(z, e.bytes.data(), e.bytes.size(), 0);
        zip_int64_t index = src ? zip_file_add(z, e.name.c_str(), src, ZIP_FL_ENC_RAW) : -1;
        if (index < 0) {
            zip_source_free(src);
            zip_discard(z);
            throw std::runtime_error("cannot add " + e.name);
        }
        auto i = static_cast<zip_uint64_t>(index);
        zip_set_file_compression(z, i, e.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
        zip_file_set_mtime(z, i, e.modified, 0);
    }
    if (zip_close(z) != 0) {
        zip_discard(z);
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

}  // namespace mrk2::test
