#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace mrk2::serve {

// The parameters of a request's query string ("address=%E6%9D%B1...&format=csv"),
// decoded: %XX escapes and '+' for a blank. Throws mrk2::Error 10400 naming the
// fault for a malformed escape, a name given twice or an unknown name, so that
// a misspelt parameter is never quietly ignored. Values are bytes as sent; the
// handler that uses one decides what it must be.
class QueryString {
  public:
    QueryString(std::string_view query, std::initializer_list<std::string_view> known);

    std::optional<std::string> get(const std::string& name) const;

  private:
    std::map<std::string, std::string> values_;
};

// The query part of a request target ("/geocode?a=1" gives "a=1").
std::string_view queryOf(std::string_view target);

}  // namespace mrk2::serve
