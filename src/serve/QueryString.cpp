#include "serve/QueryString.h"

#include <algorithm>

#include "base/Error.h"
#include "serve/HttpError.h"

namespace mrk2::serve {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string decode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%') {
            const int hi = i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
            const int lo = hi >= 0 ? hexValue(text[i + 2]) : -1;
            if (lo < 0)
                throw Error(HttpError::BadRequest, "クエリの%エスケープが正しくありません");
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

QueryString::QueryString(std::string_view query, std::initializer_list<std::string_view> known) {
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty())
            continue;
        const std::size_t eq = pair.find('=');
        std::string name = decode(pair.substr(0, eq));
        std::string value = eq == std::string_view::npos ? "" : decode(pair.substr(eq + 1));
        // Names are ours and plain ASCII: an unknown one is named back, bounded.
        if (std::find(known.begin(), known.end(), name) == known.end())
            throw Error(
                HttpError::BadRequest,
                "不明なパラメータです: " + name.substr(0, 32).append(name.size() > 32 ? "…" : ""));
        if (!values_.emplace(std::move(name), std::move(value)).second)
            throw Error(HttpError::BadRequest, "同じパラメータが二度指定されています");
    }
}

std::optional<std::string> QueryString::get(const std::string& name) const {
    auto it = values_.find(name);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

std::string_view queryOf(std::string_view target) {
    const std::size_t q = target.find('?');
    return q == std::string_view::npos ? std::string_view() : target.substr(q + 1);
}

}  // namespace mrk2::serve
