#include "base/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace mrk2 {

namespace {

// One converter per direction and thread, opened on first use: iconv_open costs
// far more than converting a line.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::optional<std::string> convert(std::string_view in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.resize(in.size() * 3 / 2 + 16);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char* dst = out.data();
        std::size_t dstLeft = out.size();
        while (srcLeft > 0) {
            std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            if (r != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG) {
                std::size_t used = out.size() - dstLeft;
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = out.size() - used;
                continue;
            }
            return std::nullopt;  // EILSEQ or EINVAL: invalid or truncated sequence
        }
        // Flush any shift state.
        if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        out.resize(out.size() - dstLeft);
        return out;
    }

  private:
    iconv_t cd_;
};

}  // namespace

bool isAscii(std::string_view bytes) {
    for (unsigned char c : bytes) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

std::optional<std::string> cp932ToUtf8(std::string_view bytes) {
    if (isAscii(bytes))
        return std::string(bytes);
    thread_local Converter conv("UTF-8", "CP932");
    return conv.convert(bytes);
}

std::optional<std::string> utf8ToCp932(std::string_view text) {
    if (isAscii(text))
        return std::string(text);
    thread_local Converter conv("CP932", "UTF-8");
    return conv.convert(text);
}

}  // namespace mrk2
