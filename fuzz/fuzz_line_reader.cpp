// The line reader with its encoding probe and both decoders, against a plain
// model: the lines it returns, the encoding it picks, and the line of its first
// error must be exactly what the rules say.
//
// Input: one control byte, then the file's bytes. A control byte below 0x80 uses
// the bytes as they are; otherwise filler lines come first (ASCII for 0x80-0xBF,
// UTF-8 text above) so that the file ends within 32 bytes of the 64 KiB the probe
// reads, where the probe has to tell a cut sequence from the end of the file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <optional>

#include "FuzzCheck.h"
#include "base/Cp932.h"
#include "base/Error.h"
#include "base/LineReader.h"
#include "base/Utf8.h"

using namespace mrk2;
using mrk2::fuzz::RawLine;

namespace {

std::string fileBytes(const std::uint8_t* data, std::size_t size) {
    std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] < 0x80)
        return content;
    // Long filler lines keep a run short: what matters is where the file ends.
    static const std::string ascii = std::string(250, 'a') + ",b\n";
    static const std::string utf8 = [] {
        std::string line;
        for (int i = 0; i < 20; ++i)
            line += "東京都,千代田区,";
        return line + "\n";
    }();
    const std::string& filler = data[0] < 0xC0 ? ascii : utf8;
    std::size_t target = LineReader::kProbeSize + (data[0] & 0x3F) - 32;
    std::string bytes;
    while (bytes.size() + content.size() < target)
        bytes += filler;
    bytes.resize(target > content.size() ? target - content.size() : 0);
    return bytes + content;
}

// What a line must decode to; nullopt when it must be an encoding error.
std::optional<std::string> expectedLine(std::string_view raw, LineReader::Encoding encoding) {
    if (raw.find('\0') != std::string_view::npos)
        return std::nullopt;
    if (encoding == LineReader::Encoding::Cp932)
        return cp932ToUtf8(raw);
    if (!isValidUtf8(raw))
        return std::nullopt;
    return std::string(raw);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string bytes = fileBytes(data, size);
    int fd = ::memfd_create("csv", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));

    LineReader reader;
    reader.open("/proc/self/fd/" + std::to_string(fd));
    ::close(fd);

    const bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::string_view text(bytes);
    if (bom)
        text.remove_prefix(3);
    const LineReader::Encoding encoding = reader.encoding();
    if (bom) {
        FUZZ_CHECK(encoding == LineReader::Encoding::Utf8);
    } else if (bytes.size() <= LineReader::kProbeSize) {
        // The probe saw the whole file: its decision is the plain rule.
        bool utf8 = !isAscii(bytes) && isValidUtf8(bytes);
        FUZZ_CHECK(encoding == (utf8 ? LineReader::Encoding::Utf8 : LineReader::Encoding::Cp932));
    } else if (isValidUtf8(bytes) && !isAscii(bytes.substr(0, LineReader::kProbeSize - 3))) {
        FUZZ_CHECK(encoding == LineReader::Encoding::Utf8);
    }

    std::string line;
    std::size_t number = 0;
    for (const RawLine& raw : mrk2::fuzz::splitLines(text)) {
        ++number;
        std::optional<std::string> expected = expectedLine(raw.text, encoding);
        try {
            FUZZ_CHECK(reader.next(line));
        } catch (const Error& e) {
            FUZZ_CHECK(!expected);
            FUZZ_CHECK(e.number() == FormatError::InvalidEncoding);
            FUZZ_CHECK(mrk2::fuzz::startsWith(e.description(), std::to_string(number) + " 行目"));
            return 0;
        }
        FUZZ_CHECK(expected && line == *expected);
        FUZZ_CHECK(reader.lineNumber() == number);
    }
    FUZZ_CHECK(!reader.next(line));
    return 0;
}
