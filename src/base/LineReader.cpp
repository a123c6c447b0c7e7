#include "base/LineReader.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "base/Cp932.h"
#include "base/Error.h"
#include "base/Utf8.h"

namespace mrk2 {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

bool startsWithBom(const char* data, std::size_t size) {
    return size >= 3 && static_cast<unsigned char>(data[0]) == 0xEF &&
           static_cast<unsigned char>(data[1]) == 0xBB &&
           static_cast<unsigned char>(data[2]) == 0xBF;
}

// CP932 decoding by table. The table is read off glibc's own converter once, so
// it maps every byte pair exactly as iconv does (～ and － included), but a line
// then costs a few lookups instead of a converter call.
class Cp932Table {
  public:
    static const Cp932Table& instance() {
        static const Cp932Table table;
        return table;
    }

    // Appends the UTF-8 text of `in` to `out`; false at the first invalid byte.
    bool decode(std::string_view in, std::string& out) const {
        out.clear();
        out.reserve(in.size() * 3 / 2);
        for (std::size_t i = 0; i < in.size();) {
            auto b = static_cast<unsigned char>(in[i]);
            if (b < 0x80) {
                out += static_cast<char>(b);
                ++i;
                continue;
            }
            const Entry* e = &single_[b];
            std::size_t used = 1;
            if (lead_[b]) {
                if (i + 1 >= in.size())
                    return false;
                e = &pairs_[pairIndex(b, static_cast<unsigned char>(in[i + 1]))];
                used = 2;
            }
            if (e->len == 0)
                return false;
            out.append(e->bytes, e->len);
            i += used;
        }
        return true;
    }

  private:
    struct Entry {
        unsigned char len = 0;  // 0: not a valid sequence
        char bytes[3] = {};
    };

    static std::size_t pairIndex(unsigned char lead, unsigned char trail) {
        return static_cast<std::size_t>(lead - 0x80) * 256 + trail;
    }

    static Entry entryOf(const std::optional<std::string>& utf8) {
        Entry e;
        if (utf8 && !utf8->empty() && utf8->size() <= sizeof e.bytes) {
            e.len = static_cast<unsigned char>(utf8->size());
            std::memcpy(e.bytes, utf8->data(), utf8->size());
        }
        return e;
    }

    Cp932Table() : pairs_(128 * 256) {
        for (int b = 0x80; b < 0x100; ++b) {
            char one = static_cast<char>(b);
            single_[b] = entryOf(cp932ToUtf8(std::string_view(&one, 1)));
            if (single_[b].len)
                continue;
            for (int t = 0; t < 0x100; ++t) {
                char two[2] = {one, static_cast<char>(t)};
                Entry e = entryOf(cp932ToUtf8(std::string_view(two, 2)));
                if (e.len) {
                    lead_[b] = true;
                    pairs_[pairIndex(static_cast<unsigned char>(b),
                                     static_cast<unsigned char>(t))] = e;
                }
            }
        }
    }

    Entry single_[256];
    bool lead_[256] = {};
    std::vector<Entry> pairs_;
};

}  // namespace

Error lineTooLong(std::size_t lineNo) {
    return Error(FormatError::TooManyEntries, std::to_string(lineNo) + " 行目: 行が長すぎます (" +
                                                  std::to_string(LineReader::kMaxLineBytes / 1024) +
                                                  " KiB を超えています)。");
}

LineReader::Encoding detectEncoding(const char* data, std::size_t size, bool complete) {
    if (startsWithBom(data, size))
        return LineReader::Encoding::Utf8;
    std::string_view probe(data, size);
    if (!complete) {
        // Drop a sequence that the probe boundary cut in two.
        std::size_t back = 0;
        while (back < 3 && back < probe.size()) {
            unsigned char c = static_cast<unsigned char>(probe[probe.size() - 1 - back]);
            if (!utf8::isContinuation(c)) {
                const std::size_t len = utf8::sequenceLength(c);
                if (len > 1 && len > back + 1)
                    probe.remove_suffix(back + 1);
                break;
            }
            ++back;
        }
    }
    if (!isAscii(probe) && isValidUtf8(probe))
        return LineReader::Encoding::Utf8;
    return LineReader::Encoding::Cp932;
}

