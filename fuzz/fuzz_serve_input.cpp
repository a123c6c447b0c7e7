// What a client sends the server: a request's query string and a batch body.
//
// Input: one control byte, then the bytes. Control byte even: the bytes are a
// query string. Odd: they are a batch body, fed in pieces of (control / 2 + 1)
// bytes, and its lines must be those of the body split whole.
#include <cstdint>

#include "FuzzCheck.h"
#include "base/Error.h"
#include "serve/BatchLines.h"
#include "serve/HttpError.h"
#include "serve/QueryString.h"

using namespace mrk2;
using namespace mrk2::serve;

namespace {

void checkQuery(std::string_view query) {
    try {
        QueryString q(query, {"address", "region", "format"});
        // A value read back through its own %-escapes is the same value.
        std::string again;
        for (const char* name : {"address", "region", "format"}) {
            auto value = q.get(name);
            if (!value)
                continue;
            again += std::string(again.empty() ? "" : "&") + name + "=";
            for (unsigned char c : *value) {
                static const char* hex = "0123456789ABCDEF";
                again += {'%', hex[c >> 4], hex[c & 15]};
            }
        }
        QueryString back(again, {"address", "region", "format"});
        for (const char* name : {"address", "region", "format"})
            FUZZ_CHECK(back.get(name) == q.get(name));
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == HttpError::BadRequest);
        FUZZ_CHECK(e.description().size() < 200);  // never the whole query back
    }
}

void checkBatch(std::string_view body, std::size_t piece) {
    std::vector<std::pair<std::string, bool>> got;
    BatchLines lines;
    auto keep = [&](const BatchLines::Line& l) {
        FUZZ_CHECK(!l.tooLong || l.text.empty());
        got.emplace_back(std::string(l.text), l.tooLong);
    };
    for (std::size_t at = 0; at < body.size(); at += piece)
        lines.feed(body.substr(at, piece), keep);
    lines.finish(keep);

    std::vector<std::pair<std::string, bool>> expected;
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t lf = body.find('\n', start);
        const bool last = lf == std::string_view::npos;
        std::string line(body.substr(start, last ? std::string_view::npos : lf - start));
        start = last ? body.size() : lf + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (last && line.empty() && body.back() != '\r')
            break;
        const bool tooLong = line.size() > BatchLines::kMaxLineBytes;
        expected.emplace_back(tooLong ? "" : line, tooLong);
    }
    FUZZ_CHECK(got == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0)
        checkQuery(input);
    else
        checkBatch(input, data[0] / 2 + 1);
    return 0;
}
