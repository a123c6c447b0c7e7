#include "base/MemoryBudget.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <string>

#include "base/Error.h"

namespace mrk2 {

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

}  // namespace

std::size_t defaultMemoryBudget() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    const std::size_t machine = pages > 0 && pageSize > 0 ? static_cast<std::size_t>(pages) *
                                                                static_cast<std::size_t>(pageSize)
                                                          : 0;
    return std::clamp(machine / 64, 16 * kMiB, 64 * kMiB);
}

std::size_t parseMemorySize(std::string_view text) {
    const auto refuse = [&]() -> Error {
        return Error(
            FormatError::NotANumber,
            "メモリの大きさは 256M のように 1M 以上で指定して下さい。(" + std::string(text) + ")");
    };
    std::size_t number = 0;
    const char* end = text.data() + text.size();
    auto [rest, ec] = std::from_chars(text.data(), end, number);
    if (ec != std::errc() || rest == text.data())
        throw refuse();
    std::size_t unit = 1;
    if (rest != end) {
        switch (*rest++) {
            case 'K':
            case 'k':
                unit = std::size_t{1} << 10;
                break;
            case 'M':
            case 'm':
                unit = kMiB;
                break;
            case 'G':
            case 'g':
                unit = std::size_t{1} << 30;
                break;
            default:
                throw refuse();
        }
    }
    if (rest != end || number > SIZE_MAX / unit || number * unit < kMiB)
        throw refuse();
    return number * unit;
}

}  // namespace mrk2