LineReader::Encoding encodingOfHead(std::string_view head) {
    const bool complete = head.size() <= LineReader::kProbeSize;
    return detectEncoding(head.data(), std::min(head.size(), LineReader::kProbeSize), complete);
}

LineReader::~LineReader() {
    close();
}

void LineReader::open(const std::string& path) {
    open(openFileBytes(path));
}

void LineReader::open(std::unique_ptr<ByteSource> bytes) {
    close();
    bytes_ = std::move(bytes);
    buf_.resize(kBufferSize);
    pos_ = end_ = 0;
    fileBytes_ = 0;
    eof_ = false;
    skipLf_ = false;
    lineNumber_ = 0;
    // Read past the probe, or to the end of the file: only a read that returns
    // nothing proves the end, and a file of exactly the probe's size must be judged
    // as complete (its cut last sequence is then invalid, not forgiven).
    while (!eof_ && end_ <= kProbeSize)
        fill();
    encoding_ = encodingOfHead(std::string_view(buf_.data(), std::min(end_, kProbeSize + 1)));
    if (startsWithBom(buf_.data(), end_))
        pos_ = 3;
}

void LineReader::close() {
    bytes_.reset();
}

bool LineReader::fill() {
    if (eof_)
        return false;
    if (pos_ > 0) {
        std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    std::size_t n = bytes_->read(buf_.data() + end_, buf_.size() - end_);
    if (n == 0) {
        eof_ = true;
        return false;
    }
    end_ += n;
    fileBytes_ += n;
    return true;
}

bool LineReader::next(std::string& line) {
    raw_.clear();
    bool any = false;  // a byte or a line break was seen for this line
    for (;;) {
        if (pos_ == end_ && !fill()) {
            if (!any)
                return false;
            break;
        }
        if (skipLf_) {
            skipLf_ = false;
            if (buf_[pos_] == '\n') {
                ++pos_;
                continue;
            }
        }
        const char* begin = buf_.data() + pos_;
        const char* stop = buf_.data() + end_;
        const char* p = begin;
        while (p != stop && *p != '\n' && *p != '\r')
            ++p;
        if (raw_.size() + static_cast<std::size_t>(p - begin) > kMaxLineBytes)
            throw lineTooLong(lineNumber_ + 1);
        raw_.append(begin, p);
        any = true;
        if (p == stop) {
            pos_ = end_;
            continue;
        }
        skipLf_ = (*p == '\r');
        pos_ = static_cast<std::size_t>(p - buf_.data()) + 1;
        break;
    }
    ++lineNumber_;
    decode(line);
    return true;
}

void LineReader::decode(std::string& line) {
    // NUL is valid in both encodings but is no text: stored, it would cut a value
    // short in every reader written in C, or slip past the "no empty value" rule.
    if (raw_.find('\0') != std::string::npos) {
        throw Error(FormatError::InvalidEncoding,
                    std::to_string(lineNumber_) + " 行目: NUL バイト (0x00) があります。");
    }
    if (isAscii(raw_)) {
        line.swap(raw_);
        return;
    }
    if (encoding_ == Encoding::Utf8) {
        if (!isValidUtf8(raw_)) {
            throw Error(
                FormatError::InvalidEncoding,
                std::to_string(lineNumber_) + " 行目: UTF-8 として正しくないバイトがあります。");
        }
        line.swap(raw_);
        return;
    }
    if (!Cp932Table::instance().decode(raw_, line)) {
        throw Error(FormatError::InvalidEncoding,
                    std::to_string(lineNumber_) +
                        " 行目: シフトJIS (CP932) として正しくないバイトがあります。");
    }
}

}  // namespace mrk2
